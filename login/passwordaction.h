#pragma once
// ImageWachtwoord: the consultant logged in with their own account sets a
// new password. The present one is asked first: a desktop left unattended
// must not let a passer-by take the account over or lock its owner out.

#include "core/context.h"
#include "core/passwordprompt.h"

#include <QObject>

namespace dl {

class Form1;

class PasswordAction : public QObject {
    Q_OBJECT
public:
    // A child of the form.
    PasswordAction(Form1& form, AppContext& ctx, PasswordPrompt& prompt);

    void run();

private:
    AppContext& m_ctx;
    PasswordPrompt& m_prompt;
};

// Shown after a new password was set.
QString passwordChangedText();

} // namespace dl
