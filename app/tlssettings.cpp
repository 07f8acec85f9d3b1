#include "app/tlssettings.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>

#include <cstdio>

namespace dl {

namespace {

// One setting's names in the three sources.
struct Setting {
    const char* option;
    const char* env;
    const char* key;
};

const Setting kMode{"tls", kTlsEnv, kTlsSettingsKey};
const Setting kCa{"tls-ca", kTlsCaEnv, kTlsCaSettingsKey};
const Setting kCert{"tls-cert", kTlsCertEnv, kTlsCertSettingsKey};
const Setting kKey{"tls-key", kTlsKeyEnv, kTlsKeySettingsKey};

QString optionName(const Setting& s)
{
    return QStringLiteral("--") + QLatin1String(s.option);
}

// A value and where it came from, for the messages.
struct Picked {
    QString value;
    QString from;
};

Picked pick(const Setting& s, const QString& commandLine, const QString& environment,
            const QSettings& settings)
{
    if (!commandLine.trimmed().isEmpty())
        return {commandLine.trimmed(), optionName(s)};
    if (!environment.trimmed().isEmpty())
        return {environment.trimmed(), QLatin1String(s.env)};
    const QString stored = settings.value(QLatin1String(s.key)).toString().trimmed();
    if (!stored.isEmpty())
        return {stored, QStringLiteral("de sleutel ") + QLatin1String(s.key) + QStringLiteral(" in ") +
                            settings.fileName()};
    return {};
}

QString modeWords()
{
    return QStringLiteral("verwacht required, preferred of off");
}

QString problemOf(const TlsOptions& options, const QList<Picked>& files)
{
    if (options.mode == TlsOptions::Mode::Off)
        return {};
    for (const Picked& f : files) {
        const QFileInfo info(f.value);
        if (!f.value.isEmpty() && !(info.isFile() && info.isReadable()))
            return QStringLiteral("het bestand ") + f.value + QStringLiteral(" (van ") + f.from +
                   QStringLiteral(") kan niet worden gelezen.");
    }
    return {};
}

// How much a mode protects, to keep the environment from lowering one.
int strength(TlsOptions::Mode mode)
{
    switch (mode) {
    case TlsOptions::Mode::Off:
        return 0;
    case TlsOptions::Mode::Preferred:
        return 1;
    case TlsOptions::Mode::Required:
        break;
    }
    return 2;
}

// The mode: the command line's for this start, off included; else the
// stronger of the environment's and the remembered one. Off from anywhere
// but this start's command line counts as not given (an older version
// remembered it). Empty text: an unknown mode, named in problem.
std::optional<TlsOptions::Mode> chooseMode(const QString& commandLine, const QString& environment,
                                           const QSettings& settings, QString& problem)
{
    if (!commandLine.trimmed().isEmpty())
        return parseTlsMode(commandLine);
    TlsOptions::Mode mode = TlsOptions::Mode::Preferred;
    const Picked stored = pick(kMode, {}, {}, settings);
    const Picked given = pick(kMode, {}, environment, settings);
    for (const Picked& p : {stored, given}) {
        if (p.value.isEmpty())
            continue;
        const auto m = parseTlsMode(p.value);
        if (!m) {
            problem = p.from + QStringLiteral(" heeft een onbekende stand '") + p.value +
                      QStringLiteral("'; ") + modeWords() + u'.';
            return std::nullopt;
        }
        if (strength(*m) > strength(mode))
            mode = *m;
    }
    return mode;
}

void remember(const TlsTexts& given, QSettings& settings)
{
    const std::pair<const Setting*, const QString*> values[] = {
        {&kMode, &given.mode}, {&kCa, &given.ca}, {&kCert, &given.cert}, {&kKey, &given.key}};
    bool changed = false;
    for (const auto& [setting, value] : values) {
        // Plain text is for the one start that asks for it.
        if (value->isEmpty() || (setting == &kMode && parseTlsMode(*value) == TlsOptions::Mode::Off))
            continue;
        settings.setValue(QLatin1String(setting->key), *value);
        changed = true;
    }
    if (!changed)
        return;
    settings.sync();
    if (settings.status() != QSettings::NoError)
        std::fprintf(stderr, "declaraties: kon de TLS-instellingen niet onthouden in %s\n",
                     settings.fileName().toLocal8Bit().constData());
}

} // namespace

std::optional<TlsOptions::Mode> parseTlsMode(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == u"required")
        return TlsOptions::Mode::Required;
    if (t == u"preferred")
        return TlsOptions::Mode::Preferred;
    if (t == u"off")
        return TlsOptions::Mode::Off;
    return std::nullopt;
}

QString tlsModeName(TlsOptions::Mode mode)
{
    switch (mode) {
    case TlsOptions::Mode::Required:
        return QStringLiteral("required");
    case TlsOptions::Mode::Off:
        return QStringLiteral("off");
    case TlsOptions::Mode::Preferred:
        break;
    }
    return QStringLiteral("preferred");
}

QList<QCommandLineOption> tlsCommandLineOptions()
{
    return {QCommandLineOption(QLatin1String(kMode.option), QStringLiteral("Versleuteling."),
                               QStringLiteral("STAND")),
            QCommandLineOption(QLatin1String(kCa.option), QStringLiteral("CA-certificaat."),
                               QStringLiteral("BESTAND")),
            QCommandLineOption(QLatin1String(kCert.option), QStringLiteral("Certificaat."),
                               QStringLiteral("BESTAND")),
            QCommandLineOption(QLatin1String(kKey.option), QStringLiteral("Sleutel."),
                               QStringLiteral("BESTAND"))};
}

QString readTlsOptions(const QCommandLineParser& parser, TlsTexts& out)
{
    const QString mode = QLatin1String(kMode.option);
    if (parser.isSet(mode)) {
        const QString value = parser.value(mode);
        const auto m = parseTlsMode(value);
        if (!m)
            return QStringLiteral("ongeldige stand '") + value + QStringLiteral("' bij --tls: ") +
                   modeWords() + u'.';
        out.mode = tlsModeName(*m);
    }
    const std::pair<const Setting*, QString*> files[] = {
        {&kCa, &out.ca}, {&kCert, &out.cert}, {&kKey, &out.key}};
    for (const auto& [setting, value] : files) {
        const QString name = QLatin1String(setting->option);
        if (!parser.isSet(name))
            continue;
        const QString path = parser.value(name).trimmed();
        if (path.isEmpty())
            return QStringLiteral("bij ") + optionName(*setting) + QStringLiteral(" hoort een bestand.");
        // Remembered, so it must mean the same file from any folder.
        *value = QFileInfo(path).absoluteFilePath();
    }
    return {};
}

QString tlsOptionsHelp()
{
    return QStringLiteral("  --tls <STAND>             Versleuteling van de verbinding met de server:\n"
                          "                            preferred (standaard): TLS als de server het\n"
                          "                            aanbiedt; required: altijd TLS, met een\n"
                          "                            gecontroleerd certificaat (zonder --tls-ca:\n"
                          "                            tegen de certificaten van het systeem);\n"
                          "                            off: geen TLS, alleen voor deze start.\n"
                          "  --tls-ca <BESTAND>        Het CA-certificaat dat het certificaat van de\n"
                          "                            server ondertekent; de server wordt ermee\n"
                          "                            gecontroleerd (certificaat en hostnaam).\n"
                          "  --tls-cert <BESTAND>      Certificaat van deze werkplek, als de server\n"
                          "                            erom vraagt.\n"
                          "  --tls-key <BESTAND>       De sleutel bij --tls-cert.\n");
}

QString tlsSettingsHelp()
{
    return QStringLiteral("Versleuteling:\n"
                          "  Elke TLS-instelling komt, net als het adres, van de opdrachtregel, dan\n"
                          "  de omgeving (") +
           QLatin1String(kTlsEnv) + QStringLiteral(", ") + QLatin1String(kTlsCaEnv) +
           QStringLiteral(",\n  ") + QLatin1String(kTlsCertEnv) + QStringLiteral(", ") +
           QLatin1String(kTlsKeyEnv) + QStringLiteral("), dan de onthouden sleutels\n  ") +
           QLatin1String(kTlsSettingsKey) + QStringLiteral(", ") + QLatin1String(kTlsCaSettingsKey) +
           QStringLiteral(", ") + QLatin1String(kTlsCertSettingsKey) + QStringLiteral(", ") +
           QLatin1String(kTlsKeySettingsKey) +
           QStringLiteral(".\n"
                          "  Op de opdrachtregel gegeven worden ze onthouden, behalve --tls off: dat\n"
                          "  geldt alleen voor die start. De omgeving kan de onthouden stand alleen\n"
                          "  verhogen. preferred zonder CA-certificaat versleutelt wel, maar\n"
                          "  controleert niet wie de server is. Met een eigen account per consultant\n"
                          "  geldt required, behalve met --tls off.\n");
}

TlsTexts tlsEnvironment()
{
    return {qEnvironmentVariable(kTlsEnv), qEnvironmentVariable(kTlsCaEnv), qEnvironmentVariable(kTlsCertEnv),
            qEnvironmentVariable(kTlsKeyEnv)};
}

TlsChoice chooseTls(const TlsTexts& commandLine, const TlsTexts& environment, QSettings& settings)
{
    TlsChoice c;
    const auto mode = chooseMode(commandLine.mode, environment.mode, settings, c.problem);
    if (!mode)
        return c;
    Picked ca = pick(kCa, commandLine.ca, environment.ca, settings);
    // The environment may give a CA where none is remembered, never swap
    // the one this workstation trusts (as it may only raise the mode).
    const Picked storedCa = pick(kCa, {}, {}, settings);
    const auto sameFile = [](const QString& a, const QString& b) {
        const QString path = QFileInfo(a).canonicalFilePath();
        return a == b || (!path.isEmpty() && path == QFileInfo(b).canonicalFilePath());
    };
    if (commandLine.ca.trimmed().isEmpty() && !storedCa.value.isEmpty() &&
        !sameFile(ca.value, storedCa.value)) {
        if (*mode != TlsOptions::Mode::Off)
            c.notice = QLatin1String(kTlsCaEnv) + QStringLiteral(" (") + ca.value +
                       QStringLiteral(") vervangt het onthouden CA-certificaat ") + storedCa.value +
                       QStringLiteral(" niet; een ander geeft u met --tls-ca.");
        ca = storedCa;
    }
    const Picked cert = pick(kCert, commandLine.cert, environment.cert, settings);
    const Picked key = pick(kKey, commandLine.key, environment.key, settings);
    c.options.mode = *mode;
    c.options.ca = ca.value;
    c.options.cert = cert.value;
    c.options.key = key.value;
    c.problem = problemOf(c.options, {ca, cert, key});
    if (c.problem.isEmpty())
        remember(commandLine, settings);
    return c;
}

QLabel* plainLineWarning()
{
    auto* label = new QLabel(QStringLiteral("Let op: de verbinding met de server is niet versleuteld."));
    label->setObjectName(QStringLiteral("lblTlsUit"));
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(red);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace dl
