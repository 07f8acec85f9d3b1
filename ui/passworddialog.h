#pragma once
// frmWachtwoord: the new password twice, masked, at most 10 characters as
// the login form's field; the present one first when asked.

#include "core/passwordprompt.h"

namespace dl {

class QtPasswordPrompt final : public PasswordPrompt {
public:
    std::optional<TypedPasswords> ask(const QString& text, bool askCurrent) override;
};

} // namespace dl
