#pragma once
// The private server as an office sets it up for accounts of their own:
// the scripts under schema/, run as the office's administrator runs them,
// and taken away again so that the tests after find the plain schema.

#include <QString>

namespace dl::test {

QString schemaFile(const char* name);

// One script through the command-line client, as the administrator. False
// when the client stopped at an error.
bool officeRuns(const char* name);

// upgrade, accounts for the consultants there are, their own passwords
// (anna "geheim", bram "welkom"), the switch. False when a script failed.
bool setUpOwnAccounts();

// Every account, view and column the set-up made, the shared account's
// rights as before, and the demo data.
void removeOwnAccounts();

} // namespace dl::test
