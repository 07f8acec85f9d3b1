// TLS to the office server, against a private MariaDB of its own whose CA,
// certificates and key are made here with openssl; the plain test server
// (TestDb) offers no TLS.

#include "app/startup.h"
#include "app/tlssettings.h"
#include "core/clock.h"
#include "core/session.h"
#include "data/connection.h"
#include "declaration/form1.h"
#include "declaration/tickertext.h"
#include "login/loginform.h"
#include "login/loginservice.h"
#include "login/newpassword.h"
#include "support/fakes.h"
#include "support/faultproxy.h"
#include "support/officeaccounts.h"
#include "support/seams.h"
#include "support/testdb.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

using namespace dl;
using dl::test::TestDb;
using namespace Qt::StringLiterals;

namespace {

const QString kDir = QStringLiteral(DL_BINARY_DIR "/tlsdb");

QString certs(const QString& name)
{
    return kDir + u"/certs/"_s + name;
}

// One of our scripts; its output when it fails.
QString runScript(const QString& script, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(DL_SOURCE_DIR "/scripts/") + script, args);
    if (!p.waitForFinished(180000))
        return script + u" did not finish"_s;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return script + u' ' + args.join(u' ') + u": "_s + QString::fromLocal8Bit(p.readAll());
    return {};
}

} // namespace

class TestTls : public QObject {
    Q_OBJECT

private:
    ServerAddress m_tls;
    std::unique_ptr<Connection> m_admin;
    QString m_shown; // the certificate the TLS server shows now

    // The TLS server shows another certificate from its next connection on.
    bool show(const QString& certificate)
    {
        if (m_shown == certificate)
            return true;
        for (const QString& ext : {u".pem"_s, u".key"_s}) {
            QFile::remove(certs(u"active"_s + ext));
            if (!QFile::copy(certs(certificate + ext), certs(u"active"_s + ext)))
                return false;
        }
        test::execAs(*m_admin, u"FLUSH SSL"_s, {}, "tls server");
        m_shown = certificate;
        return true;
    }

    static Connection::Options options(const QString& mode, const QString& ca, bool clientCertificate = false)
    {
        Connection::Options o;
        o.tls.mode = *parseTlsMode(mode);
        if (!ca.isEmpty())
            o.tls.ca = certs(ca + u"/ca.pem"_s);
        if (clientCertificate) {
            o.tls.cert = certs(u"client.pem"_s);
            o.tls.key = certs(u"client.key"_s);
        }
        return o;
    }

    static QString refusal(const ServerAddress& server, const QString& reason)
    {
        return u"De verbinding met de databaseserver op 127.0.0.1:%1 is geweigerd: %2."_s.arg(server.port)
            .arg(reason);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A CA that signs the office server's certificates and a workstation's,
        // and a stranger's CA that signs nothing of ours.
        for (const QStringList& args :
             {QStringList{u"ca"_s, certs(u"office"_s)}, QStringList{u"ca"_s, certs(u"stranger"_s)},
              QStringList{u"server"_s, certs(u"office"_s), certs(u"right"_s), u"127.0.0.1"_s, u"localhost"_s},
              QStringList{u"server"_s, certs(u"office"_s), certs(u"otherhost"_s), u"kantoor.example.nl"_s},
              QStringList{u"client"_s, certs(u"office"_s), certs(u"client"_s), u"werkplek"_s}}) {
            const QString failed = runScript(u"tlscerts.sh"_s, args);
            QVERIFY2(failed.isEmpty(), qPrintable(failed));
        }
        QFile::remove(certs(u"active.pem"_s));
        QFile::remove(certs(u"active.key"_s));
        QVERIFY(QFile::copy(certs(u"right.pem"_s), certs(u"active.pem"_s)));
        QVERIFY(QFile::copy(certs(u"right.key"_s), certs(u"active.key"_s)));
        m_shown = u"right"_s;

        // A server left running by an earlier run would keep its old options.
        runScript(u"dbserver.sh"_s, {u"stop"_s, kDir});
        const QString failed =
            runScript(u"dbserver.sh"_s,
                      {u"start"_s, kDir, u"--"_s, u"--ssl-ca="_s + certs(u"office/ca.pem"_s),
                       u"--ssl-cert="_s + certs(u"active.pem"_s), u"--ssl-key="_s + certs(u"active.key"_s)});
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QFile port(kDir + u"/port"_s);
        QVERIFY(port.open(QIODevice::ReadOnly));
        m_tls = ServerAddress{u"127.0.0.1"_s, port.readAll().trimmed().toInt()};
        m_admin = test::adminConnection(kDir + u"/mysqld.sock"_s, "tls server");
        // An account that must show a workstation certificate signed by the CA.
        test::execAs(*m_admin,
                     u"CREATE USER IF NOT EXISTS 'werkplek'@'%' IDENTIFIED BY 'w3rkplek' REQUIRE X509;"
                     "GRANT SELECT ON torvakdb_TORVAKdata.* TO 'werkplek'@'%';"_s,
                     {}, "tls server");
    }

    void cleanupTestCase()
    {
        m_admin.reset();
        runScript(u"dbserver.sh"_s, {u"stop"_s, kDir});
    }

    void openConnection_data()
    {
        QTest::addColumn<bool>("tlsServer"); // else the plain test server
        QTest::addColumn<QString>("shows");  // the TLS server's certificate
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("ca");       // office, stranger or none
        QTest::addColumn<bool>("workstation"); // the account that needs a client certificate
        QTest::addColumn<bool>("certificate"); // presented
        QTest::addColumn<int>("error");        // 0: connects
        QTest::addColumn<QString>("reason");   // of a TLS refusal, or in the server's error
        QTest::addColumn<bool>("cipher");      // the session runs over TLS
        QTest::addColumn<QString>("before");   // "plain": the plain test server is tried first;
                                               // "stripped": through a proxy that hides the TLS offer

        const QString notSigned = u"het certificaat van de server is niet ondertekend door de opgegeven CA"_s;
        const QString otherHost = u"het certificaat van de server is niet voor 127.0.0.1"_s;
        const QString noTls = u"de server biedt geen versleutelde verbinding"_s;
        const QString none;
        const QString right = u"right"_s;
        const QString other = u"otherhost"_s;

        QTest::newRow("required, the office CA") << true << right << u"required"_s << u"office"_s << false
                                                 << false << 0 << none << true << QString();
        QTest::newRow("required without CA, the system's store")
            << true << right << u"required"_s << none << false << false << 2026
            << u"het certificaat van de server is niet ondertekend door een CA die deze computer vertrouwt"_s
            << false << QString();
        QTest::newRow("required, another CA") << true << right << u"required"_s << u"stranger"_s << false
                                              << false << 2026 << notSigned << false << QString();
        QTest::newRow("required, certificate for another host")
            << true << other << u"required"_s << u"office"_s << false << false << 2026 << otherHost << false
            << QString();
        QTest::newRow("required, server without TLS")
            << false << right << u"required"_s << u"office"_s << false << false << 2026 << noTls << false
            << QString();
        QTest::newRow("preferred without CA, TLS offered")
            << true << right << u"preferred"_s << none << false << false << 0 << none << true << QString();
        QTest::newRow("preferred without CA checks no host")
            << true << other << u"preferred"_s << none << false << false << 0 << none << true << QString();
        QTest::newRow("preferred without CA, no TLS offered")
            << false << right << u"preferred"_s << none << false << false << 0 << none << false << QString();
        QTest::newRow("preferred with CA, TLS offered") << true << right << u"preferred"_s << u"office"_s
                                                        << false << false << 0 << none << true << QString();
        QTest::newRow("preferred with CA, another CA")
            << true << right << u"preferred"_s << u"stranger"_s << false << false << 2026 << notSigned
            << false << QString();
        QTest::newRow("preferred with CA, another host")
            << true << other << u"preferred"_s << u"office"_s << false << false << 2026 << otherHost << false
            << QString();
        // A check asked for is never given up for plain text.
        QTest::newRow("preferred with CA, no TLS offered")
            << false << right << u"preferred"_s << u"office"_s << false << false << 2026 << noTls << false
            << QString();
        QTest::newRow("off, TLS offered")
            << true << right << u"off"_s << u"office"_s << false << false << 0 << none << false << QString();
        QTest::newRow("workstation certificate presented") << true << right << u"required"_s << u"office"_s
                                                           << true << true << 0 << none << true << QString();
        QTest::newRow("workstation certificate missing")
            << true << right << u"required"_s << u"office"_s << true << false << 1045 << u"Access denied"_s
            << false << QString();
        // A node that cannot prove itself sends the connection to the next;
        // when none can, the first one's refusal is told.
        QTest::newRow("required, a node without TLS, then the office CA")
            << true << right << u"required"_s << u"office"_s << false << false << 0 << none << true
            << u"plain"_s;
        QTest::newRow("required, a node without TLS, then another CA")
            << true << right << u"required"_s << u"stranger"_s << false << false << 2026 << noTls << false
            << u"plain"_s;
        // A proxy that clears the TLS flag in the server's greeting.
        QTest::newRow("stripped, required") << true << right << u"required"_s << u"office"_s << false << false
                                            << 2026 << noTls << false << u"stripped"_s;
        QTest::newRow("stripped, preferred with CA")
            << true << right << u"preferred"_s << u"office"_s << false << false << 2026 << noTls << false
            << u"stripped"_s;
        QTest::newRow("stripped, required without CA") << true << right << u"required"_s << none << false
                                                       << false << 2026 << noTls << false << u"stripped"_s;
        QTest::newRow("stripped, workstation certificate")
            << true << right << u"required"_s << u"office"_s << true << true << 2026 << noTls << false
            << u"stripped"_s;
        // Preferred without a CA checks nothing, so it cannot tell a proxy.
        QTest::newRow("stripped, preferred without CA goes plain")
            << true << right << u"preferred"_s << none << false << false << 0 << none << false
            << u"stripped"_s;
    }

    void openConnection()
    {
        QFETCH(bool, tlsServer);
        QFETCH(QString, shows);
        QFETCH(QString, mode);
        QFETCH(QString, ca);
        QFETCH(bool, workstation);
        QFETCH(bool, certificate);
        QFETCH(int, error);
        QFETCH(QString, reason);
        QFETCH(bool, cipher);
        QFETCH(QString, before);

        QVERIFY(show(shows));
        std::unique_ptr<test::FaultProxy> proxy;
        if (before == u"stripped") {
            proxy = std::make_unique<test::FaultProxy>([this] { return m_tls; });
            proxy->hideTlsOffer();
        }
        const ServerAddress server = proxy ? proxy->address() : tlsServer ? m_tls : TestDb::server();
        Connection::Login login;
        if (workstation) {
            login.user = u"werkplek"_s;
            login.password = u"w3rkplek"_s;
        }
        // Nothing of the login crosses in clear where a check was asked for.
        const auto loginStayedHidden = [&] {
            if (proxy && proxy->connections() == 0)
                return false;
            return !proxy || !proxy->programSent(login.user.toUtf8());
        };
        try {
            const ServerList list =
                before != u"plain"
                    ? ServerList(server)
                    : ServerList::parse(TestDb::server().toString() + u',' + server.toString());
            Connection c(list, Database::Data, options(mode, ca, certificate), login);
            QCOMPARE(c.address(), server);
            QVERIFY2(error == 0, "connected where it should have been refused");
            const QStringList status = test::rowsAs(c, u"SHOW SESSION STATUS LIKE 'Ssl_cipher'"_s, {}, "tls");
            QCOMPARE(status.size(), 1);
            QCOMPARE(status.first().section(u'|', 1).isEmpty(), !cipher);
        } catch (const DbError& e) {
            QVERIFY2(error != 0, e.what());
            QCOMPARE(e.number(), error);
            QVERIFY(loginStayedHidden());
            if (error == 2026)
                QCOMPARE(e.description(), refusal(before != u"plain" ? server : TestDb::server(), reason));
            else
                QVERIFY2(e.description().contains(reason), e.what());
        }
    }

    // A line that stops carrying over TLS is a lost line, as without TLS:
    // the next node or a reopen, never a refusal of the server.
    void aStalledLineIsLost_data()
    {
        QTest::addColumn<QString>("held"); // what the proxy holds back
        QTest::addColumn<bool>("next");    // a node that answers comes after the held one
        QTest::newRow("an answer") << u"answer"_s << false;
        QTest::newRow("the handshake") << u"handshake"_s << false;
        QTest::newRow("the handshake, then a node that answers") << u"handshake"_s << true;
    }

    void aStalledLineIsLost()
    {
        QFETCH(QString, held);
        QFETCH(bool, next);
        QVERIFY(show(u"right"_s));
        test::FaultProxy proxy([this] { return m_tls; });
        Connection::Options o = options(u"required"_s, u"office"_s);
        o.connectTimeoutSeconds = 2;
        o.readTimeoutSeconds = 2;
        const ServerList list = next ? ServerList::parse(proxy.address().toString() + u',' + m_tls.toString())
                                     : ServerList(proxy.address());
        try {
            if (held == u"handshake")
                proxy.onPacket(QByteArray("\x16\x03", 2), test::FaultProxy::Fault::SlowAnswer, 8000);
            Connection c(list, Database::Data, o);
            QVERIFY(held == u"answer" || next);
            QVERIFY(proxy.triggered() || held == u"answer");
            if (next) {
                QCOMPARE(c.address(), m_tls);
                return;
            }
            proxy.stall();
            c.exec(u"SELECT 1"_s, {});
            QFAIL("the held answer arrived");
        } catch (const DbError& e) {
            QVERIFY2(!next, e.what());
            QVERIFY2(e.isConnectionLoss(), e.what());
            QVERIFY2(!e.isTlsRefusal(), e.what());
        }
        proxy.pass();
    }

    // The login's connection and the ticker's carry the window's TLS
    // settings, and a refusal reaches the consultant with its reason; a
    // start without TLS says so on the login form.
    void theWindowsConnectionsUseItsSettings_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("ca");
        QTest::addColumn<QString>("reason"); // empty: the login goes through
        QTest::addColumn<bool>("warned");    // lblTlsUit on the login form
        QTest::newRow("the office CA") << u"required"_s << u"office"_s << QString() << false;
        QTest::newRow("another CA")
            << u"required"_s << u"stranger"_s
            << u"het certificaat van de server is niet ondertekend door de opgegeven CA"_s << false;
        QTest::newRow("off on this start") << u"off"_s << u"office"_s << QString() << true;
        QTest::newRow("preferred") << u"preferred"_s << QString() << QString() << false;
    }

    void theWindowsConnectionsUseItsSettings()
    {
        QFETCH(QString, mode);
        QFETCH(QString, ca);
        QFETCH(QString, reason);
        QFETCH(bool, warned);
        QVERIFY(show(u"right"_s));
        test::execAs(
            *m_admin,
            u"TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_consultants;"
            "TRUNCATE TABLE torvakdb_TORVAKdata.LOGINconsultant;"
            "TRUNCATE TABLE torvakdb_TORVAKdata.KALMIRO_berichten;"
            "INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, PASWOORD, consultantnummer, "
            "voornaam, naam, isONLINE) VALUES ('anna', 'geheim', '0042', 'Anna', 'Vries', 'OFFLINE')"_s,
            {}, "tls server");

        Session session;
        test::FakeMessages messages;
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
        AppContext ctx{session, messages, clock, m_tls};
        ctx.connection = options(mode, ca);
        StartupSeams seams;
        seams.printers = std::make_unique<test::FakePrinters>(QStringList{u"Kantoor"_s}, u"Kantoor"_s);
        seams.files = std::make_unique<test::FakeFiles>();
        seams.quit = [](int) {};
        seams.endProgram = [] {};
        seams.workstation = WorkstationReader(u"/nonexistent"_s, [] { return u"tester"_s; });
        seams.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
        Startup startup(ctx, std::move(seams));
        startup.start();
        const QPointer<LoginForm> login = startup.loginForm();
        QVERIFY(login);
        QVERIFY(QTest::qWaitForWindowExposed(login));
        const auto* warning = login->findChild<QLabel*>(u"lblTlsUit"_s);
        QCOMPARE(warning && warning->isVisible(), warned);
        if (warned)
            QCOMPARE(warning->text(), u"Let op: de verbinding met de server is niet versleuteld."_s);

        login->controls().setText(u"Text1"_s, u"anna"_s);
        login->controls().setText(u"Text2"_s, u"geheim"_s);
        login->logIn();

        const TickerFetch ticker = fetchTickerMessage(*tickerConnection(m_tls, ctx.connection));
        if (reason.isEmpty()) {
            QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.last()));
            QVERIFY(login && login->isLoggedIn());
            QCOMPARE(ticker.outcome, TickerFetch::Outcome::EmptyTable);
            return;
        }
        QVERIFY(login && !login->isLoggedIn());
        QCOMPARE(messages.shown.size(), 1);
        // The reason on a line of its own, under the address.
        const QString head = refusal(m_tls, reason).replace(u"geweigerd: "_s, u"geweigerd:\r\n"_s);
        QVERIFY2(messages.last().startsWith(head + u"\r\n\r\n"_s), qPrintable(messages.last()));
        // What an attack looks like: no way to lower the protection, the office to call.
        QVERIFY2(messages.last().endsWith(
                     u"De server kon niet worden geverifieerd. Neem contact op met het kantoor."_s),
                 qPrintable(messages.last()));
        QVERIFY2(!messages.last().contains(u"--tls"_s), qPrintable(messages.last()));
        QCOMPARE(ticker.outcome, TickerFetch::Outcome::Failed);
        QVERIFY2(ticker.trouble.contains(reason), qPrintable(ticker.trouble));
    }

    // The office switched and expired anna's password: over a checked TLS
    // line she sets a new one and works; no statement carries the password,
    // and a server that asks for it in a way that gives it away gets nothing.
    void anOwnAccountOverTls_data()
    {
        QTest::addColumn<QString>("office");
        QTest::addColumn<QStringList>("typed");  // new passwords, in turn; the last one holds
        QTest::addColumn<QString>("refusalHas"); // empty: logged in
        QTest::addColumn<bool>("disguised");     // a relay hides that the server is MariaDB
        QTest::addColumn<bool>("plain");         // started with --tls off
        const QString expire = u"ALTER USER 'anna'@'%' PASSWORD EXPIRE"_s;
        QTest::newRow("expired, a new one set")
            << expire << QStringList{u"Zeer'ge\\heim é"_s} << QString() << false << false;
        QTest::newRow("password already her own")
            << QString() << QStringList{} << QString() << false << false;
        QTest::newRow("expired, a relay says the server is not MariaDB")
            << expire << QStringList{u"Relay-9x"_s} << QString() << true << false;
        QTest::newRow("expired, a read-only server: nothing of the password sent")
            << u"SET GLOBAL read_only = 1; "_s + expire << QStringList{u"Nieuw-1abc"_s}
            << u"De server nam het nieuwe wachtwoord niet aan."_s << false << false;
        // The server reads the new one itself, so it goes to the server (over TLS).
        QTest::newRow("expired, the server checks new passwords itself")
            << u"INSTALL SONAME 'simple_password_check'; ALTER USER 'anna'@'%' PASSWORD EXPIRE"_s
            << QStringList{u"nieuw1"_s, u"Nieuw-1abc"_s} << QString() << false << false;
        // Unanswered, as for a name the server does not know (it asks the same way then).
        QTest::newRow("asked for in a way that gives it away")
            << u"ALTER USER 'anna'@'%' IDENTIFIED VIA mysql_native_password USING PASSWORD('geheim')"_s
            << QStringList{} << u"Uw inlog gegevens zijn niet gevonden"_s << false << false;
        // The server offers TLS, so a consultant's account takes no other line.
        QTest::newRow("a plain line to a consultant's account")
            << QString() << QStringList{} << u"Uw inlog gegevens zijn niet gevonden"_s << false << true;
    }
    void anOwnAccountOverTls()
    {
        QFETCH(QString, office);
        QFETCH(QStringList, typed);
        QFETCH(QString, refusalHas);
        QFETCH(bool, disguised);
        QFETCH(bool, plain);
        const QString newPassword = typed.value(typed.size() - 1);
        QVERIFY(show(u"right"_s));
        const test::OfficeServer server{
            QStringLiteral(DL_SOURCE_DIR "/scripts/dbserver.sh"),
            {u"sql"_s, kDir},
            [this](const QString& sql) { test::execAs(*m_admin, sql, {}, "tls server"); },
            [this] {
                QFile demo(QStringLiteral(DL_SOURCE_DIR "/schema/demo.sql"));
                QVERIFY(demo.open(QIODevice::ReadOnly));
                QString sql;
                for (const char* table :
                     {"torvakdb_TORVAKdata.KALMIRO_consultants", "torvakdb_TORVAKdata.LOGINconsultant",
                      "torvakdb_TORVAKdata.KALMIRO_projecten", "torvakdb_TORVAKdata.KALMIRO_opdrachtgevers",
                      "torvakdb_TORVAKdata.KALMIRO_berichten", "torvakdb_TORVAKraporten.Raporten",
                      "torvakdb_TORVAKraporten.Sloten", "torvakdb_TORVAKdeclaraties.Declaraties"})
                    sql += u"DELETE FROM "_s + QLatin1String(table) + u';';
                test::execAs(*m_admin, sql + QString::fromUtf8(demo.readAll()), {}, "tls server");
            }};
        test::removeOwnAccounts(server); // also what an earlier run left
        QVERIFY(test::setUpOwnAccounts(server));
        const auto restore = qScopeGuard([&] {
            test::execAs(*m_admin,
                         u"SET GLOBAL general_log = 0; SET GLOBAL read_only = 0;"
                         "UNINSTALL SONAME IF EXISTS 'simple_password_check'"_s,
                         {}, "tls server");
            test::removeOwnAccounts(server);
        });
        if (!office.isEmpty())
            server.exec(office);
        server.exec(u"SET GLOBAL log_output = 'TABLE'; TRUNCATE TABLE mysql.general_log; "
                    "SET GLOBAL general_log = 1"_s);

        Session session;
        test::FakeMessages messages;
        FixedClock clock(QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9)));
        test::FaultProxy relay([this] { return m_tls; });
        if (disguised)
            relay.disguiseServer();
        AppContext ctx{session, messages, clock, disguised ? relay.address() : m_tls};
        ctx.connection = options(plain ? u"off"_s : u"preferred"_s, u"office"_s);
        StartupSeams seams = test::fakeSeams();
        auto prompt = std::make_unique<test::FakePasswords>();
        test::FakePasswords& passwords = *prompt;
        seams.passwords = std::move(prompt);
        for (const QString& p : typed)
            passwords.answers.enqueue({QString(), p, p});
        seams.quit = [](int) {};
        seams.endProgram = [] {};
        Startup startup(ctx, std::move(seams));
        startup.start();
        const QPointer<LoginForm> login = startup.loginForm();
        QVERIFY(login);
        login->controls().setText(u"Text1"_s, u"anna"_s);
        login->controls().setText(u"Text2"_s, u"geheim"_s);
        login->logIn();

        QCOMPARE(passwords.asked.size(), typed.size());
        if (refusalHas.isEmpty()) {
            // Each password the server's own check refused, said so.
            QCOMPARE(messages.texts(),
                     QStringList(qMax<qsizetype>(0, typed.size() - 1), passwordRefusedText()));
            QVERIFY(startup.hasMainForm());
            QCOMPARE(startup.mainForm().controls().text(u"Text1"_s), u"0042"_s);
            QCOMPARE(ctx.connection.tls.mode, TlsOptions::Mode::Required);
            const QString now = newPassword.isEmpty() ? u"geheim"_s : newPassword;
            Connection again(m_tls, Database::Data, options(u"required"_s, u"office"_s),
                             ownAccount(u"anna"_s, now));
            QCOMPARE(test::rowsAs(again, u"SELECT 1"_s, {}, "tls server"), QStringList{u"1"_s});
        } else {
            QVERIFY(login && !login->isLoggedIn());
            QVERIFY2(messages.texts().join(u"\n"_s).contains(refusalHas),
                     qPrintable(messages.texts().join(u"\n"_s)));
        }
        // What the server's log holds of every statement: no password, old or new.
        server.exec(u"SET GLOBAL general_log = 0"_s);
        const QStringList logged = test::rowsAs(
            *m_admin, u"SELECT CONVERT(argument USING utf8mb4) FROM mysql.general_log"_s, {}, "tls server");
        QVERIFY(!logged.isEmpty());
        for (const QString& line : logged) {
            QVERIFY2(!line.contains(u"geheim"_s), qPrintable(line));
            QVERIFY2(newPassword.isEmpty() || office.contains(u"simple_password_check"_s) ||
                         !line.contains(newPassword),
                     qPrintable(line));
        }
    }
};

QTEST_MAIN(TestTls)
#include "tst_tls.moc"
