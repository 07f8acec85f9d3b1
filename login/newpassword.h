#pragma once
// The consultant's own account sets a new password: asked until the server
// took one or the consultant cancels.

#include "core/context.h"
#include "core/passwordprompt.h"

namespace dl {

// Why the dialog is shown after a login whose password the office made expire.
QString expiredPasswordText();
// The server's password check refused the new one.
QString passwordRefusedText();
// The answer to a new password was lost; the server then held the old one.
QString newPasswordNotSetText();
// Nor could it be asked: both are kept, the new one tried first.
QString newPasswordUnknownText();

// Asks (askCurrent: the present password too), checks and sets the new
// password on the window's connection; on success ctx.account holds it.
// A lost answer is settled by the password the server takes next. False
// when cancelled or not known. Throws DbError for any other failure.
bool setNewPassword(AppContext& ctx, PasswordPrompt& prompt, const QString& why, bool askCurrent);

} // namespace dl
