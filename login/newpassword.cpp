#include "login/newpassword.h"

namespace dl {

QString expiredPasswordText()
{
    return QStringLiteral("Uw wachtwoord is verlopen. Kies een nieuw wachtwoord van hoogstens 10 tekens.");
}

QString passwordRefusedText()
{
    return QStringLiteral("De server weigert dit wachtwoord, het is niet sterk genoeg. Kies een ander "
                          "wachtwoord.");
}

bool setNewPassword(AppContext& ctx, PasswordPrompt& prompt, const QString& why, bool askCurrent)
{
    for (;;) {
        const std::optional<TypedPasswords> typed = prompt.ask(why, askCurrent);
        if (!typed)
            return false;
        const QString problem = newPasswordProblem(ctx.account.password, *typed, askCurrent);
        if (!problem.isEmpty()) {
            ctx.messages.inform(problem, Icon::Warning);
            continue;
        }
        try {
            ctx.db().run([&](Connection& c) { c.setOwnPassword(typed->first); });
        } catch (const DbError& e) {
            if (e.errorClass() != ErrorClass::PasswordRefused)
                throw;
            ctx.messages.inform(passwordRefusedText(), Icon::Warning);
            continue;
        }
        // The open connections stay; each opens again with the new one.
        ctx.account.password = typed->first;
        return true;
    }
}

} // namespace dl
