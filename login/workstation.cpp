#include "login/workstation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace dl {

namespace {

QString joined(const QString& a, const QString& b)
{
    return QString(a + u' ' + b).trimmed();
}

// A sysfs attribute as text, without the line break the kernel adds.
QString readAttribute(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(4096)).trimmed();
}

// Vendor and model names as udev found them in its hardware database.
QString udevDescription(const QString& dataFile)
{
    QFile f(dataFile);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString vendor;
    QString model;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u"E:ID_VENDOR_FROM_DATABASE="))
            vendor = line.mid(26);
        else if (line.startsWith(u"E:ID_MODEL_FROM_DATABASE="))
            model = line.mid(25);
    }
    return joined(vendor, model);
}

} // namespace

WorkstationReader::WorkstationReader(QString root, UserNameSource userName)
    : m_root(std::move(root)), m_userName(std::move(userName))
{
}

QString WorkstationReader::path(const QString& relative) const
{
    QString r = m_root;
    if (!r.endsWith(u'/'))
        r += u'/';
    return r + relative;
}

WorkstationFacts WorkstationReader::read() const
{
    WorkstationFacts f;
    f.boardManufacturer = boardManufacturer();
    f.boardProduct = boardProduct();
    if (const auto adapter = lastPhysicalAdapter()) {
        f.adapterName = adapter->description;
        f.macAddress = adapter->macAddress;
    }
    f.userName = userName();
    return f;
}

QString WorkstationReader::boardManufacturer() const
{
    return readAttribute(path(QStringLiteral("sys/class/dmi/id/board_vendor")));
}

QString WorkstationReader::boardProduct() const
{
    return readAttribute(path(QStringLiteral("sys/class/dmi/id/board_name")));
}

QString WorkstationReader::userName() const
{
    if (!m_userName)
        return {};
    try {
        return m_userName();
    } catch (const std::exception&) {
        // Only recorded, never needed: a failing query must not stop the login.
        return {};
    }
}

bool WorkstationReader::isPhysical(const QString& interfaceDir) const
{
    // Loopback, bridges, tunnels, bonds and the like have no device behind
    // them and live under devices/virtual.
    if (!QFileInfo(interfaceDir + QStringLiteral("/device")).exists())
        return false;
    if (readAttribute(interfaceDir + QStringLiteral("/type")) != u"1") // ARPHRD_ETHER
        return false;
    const QString real = QFileInfo(interfaceDir).canonicalFilePath();
    return !real.contains(u"/devices/virtual/");
}

QString WorkstationReader::describe(const QString& interfaceName, const QString& interfaceDir) const
{
    const QString index = readAttribute(interfaceDir + QStringLiteral("/ifindex"));
    if (!index.isEmpty()) {
        const QString known = udevDescription(path(QStringLiteral("run/udev/data/n") + index));
        if (!known.isEmpty())
            return known;
    }
    // USB adapters name themselves on the device or the device above it.
    const QString device = QFileInfo(interfaceDir + QStringLiteral("/device")).canonicalFilePath();
    for (const QString& dir : {device, QFileInfo(device).absolutePath()}) {
        if (device.isEmpty())
            break;
        const QString named = joined(readAttribute(dir + QStringLiteral("/manufacturer")),
                                     readAttribute(dir + QStringLiteral("/product")));
        if (!named.isEmpty())
            return named;
    }
    const QString driver =
        QFileInfo(QFileInfo(interfaceDir + QStringLiteral("/device/driver")).canonicalFilePath()).fileName();
    return driver.isEmpty() ? interfaceName : interfaceName + QStringLiteral(" (") + driver + u')';
}

std::optional<NetworkAdapter> WorkstationReader::lastPhysicalAdapter() const
{
    const QString netDir = path(QStringLiteral("sys/class/net"));
    QStringList names = QDir(netDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    // Byte order, the same on every workstation whatever its language.
    std::sort(names.begin(), names.end());
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const QString dir = netDir + u'/' + *it;
        if (!isPhysical(dir))
            continue;
        return NetworkAdapter{*it, readAttribute(dir + QStringLiteral("/address")).toUpper(),
                              describe(*it, dir)};
    }
    return std::nullopt;
}

QString WorkstationReader::systemUserName()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

} // namespace dl
