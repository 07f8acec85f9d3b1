#pragma once
// Where an event handler is entered: a failing database call (or anything
// else thrown) is shown with the server's number and description, the action
// is abandoned and the program keeps running.

#include "core/messages.h"
#include "data/serverlist.h"

#include <functional>

namespace dl {

class DbError;

// What a failed call tells the consultant: nothing was changed, the
// server's error line and, where trying again may help, that it may.
QString errorMessageText(const DbError& e);
// That last part alone: empty, or a paragraph of its own.
QString errorAdvice(const DbError& e);
// "Fout N: ..." as the consultant reads it: the server's words, but for a
// row another workstation holds, which is said in Dutch.
QString errorLineFor(const DbError& e);

// Runs the action; returns false when it was abandoned by an error.
bool runGuarded(MessageService& messages, const std::function<void()>& action);
// The same where the server is met first (the login): a server that cannot
// be reached is shown with every address tried and how to give others, a
// line that TLS could not protect with the reason and to call the office.
bool runGuarded(MessageService& messages, const ServerList& server, const std::function<void()>& action);

} // namespace dl
