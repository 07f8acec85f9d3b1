// Drafts of unsaved months across a crash, with the program's own wiring in
// processes of their own: days typed, the process killed with SIGKILL,
// started again, logged in, the month opened. What comes back, what is
// asked, and what a stale, damaged or foreign draft does.

#include "app/startup.h"
#include "core/clock.h"
#include "declaration/drafts.h"
#include "declaration/form1.h"
#include "declaration/openmonth.h"
#include "login/loginform.h"
#include "support/fakes.h"
#include "support/formhelpers.h"
#include "support/seams.h"
#include "support/testdb.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;
const QString kKey = u"2026_03_0042-GLAS"_qs;
const QString kReports = u"torvakdb_TORVAKraporten.Raporten"_qs;

QByteArray jsonLine(const QJsonValue& v)
{
    return v.isArray() ? QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact)
                       : QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact);
}

// One run of the program, as a child process of the test:
//   --program type FOLDER       logs in, opens March 2026, types days (a pause
//                               after the first, so a draft is on disk before the rest), prints
//                               TYPED and the form's texts, and runs on until killed;
//   --program open FOLDER ja|nee  logs in, opens March 2026 a day later, answers
//                               the draft's question, prints what it was told
//                               and the form's texts, and ends.
int runChild(const QStringList& args)
{
    const bool typing = args.value(0) == u"type";
    Session session;
    FakeMessages messages;
    FixedClock clock{typing ? QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9))
                            : QDateTime(QDate(2026, 3, 28), QTime(9, 0))};
    AppContext ctx{session, messages, clock, TestDb::server()};
    StartupSeams seams = fakeSeams(args.value(1));
    Startup startup(ctx, std::move(seams));
    startup.start();

    LoginForm* login = startup.loginForm();
    typeInto(login->controls().get<QLineEdit>(u"Text1"_qs), u"anna"_qs);
    typeInto(login->controls().get<QLineEdit>(u"Text2"_qs), u"geheim"_qs);
    QTest::mouseClick(login->controls().widget(u"Image1"_qs), Qt::LeftButton);
    if (!startup.hasMainForm())
        return 3;
    FormControls& c = startup.mainForm().controls();
    if (args.value(2) == u"nee")
        messages.answers.enqueue(Answer::No);
    if (!pickFromList(c.get<QComboBox>(u"Combo1"_qs), kGlas))
        return 4;
    pickFromList(c.get<QComboBox>(u"Combo2"_qs), u"03 Maart "_qs);

    QTextStream out(stdout);
    if (typing) {
        for (int n = 2; n <= 4; ++n) {
            auto* activity = c.get<QLineEdit>(element(u"Text24"_qs, n));
            typeInto(activity, u"Overleg aannemer %1"_qs.arg(n));
            activity->insert(u" é"_qs); // as an input method gives it
            typeInto(c.get<QLineEdit>(element(u"Text25"_qs, n)), u"Jan"_qs);
            typeInto(c.get<QLineEdit>(hoursSlot(n)), u"8"_qs);
            typeInto(c.get<QLineEdit>(kmSlot(n)), u"4%1"_qs.arg(n));
            // A draft is written after day 2; what comes after must follow it.
            if (n == 2)
                QTest::qWait(700);
        }
        typeInto(c.get<QLineEdit>(u"Text36"_qs), u"Parkeren"_qs);
        typeInto(c.get<QLineEdit>(u"Text33"_qs), u"12"_qs);
        typeInto(c.get<QLineEdit>(u"Text34"_qs), u"50"_qs);
        out << "TYPED " << jsonLine(QJsonArray::fromStringList(openmonth::snapshot(c))) << '\n';
        out.flush();
        return QApplication::exec();
    }
    for (const Message& m : messages.shown)
        out << "TOLD " << jsonLine(QJsonObject{{u"caption"_qs, m.caption}, {u"text"_qs, m.text}}) << '\n';
    out << "CHANGED " << (openmonth::hasChanges(c, session) ? 1 : 0) << '\n';
    out << "FORM " << jsonLine(QJsonArray::fromStringList(openmonth::snapshot(c))) << '\n';
    out.flush();
    return 0;
}

struct Run {
    QString out;
    QStringList errLines;
    int exitCode = -1;
    QString line(const QString& tag) const
    {
        for (const QString& l : out.split(u'\n')) {
            if (l.startsWith(tag + u' '))
                return l.mid(tag.size() + 1);
        }
        return {};
    }
    QStringList form() const
    {
        QStringList texts;
        for (const QJsonValue& v : QJsonDocument::fromJson(line(u"FORM"_qs).toUtf8()).array())
            texts << v.toString();
        return texts;
    }
    QList<QPair<QString, QString>> told() const
    {
        QList<QPair<QString, QString>> out_;
        for (const QString& l : out.split(u'\n')) {
            if (!l.startsWith(u"TOLD "_qs))
                continue;
            const QJsonObject o = QJsonDocument::fromJson(l.mid(5).toUtf8()).object();
            out_.append({o.value(u"caption"_qs).toString(), o.value(u"text"_qs).toString()});
        }
        return out_;
    }
};

QStringList typedTexts(const QString& typedLine)
{
    QStringList texts;
    for (const QJsonValue& v : QJsonDocument::fromJson(typedLine.toUtf8()).array())
        texts << v.toString();
    return texts;
}

// Starts the program to type; once it has, gives it a second and kills it.
QString typeAndKill(const QString& folder)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {u"--program"_qs, u"type"_qs, folder});
    if (!p.waitForStarted(10000))
        return {};
    QString out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains(u"\n"_qs) && waited.elapsed() < 60000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(1000);
        out += QString::fromUtf8(p.readAllStandardOutput());
    }
    QTest::qWait(1000); // a draft is at most a second behind the last change
    p.kill();           // SIGKILL: nothing of the program runs any more
    p.waitForFinished(10000);
    const qsizetype at = out.indexOf(u"TYPED "_qs);
    return at < 0 ? QString() : out.mid(at + 6).section(u'\n', 0, 0);
}

Run openAgain(const QString& folder, const QString& answer)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {u"--program"_qs, u"open"_qs, folder, answer});
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000))
        return r;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.errLines = QString::fromUtf8(p.readAllStandardError()).split(u'\n');
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    return r;
}

enum class Tamper { None, SavedElsewhere, Declared, Truncated, RandomBytes, OtherConsultant };

} // namespace

Q_DECLARE_METATYPE(Tamper)

class TestDrafts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestDb::loadDemo(); }
    void afterAKill_data();
    void afterAKill();
    void fileNameStaysInTheFolder();
};

void TestDrafts::afterAKill_data()
{
    QTest::addColumn<bool>("stored"); // March had a row when it was typed in
    QTest::addColumn<Tamper>("tamper");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("said"); // the message about a draft not put back
    QTest::addColumn<bool>("ignored"); // one line on standard error
    QTest::addColumn<bool>("kept");    // the draft file is still there
    const QString stale = u"De niet opgeslagen versie van Maart 2026 is niet teruggezet: het raport is "
                          u"intussen elders opgeslagen "
                          "of gedeclareerd."_qs;
    QTest::newRow("new month, Ja") << false << Tamper::None << u"ja"_qs << true << true << QString() << false
                                   << true;
    QTest::newRow("stored month, Ja")
        << true << Tamper::None << u"ja"_qs << true << true << QString() << false << true;
    QTest::newRow("stored month, Nee")
        << true << Tamper::None << u"nee"_qs << true << false << QString() << false << false;
    QTest::newRow("saved elsewhere since")
        << true << Tamper::SavedElsewhere << u"ja"_qs << false << false << stale << false << false;
    QTest::newRow("new month saved elsewhere since")
        << false << Tamper::SavedElsewhere << u"ja"_qs << false << false << stale << false << false;
    QTest::newRow("declared since") << true << Tamper::Declared << u"ja"_qs << false << false << stale
                                    << false << false;
    QTest::newRow("truncated") << true << Tamper::Truncated << u"ja"_qs << false << false << QString() << true
                               << true;
    QTest::newRow("random bytes") << true << Tamper::RandomBytes << u"ja"_qs << false << false << QString()
                                  << true << true;
    QTest::newRow("another consultant's")
        << true << Tamper::OtherConsultant << u"ja"_qs << false << false << QString() << true << true;
}

void TestDrafts::afterAKill()
{
    QFETCH(bool, stored);
    QFETCH(Tamper, tamper);
    QFETCH(QString, answer);
    QFETCH(bool, asked);
    QFETCH(bool, restored);
    QFETCH(QString, said);
    QFETCH(bool, ignored);
    QFETCH(bool, kept);
    QTemporaryDir home;
    const QString folder = home.path() + u"/data/concepten"_qs;
    const QString file = DraftStore(folder).fileFor(kKey);
    if (stored)
        TestDb::exec(
            u"INSERT INTO "_qs + kReports +
                u" (Projectnaam, afgewerkt, laatstgewijzigd, Uren02) VALUES (?, 'nee', 'eerder', '4')"_qs,
            {kKey});

    const QStringList typed = typedTexts(typeAndKill(folder));
    QVERIFY(typed.contains(u"Overleg aannemer 3 é"_qs));
    QVERIFY2(QFile::exists(file), qPrintable(file));
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(folder).permissions() & others, QFile::Permissions());
    QCOMPARE(QFileInfo(file).permissions() & others, QFile::Permissions());

    switch (tamper) {
    case Tamper::None:
        break;
    case Tamper::SavedElsewhere:
        if (stored)
            TestDb::exec(u"UPDATE "_qs + kReports + u" SET laatstgewijzigd = 'elders', Uren02 = '6'"_qs);
        else
            TestDb::exec(
                u"INSERT INTO "_qs + kReports +
                    u" (Projectnaam, afgewerkt, laatstgewijzigd, Uren02) VALUES (?, 'nee', 'elders', '6')"_qs,
                {kKey});
        break;
    case Tamper::Declared:
        TestDb::exec(u"UPDATE "_qs + kReports + u" SET afgewerkt = 'ja'"_qs);
        break;
    case Tamper::Truncated:
    case Tamper::RandomBytes:
    case Tamper::OtherConsultant: {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        if (tamper == Tamper::Truncated) {
            bytes.truncate(bytes.size() / 2);
        } else if (tamper == Tamper::RandomBytes) {
            QRandomGenerator random(19);
            for (char& b : bytes)
                b = char(random.bounded(256));
        } else {
            std::optional<Draft> d = decodeDraft(bytes);
            QVERIFY(d);
            d->consultant = u"0051"_qs;
            bytes = encodeDraft(*d);
        }
        f.resize(0);
        f.write(bytes);
        break;
    }
    }

    const Run r = openAgain(folder, answer);
    QCOMPARE(r.exitCode, 0);
    const QList<QPair<QString, QString>> told = r.told();
    const QPair<QString, QString> question{
        u"NIET OPGESLAGEN VERSIE"_qs,
        u"Er is een niet opgeslagen versie van dit raport van 27-03-2026 16:04.\r\n"
        "Wilt U die terugzetten?"_qs};
    QCOMPARE(told.contains(question), asked);
    QCOMPARE(told.contains({applicationTitle(), said}), !said.isEmpty());
    const QStringList form = r.form();
    QCOMPARE(form.size(), typed.size());
    if (restored) {
        QCOMPARE(form, typed); // exactly what was typed, and not saved
        QCOMPARE(r.line(u"CHANGED"_qs), u"1"_qs);
        QCOMPARE(TestDb::rows(u"SELECT IFNULL(Uren03, '') FROM "_qs + kReports),
                 stored ? QStringList{QString()} : QStringList());
    } else {
        QVERIFY(form != typed);
        QCOMPARE(r.line(u"CHANGED"_qs), u"0"_qs);
    }
    QStringList lines;
    for (const QString& l : r.errLines) {
        if (l.startsWith(u"declaraties: "_qs))
            lines << l;
    }
    QCOMPARE(lines.size(), ignored ? 1 : 0);
    if (ignored)
        QVERIFY2(lines.first().contains(file), qPrintable(lines.first()));
    QCOMPARE(QFile::exists(file), kept);
}

void TestDrafts::fileNameStaysInTheFolder()
{
    // A project code is the office's text: a slash or dots in it must not
    // lead the file out of the folder.
    const DraftStore store(u"/tmp/concepten"_qs);
    for (const QString& key : {u"2026_03_../../x"_qs, u"2026_03_a/b"_qs, u".."_qs, u"2026_03_%2F"_qs})
        QCOMPARE(QFileInfo(store.fileFor(key)).absolutePath(), u"/tmp/concepten"_qs);
    QVERIFY(store.fileFor(u"2026_03_a/b"_qs) != store.fileFor(u"2026_03_a%2Fb"_qs));
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--program") == 0)
        return runChild(QCoreApplication::arguments().mid(2));
    TestDrafts t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_drafts.moc"
