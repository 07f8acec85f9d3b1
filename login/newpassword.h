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

// Asks (askCurrent: the present password too), checks and sets the new
// password on the window's connection; on success ctx.account holds it.
// False when cancelled. Throws DbError for any other failure.
bool setNewPassword(AppContext& ctx, PasswordPrompt& prompt, const QString& why, bool askCurrent);

} // namespace dl
