#pragma once
// The workstation's printers as the program sees them; the real one asks
// CUPS through Qt, tests pass a made-up list.

#include <QStringList>

namespace dl {

class PrinterCatalogue {
public:
    virtual ~PrinterCatalogue() = default;
    // Device names in the system's order.
    virtual QStringList names() const = 0;
    // The system's default printer; empty when there is none.
    virtual QString systemDefault() const = 0;
};

// The printer that printing goes to. It starts as the system's default,
// lasts for the run of the program and changes only through select(); the
// login form and the print action share one.
class CurrentPrinter {
public:
    explicit CurrentPrinter(const PrinterCatalogue& catalogue);

    const PrinterCatalogue& catalogue() const { return m_catalogue; }
    // Empty when the workstation has no default printer.
    QString name() const { return m_name; }

    // SelectPrinter: makes the first printer whose device name equals name
    // exactly (case and blanks count) current; true when one was found.
    // Otherwise the current printer stays what it was.
    bool select(const QString& name);

private:
    const PrinterCatalogue& m_catalogue;
    QString m_name;
};

} // namespace dl
