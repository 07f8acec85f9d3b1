// The workstation as the login record sees it, read from made-up sysfs
// trees, and the record written at login.

#include "core/clock.h"
#include "data/dberror.h"
#include "login/loginaudit.h"
#include "login/workstation.h"
#include "support/fakes.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace dl;
using dl::test::TestDb;

namespace {

struct FakeAdapter {
    QString name;
    bool device = true;        // a device link behind it
    bool underVirtual = false; // lives under devices/virtual
    int type = 1;
    QString mac;
    QString driver;
    QString udevVendor;
    QString udevModel;
    QString usbProduct;
    int ifindex = 0;
};

// A sysfs tree laid out as the kernel does: class/net holds links into devices.
class FakeTree {
public:
    FakeTree() { QVERIFY(m_dir.isValid()); }
    QString root() const { return m_dir.path(); }

    void write(const QString& relative, const QString& text)
    {
        const QString p = root() + u'/' + relative;
        QDir().mkpath(QFileInfo(p).absolutePath());
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    void link(const QString& target, const QString& relative)
    {
        const QString p = root() + u'/' + relative;
        QDir().mkpath(QFileInfo(p).absolutePath());
        QVERIFY(QFile::link(target, p));
    }

    void board(const QString& vendor, const QString& name)
    {
        write(QStringLiteral("sys/class/dmi/id/board_vendor"), vendor + u'\n');
        write(QStringLiteral("sys/class/dmi/id/board_name"), name + u'\n');
    }

    void add(const FakeAdapter& a)
    {
        const QString pci =
            QStringLiteral("sys/devices/pci0000:00/0000:00:%1.0").arg(++m_slot, 2, 10, QChar(u'0'));
        const QString dev = a.underVirtual ? QString(QStringLiteral("sys/devices/virtual/net/") + a.name)
                                           : QString(pci + QStringLiteral("/net/") + a.name);
        write(dev + QStringLiteral("/type"), QString::number(a.type) + u'\n');
        write(dev + QStringLiteral("/address"), a.mac + u'\n');
        if (a.ifindex)
            write(dev + QStringLiteral("/ifindex"), QString::number(a.ifindex) + u'\n');
        if (a.device) {
            write(pci + QStringLiteral("/vendor"), QStringLiteral("0x8086\n"));
            link(root() + u'/' + pci, dev + QStringLiteral("/device"));
            if (!a.driver.isEmpty()) {
                QDir().mkpath(root() + QStringLiteral("/sys/bus/pci/drivers/") + a.driver);
                link(root() + QStringLiteral("/sys/bus/pci/drivers/") + a.driver,
                     pci + QStringLiteral("/driver"));
            }
            if (!a.usbProduct.isEmpty()) {
                write(pci + QStringLiteral("/manufacturer"), QStringLiteral("ASIX Elec. Corp.\n"));
                write(pci + QStringLiteral("/product"), a.usbProduct + u'\n');
            }
        }
        if (!a.udevVendor.isEmpty() || !a.udevModel.isEmpty())
            write(QStringLiteral("run/udev/data/n%1").arg(a.ifindex),
                  QStringLiteral("I:1234\nE:ID_NET_NAME_PATH=%1\nE:ID_VENDOR_FROM_DATABASE=%2\n"
                                 "E:ID_MODEL_FROM_DATABASE=%3\nG:systemd\n")
                      .arg(a.name, a.udevVendor, a.udevModel));
        link(root() + u'/' + dev, QStringLiteral("sys/class/net/") + a.name);
    }

private:
    QTemporaryDir m_dir;
    int m_slot = 0;
};

FakeAdapter virt(const QString& name, int type)
{
    FakeAdapter a;
    a.name = name;
    a.device = false;
    a.underVirtual = true;
    a.type = type;
    a.mac = QStringLiteral("00:00:00:00:00:00");
    return a;
}

FakeAdapter phys(const QString& name, const QString& mac, const QString& driver)
{
    FakeAdapter a;
    a.name = name;
    a.mac = mac;
    a.driver = driver;
    return a;
}

WorkstationReader::UserNameSource named(const QString& user)
{
    return [user] { return user; };
}

} // namespace

class TestWorkstation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void adapterChoice_data();
    void adapterChoice();
    void adapterDescribedByVendorAndModel();
    void boardAndUser();
    void missingTreeLeavesFieldsEmpty();
    void stamp_data();
    void stamp();

    void init();
    void recordWritten_data();
    void recordWritten();
    void failingUserQueryStillWritesRecord();
    void failingWriteLeavesSessionAlone();
};

void TestWorkstation::adapterChoice_data()
{
    QTest::addColumn<QList<FakeAdapter>>("adapters");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("mac");

    const FakeAdapter bridge = [] {
        FakeAdapter b = virt(QStringLiteral("br0"), 1);
        b.mac = QStringLiteral("52:54:00:aa:bb:cc");
        return b;
    }();
    QTest::newRow("only virtual adapters")
        << QList<FakeAdapter>{virt(QStringLiteral("lo"), 772), bridge, virt(QStringLiteral("tun0"), 65534)}
        << QString() << QString();
    QTest::newRow("two physical: the last in name order")
        << QList<FakeAdapter>{phys(QStringLiteral("wlp2s0"), QStringLiteral("a4:c3:f0:11:22:33"),
                                   QStringLiteral("iwlwifi")),
                              phys(QStringLiteral("enp3s0"), QStringLiteral("00:1a:2b:3c:4d:5e"),
                                   QStringLiteral("e1000e"))}
        << QStringLiteral("wlp2s0 (iwlwifi)") << QStringLiteral("A4:C3:F0:11:22:33");
    QTest::newRow("name order is byte order")
        << QList<FakeAdapter>{phys(QStringLiteral("enp9s0"), QStringLiteral("00:00:00:00:00:09"),
                                   QStringLiteral("r8169")),
                              phys(QStringLiteral("enp10s0"), QStringLiteral("00:00:00:00:00:10"),
                                   QStringLiteral("r8169"))}
        << QStringLiteral("enp9s0 (r8169)") << QStringLiteral("00:00:00:00:00:09");
    QTest::newRow("virtual ones after the physical one are skipped")
        << QList<FakeAdapter>{phys(QStringLiteral("eth0"), QStringLiteral("00:11:22:33:44:55"),
                                   QStringLiteral("e1000")),
                              virt(QStringLiteral("virbr0"), 1), virt(QStringLiteral("wg0"), 65534)}
        << QStringLiteral("eth0 (e1000)") << QStringLiteral("00:11:22:33:44:55");
    QTest::newRow("a device that is not ethernet is skipped")
        << QList<FakeAdapter>{phys(QStringLiteral("eth0"), QStringLiteral("00:11:22:33:44:55"),
                                   QStringLiteral("e1000")),
                              [] {
                                  FakeAdapter ib = phys(QStringLiteral("ib0"), QStringLiteral("80:00:00:48"),
                                                        QStringLiteral("ib_ipoib"));
                                  ib.type = 32;
                                  return ib;
                              }()}
        << QStringLiteral("eth0 (e1000)") << QStringLiteral("00:11:22:33:44:55");
    QTest::newRow("a device link under devices/virtual is skipped")
        << QList<FakeAdapter>{phys(QStringLiteral("eth0"), QStringLiteral("00:11:22:33:44:55"),
                                   QStringLiteral("e1000")),
                              [] {
                                  FakeAdapter v = phys(QStringLiteral("veth9"),
                                                       QStringLiteral("66:77:88:99:aa:bb"), QString());
                                  v.underVirtual = true;
                                  return v;
                              }()}
        << QStringLiteral("eth0 (e1000)") << QStringLiteral("00:11:22:33:44:55");
    QTest::newRow("no driver: the name alone")
        << QList<FakeAdapter>{phys(QStringLiteral("eth1"), QStringLiteral("00:11:22:33:44:66"), QString())}
        << QStringLiteral("eth1") << QStringLiteral("00:11:22:33:44:66");
}

void TestWorkstation::adapterChoice()
{
    QFETCH(QList<FakeAdapter>, adapters);
    QFETCH(QString, description);
    QFETCH(QString, mac);
    FakeTree tree;
    for (const FakeAdapter& a : adapters)
        tree.add(a);
    const WorkstationFacts f = WorkstationReader(tree.root(), named(QStringLiteral("anna"))).read();
    QCOMPARE(f.adapterName, description);
    QCOMPARE(f.macAddress, mac);
}

void TestWorkstation::adapterDescribedByVendorAndModel()
{
    FakeTree tree;
    FakeAdapter known =
        phys(QStringLiteral("enp0s31f6"), QStringLiteral("00:1a:2b:3c:4d:5e"), QStringLiteral("e1000e"));
    known.ifindex = 2;
    known.udevVendor = QStringLiteral("Intel Corporation");
    known.udevModel = QStringLiteral("Ethernet Connection I219-LM");
    tree.add(known);
    const auto adapter = WorkstationReader(tree.root(), {}).lastPhysicalAdapter();
    QVERIFY(adapter);
    QCOMPARE(adapter->description, QStringLiteral("Intel Corporation Ethernet Connection I219-LM"));

    FakeTree usb;
    FakeAdapter dongle = phys(QStringLiteral("enx001122334455"), QStringLiteral("00:11:22:33:44:55"),
                              QStringLiteral("ax88179_178a"));
    dongle.usbProduct = QStringLiteral("AX88179");
    usb.add(dongle);
    QCOMPARE(WorkstationReader(usb.root(), {}).lastPhysicalAdapter()->description,
             QStringLiteral("ASIX Elec. Corp. AX88179"));
}

void TestWorkstation::boardAndUser()
{
    FakeTree tree;
    tree.board(QStringLiteral("ASUSTeK COMPUTER INC."), QStringLiteral("PRIME B450M-A"));
    const WorkstationFacts f = WorkstationReader(tree.root(), named(QStringLiteral("anna"))).read();
    QCOMPARE(f.boardManufacturer, QStringLiteral("ASUSTeK COMPUTER INC."));
    QCOMPARE(f.boardProduct, QStringLiteral("PRIME B450M-A"));
    QCOMPARE(f.userName, QStringLiteral("anna"));
    QVERIFY(!WorkstationReader::systemUserName().isEmpty());
}

void TestWorkstation::missingTreeLeavesFieldsEmpty()
{
    const WorkstationFacts f = WorkstationReader(QStringLiteral("/nonexistent/tree"), {}).read();
    QVERIFY(f.userName.isEmpty());
    QVERIFY(f.adapterName.isEmpty());
    QVERIFY(f.macAddress.isEmpty());
    QVERIFY(f.boardManufacturer.isEmpty());
    QVERIFY(f.boardProduct.isEmpty());
}

void TestWorkstation::stamp_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Dutch") << QStringLiteral("nl_NL") << QStringLiteral("2026-07-02   08:05:09");
    QTest::newRow("American") << QStringLiteral("en_US") << QStringLiteral("2026/07/02   8:05:09\u202FAM");
    QTest::newRow("German") << QStringLiteral("de_DE") << QStringLiteral("2026.07.02   08:05:09");
}

void TestWorkstation::stamp()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    const QDateTime at(QDate(2026, 7, 2), QTime(8, 5, 9));
    QString got = loginStamp(at, QLocale(locale));
    // Older locale data has a plain blank before AM.
    got.replace(QStringLiteral(" AM"), QStringLiteral("\u202FAM"));
    QCOMPARE(got, expected);
}

void TestWorkstation::init()
{
    if (QByteArray(QTest::currentTestFunction()).startsWith("recordWritten") ||
        QByteArray(QTest::currentTestFunction()).startsWith("failing"))
        TestDb::reset();
}

void TestWorkstation::recordWritten_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("printer");
    QTest::newRow("14 characters") << QStringLiteral("a.vandenberg14") << QStringLiteral("Kantoor-HP");
    QTest::newRow("15 characters") << QStringLiteral("a.vandenberg015") << QStringLiteral("Kantoor-HP");
    QTest::newRow("30 characters") << QStringLiteral("anna.vandenberg-dewit.kantoor1")
                                   << QStringLiteral("PDF");
    QTest::newRow("no printer") << QStringLiteral("anna") << QString();
}

void TestWorkstation::recordWritten()
{
    QFETCH(QString, user);
    QFETCH(QString, printer);
    QCOMPARE(user.isEmpty(), false);

    FakeTree tree;
    tree.board(QStringLiteral("Gigabyte Technology Co., Ltd."), QStringLiteral("B550M DS3H"));
    tree.add(virt(QStringLiteral("lo"), 772));
    tree.add(phys(QStringLiteral("enp5s0"), QStringLiteral("18:c0:4d:01:02:03"), QStringLiteral("r8169")));

    Session session;
    session.consultantName = QStringLiteral("Ir. Anna de Vries");
    session.printerName = printer;
    test::FakeMessages messages;
    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(9, 30, 0)));
    AppContext ctx{session, messages, clock, TestDb::server()};

    LoginAudit(ctx, WorkstationReader(tree.root(), named(user)), QLocale(QStringLiteral("nl_NL"))).write();

    const QStringList rows = TestDb::rows(QStringLiteral(
        "SELECT DATUMTIJD, PCnaam, LOGINnaam, NETWERKkaart, NETWERKadres, MBmerk, MBtype, Afdrukapparaat "
        "FROM torvakdb_TORVAKdata.LOGINconsultant"));
    QCOMPARE(rows, QStringList{QStringLiteral("2026-03-14   09:30:00|") + user +
                               QStringLiteral("|Ir. Anna de Vries|enp5s0 (r8169)|18:C0:4D:01:02:03|"
                                              "Gigabyte Technology Co., Ltd.|B550M DS3H|") +
                               printer});
    QCOMPARE(session.windowsUserName, user);
    QCOMPARE(session.macAddress, QStringLiteral("18:C0:4D:01:02:03"));
    QCOMPARE(session.loginStamp, QStringLiteral("2026-03-14   09:30:00"));
    QVERIFY(messages.shown.isEmpty());
}

void TestWorkstation::failingUserQueryStillWritesRecord()
{
    Session session;
    session.consultantName = QStringLiteral("Dr. Bram Peters");
    test::FakeMessages messages;
    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(9, 30, 0)));
    AppContext ctx{session, messages, clock, TestDb::server()};
    const auto failing = []() -> QString { throw std::runtime_error("no passwd entry"); };

    LoginAudit(ctx, WorkstationReader(QStringLiteral("/nonexistent"), failing),
               QLocale(QStringLiteral("nl_NL")))
        .write();
    QCOMPARE(
        TestDb::rows(QStringLiteral("SELECT PCnaam, LOGINnaam, NETWERKkaart, NETWERKadres, MBmerk, MBtype, "
                                    "Afdrukapparaat FROM torvakdb_TORVAKdata.LOGINconsultant")),
        QStringList{QStringLiteral("|Dr. Bram Peters|||||")});
}

void TestWorkstation::failingWriteLeavesSessionAlone()
{
    Session session;
    session.consultantName = QStringLiteral("Dr. Bram Peters");
    test::FakeMessages messages;
    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(9, 30, 0)));
    ServerAddress nowhere;
    nowhere.host = QStringLiteral("127.0.0.1");
    nowhere.port = 1; // nothing listens there
    AppContext ctx{session, messages, clock, nowhere};
    LoginAudit audit(ctx, WorkstationReader(QStringLiteral("/nonexistent"), named(QStringLiteral("bram"))));
    QVERIFY_THROWS_EXCEPTION(DbError, audit.write());
    QVERIFY(session.windowsUserName.isEmpty());
    QVERIFY(session.loginStamp.isEmpty());
}

QTEST_GUILESS_MAIN(TestWorkstation)
#include "tst_workstation.moc"
