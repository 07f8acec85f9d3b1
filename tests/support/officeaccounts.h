#pragma once
// The private server as an office sets it up for accounts of their own:
// the scripts under schema/, run as the office's administrator runs them,
// and taken away again so that the tests after find the plain schema.

#include <QString>
#include <QStringList>

#include <functional>

namespace dl::test {

QString schemaFile(const char* name);

// Where the administrator works: the single test server, or one node of
// the cluster (what is set up there reaches the other nodes).
struct OfficeServer {
    // The script that runs a file through the command-line client, and its
    // arguments before the file.
    QString script;
    QStringList arguments;
    // Administrator SQL, several statements allowed.
    std::function<void(const QString&)> exec;
    // The demo rows as the tests start from them.
    std::function<void()> loadDemo;
};
OfficeServer testServer();

// One script through the command-line client, as the administrator. False
// when the client stopped at an error.
bool officeRuns(const char* name, const OfficeServer& server = testServer());

// upgrade, accounts for the consultants there are, their own passwords
// (anna "geheim", bram "welkom"), the switch. False when a script failed.
bool setUpOwnAccounts(const OfficeServer& server = testServer());

// Every account, view and column the set-up made, the shared account's
// rights as before, and the demo data.
void removeOwnAccounts(const OfficeServer& server = testServer());

} // namespace dl::test
