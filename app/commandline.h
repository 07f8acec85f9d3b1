#pragma once
// The command line: --server HOST[:PORT], --help and --version.

#include <QString>
#include <QStringList>

namespace dl {

struct CommandLine {
    QString server;       // empty: not given
    bool exitNow = false; // --help, --version or an error: print output and exit
    int exitCode = 0;
    QString output;
};

CommandLine parseCommandLine(const QStringList& arguments);

} // namespace dl
