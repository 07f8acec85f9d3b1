#include "login/passwordaction.h"

#include "core/actionguard.h"
#include "declaration/form1.h"
#include "login/newpassword.h"
#include "ui/imagebutton.h"

namespace dl {

QString passwordChangedText()
{
    return QStringLiteral("Uw wachtwoord is gewijzigd.");
}

PasswordAction::PasswordAction(Form1& form, AppContext& ctx, PasswordPrompt& prompt)
    : QObject(&form), m_ctx(ctx), m_prompt(prompt)
{
    if (auto* image = form.controls().get<ImageButton>(QStringLiteral("ImageWachtwoord")))
        connect(image, &ImageButton::doubleClicked, this, &PasswordAction::run);
}

void PasswordAction::run()
{
    // Only the consultant's own account has a password of its own.
    if (m_ctx.account.names != TableNames::OwnAccount)
        return;
    bool changed = false;
    runGuarded(m_ctx.messages, [&] {
        changed = setNewPassword(m_ctx, m_prompt,
                                 QStringLiteral("Kies een nieuw wachtwoord van hoogstens 10 tekens."), true);
    });
    if (changed)
        m_ctx.messages.inform(passwordChangedText(), Icon::Information);
}

} // namespace dl
