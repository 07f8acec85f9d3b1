#include "app/commandline.h"

#include <QCommandLineParser>

namespace dl {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine out;
    QCommandLineParser p;
    const QCommandLineOption server(QStringList{QStringLiteral("server")},
                                    QStringLiteral("Adres van de databaseserver."),
                                    QStringLiteral("HOST[:POORT]"));
    p.addOption(server);
    if (!p.parse(arguments)) {
        out.exitNow = true;
        out.exitCode = 2;
        out.output = p.errorText();
        return out;
    }
    out.server = p.value(server);
    return out;
}

} // namespace dl
