#include "app/commandline.h"

#include <QCommandLineParser>
#include <QSettings>
#include <QtGlobal>

#include <cstdio>

namespace dl {

namespace {

QString program()
{
    return QLatin1String(kProgramName);
}

QString usageError(const QString& what)
{
    return program() + QStringLiteral(": ") + what + u'\n' + QStringLiteral("Zie '") + program() +
           QStringLiteral(" --help'.\n");
}

// Options QApplication takes for itself; we parse before it exists, so they
// must not be refused as unknown.
const char* const kQtValueOptions[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin", "display", "style",
    "stylesheet",      "geometry",           "session",       "name",   "title",   "visual",
    "qwindowgeometry", "qwindowtitle",       "qwindowicon"};
const char* const kQtFlagOptions[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

// What the parser refused, other than an unknown option: a value option
// without its value, or a flag with one ("Missing value after '--tls'.",
// "Unexpected value after '--help'.").
QString valueErrorText(const QString& parserError)
{
    const qsizetype open = parserError.indexOf(u'\'');
    const QString written = parserError.mid(open + 1, parserError.lastIndexOf(u'\'') - open - 1);
    if (parserError.startsWith(u"Unexpected value"))
        return QStringLiteral("bij ") + written + QStringLiteral(" hoort geen waarde.");
    QString name = written;
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    if (name == u"server")
        return QStringLiteral("bij --server hoort een adres, HOST[:POORT].");
    if (name == u"tls")
        return QStringLiteral("bij --tls hoort een stand: required, preferred of off.");
    if (name.startsWith(u"tls-"))
        return QStringLiteral("bij --") + name + QStringLiteral(" hoort een bestand.");
    return QStringLiteral("bij ") + written + QStringLiteral(" hoort een waarde.");
}

} // namespace

QString helpText(const QString& settingsPath)
{
    const QString p = program();
    return QStringLiteral("Gebruik: ") + p + QStringLiteral(" [opties]\n") +
           QStringLiteral("Declaraties & Logboeken: het maandelijkse urenlogboek en de declaraties van\n"
                          "consultants. De gegevens staan op de MySQL/MariaDB-server van het kantoor.\n"
                          "\n"
                          "Opties:\n"
                          "  -h, --help                Toont deze hulp en stopt.\n"
                          "  -v, --version             Toont het versienummer en stopt.\n"
                          "  --server <HOST[:POORT]>   Adres van de databaseserver, bijvoorbeeld\n"
                          "                            kantoor.example.nl of 192.168.1.10:3307\n"
                          "                            (standaardpoort 3306). Het adres wordt\n"
                          "                            onthouden voor de volgende keren. De nodes\n"
                          "                            van een cluster met komma's ertussen:\n"
                          "                            kantoor1,kantoor2:3307,kantoor3; het\n"
                          "                            programma neemt de eerste die antwoordt.\n"
                          "  --hash-password           Leest een paswoord (ten hoogste 10 tekens) van de\n"
                          "                            standaardinvoer en schrijft de Argon2id-hash\n"
                          "                            ervan, om in PASWOORD op te slaan; stopt dan.\n"
                          "  --hash-password --ed25519 Schrijft in plaats daarvan de ed25519-waarde\n"
                          "                            (ed25519:...) voor de opdrachten van het\n"
                          "                            kantoor: het wachtwoord staat dan in geen log.\n") +
           tlsOptionsHelp() +
           QStringLiteral("\n"
                          "Serveradres:\n"
                          "  Het programma gebruikt het eerste dat gegeven is van: --server, de\n"
                          "  omgevingsvariabele ") +
           QLatin1String(kServerEnv) +
           QStringLiteral(", het onthouden adres, localhost:3306.\n"
                          "  Het onthouden adres staat in het bestand\n"
                          "    ") +
           settingsPath + u'\n' + QStringLiteral("  onder de sleutel ") + QLatin1String(kServerSettingsKey) +
           QStringLiteral(".\n"
                          "  Start eenmaal met --server om het te wijzigen, of verwijder het\n"
                          "  bestand om het te vergeten.\n"
                          "\n") +
           tlsSettingsHelp() +
           QStringLiteral("\n"
                          "Zie ook: man ") +
           p + u'\n';
}

QString versionText()
{
    return program() + u' ' + QStringLiteral(DL_VERSION) + u'\n' +
           QStringLiteral("Declaraties & Logboeken, gebouwd met Qt ") + QLatin1String(qVersion()) +
           QStringLiteral(".\n");
}

namespace {

bool isValidAddressText(const QString& text)
{
    const QString t = text.trimmed();
    QString host = t;
    QString port;
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close < 0)
            return false;
        host = t.mid(1, close - 1);
        const QString rest = t.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return false;
            port = rest.mid(1);
            if (port.isEmpty())
                return false;
        }
    } else if (t.count(u':') == 1) {
        host = t.section(u':', 0, 0);
        port = t.section(u':', 1);
        if (port.isEmpty())
            return false;
    } else if (t.count(u':') > 1) {
        return false; // a bare IPv6 address needs brackets, or the port is ambiguous
    }
    if (host.isEmpty() || host.contains(u' ') || host.contains(u'/'))
        return false;
    if (!port.isEmpty()) {
        for (const QChar c : port)
            if (!c.isDigit())
                return false;
        bool ok = false;
        const int n = port.toInt(&ok);
        if (!ok || n < 1 || n > 65535)
            return false;
    }
    return true;
}

} // namespace

bool isValidServerText(const QString& text)
{
    // An empty item is a typing error, not an address.
    for (const QString& part : text.split(u',')) {
        if (!isValidAddressText(part))
            return false;
    }
    return true;
}

CommandLine parseCommandLine(const QStringList& arguments)
{
    return parseCommandLine(arguments, settingsFilePath());
}

CommandLine parseCommandLine(const QStringList& arguments, const QString& settingsPath)
{
    CommandLine out;
    QCommandLineParser p;
    // -platform, -style: Qt's own single-dash words.
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Toont deze hulp en stopt."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Toont het versienummer en stopt."));
    const QCommandLineOption server(QStringList{QStringLiteral("server")},
                                    QStringLiteral("Adres van de databaseserver."),
                                    QStringLiteral("HOST[:POORT]"));
    const QCommandLineOption hash(QStringList{QStringLiteral("hash-password")},
                                  QStringLiteral("Maakt de hash van een paswoord en stopt."));
    p.addOption(help);
    p.addOption(version);
    p.addOption(server);
    p.addOption(hash);
    const QCommandLineOption ed25519(QStringList{QStringLiteral("ed25519")},
                                     QStringLiteral("Met --hash-password: de ed25519-waarde."));
    p.addOption(ed25519);
    p.addOptions(tlsCommandLineOptions());
    for (const char* name : kQtValueOptions) {
        QCommandLineOption o(QLatin1String(name), QString(), QStringLiteral("waarde"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption o{QString::fromLatin1(name)};
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }

    out.exitCode = 2;
    if (!p.parse(arguments)) {
        out.exitNow = true;
        const QStringList unknown = p.unknownOptionNames();
        if (!unknown.isEmpty())
            out.output =
                usageError(QStringLiteral("onbekende optie '") + unknown.first() + QStringLiteral("'."));
        else
            out.output = usageError(valueErrorText(p.errorText()));
        return out;
    }
    // Help and version win over anything else on the line, as usual.
    out.exitCode = 0;
    if (p.isSet(help)) {
        out.exitNow = true;
        out.output = helpText(settingsPath);
        return out;
    }
    if (p.isSet(version)) {
        out.exitNow = true;
        out.output = versionText();
        return out;
    }
    if (!p.positionalArguments().isEmpty()) {
        out.exitNow = true;
        out.exitCode = 2;
        out.output = usageError(QStringLiteral("onverwacht argument '") + p.positionalArguments().first() +
                                QStringLiteral("'."));
        return out;
    }
    if (p.isSet(hash)) {
        out.hashPassword = true;
        out.ed25519 = p.isSet(ed25519);
        return out;
    }
    if (p.isSet(ed25519)) {
        out.exitNow = true;
        out.exitCode = 2;
        out.output = usageError(QStringLiteral("--ed25519 hoort bij --hash-password."));
        return out;
    }
    if (p.isSet(server)) {
        const QString value = p.value(server);
        if (!isValidServerText(value)) {
            out.exitNow = true;
            out.exitCode = 2;
            out.output = usageError(QStringLiteral("ongeldig serveradres '") + value +
                                    QStringLiteral("': verwacht HOST of HOST:POORT, of meer daarvan "
                                                   "met komma's ertussen") +
                                    QStringLiteral(" (poort 1 tot 65535)."));
            return out;
        }
        out.server = value.trimmed();
        out.rememberServer = true;
    }
    if (const QString wrong = readTlsOptions(p, out.tls); !wrong.isEmpty()) {
        out.exitNow = true;
        out.exitCode = 2;
        out.output = usageError(wrong);
        out.server.clear();
        out.rememberServer = false;
        return out;
    }
    return out;
}

ServerList chooseServer(const CommandLine& commandLine, const QString& environment, QSettings& settings)
{
    if (commandLine.rememberServer && !commandLine.server.isEmpty()) {
        settings.setValue(QLatin1String(kServerSettingsKey),
                          ServerList::parse(commandLine.server).toString());
        settings.sync();
        if (settings.status() != QSettings::NoError)
            std::fprintf(stderr, "%s: kon het serveradres niet onthouden in %s\n", kProgramName,
                         settings.fileName().toLocal8Bit().constData());
    }
    return resolveServer(commandLine.server, environment, &settings);
}

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList out;
    for (int i = 0; i < argc; ++i)
        out << QString::fromLocal8Bit(argv[i]);
    return out;
}

int finishCommandLine(const CommandLine& commandLine)
{
    std::FILE* stream = commandLine.exitCode == 0 ? stdout : stderr;
    std::fputs(commandLine.output.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return commandLine.exitCode;
}

} // namespace dl
