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

QString newPasswordNotSetText()
{
    return QStringLiteral("Het antwoord van de server op uw nieuwe wachtwoord is niet aangekomen. De server "
                          "heeft het niet ingesteld: uw oude wachtwoord geldt nog.");
}

QString newPasswordUnknownText()
{
    return QStringLiteral(
        "Het is niet bekend of uw nieuwe wachtwoord is ingesteld: de server antwoordt niet. "
        "Het programma verbindt met het wachtwoord dat de server aanneemt, het nieuwe of het "
        "oude; log de volgende keer in met het nieuwe, en als dat geweigerd wordt met het "
        "oude.");
}

namespace {

enum class Holds { New, Old, Unknown };

// The answer to the new password was lost, so the server may hold either.
// A connection opened now tells which it takes; while none opens, both are
// kept and every connection tries the new one first.
Holds settleLostAnswer(AppContext& ctx, const QString& fresh)
{
    const QString old = ctx.account.password;
    ctx.account.password = fresh;
    ctx.account.formerPassword = old;
    KeptConnection& db = ctx.db();
    db.drop();
    bool former = false;
    try {
        former = db.run([](Connection& c) { return c.openedWithFormerPassword(); });
    } catch (const DbError& e) {
        if (e.isConnectionLoss() || e.errorClass() == ErrorClass::ThisNodeOnly)
            return Holds::Unknown;
        throw;
    }
    ctx.account.formerPassword.clear();
    if (former)
        ctx.account.password = old;
    return former ? Holds::Old : Holds::New;
}

} // namespace

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
            if (e.isConnectionLoss()) {
                switch (settleLostAnswer(ctx, typed->first)) {
                case Holds::New:
                    return true;
                case Holds::Old:
                    ctx.messages.inform(newPasswordNotSetText(), Icon::Warning);
                    continue;
                case Holds::Unknown:
                    ctx.messages.inform(newPasswordUnknownText(), Icon::Warning);
                    return false;
                }
            }
            if (e.errorClass() != ErrorClass::PasswordRefused)
                throw;
            ctx.messages.inform(passwordRefusedText(), Icon::Warning);
            continue;
        }
        // The open connections stay; each opens again with the new one.
        ctx.account.password = typed->first;
        ctx.account.formerPassword.clear();
        return true;
    }
}

} // namespace dl
