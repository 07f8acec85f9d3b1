#pragma once
// The command line: --server HOST[:PORT][,HOST[:PORT]...], the TLS settings,
// --hash-password, --help and --version, and the remembered server address.

#include "app/tlssettings.h"
#include "core/settingsfile.h"
#include "data/serverlist.h"

#include <QString>
#include <QStringList>

class QSettings;

namespace dl {

inline constexpr const char* kProgramName = "declaraties";

struct CommandLine {
    QString server;       // empty: not given
    bool exitNow = false; // --help, --version or an error: print output and exit
    int exitCode = 0;
    QString output;              // to stdout on exit code 0, else to stderr
    bool rememberServer = false; // a valid --server: store it for the next start
    bool hashPassword = false;   // --hash-password: hash a password from stdin and exit
    bool ed25519 = false;        // with --ed25519: the own account's verifier instead
    TlsTexts tls;                // --tls, --tls-ca, --tls-cert, --tls-key as given
};

CommandLine parseCommandLine(const QStringList& arguments);
// The same with the settings file named in --help given by the caller.
CommandLine parseCommandLine(const QStringList& arguments, const QString& settingsPath);

QString helpText(const QString& settingsPath);
QString versionText();

// "HOST", "HOST:PORT" or "[v6]:PORT" with a port from 1 to 65535, or
// several of them separated by commas (the nodes of a cluster).
bool isValidServerText(const QString& text);

// Stores a --server for the next start, then picks the addresses to use:
// --server, else the environment's DECLARATIES_SERVER, else the stored ones.
ServerList chooseServer(const CommandLine& commandLine, const QString& environment, QSettings& settings);

// The process's own arguments, decoded, before QApplication exists (so that
// --help works without a display).
QStringList argumentsOf(int argc, char* argv[]);

// Writes the output of an exiting command line; returns its exit code.
int finishCommandLine(const CommandLine& commandLine);

} // namespace dl
