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

} // namespace dl
