// Command line parsing, the remembered server and the unreachable-server text.

#include "app/commandline.h"
#include "app/serverhelp.h"
#include "data/dberror.h"

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
        QTest::newRow("host:port") << l({"--server", "10.0.0.5:3307"}) << false << 0
                                   << u"10.0.0.5:3307"_s << true << none;
        QTest::newRow("equals form") << l({"--server=[::1]:3307"}) << false << 0 << u"[::1]:3307"_s
                                     << true << none;
        QTest::newRow("single dash") << l({"-server", "kantoor"}) << false << 0 << u"kantoor"_s
                                     << true << none;
        QTest::newRow("blanks trimmed") << l({"--server", " kantoor "}) << false << 0
                                        << u"kantoor"_s << true << none;
        QTest::newRow("last one counts") << l({"--server", "a", "--server", "b"}) << false << 0
                                         << u"b"_s << true << none;
        QTest::newRow("qt options pass") << l({"-platform", "offscreen", "-reverse", "--server", "x"})
                                         << false << 0 << u"x"_s << true << none;
        QTest::newRow("--help") << l({"--help"}) << true << 0 << none << false << u"Gebruik: declaraties [opties]"_s;
        QTest::newRow("-h") << l({"-h"}) << true << 0 << none << false << u"--server <HOST[:POORT]>"_s;
        QTest::newRow("help wins") << l({"--server", "x", "--help"}) << true << 0 << none << false
                                   << u"Opties:"_s;
        QTest::newRow("help wins over bad server") << l({"--server", "x:0", "--help"}) << true << 0
                                                   << none << false << u"Opties:"_s;
        QTest::newRow("--version") << l({"--version"}) << true << 0 << none << false
                                   << QStringLiteral("declaraties " DL_VERSION "\n");
        QTest::newRow("-v") << l({"-v"}) << true << 0 << none << false << u"declaraties "_s;
        QTest::newRow("unknown") << l({"--servr", "x"}) << true << 2 << none << false
                                 << u"onbekende optie 'servr'"_s;
        QTest::newRow("missing value") << l({"--server"}) << true << 2 << none << false
                                       << u"bij --server hoort een adres"_s;
        QTest::newRow("bad port") << l({"--server", "kantoor:abc"}) << true << 2 << none << false
                                  << u"ongeldig serveradres 'kantoor:abc'"_s;
        QTest::newRow("empty value") << l({"--server", ""}) << true << 2 << none << false
                                     << u"ongeldig serveradres"_s;
        QTest::newRow("positional") << l({"kantoor"}) << true << 2 << none << false
                                    << u"onverwacht argument 'kantoor'"_s;
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
        QTest::newRow("list with an empty item") << u"kantoor1,,kantoor2"_s << false;
        QTest::newRow("list ending in a comma") << u"kantoor1,"_s << false;
    }

    void serverListOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answered"); // the address that answered last, or empty
        QTest::addColumn<QString>("order");    // the order of the next tries
        QTest::newRow("one") << u"kantoor"_s << QString() << u"kantoor"_s;
        QTest::newRow("list order") << u"a,b:3307,c"_s << QString() << u"a,b:3307,c"_s;
        QTest::newRow("last answered first") << u"a,b:3307,c"_s << u"c"_s << u"c,a,b:3307"_s;
        QTest::newRow("first answered") << u"a,b:3307,c"_s << u"a"_s << u"a,b:3307,c"_s;
        QTest::newRow("middle answered") << u"a,b:3307,c"_s << u"b:3307"_s << u"b:3307,a,c"_s;
        QTest::newRow("unknown answer ignored") << u"a,b"_s << u"x"_s << u"a,b"_s;
        QTest::newRow("twice given once tried") << u"a, b ,a:3306"_s << QString() << u"a,b"_s;
        QTest::newRow("default port left out") << u"a:3306,[::1]:3308"_s << QString() << u"a,[::1]:3308"_s;
    }

    void serverListOrder()
    {
        QFETCH(QString, text);
        QFETCH(QString, answered);
        QFETCH(QString, order);
        const ServerList list = ServerList::parse(text);
        const ServerList copy = list; // the ticker's copy shares what answered
        if (!answered.isEmpty())
            copy.answered(ServerAddress::parse(answered));
        QStringList tries;
        for (const ServerAddress& a : list.tryOrder())
            tries << a.toString();
        QCOMPARE(tries.join(u','), order);
    }

    void listIsRemembered()
    {
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--server"_s, u"k1, k2:3307"_s});
        QVERIFY(!c.exitNow);
        QCOMPARE(chooseServer(c, {}, settings()).toString(), u"k1,k2:3307"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"k1,k2:3307"_s);
    }

    void validServerText()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(isValidServerText(text), valid);
    }

    void givenServerIsRememberedForTheNextStart()
    {
        const CommandLine first = parseCommandLine({u"declaraties"_s, u"--server"_s, u"10.0.0.5:3307"_s});
        QCOMPARE(chooseServer(first, {}, settings()).toString(), u"10.0.0.5:3307"_s);

        // A fresh QSettings on the same file: what the next process sees.
        QSettings next(settings().fileName(), QSettings::IniFormat);
        QCOMPARE(next.value(QLatin1String(kServerSettingsKey)).toString(), u"10.0.0.5:3307"_s);
        const ServerAddress again = chooseServer(parseCommandLine({u"declaraties"_s}), {}, next).first();
        QCOMPARE(again.host, u"10.0.0.5"_s);
        QCOMPARE(again.port, 3307);
    }

    void defaultPortIsStoredShort()
    {
        chooseServer(parseCommandLine({u"declaraties"_s, u"--server"_s, u"kantoor:3306"_s}), {},
                     settings());
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"kantoor"_s);
    }

    void environmentWinsOverStoredButIsNotStored()
    {
        settings().setValue(QLatin1String(kServerSettingsKey), u"opgeslagen:3310"_s);
        const ServerAddress a = chooseServer(parseCommandLine({u"declaraties"_s}), u"omgeving"_s, settings()).first();
        QCOMPARE(a.host, u"omgeving"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"opgeslagen:3310"_s);
    }

    void commandLineWinsOverEnvironment()
    {
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--server=regel"_s});
        QCOMPARE(chooseServer(c, u"omgeving"_s, settings()).first().host, u"regel"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"regel"_s);
    }

    void nothingAnywhereIsLocalhost()
    {
        const ServerList a = chooseServer(parseCommandLine({u"declaraties"_s}), {}, settings());
        QCOMPARE(a, ServerList{});
        QVERIFY(!settings().contains(QLatin1String(kServerSettingsKey)));
    }

    void refusedServerIsNotStored()
    {
        settings().setValue(QLatin1String(kServerSettingsKey), u"oud"_s);
        const CommandLine c = parseCommandLine({u"declaraties"_s, u"--server"_s, u"nieuw:99999"_s});
        QVERIFY(c.exitNow);
        QCOMPARE(chooseServer(c, {}, settings()).first().host, u"oud"_s);
        QCOMPARE(settings().value(QLatin1String(kServerSettingsKey)).toString(), u"oud"_s);
    }

    void unreachableTextSaysWhatAndHow_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("shown");
        QTest::newRow("default port shown") << u"kantoor"_s << u"kantoor:3306"_s;
        QTest::newRow("own port") << u"10.0.0.5:3307"_s << u"10.0.0.5:3307"_s;
        QTest::newRow("v6") << u"[::1]:3307"_s << u"[::1]:3307"_s;
    }

    void unreachableTextSaysWhatAndHow()
    {
        QFETCH(QString, server);
        QFETCH(QString, shown);
        const QString path = u"/home/anna/.config/declaraties/declaraties.conf"_s;
        const QString t = unreachableServerText(ServerAddress::parse(server),
                                                DbError(2003, u"Can't connect to server"_s), path);
        QVERIFY2(t.contains(u"De databaseserver op "_s + shown + u" is niet bereikbaar."_s), qPrintable(t));
        QVERIFY(t.contains(u"--server HOST[:POORT]"_s));
        QVERIFY(t.contains(u"DECLARATIES_SERVER"_s));
        QVERIFY(t.contains(path));
        QVERIFY(t.endsWith(u"Fout 2003: Can't connect to server"_s));
        // Message boxes break lines with CR LF only.
        QCOMPARE(t.count(u'\n'), t.count(u"\r\n"_s));
    }

    void unreachableTextNamesEveryAddressTried()
    {
        const QString t = unreachableServerText(ServerList::parse(u"db1,db2:3307,[::1]"_s),
                                                DbError(2003, u"Can't connect to server"_s), u"/x.conf"_s);
        QVERIFY2(t.startsWith(u"Geen van de databaseservers is bereikbaar; geprobeerd: db1:3306, db2:3307, "
                              "[::1]:3306."_s),
                 qPrintable(t));
        QVERIFY(t.contains(u"komma's"_s));
    }

    void unreachableTextWithRealSettingsFile()
    {
        QVERIFY(unreachableServerText(ServerAddress{}).contains(settingsFilePath()));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
