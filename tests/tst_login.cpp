// The login against the test server: exact credentials, the three attempts
// and their messages, the greeting by the clock, the composed names, the
// project list and what is written into the consultant's row.

#include "core/clock.h"
#include "core/session.h"
#include "data/connection.h"
#include "data/dberror.h"
#include "declaration/form1.h"
#include "login/loginform.h"
#include "login/loginservice.h"
#include "login/newpassword.h"
#include "login/passwordhash.h"
#include "support/fakes.h"
#include "support/faultproxy.h"
#include "support/officeaccounts.h"
#include "support/testdb.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QtTest>

#include <memory>

#include <unistd.h>

using namespace dl;
using dl::test::TestDb;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(14, 5, 9));

void addConsultant(const QVariant& login, const QVariant& password, const QString& number,
                   const QVariant& title = u"Ir."_qs, const QVariant& first = u"Anna"_qs,
                   const QVariant& infix = u"de"_qs, const QVariant& last = u"Vries"_qs)
{
    TestDb::exec(
        u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, PASWOORD, consultantnummer, "
        "Titel1, voornaam, tussenvoegsel, naam, isONLINE) VALUES (?, ?, ?, ?, ?, ?, ?, 'OFFLINE')"_qs,
        {login, password, number, title, first, infix, last});
}

void addProject(const QString& code, const QVariant& description)
{
    TestDb::exec(u"INSERT INTO torvakdb_TORVAKdata.KALMIRO_projecten (Projectcode, ProjectOmschrijving) "
                 "VALUES (?, ?)"_qs,
                 {code, description});
}

QString tries(int left)
{
    return u"Uw inlog gegevens zijn niet gevonden en mag nog %1 keer proberen."_qs.arg(left);
}

const QString kClosing = u"Uw heeft 3 pogingen gedaan, het programma wordt beeindigd."_qs;

// Each password is hashed once per run: a hash costs a tenth of a second.
QString hashOf(const QString& password)
{
    static QHash<QString, QString> made;
    auto it = made.find(password);
    if (it == made.end())
        it = made.insert(password, hashPassword(password));
    return *it;
}

// A well-formed hash whose cost is raised past what a login may spend.
QString costly(const QString& from, const QString& to)
{
    QString h = hashOf(u"geheim"_qs);
    h.replace(from, to);
    return h;
}

// Stored forms beside the plain "geheim"; "#" stands for the hash of the rest.
QString stored(const QString& form)
{
    return form.startsWith(u'#') ? hashOf(form.mid(1)) : form;
}

// What the program writes on standard error while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromLocal8Bit(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

const QString kTooCostly = u"telt als fout paswoord"_qs;

// Whether the server takes this password for anna's own account (a session
// that must set a new one first counts: the password was right).
bool annaOpensWith(const QString& password)
{
    try {
        Connection c(TestDb::server(), Database::Data, {}, ownAccount(u"anna"_qs, password));
        c.exec(u"SELECT 1"_qs);
        return true;
    } catch (const DbError& e) {
        return e.errorClass() == ErrorClass::PasswordExpired;
    }
}

const QString kExpire = u"ALTER USER 'anna'@'%' PASSWORD EXPIRE"_qs;

} // namespace

class TestLogin : public QObject {
    Q_OBJECT

private:
    Session m_session;
    test::FakeMessages m_messages;
    test::FakePasswords m_passwords;
    FixedClock m_clock{kNow};
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<LoginForm> m_login;
    QList<int> m_quits;
    int m_afterLogin = 0;
    QString m_nameAtAfterLogin;
    std::function<void(Connection&)> m_afterLoginAction;

    void makeLogin()
    {
        LoginHooks hooks;
        hooks.afterLogin = [this](Connection& c) {
            ++m_afterLogin;
            m_nameAtAfterLogin = m_session.consultantName;
            if (m_afterLoginAction)
                m_afterLoginAction(c);
        };
        hooks.passwords = &m_passwords;
        m_login = std::make_unique<LoginForm>(
            *m_ctx,
            [this]() -> Form1& {
                if (!m_form)
                    m_form = std::make_unique<Form1>(*m_ctx);
                return *m_form;
            },
            hooks, [this](int code) { m_quits << code; });
    }

    void type(const QString& name, const QString& password)
    {
        m_login->controls().setText(u"Text1"_qs, name);
        m_login->controls().setText(u"Text2"_qs, password);
    }

    void attempt(const QString& name, const QString& password)
    {
        type(name, password);
        m_login->logIn();
    }

    QString form1(const QString& control) { return m_form ? m_form->controls().text(control) : QString(); }

    QStringList projectEntries()
    {
        QStringList out;
        if (!m_form)
            return out;
        auto* box = m_form->controls().get<QComboBox>(u"Combo1"_qs);
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }

private Q_SLOTS:
    void init()
    {
        TestDb::reset();
        m_session = Session{};
        m_messages.clear();
        m_passwords = {};
        m_clock.set(kNow);
        m_quits.clear();
        m_afterLogin = 0;
        m_nameAtAfterLogin.clear();
        m_afterLoginAction = nullptr;
        m_ctx = std::make_unique<AppContext>(AppContext{m_session, m_messages, m_clock, TestDb::server()});
        // The private server offers no TLS: as started with --tls off.
        m_ctx->connection.tls.mode = TlsOptions::Mode::Off;
        addConsultant(u"anna"_qs, u"geheim"_qs, u"0042"_qs);
        makeLogin();
    }
    void cleanup()
    {
        m_login.reset();
        m_form.reset();
    }

    // On a server the office switched: the server checks the password; its
    // refusals, an empty name and a row that is gone are the same failed
    // attempt, a locked account is told to call the office.
    void ownAccountAttempts_data()
    {
        QTest::addColumn<QString>("office");       // run by the administrator after the set-up
        QTest::addColumn<QStringList>("attempts"); // name, password, name, password, ...
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<bool>("loggedIn");
        // Typed into the new-password dialog, first and second field, in turns.
        QTest::addColumn<QStringList>("newPasswords");
        // What opens anna's account afterwards; the others tried do not (empty: nothing does).
        QTest::addColumn<QString>("annaOpens");
        // What the line does to the new password's statement (-1: nothing).
        QTest::addColumn<int>("lost");
        const int none = -1;
        QTest::newRow("right password") << QString() << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{}
                                        << true << QStringList{} << u"geheim"_qs << none;
        QTest::newRow("wrong, then right")
            << QString() << QStringList{u"anna"_qs, u"welkom"_qs, u"anna"_qs, u"geheim"_qs}
            << QStringList{tries(2)} << true << QStringList{} << u"geheim"_qs << none;
        QTest::newRow("the table's old password")
            << u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET PASWOORD = 'oud' WHERE LOGIN = 'anna'"_qs
            << QStringList{u"anna"_qs, u"oud"_qs} << QStringList{tries(2)} << false << QStringList{}
            << u"geheim"_qs << none;
        QTest::newRow("other case") << QString() << QStringList{u"Anna"_qs, u"geheim"_qs}
                                    << QStringList{tries(2)} << false << QStringList{} << u"geheim"_qs
                                    << none;
        QTest::newRow("unknown name")
            << QString() << QStringList{u"nobody"_qs, u"geheim"_qs} << QStringList{tries(2)} << false
            << QStringList{} << u"geheim"_qs << none;
        QTest::newRow("empty name") << QString() << QStringList{QString(), QString()} << QStringList{tries(2)}
                                    << false << QStringList{} << u"geheim"_qs << none;
        QTest::newRow("row gone")
            << u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET LOGIN = 'anna2' WHERE LOGIN = 'anna'"_qs
            << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{tries(2)} << false << QStringList{}
            << u"geheim"_qs << none;
        QTest::newRow("locked by the office")
            << u"ALTER USER 'anna'@'%' ACCOUNT LOCK"_qs << QStringList{u"anna"_qs, u"geheim"_qs}
            << QStringList{accountLockedText()} << false << QStringList{} << QString() << none;
        QTest::newRow("three wrong") << QString() << QStringList{u"anna"_qs, u"x"_qs,    u"anna"_qs,
                                                                 u"y"_qs,    u"bram"_qs, u"geheim"_qs}
                                     << QStringList{tries(2), tries(1), kClosing} << false << QStringList{}
                                     << u"geheim"_qs << none;
        const QString empty = u"Het nieuwe wachtwoord mag niet leeg zijn."_qs;
        const QString unequal = u"De twee nieuwe wachtwoorden zijn niet gelijk, probeer het nog eens."_qs;
        const QString same = u"Het nieuwe wachtwoord moet anders zijn dan het oude."_qs;
        QTest::newRow("expired, a new one set")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{} << true
            << QStringList{u"nieuw1"_qs, u"nieuw1"_qs} << u"nieuw1"_qs << none;
        QTest::newRow("expired: empty, unequal, the old one, then right")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{empty, unequal, same} << true
            << QStringList{QString(),    QString(),    u"nieuw1"_qs,  u"nieuw2"_qs,
                           u"geheim"_qs, u"geheim"_qs, u"it's'\\"_qs, u"it's'\\"_qs}
            << u"it's'\\"_qs << none;
        QTest::newRow("expired, cancelled: no attempt used")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs, u"anna"_qs, u"x"_qs, u"anna"_qs, u"y"_qs}
            << QStringList{tries(2), tries(1)} << false << QStringList{} << u"geheim"_qs << none;
        // That check reads the password itself: never over a plain line (its refusal is in tst_tls).
        QTest::newRow("expired, the server checks it itself, the line is plain")
            << u"INSTALL SONAME 'simple_password_check'"_qs + u";"_qs + kExpire
            << QStringList{u"anna"_qs, u"geheim"_qs}
            << QStringList{u"De actie is niet uitgevoerd; er is niets gewijzigd.\r\n\r\nFout 1290: De server "
                           "controleert nieuwe wachtwoorden zelf en moet het daarvoor kunnen lezen; dat "
                           "gebeurt "
                           "alleen over een versleutelde verbinding."_qs}
            << false << QStringList{u"Nieuw-1abc"_qs, u"Nieuw-1abc"_qs} << u"geheim"_qs << none;
        // The answer to the new password lost: the password the server takes settles it.
        using Fault = test::FaultProxy::Fault;
        QTest::newRow("expired, the answer to the new one lost: the server holds it")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{} << true
            << QStringList{u"nieuw1"_qs, u"nieuw1"_qs} << u"nieuw1"_qs << int(Fault::CutDuringAnswer);
        QTest::newRow("expired, the new one never reached the server: asked again")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{newPasswordNotSetText()}
            << true << QStringList{u"nieuw1"_qs, u"nieuw1"_qs, u"nieuw2"_qs, u"nieuw2"_qs} << u"nieuw2"_qs
            << int(Fault::CutBefore);
        QTest::newRow("expired, the answer lost and the server gone: not known")
            << kExpire << QStringList{u"anna"_qs, u"geheim"_qs} << QStringList{newPasswordUnknownText()}
            << false << QStringList{u"nieuw1"_qs, u"nieuw1"_qs} << u"nieuw1"_qs << int(Fault::CutThenDown);
    }
    void ownAccountAttempts()
    {
        QFETCH(QString, office);
        QFETCH(QStringList, attempts);
        QFETCH(QStringList, told);
        QFETCH(bool, loggedIn);
        QFETCH(QStringList, newPasswords);
        QFETCH(QString, annaOpens);
        QFETCH(int, lost);
        TestDb::loadDemo();
        QVERIFY(test::setUpOwnAccounts());
        test::FaultProxy proxy([] { return TestDb::server(); });
        if (lost >= 0) {
            m_ctx->server = proxy.address();
            proxy.onPacket("SET PASSWORD", test::FaultProxy::Fault(lost));
        }
        const auto restore = qScopeGuard([] {
            test::removeOwnAccounts();
            TestDb::exec(u"UNINSTALL SONAME IF EXISTS 'simple_password_check'"_qs);
        });
        for (qsizetype i = 0; i + 1 < newPasswords.size(); i += 2)
            m_passwords.answers.enqueue({QString(), newPasswords[i], newPasswords[i + 1]});
        if (!office.isEmpty())
            TestDb::exec(office);
        for (qsizetype i = 0; i + 1 < attempts.size(); i += 2)
            attempt(attempts[i], attempts[i + 1]);
        if (lost >= 0) {
            QVERIFY(proxy.triggered());
            proxy.pass();
        }
        QCOMPARE(m_messages.texts(), told);
        QCOMPARE(m_login->isLoggedIn(), loggedIn);
        // A typed password is kept only for the account that logged in.
        QCOMPARE(m_ctx->account.names == TableNames::OwnAccount, loggedIn);
        if (!loggedIn)
            QCOMPARE(m_ctx->account.user, QLatin1String(kAccount));
        QCOMPARE(m_quits.size(), told.contains(kClosing) ? 1 : 0);
        if (loggedIn)
            QCOMPARE(form1(u"Text1"_qs), u"0042"_qs);
        // Asked only for an expired password, never the present one again.
        QCOMPARE(m_passwords.asked.isEmpty(), office != kExpire && !office.endsWith(kExpire));
        QVERIFY(!m_passwords.askedCurrent.contains(true));
        QVERIFY(m_passwords.answers.isEmpty());
        if (loggedIn)
            QCOMPARE(m_ctx->account.password, annaOpens);
        for (const QString& other : {u"geheim"_qs, u"nieuw1"_qs, annaOpens}) {
            if (!other.isEmpty())
                QCOMPARE(annaOpensWith(other), other == annaOpens);
        }
    }

    // By the keyboard alone: Enter in the name goes on to the password, Enter
    // there logs in; a refused login empties the password, which has the focus.
    void enterLogsIn_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("right password") << u"geheim"_qs << true;
        QTest::newRow("wrong password") << u"welkom"_qs << false;
    }
    void enterLogsIn()
    {
        QFETCH(QString, password);
        QFETCH(bool, loggedIn);
        m_login->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_login.get()));
        auto* name = m_login->controls().get<QLineEdit>(u"Text1"_qs);
        auto* typed = m_login->controls().get<QLineEdit>(u"Text2"_qs);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, u"anna"_qs);
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), typed);
        typed->selectAll();
        QTest::keyClicks(typed, password);
        QTest::keyClick(typed, Qt::Key_Return);
        QCOMPARE(m_login->isLoggedIn(), loggedIn);
        if (loggedIn)
            return;
        QCOMPARE(m_messages.texts(), QStringList{tries(2)});
        QCOMPARE(typed->text(), QString());
        QCOMPARE(name->text(), u"anna"_qs);
        QCOMPARE(QApplication::focusWidget(), typed);
    }

    // The password's proof would cross the line: a start without --tls off
    // logs a consultant in with a checked certificate or not at all, and the
    // server of these tests offers no TLS.
    void ownAccountOnlyOverTls()
    {
        TestDb::loadDemo();
        QVERIFY(test::setUpOwnAccounts());
        const auto restore = qScopeGuard([] { test::removeOwnAccounts(); });
        m_ctx->connection.tls.mode = TlsOptions::Mode::Preferred;
        attempt(u"anna"_qs, u"geheim"_qs);
        QVERIFY(!m_login->isLoggedIn());
        QCOMPARE(m_ctx->connection.tls.mode, TlsOptions::Mode::Required);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.last().contains(u"kon niet worden geverifieerd"_qs),
                 qPrintable(m_messages.last()));
        QCOMPARE(TestDb::rows(
                     u"SELECT isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE LOGIN = 'anna'"_qs),
                 QStringList{u"OFFLINE"_qs});
    }

    void formDesign()
    {
        QCOMPARE(m_login->objectName(), u"frmSplash"_qs);
        QVERIFY(m_login->windowTitle().trimmed().isEmpty());
        auto* name = m_login->controls().get<QLineEdit>(u"Text1"_qs);
        auto* password = m_login->controls().get<QLineEdit>(u"Text2"_qs);
        QCOMPARE(name->maxLength(), 10);
        QCOMPARE(password->maxLength(), 10);
        QCOMPARE(name->text().size(), 5);
        QCOMPARE(password->text().size(), 5);
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QVERIFY(
            m_login->controls().text(u"lblEdition"_qs).startsWith(u"C O N S U L T A N T  V E R S I E"_qs));
        for (const QString& n : {u"Version"_qs, u"Platform"_qs, u"Product"_qs, u"CompanyProduct"_qs}) {
            const QString label = n == u"Product"_qs ? u"lblProductName"_qs : u"lbl"_qs + n;
            QCOMPARE(m_login->controls().text(label), n);
        }
        QCOMPARE(m_login->controls().text(u"Label1"_qs), u"Login naam"_qs);
        QCOMPARE(m_login->controls().text(u"Label2"_qs), u"Paswoord"_qs);
    }

    void loadHookRunsOnCreation()
    {
        int loads = 0;
        LoginHooks hooks;
        hooks.onLoad = [&] { ++loads; };
        LoginForm form(
            *m_ctx, [this]() -> Form1& { return *m_form; }, hooks, [](int) {});
        QCOMPARE(loads, 1);
    }

    void inexactCredentialsAreNotFound_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QVariant>("storedPassword"); // anna's PASWOORD
        QTest::addColumn<bool>("warns");
        const QVariant plain(u"geheim"_qs);
        const QVariant hashed(hashOf(u"geheim"_qs));
        QTest::newRow("other case") << u"Anna"_qs << u"geheim"_qs << plain << false;
        QTest::newRow("trailing blank") << u"anna "_qs << u"geheim"_qs << plain << false;
        QTest::newRow("leading blank") << u" anna"_qs << u"geheim"_qs << plain << false;
        QTest::newRow("password case") << u"anna"_qs << u"GEHEIM"_qs << plain << false;
        QTest::newRow("password blank") << u"anna"_qs << u"geheim "_qs << plain << false;
        QTest::newRow("password of another") << u"anna"_qs << u"welkom"_qs << plain << false;
        QTest::newRow("empty") << QString() << QString() << plain << false;
        QTest::newRow("NULL password, empty typed") << u"anna"_qs << QString() << QVariant() << false;
        QTest::newRow("hash, wrong password") << u"anna"_qs << u"welkom"_qs << hashed << false;
        QTest::newRow("hash, password case") << u"anna"_qs << u"GEHEIM"_qs << hashed << false;
        QTest::newRow("hash, password blank") << u"anna"_qs << u"geheim "_qs << hashed << false;
        QTest::newRow("hash, name case") << u"Anna"_qs << u"geheim"_qs << hashed << false;
        QTest::newRow("hash cut short")
            << u"anna"_qs << u"geheim"_qs << QVariant(hashOf(u"geheim"_qs).chopped(5)) << false;
        QTest::newRow("hash without salt")
            << u"anna"_qs << u"geheim"_qs << QVariant(u"$argon2id$v=19$m=65536,t=2,p=1$$abc"_qs) << false;
        QTest::newRow("hash prefix only")
            << u"anna"_qs << u"geheim"_qs << QVariant(u"$argon2id$"_qs) << false;
        QTest::newRow("hash cost not a number")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"t=2"_qs, u"t=x"_qs)) << false;
        QTest::newRow("hash cost out of range")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"t=2"_qs, u"t=99999999999999999999"_qs))
            << true;
        QTest::newRow("hash memory over 256 MiB")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"m=65536"_qs, u"m=262145"_qs)) << true;
        QTest::newRow("hash a gigabyte")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"m=65536"_qs, u"m=1048576"_qs)) << true;
        QTest::newRow("hash 11 passes")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"t=2"_qs, u"t=11"_qs)) << true;
        QTest::newRow("hash 5 lanes")
            << u"anna"_qs << u"geheim"_qs << QVariant(costly(u"p=1"_qs, u"p=5"_qs)) << true;
    }
    void inexactCredentialsAreNotFound()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QVariant, storedPassword);
        QFETCH(bool, warns);
        TestDb::exec(u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET PASWOORD = ?"_qs, {storedPassword});
        StderrCapture err;
        QElapsedTimer clock;
        clock.start();
        attempt(name, password);
        // A costly hash is refused before any work is spent on it.
        if (warns)
            QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        const QString said = err.text();
        QCOMPARE(said.count(kTooCostly), warns ? 1 : 0);
        if (warns)
            QVERIFY2(said.contains(u"'anna'"_qs), qPrintable(said));
        QCOMPARE(m_messages.texts(), QStringList{tries(2)});
        QCOMPARE(m_login->loginAttempts(), 1);
        QVERIFY(!m_login->isLoggedIn());
        QVERIFY(m_quits.isEmpty());
        QVERIFY(m_form == nullptr || form1(u"Text1"_qs).isEmpty());
        // The boxes stay as typed.
        QCOMPARE(m_login->controls().text(u"Text1"_qs), name);
        QCOMPARE(TestDb::rows(u"SELECT isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs),
                 QStringList{u"OFFLINE"_qs});
        QCOMPARE(m_afterLogin, 0);
    }

    void thirdFailureEndsTheProgram()
    {
        attempt(u"anna"_qs, u"fout"_qs);
        attempt(u"anna"_qs, u"fout"_qs);
        QCOMPARE(m_messages.texts(), (QStringList{tries(2), tries(1)}));
        QVERIFY(m_quits.isEmpty());
        attempt(u"anna"_qs, u"fout"_qs);
        QCOMPARE(m_messages.texts(), (QStringList{tries(2), tries(1), kClosing}));
        QCOMPARE(m_quits, QList<int>{0});
    }

    void successOnTheThirdTry()
    {
        attempt(u"anna"_qs, u"fout"_qs);
        attempt(u"ANNA"_qs, u"geheim"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(m_messages.texts(), (QStringList{tries(2), tries(1)}));
        QVERIFY(m_login->isLoggedIn());
        QVERIFY(m_quits.isEmpty());
        QVERIFY(m_form && m_form->isVisible());
        QVERIFY(!m_login->isVisible());
        QCOMPARE(m_login->loginAttempts(), 3);
    }

    void successFillsTheMainForm()
    {
        QSignalSpy done(m_login.get(), &LoginForm::loggedIn);
        attempt(u"anna"_qs, u"geheim"_qs);
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(done.size(), 1);
        QCOMPARE(m_form->windowTitle(), u"Declaraties & Logboeken van Ir. Anna de Vries"_qs);
        QCOMPARE(form1(u"Label1"_qs), u"Goede middag         Ir. Anna de Vries"_qs);
        QCOMPARE(form1(u"Text1"_qs), u"0042"_qs);
        QCOMPARE(m_session.consultantName, u"Ir.Anna de Vries"_qs);
        QCOMPARE(m_afterLogin, 1);
        QCOMPARE(m_nameAtAfterLogin, u"Ir.Anna de Vries"_qs);
        QCOMPARE(form1(u"Combo1"_qs), u"Projecten"_qs);
    }

    void greetingByTheHour_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("greeting");
        QTest::newRow("00:00") << QTime(0, 0) << u"Goede morgen         "_qs;
        QTest::newRow("11:59") << QTime(11, 59, 59) << u"Goede morgen         "_qs;
        QTest::newRow("12:00") << QTime(12, 0) << u"Goede middag         "_qs;
        QTest::newRow("17:59") << QTime(17, 59, 59) << u"Goede middag         "_qs;
        QTest::newRow("18:00") << QTime(18, 0) << u"Goede avond          "_qs;
        QTest::newRow("23:59") << QTime(23, 59, 59) << u"Goede avond          "_qs;
    }
    void greetingByTheHour()
    {
        QFETCH(QTime, time);
        QFETCH(QString, greeting);
        QCOMPARE(greeting.size(), 21);
        m_clock.set(QDateTime(kNow.date(), time));
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(form1(u"Label1"_qs), greeting + u"Ir. Anna de Vries"_qs);
    }

    void namesWithEmptyParts_data()
    {
        QTest::addColumn<QVariant>("title");
        QTest::addColumn<QVariant>("infix");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("empty title") << QVariant(u""_qs) << QVariant(u"van"_qs) << u" Bram van Dijk"_qs
                                     << u"Bram van Dijk"_qs;
        QTest::newRow("NULL title") << QVariant() << QVariant(u"van"_qs) << u" Bram van Dijk"_qs
                                    << u"Bram van Dijk"_qs;
        QTest::newRow("NULL infix") << QVariant(u"Dr."_qs) << QVariant() << u"Dr. Bram  Dijk"_qs
                                    << u"Dr.Bram  Dijk"_qs;
        QTest::newRow("empty infix") << QVariant(u"Dr."_qs) << QVariant(u""_qs) << u"Dr. Bram  Dijk"_qs
                                     << u"Dr.Bram  Dijk"_qs;
    }
    void namesWithEmptyParts()
    {
        QFETCH(QVariant, title);
        QFETCH(QVariant, infix);
        QFETCH(QString, fullName);
        QFETCH(QString, storedName);
        addConsultant(u"bram"_qs, u"welkom"_qs, u"0051"_qs, title, u"Bram"_qs, infix, u"Dijk"_qs);
        attempt(u"bram"_qs, u"welkom"_qs);
        QCOMPARE(m_form->windowTitle(), u"Declaraties & Logboeken van "_qs + fullName);
        QCOMPARE(form1(u"Label1"_qs), u"Goede middag         "_qs + fullName);
        QCOMPARE(m_session.consultantName, storedName);
    }

    void firstOfTwoEqualLoginsWins_data()
    {
        QTest::addColumn<QString>("first");  // PASWOORD of 0042, "#x" the hash of x
        QTest::addColumn<QString>("second"); // PASWOORD of 0099
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("winner");
        QTest::newRow("plain twice") << u"geheim"_qs << u"geheim"_qs << u"geheim"_qs << u"0042"_qs;
        QTest::newRow("hash twice") << u"#geheim"_qs << u"#geheim"_qs << u"geheim"_qs << u"0042"_qs;
        QTest::newRow("hash before plain") << u"#geheim"_qs << u"geheim"_qs << u"geheim"_qs << u"0042"_qs;
        QTest::newRow("plain before hash") << u"geheim"_qs << u"#geheim"_qs << u"geheim"_qs << u"0042"_qs;
        QTest::newRow("hash of another, then plain")
            << u"#welkom"_qs << u"geheim"_qs << u"geheim"_qs << u"0099"_qs;
        QTest::newRow("plain of another, then hash")
            << u"welkom"_qs << u"#geheim"_qs << u"geheim"_qs << u"0099"_qs;
        QTest::newRow("each its own, hashed") << u"geheim"_qs << u"#welkom"_qs << u"welkom"_qs << u"0099"_qs;
        QTest::newRow("broken hash, then plain")
            << u"$argon2id$v=19$m=8,t=1,p=1$$"_qs << u"geheim"_qs << u"geheim"_qs << u"0099"_qs;
        QTest::newRow("the hash's own text is no password")
            << u"#geheim"_qs << hashOf(u"welkom"_qs) << hashOf(u"geheim"_qs) << QString();
    }
    void firstOfTwoEqualLoginsWins()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, typed);
        QFETCH(QString, winner);
        TestDb::exec(u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET PASWOORD = ?"_qs, {stored(first)});
        addConsultant(u"anna"_qs, stored(second), u"0099"_qs);
        // The service itself: the login box would cut a typed hash to 10 characters.
        KeptConnection db(TestDb::server());
        LoginService service(db, m_clock);
        const std::optional<ConsultantLogin> in = service.logIn(u"anna"_qs, typed);
        QCOMPARE(in ? in->number : QString(), winner);
        QCOMPARE(
            TestDb::rows(u"SELECT consultantnummer, isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants "
                         "ORDER BY id"_qs),
            (QStringList{u"0042|"_qs + (winner == u"0042"_qs ? u"ONLINE"_qs : u"OFFLINE"_qs),
                         u"0099|"_qs + (winner == u"0099"_qs ? u"ONLINE"_qs : u"OFFLINE"_qs)}));
    }

    void typedPasswordNeverReachesTheServer()
    {
        TestDb::exec(u"UPDATE torvakdb_TORVAKdata.KALMIRO_consultants SET PASWOORD = ?"_qs,
                     {hashOf(u"Zomer26!"_qs)});
        TestDb::exec(u"SET GLOBAL log_output = 'TABLE'"_qs);
        TestDb::exec(u"TRUNCATE TABLE mysql.general_log"_qs);
        TestDb::exec(u"SET GLOBAL general_log = 1"_qs);
        attempt(u"anna"_qs, u"fout-pw"_qs);
        attempt(u"anna"_qs, u"Zomer26!"_qs);
        TestDb::exec(u"SET GLOBAL general_log = 0"_qs);
        QVERIFY(m_login->isLoggedIn());
        // The log does hold bound values: the login name is there.
        QVERIFY(!TestDb::rows(u"SELECT argument FROM mysql.general_log WHERE CONVERT(argument USING utf8mb4) "
                              "LIKE '%LOGIN%anna%'"_qs)
                     .isEmpty());
        QCOMPARE(TestDb::rows(u"SELECT argument FROM mysql.general_log WHERE CONVERT(argument USING utf8mb4) "
                              "LIKE '%fout-pw%' OR CONVERT(argument USING utf8mb4) LIKE '%Zomer26!%'"_qs),
                 QStringList{});
    }

    void loginMarksTheRowOnline()
    {
        addConsultant(u"bram"_qs, u"welkom"_qs, u"0051"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(
            TestDb::rows(u"SELECT LOGIN, isAANGEMELD, isONLINE, isAFGEMELD FROM "
                         "torvakdb_TORVAKdata.KALMIRO_consultants ORDER BY id"_qs),
            (QStringList{u"anna|12-07-2026  14:05:09|ONLINE|<NULL>"_qs, u"bram|<NULL>|OFFLINE|<NULL>"_qs}));
    }

    void projectListInTableOrder()
    {
        addProject(u"0042-GLAS"_qs, u"Glasvezel"_qs);
        addProject(u"0051-DIJK"_qs, u"Dijk van een ander"_qs);
        addProject(u"0042-HAVEN"_qs, QVariant());
        addProject(u"x0042-NIET"_qs, u"Niet vooraan"_qs);
        addProject(u"0042"_qs, u"Alleen nummer"_qs);
        addProject(u"0042-ABCDEFGHIJKLMNOPQRSTU"_qs, u"Lang"_qs);
        addProject(u"0042-A"_qs, u"Tweede"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(projectEntries(),
                 (QStringList{u"0042-GLAS                Glasvezel"_qs, u"0042-HAVEN               "_qs,
                              u"0042                     Alleen nummer"_qs,
                              u"0042-ABCDEFGHIJKLMNOPQRSTLang"_qs, u"0042-A                   Tweede"_qs}));
        QCOMPARE(form1(u"Combo1"_qs), u"Projecten"_qs);
    }

    void shortNumberSeesOnlyItsOwnProjects()
    {
        addConsultant(u"kort"_qs, u"kort"_qs, u"42"_qs);
        addProject(u"4211-X"_qs, u"Van consultant 4211"_qs);
        attempt(u"kort"_qs, u"kort"_qs);
        QVERIFY(projectEntries().isEmpty());
    }

    void noProjectsStillOpensTheMainForm()
    {
        addProject(u"0051-DIJK"_qs, u"Dijk"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        QVERIFY(projectEntries().isEmpty());
        QVERIFY(m_form->isVisible());
    }

    void unreachableServerKeepsTheLoginForm()
    {
        m_ctx->server = ServerAddress{u"127.0.0.1"_qs, 1};
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown.first().icon, Icon::Critical);
        QVERIFY(m_quits.isEmpty());
        QVERIFY(!m_login->isLoggedIn());
        QCOMPARE(m_login->loginAttempts(), 1);
        QCOMPARE(m_form, nullptr);
    }

    void failedLoginWriteLeavesTheMainFormUntouched()
    {
        // The record's insert fails after the online mark: neither stays.
        m_afterLoginAction = [](Connection& c) {
            c.exec(u"INSERT INTO torvakdb_TORVAKdata.LOGINconsultant (LOGINnaam) VALUES ('half')"_qs);
            throw DbError(1146, u"Table 'LOGINconsultant' doesn't exist"_qs);
        };
        attempt(u"anna"_qs, u"geheim"_qs);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.last().contains(u"1146"_qs));
        QCOMPARE(
            TestDb::rows(u"SELECT isONLINE, isAANGEMELD FROM torvakdb_TORVAKdata.KALMIRO_consultants"_qs),
            QStringList{u"OFFLINE|<NULL>"_qs});
        QCOMPARE(TestDb::count(u"torvakdb_TORVAKdata.LOGINconsultant"_qs), 0);
        QVERIFY(!m_login->isLoggedIn());
        QVERIFY(m_form == nullptr || (form1(u"Text1"_qs).isEmpty() && projectEntries().isEmpty()));
        QVERIFY(m_quits.isEmpty());
    }

    void databaseErrorsUseUpAttempts()
    {
        m_ctx->server = ServerAddress{u"127.0.0.1"_qs, 1};
        attempt(u"anna"_qs, u"geheim"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        attempt(u"anna"_qs, u"geheim"_qs);
        m_ctx->server = TestDb::server();
        m_messages.clear();
        attempt(u"anna"_qs, u"fout"_qs);
        QCOMPARE(m_messages.texts(), QStringList{kClosing});
        QCOMPARE(m_quits, QList<int>{0});
    }

    void clicksAndKeys()
    {
        m_login->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_login.get()));
        type(u"anna"_qs, u"fout"_qs);
        auto* password = m_login->controls().get<QLineEdit>(u"Text2"_qs);
        password->setFocus();
        // Enter in the password logs in, as a click on Image1 does.
        QTest::keyClick(password, Qt::Key_Enter);
        QCOMPARE(m_login->loginAttempts(), 1);
        QCOMPARE(m_messages.texts(), QStringList{tries(2)});

        type(u"anna"_qs, u"fout"_qs);
        QTest::mouseClick(m_login->controls().widget(u"Image1"_qs), Qt::LeftButton);
        QCOMPARE(m_login->loginAttempts(), 2);
        QVERIFY(m_quits.isEmpty());

        QTest::mouseClick(m_login->controls().widget(u"Image3"_qs), Qt::LeftButton);
        QCOMPARE(m_quits, QList<int>{0});
        QCOMPARE(m_login->loginAttempts(), 2);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
