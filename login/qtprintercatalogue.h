#pragma once
// The printers installed on the workstation, as CUPS reports them through Qt.

#include "core/printers.h"

namespace dl {

class QtPrinterCatalogue final : public PrinterCatalogue {
public:
    QStringList names() const override;
    QString systemDefault() const override;
};

} // namespace dl
