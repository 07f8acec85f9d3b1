#pragma once
// Asking the consultant for a new password: a small modal dialog for real,
// scripted answers in tests. What was typed is checked by newPasswordProblem.

#include <QString>

#include <optional>

namespace dl {

struct TypedPasswords {
    QString current; // only when the dialog asked for it
    QString first;
    QString second;
};

class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    // text: why a new password is asked; askCurrent: the present one is
    // asked too. Empty when cancelled.
    virtual std::optional<TypedPasswords> ask(const QString& text, bool askCurrent) = 0;
};

// Why a new password cannot be taken, in Dutch; empty when it can. old is
// the password the consultant logged in with.
inline QString newPasswordProblem(const QString& old, const TypedPasswords& typed, bool askedCurrent)
{
    if (askedCurrent && typed.current != old)
        return QStringLiteral("Het huidige wachtwoord klopt niet.");
    if (typed.first.isEmpty())
        return QStringLiteral("Het nieuwe wachtwoord mag niet leeg zijn.");
    if (typed.first != typed.second)
        return QStringLiteral("De twee nieuwe wachtwoorden zijn niet gelijk, probeer het nog eens.");
    if (typed.first == old)
        return QStringLiteral("Het nieuwe wachtwoord moet anders zijn dan het oude.");
    return {};
}

} // namespace dl
