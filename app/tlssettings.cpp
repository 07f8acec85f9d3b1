#include "app/tlssettings.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
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

QString problemOf(const TlsOptions& options, const Picked& mode, const QList<Picked>& files,
                  const QString& settingsPath)
{
    if (options.mode == TlsOptions::Mode::Required && options.ca.isEmpty())
        return QStringLiteral("het CA-certificaat ontbreekt. De stand required (van ") + mode.from +
               QStringLiteral(
                   ") controleert de server met het CA-certificaat van het kantoor; geef het met ") +
               optionName(kCa) + QStringLiteral(" BESTAND (wordt onthouden), met de omgevingsvariabele ") +
               QLatin1String(kCa.env) + QStringLiteral(" of met de sleutel ") + QLatin1String(kCa.key) +
               QStringLiteral(" in ") + settingsPath + u'.';
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

void remember(const TlsTexts& given, QSettings& settings)
{
    const std::pair<const Setting*, const QString*> values[] = {
        {&kMode, &given.mode}, {&kCa, &given.ca}, {&kCert, &given.cert}, {&kKey, &given.key}};
    bool changed = false;
    for (const auto& [setting, value] : values) {
        if (value->isEmpty())
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
                          "                            gecontroleerd certificaat (vraagt --tls-ca);\n"
                          "                            off: nooit TLS.\n"
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
                          "  Op de opdrachtregel gegeven worden ze onthouden. preferred zonder\n"
                          "  CA-certificaat versleutelt wel, maar controleert niet wie de server is.\n");
}

TlsTexts tlsEnvironment()
{
    return {qEnvironmentVariable(kTlsEnv), qEnvironmentVariable(kTlsCaEnv), qEnvironmentVariable(kTlsCertEnv),
            qEnvironmentVariable(kTlsKeyEnv)};
}

TlsChoice chooseTls(const TlsTexts& commandLine, const TlsTexts& environment, QSettings& settings)
{
    TlsChoice c;
    const Picked mode = pick(kMode, commandLine.mode, environment.mode, settings);
    const Picked ca = pick(kCa, commandLine.ca, environment.ca, settings);
    const Picked cert = pick(kCert, commandLine.cert, environment.cert, settings);
    const Picked key = pick(kKey, commandLine.key, environment.key, settings);
    if (!mode.value.isEmpty()) {
        const auto m = parseTlsMode(mode.value);
        if (!m) {
            c.problem = mode.from + QStringLiteral(" heeft een onbekende stand '") + mode.value +
                        QStringLiteral("'; ") + modeWords() + u'.';
            return c;
        }
        c.options.mode = *m;
    }
    c.options.ca = ca.value;
    c.options.cert = cert.value;
    c.options.key = key.value;
    c.problem = problemOf(c.options, mode, {ca, cert, key}, settings.fileName());
    if (c.problem.isEmpty())
        remember(commandLine, settings);
    return c;
}

} // namespace dl
