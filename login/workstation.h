#pragma once
// What the login record tells about the workstation: the person's account,
// the main board and one physical network adapter. Read from a sysfs tree
// under a root folder, so that tests can hand in a made-up one.

#include <QString>

#include <functional>
#include <optional>

namespace dl {

struct WorkstationFacts {
    QString userName;
    QString adapterName; // a readable description of the adapter
    QString macAddress;
    QString boardManufacturer;
    QString boardProduct;
};

struct NetworkAdapter {
    QString interfaceName; // "enp3s0"
    QString macAddress;
    QString description;
};

class WorkstationReader {
public:
    using UserNameSource = std::function<QString()>;

    explicit WorkstationReader(QString root = QStringLiteral("/"),
                               UserNameSource userName = &WorkstationReader::systemUserName);

    // Each part on its own: a part that cannot be read stays empty.
    WorkstationFacts read() const;

    QString boardManufacturer() const;
    QString boardProduct() const;
    // The last physical adapter in name order; virtual ones do not count.
    std::optional<NetworkAdapter> lastPhysicalAdapter() const;
    QString userName() const;

    // The account the program runs under, whatever the length of its name.
    static QString systemUserName();

private:
    QString path(const QString& relative) const;
    bool isPhysical(const QString& interfaceDir) const;
    QString describe(const QString& interfaceName, const QString& interfaceDir) const;

    QString m_root;
    UserNameSource m_userName;
};

} // namespace dl
