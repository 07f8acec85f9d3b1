// Command line parsing, the remembered server and the unreachable-server text.

#include "app/commandline.h"
#include "core/serverhelp.h"
#include "data/dberror.h"
#include "data/tls.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace Qt::StringLiterals;

class TestCommandLine : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;

    QSettings& settings() { return *m_settings; }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(QStringLiteral("declaraties.conf")));
        m_settings = std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("declaraties.conf")),
                                                 QSettings::IniFormat);
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("exitNow");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("outputHas");

        const auto l = [](std::initializer_list<const char*> a) {
            QStringList out{QStringLiteral("declaraties")};
            for (const char* s : a)
                out << QString::fromUtf8(s);
            return out;
        };
        const QString none;
        QTest::newRow("nothing") << l({}) << false << 0 << none << false << none;
        QTest::newRow("host") << l({"--server", "kantoor"}) << false << 0 << u"kantoor"_s << true << none;
        QTest::newRow("host:port") << l({"--server", "10.0.0.5:3307"}) << false << 0 << u"10.0.0.5:3307"_s
                                   << true << none;
        QTest::newRow("equals form") << l({"--server=[::1]:3307"}) << false << 0 << u"[::1]:3307"_s << true
                                     << none;
        QTest::newRow("single dash") << l({"-server", "kantoor"}) << false << 0 << u"kantoor"_s << true
                                     << none;
        QTest::newRow("blanks trimmed")
            << l({"--server", " kantoor "}) << false << 0 << u"kantoor"_s << true << none;
        QTest::newRow("last one counts")
            << l({"--server", "a", "--server", "b"}) << false << 0 << u"b"_s << true << none;
        QTest::newRow("qt options pass") << l({"-platform", "offscreen", "-reverse", "--server", "x"})
                                         << false << 0 << u"x"_s << true << none;
        QTest::newRow("--help") << l({"--help"}) << true << 0 << none << false
                                << u"Gebruik: declaraties [opties]"_s;
        QTest::newRow("-h") << l({"-h"}) << true << 0 << none << false << u"--server <HOST[:POORT]>"_s;
        QTest::newRow("help wins") << l({"--server", "x", "--help"}) << true << 0 << none << false
                                   << u"Opties:"_s;
        QTest::newRow("help wins over bad server")
            << l({"--server", "x:0", "--help"}) << true << 0 << none << false << u"Opties:"_s;
        QTest::newRow("--version") << l({"--version"}) << true << 0 << none << false
                                   << QStringLiteral("declaraties " DL_VERSION "\n");
        QTest::newRow("-v") << l({"-v"}) << true << 0 << none << false << u"declaraties "_s;
        QTest::newRow("unknown") << l({"--servr", "x"}) << true << 2 << none << false
                                 << u"onbekende optie 'servr'"_s;
        QTest::newRow("missing value")
            << l({"--server"}) << true << 2 << none << false << u"bij --server hoort een adres"_s;
        QTest::newRow("bad port") << l({"--server", "kantoor:abc"}) << true << 2 << none << false
                                  << u"ongeldig serveradres 'kantoor:abc'"_s;
        QTest::newRow("empty value") << l({"--server", ""}) << true << 2 << none << false
                                     << u"ongeldig serveradres"_s;
        QTest::newRow("positional") << l({"kantoor"}) << true << 2 << none << false
                                    << u"onverwacht argument 'kantoor'"_s;
        QTest::newRow("help names the TLS settings")
            << l({"--help"}) << true << 0 << none << false << u"--tls-ca <BESTAND>"_s;
        QTest::newRow("tls mode unknown")
            << l({"--tls", "ja"}) << true << 2 << none << false
            << u"ongeldige stand 'ja' bij --tls: verwacht required, preferred of off."_s;
        QTest::newRow("tls mode unknown, server not remembered")
            << l({"--server", "kantoor", "--tls=verplicht"}) << true << 2 << none << false
            << u"ongeldige stand 'verplicht' bij --tls"_s;
        QTest::newRow("tls mode missing") << l({"--tls"}) << true << 2 << none << false
                                          << u"bij --tls hoort een stand: required, preferred of off."_s;
        QTest::newRow("tls file missing") << l({"--tls", "required", "--tls-ca"}) << true << 2 << none
                                          << false << u"bij --tls-ca hoort een bestand."_s;
        QTest::newRow("flag with a value") << l({"--hash-password=ja"}) << true << 2 << none << false
                                           << u"bij --hash-password hoort geen waarde."_s;
        QTest::newRow("--ed25519 without --hash-password")
            << l({"--ed25519"}) << true << 2 << none << false << u"--ed25519 hoort bij --hash-password."_s;
        QTest::newRow("qt option missing value")
            << l({"-platform"}) << true << 2 << none << false << u"bij -platform hoort een waarde."_s;
        QTest::newRow("tls file empty")
            << l({"--tls-key="}) << true << 2 << none << false << u"bij --tls-key hoort een bestand."_s;
        QTest::newRow("tls with server")
            << l({"--server", "kantoor", "--tls", "off"}) << false << 0 << u"kantoor"_s << true << none;
        QTest::newRow("cluster nodes") << l({"--server", " k1, k2:3307,[::1]:3308 "}) << false << 0
                                       << u"k1, k2:3307,[::1]:3308"_s << true << none;
        QTest::newRow("node list with a bad port") << l({"--server", "k1,k2:0"}) << true << 2 << none << false
                                                   << u"meer daarvan met komma's ertussen"_s;
        QTest::newRow("node list with an empty item")
            << l({"--server", "k1,,k2"}) << true << 2 << none << false << u"ongeldig serveradres 'k1,,k2'"_s;
    }

    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, exitNow);
        QFETCH(int, exitCode);
        QFETCH(QString, server);
        QFETCH(bool, remember);
        QFETCH(QString, outputHas);

        const CommandLine c = parseCommandLine(args, u"/tmp/x/declaraties.conf"_s);
        QCOMPARE(c.exitNow, exitNow);
        QCOMPARE(c.exitCode, exitCode);
        QCOMPARE(c.server, server);
        QCOMPARE(c.rememberServer, remember);
        if (outputHas.isEmpty())
            QVERIFY(c.output.isEmpty());
        else
            QVERIFY2(c.output.contains(outputHas), qPrintable(c.output));
        if (c.exitNow)
            QVERIFY(c.output.endsWith(u'\n'));
        if (exitCode == 2)
            QVERIFY(c.output.contains(u"Zie 'declaraties --help'."_s));
    }

    void helpNamesWhereTheSettingLives()
    {
        const QString help = helpText(u"/home/anna/.config/declaraties/declaraties.conf"_s);
        QVERIFY(help.contains(u"/home/anna/.config/declaraties/declaraties.conf"_s));
        QVERIFY(help.contains(u"database/server"_s));
        QVERIFY(help.contains(u"DECLARATIES_SERVER"_s));
        for (const QString& tls : {u"DECLARATIES_TLS_CA"_s, u"database/tls-ca"_s, u"--tls-key <BESTAND>"_s})
            QVERIFY2(help.contains(tls), qPrintable(tls));
        QVERIFY(help.contains(u"--version"_s));
        for (const QString& line : help.split(u'\n'))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    void realSettingsFile()
    {
        QVERIFY2(settingsFilePath().endsWith(u"/declaraties/declaraties.conf"_s),
                 qPrintable(settingsFilePath()));
        QVERIFY(parseCommandLine({u"declaraties"_s, u"--help"_s}).output.contains(settingsFilePath()));
    }

    void validServerText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("name") << u"kantoor.example.nl"_s << true;
        QTest::newRow("ip:port") << u"192.168.1.10:3307"_s << true;
        QTest::newRow("lowest port") << u"h:1"_s << true;
        QTest::newRow("highest port") << u"h:65535"_s << true;
        QTest::newRow("v6 bracketed") << u"[::1]"_s << true;
        QTest::newRow("v6 with port") << u"[fe80::1]:3306"_s << true;
        QTest::newRow("port 0") << u"h:0"_s << false;
        QTest::newRow("port too big") << u"h:65536"_s << false;
        QTest::newRow("port sign") << u"h:+3306"_s << false;
        QTest::newRow("port empty") << u"h:"_s << false;
        QTest::newRow("host empty") << u":3306"_s << false;
        QTest::newRow("bare v6") << u"fe80::1"_s << false;
        QTest::newRow("v6 unclosed") << u"[::1:3306"_s << false;
        QTest::newRow("v6 junk after") << u"[::1]x"_s << false;
        QTest::newRow("blank inside") << u"kan toor"_s << false;
        QTest::newRow("url") << u"mysql://kantoor"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("list") << u"kantoor1,kantoor2:3307,[::1]:3308"_s << true;
        QTest::newRow("list with blanks") << u"kantoor1, kantoor2"_s << true;
        QTest::newRow("list with a bad port") << u"kantoor1,kantoor2:0"_s << false;
        QTest::newRow("list with a bare v6") << u"kantoor1,fe80::1"_s << false;
        QTest::newRow("list with an empty item") << u"kantoor1,,kantoor2"_s << false;
        QTest::newRow("list ending in a comma") << u"kantoor1,"_s << false;
        QTest::newRow("only a comma") << u","_s << false;
    }

    // The order of a connection's tries: the address that answered last
    // first, then the list; one that went away last. Copies (the ticker's)
    // share what they learn.
    void serverListOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("events"); // "+a": a answered, "-a": a went away
        QTest::addColumn<QString>("order");
        const QStringList none;
        QTest::newRow("one") << u"kantoor"_s << none << u"kantoor"_s;
        QTest::newRow("list order") << u"a,b:3307,c"_s << none << u"a,b:3307,c"_s;
        QTest::newRow("last answered first") << u"a,b:3307,c"_s << QStringList{u"+c"_s} << u"c,a,b:3307"_s;
        QTest::newRow("first answered") << u"a,b:3307,c"_s << QStringList{u"+a"_s} << u"a,b:3307,c"_s;
        QTest::newRow("middle answered") << u"a,b:3307,c"_s << QStringList{u"+b:3307"_s} << u"b:3307,a,c"_s;
        QTest::newRow("latest answer counts") << u"a,b,c"_s << QStringList{u"+c"_s, u"+b"_s} << u"b,a,c"_s;
        QTest::newRow("gone node tried last") << u"a,b,c"_s << QStringList{u"+a"_s, u"-a"_s} << u"b,c,a"_s;
        QTest::newRow("gone middle node") << u"a,b,c"_s << QStringList{u"+b"_s, u"-b"_s} << u"a,c,b"_s;
        QTest::newRow("gone, then the next answered")
            << u"a,b,c"_s << QStringList{u"+a"_s, u"-a"_s, u"+b"_s} << u"b,c,a"_s;
        QTest::newRow("gone one back") << u"a,b,c"_s << QStringList{u"-a"_s, u"+a"_s} << u"a,b,c"_s;
        QTest::newRow("single gone stays") << u"a"_s << QStringList{u"+a"_s, u"-a"_s} << u"a"_s;
        QTest::newRow("unknown address ignored") << u"a,b"_s << QStringList{u"+x"_s, u"-y"_s} << u"a,b"_s;
        QTest::newRow("twice given, tried once") << u"a, b ,a:3306"_s << none << u"a,b"_s;
        QTest::newRow("empty items left out") << u",a,,b,"_s << none << u"a,b"_s;
        QTest::newRow("nothing is localhost") << u" , "_s << none << u"localhost"_s;
        QTest::newRow("default port left out") << u"a:3306,[::1]:3308"_s << none << u"a,[::1]:3308"_s;
    }

    void serverListOrder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, events);
        QFETCH(QString, order);
        const ServerList list = ServerList::parse(text);
        const ServerList copy = list;
        for (const QString& e : events) {
            const ServerAddress a = ServerAddress::parse(e.mid(1));
            if (e.startsWith(u'+'))
                copy.answered(a);
            else
                copy.wentAway(a);
        }
        QStringList tries;
        for (const ServerAddress& a : list.tryOrder())
            tries << a.toString();
        QCOMPARE(tries.join(u','), order);
        QCOMPARE(list.tryOrder().size(), list.size());
    }

    void validServerText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(isValidServerText(text), valid);
    }

    void givenServerIsRememberedForTheNextStart_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("stored");
        QTest::newRow("one address") << u"10.0.0.5:3307"_s << u"10.0.0.5:3307"_s;
        QTest::newRow("cluster nodes") << u"k1, k2:3306 ,[::1]:3308"_s << u"k1,k2,[::1]:3308"_s;
    }

    void givenServerIsRememberedForTheNextStart()
    {
        QFETCH(QString, given);
        QFETCH(QString, stored);
        const CommandLine first = parseCommandLine({u"declaraties"_s, u"--server"_s, given});
        QCOMPARE(chooseServer(first, {}, settings()).toString(), stored);

        // A fresh QSettings on the same file: what the next process sees.
        QSettings next(settings().fileName(), QSettings::IniFormat);
        QCOMPARE(next.value(QLatin1String(kServerSettingsKey)).toString(), stored);
        const ServerList again = chooseServer(parseCommandLine({u"declaraties"_s}), {}, next);
        QCOMPARE(again.toString(), stored);
        QCOMPARE(again, ServerList::parse(given));
    }

    void defaultPortIsStoredShort()
    {
        chooseServer(parseCommandLine({u"declaraties"_s, u"--server"_s, u"kantoor:3306"_s}), {}, settings());
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"kantoor"_s);
    }

    void environmentWinsOverStoredButIsNotStored()
    {
        settings().setValue(QLatin1String(kServerSettingsKey), u"opgeslagen:3310"_s);
        const ServerList a =
            chooseServer(parseCommandLine({u"declaraties"_s}), u"omgeving,omgeving2"_s, settings());
        QCOMPARE(a.toString(), u"omgeving,omgeving2"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"opgeslagen:3310"_s);
    }

    void commandLineWinsOverEnvironment()
    {
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--server=regel"_s});
        QCOMPARE(chooseServer(c, u"omgeving"_s, settings()).toString(), u"regel"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"regel"_s);
    }

    void nothingAnywhereIsLocalhost()
    {
        const ServerList a = chooseServer(parseCommandLine({u"declaraties"_s}), {}, settings());
        QCOMPARE(a, ServerList{});
        QCOMPARE(a.first(), ServerAddress{});
        QVERIFY(!settings().contains(QLatin1String(kServerSettingsKey)));
    }

    void refusedServerIsNotStored()
    {
        settings().setValue(QLatin1String(kServerSettingsKey), u"oud"_s);
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--server"_s, u"nieuw:99999"_s});
        QVERIFY(c.exitNow);
        QCOMPARE(chooseServer(c, {}, settings()).toString(), u"oud"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"oud"_s);
    }

    // Each TLS setting from the first source that gives it; "@" is the
    // folder of the test's files, "|" separates mode, CA, certificate and key.
    void tlsChoice_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("problemHas");
        QTest::addColumn<QString>("storedAfter");

        const QString nothing = u"|||"_s;
        const QString none;
        const auto l = [](std::initializer_list<const char*> a) {
            QStringList out{QStringLiteral("declaraties")};
            for (const char* s : a)
                out << QString::fromUtf8(s);
            return out;
        };
        QTest::newRow("nothing anywhere")
            << l({}) << nothing << nothing << u"preferred|||"_s << none << nothing;
        QTest::newRow("command line, remembered")
            << l({"--tls", "required", "--tls-ca", "ca.pem"}) << nothing << nothing
            << u"required|@/ca.pem||"_s << none << u"required|@/ca.pem||"_s;
        QTest::newRow("mode in capitals")
            << l({"--tls", "REQUIRED"}) << nothing << nothing << u"required|||"_s << none << u"required|||"_s;
        // Plain text is for the one start that asks for it.
        QTest::newRow("off on the command line, not remembered")
            << l({"--tls", "OFF"}) << nothing << u"required|@/ca.pem||"_s << u"off|@/ca.pem||"_s << none
            << u"required|@/ca.pem||"_s;
        QTest::newRow("off remembered by an older start counts for nothing")
            << l({}) << nothing << u"off|||"_s << u"preferred|||"_s << none << u"off|||"_s;
        QTest::newRow("off from the environment counts for nothing")
            << l({}) << u"off|||"_s << nothing << u"preferred|||"_s << none << nothing;
        QTest::newRow("the environment does not lower a remembered mode")
            << l({}) << u"preferred|||"_s << u"required|@/ca.pem||"_s << u"required|@/ca.pem||"_s << none
            << u"required|@/ca.pem||"_s;
        QTest::newRow("the environment raises a remembered mode")
            << l({}) << u"required|||"_s << u"preferred|@/ca.pem||"_s << u"required|@/ca.pem||"_s << none
            << u"preferred|@/ca.pem||"_s;
        QTest::newRow("all four remembered")
            << l({"--tls=required", "--tls-ca=@/ca.pem", "--tls-cert", "cert.pem", "--tls-key", "key.pem"})
            << nothing << nothing << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s << none
            << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s;
        QTest::newRow("remembered alone") << l({}) << nothing << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s
                                          << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s << none
                                          << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s;
        // Another CA only from the command line: the environment does not swap the trusted one.
        QTest::newRow("the environment does not swap a remembered CA")
            << l({}) << u"off|@/ander.pem||"_s << u"required|@/ca.pem||"_s << u"required|@/ca.pem||"_s << none
            << u"required|@/ca.pem||"_s;
        QTest::newRow("the environment gives a CA where none is remembered")
            << l({}) << u"|@/ander.pem||"_s << u"required|||"_s << u"required|@/ander.pem||"_s << none
            << u"required|||"_s;
        QTest::newRow("command line wins over environment")
            << l({"--tls", "preferred", "--tls-ca", "ander.pem"}) << u"required|@/ca.pem||"_s << nothing
            << u"preferred|@/ander.pem||"_s << none << u"preferred|@/ander.pem||"_s;
        QTest::newRow("each from its own source")
            << l({"--tls-cert", "cert.pem"}) << u"|@/ca.pem||"_s << u"required|||@/key.pem"_s
            << u"required|@/ca.pem|@/cert.pem|@/key.pem"_s << none << u"required||@/cert.pem|@/key.pem"_s;
        // Checked against the system's certificates.
        QTest::newRow("required without CA") << l({"--tls", "required", "--server", "x"}) << nothing
                                             << nothing << u"required|||"_s << none << u"required|||"_s;
        QTest::newRow("required from the environment without CA")
            << l({}) << u"required|||"_s << nothing << u"required|||"_s << none << nothing;
        QTest::newRow("unknown mode in the environment")
            << l({}) << u"ja|||"_s << nothing << u"preferred|||"_s
            << u"DECLARATIES_TLS heeft een onbekende stand 'ja'; "
               "verwacht required, preferred of off."_s
            << nothing;
        QTest::newRow("unknown mode remembered")
            << l({}) << nothing << u"verplicht|@/ca.pem||"_s << u"preferred|||"_s
            << u"de sleutel database/tls in @/declaraties.conf heeft een onbekende stand 'verplicht'"_s
            << u"verplicht|@/ca.pem||"_s;
        QTest::newRow("CA that cannot be read")
            << l({"--tls-ca", "weg.pem"}) << nothing << nothing << u"preferred|@/weg.pem||"_s
            << u"het bestand @/weg.pem (van --tls-ca) kan niet worden gelezen."_s << nothing;
        QTest::newRow("key that cannot be read, remembered")
            << l({}) << nothing << u"||@/cert.pem|@/weg.key"_s << u"preferred||@/cert.pem|@/weg.key"_s
            << u"het bestand @/weg.key (van de sleutel "
               "database/tls-key in @/declaraties.conf)"_s
            << u"||@/cert.pem|@/weg.key"_s;
        QTest::newRow("a folder is no CA") << l({}) << u"|@||"_s << nothing << u"preferred|@||"_s
                                           << u"het bestand @ (van DECLARATIES_TLS_CA)"_s << nothing;
        QTest::newRow("off reads no files") << l({"--tls", "off", "--tls-ca", "weg.pem"}) << nothing
                                            << nothing << u"off|@/weg.pem||"_s << none << u"|@/weg.pem||"_s;
        QTest::newRow("a refused start changes nothing")
            << l({"--tls", "required", "--tls-ca", "weg.pem"}) << nothing << u"preferred|@/ca.pem||"_s
            << u"required|@/weg.pem||"_s << u"kan niet worden gelezen"_s << u"preferred|@/ca.pem||"_s;
    }

    void tlsChoice()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, environment);
        QFETCH(QString, stored);
        QFETCH(QString, chosen);
        QFETCH(QString, problemHas);
        QFETCH(QString, storedAfter);

        const QString here = m_dir.path();
        for (const char* name : {"ca.pem", "ander.pem", "cert.pem", "key.pem"}) {
            QFile f(m_dir.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const auto texts = [&here](QString joined) {
            const QStringList p = joined.replace(u'@', here).split(u'|');
            return TlsTexts{p.value(0), p.value(1), p.value(2), p.value(3)};
        };
        const char* const keys[] = {kTlsSettingsKey, kTlsCaSettingsKey, kTlsCertSettingsKey,
                                    kTlsKeySettingsKey};
        const TlsTexts before = texts(stored);
        const QString* const beforeValues[] = {&before.mode, &before.ca, &before.cert, &before.key};
        for (int i = 0; i < 4; ++i) {
            if (!beforeValues[i]->isEmpty())
                settings().setValue(QLatin1String(keys[i]), *beforeValues[i]);
        }
        for (QString& a : args)
            a.replace(u'@', here);

        const QString wasCurrent = QDir::currentPath();
        QDir::setCurrent(here);
        const CommandLine c = parseCommandLine(args, settings().fileName());
        QDir::setCurrent(wasCurrent);
        QVERIFY2(!c.exitNow, qPrintable(c.output));
        const TlsChoice choice = chooseTls(c.tls, texts(environment), settings());

        const TlsTexts want = texts(chosen);
        QCOMPARE(tlsModeName(choice.options.mode), want.mode);
        QCOMPARE(choice.options.ca, want.ca);
        QCOMPARE(choice.options.cert, want.cert);
        QCOMPARE(choice.options.key, want.key);
        const QString givenCa = texts(environment).ca;
        QCOMPARE(!choice.notice.isEmpty(), c.tls.ca.isEmpty() && !givenCa.isEmpty() && givenCa != want.ca);
        if (problemHas.isEmpty())
            QVERIFY2(choice.problem.isEmpty(), qPrintable(choice.problem));
        else
            QVERIFY2(choice.problem.contains(QString(problemHas).replace(u'@', here)),
                     qPrintable(choice.problem));

        // What the next start reads.
        QSettings next(settings().fileName(), QSettings::IniFormat);
        const TlsTexts after = texts(storedAfter);
        const QString* const afterValues[] = {&after.mode, &after.ca, &after.cert, &after.key};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(next.value(QLatin1String(keys[i])).toString(), *afterValues[i]);
    }

    // A consultant's own account: required with a checked certificate
    // wherever the settings come from; plain only for --tls off on this start.
    void ownAccountTls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("environment"); // the mode
        QTest::addColumn<QString>("stored");      // the mode
        QTest::addColumn<QString>("mode");
        const QString none;
        const QString declaraties = u"declaraties"_s;
        QTest::newRow("nothing anywhere") << QStringList{declaraties} << none << none << u"required"_s;
        QTest::newRow("preferred remembered")
            << QStringList{declaraties} << none << u"preferred"_s << u"required"_s;
        QTest::newRow("preferred on the command line")
            << QStringList{declaraties, u"--tls"_s, u"preferred"_s} << none << none << u"required"_s;
        QTest::newRow("off remembered") << QStringList{declaraties} << none << u"off"_s << u"required"_s;
        QTest::newRow("off from the environment")
            << QStringList{declaraties} << u"off"_s << none << u"required"_s;
        QTest::newRow("off on this start's command line")
            << QStringList{declaraties, u"--tls"_s, u"off"_s} << none << u"required"_s << u"off"_s;
    }

    void ownAccountTls()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, environment);
        QFETCH(QString, stored);
        QFETCH(QString, mode);
        if (!stored.isEmpty())
            settings().setValue(QLatin1String(kTlsSettingsKey), stored);
        const CommandLine c = parseCommandLine(args, settings().fileName());
        QVERIFY2(!c.exitNow, qPrintable(c.output));
        const TlsChoice choice = chooseTls(c.tls, TlsTexts{environment, {}, {}, {}}, settings());
        QVERIFY2(choice.problem.isEmpty(), qPrintable(choice.problem));
        const TlsOptions own = tlsForOwnAccount(choice.options);
        QCOMPARE(tlsModeName(own.mode), mode);
        // Nothing else changes: the files stay the ones chosen.
        QCOMPARE(own.ca, choice.options.ca);
        QCOMPARE(own.cert, choice.options.cert);
    }

    // Before any window: no display is needed to be told, and nothing given
    // on the line is remembered.
    void tlsProblemEndsTheStart()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DECLARATIES_TLS"})
            env.remove(QString::fromLatin1(name));
        env.insert(u"XDG_CONFIG_HOME"_s, m_dir.path());
        env.insert(QLatin1String(kTlsCaEnv), m_dir.filePath(u"weg.pem"_s));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(DL_BINARY_DIR "/declaraties"), {u"--server"_s, u"kantoor"_s});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        const QString said = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(said.startsWith(u"declaraties: het bestand "_s) &&
                     said.contains(u"kan niet worden gelezen"_s),
                 qPrintable(said));
        QVERIFY(!QFile::exists(m_dir.filePath(u"declaraties/declaraties.conf"_s)));
    }

    void hashPasswordNeedsNothingElse()
    {
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--hash-password"_s}, u"/x"_s);
        QVERIFY(c.hashPassword);
        QVERIFY(!c.ed25519);
        QVERIFY(!c.exitNow);
        QVERIFY(parseCommandLine({u"declaraties"_s, u"--hash-password"_s, u"--ed25519"_s}, u"/x"_s).ed25519);
        QVERIFY(!c.rememberServer);
        QVERIFY(parseCommandLine({u"declaraties"_s, u"--hash-password"_s, u"--help"_s}, u"/x"_s).exitNow);
        QVERIFY(helpText(u"/x"_s).contains(u"--hash-password"_s));
    }

    void unreachableTextSaysWhatAndHow_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("says");
        QTest::newRow("default port shown")
            << u"kantoor"_s << u"De databaseserver op kantoor:3306 is niet bereikbaar."_s;
        QTest::newRow("own port") << u"10.0.0.5:3307"_s
                                  << u"De databaseserver op 10.0.0.5:3307 is niet bereikbaar."_s;
        QTest::newRow("v6") << u"[::1]:3307"_s << u"De databaseserver op [::1]:3307 is niet bereikbaar."_s;
        QTest::newRow("every node tried")
            << u"db1,db2:3307,[::1]"_s
            << u"Geen van de databaseservers is bereikbaar; geprobeerd: db1:3306, "
               "db2:3307, [::1]:3306."_s;
    }

    void unreachableTextSaysWhatAndHow()
    {
        QFETCH(QString, server);
        QFETCH(QString, says);
        const QString path = u"/home/anna/.config/declaraties/declaraties.conf"_s;
        const QString t = unreachableServerText(ServerList::parse(server),
                                                DbError(2003, u"Can't connect to server"_s), path);
        QVERIFY2(t.startsWith(says + u"\r\n"_s), qPrintable(t));
        QVERIFY(t.contains(u"--server HOST[:POORT]"_s));
        QVERIFY(t.contains(u"HOST1,HOST2:POORT,HOST3"_s));
        QVERIFY(t.contains(u"DECLARATIES_SERVER"_s));
        QVERIFY(t.contains(path));
        QVERIFY(t.endsWith(u"Fout 2003: Can't connect to server"_s));
        // Message boxes break lines with CR LF only.
        QCOMPARE(t.count(u'\n'), t.count(u"\r\n"_s));
    }

    void unreachableTextWithRealSettingsFile()
    {
        QVERIFY(unreachableServerText(ServerAddress{}).contains(settingsFilePath()));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
