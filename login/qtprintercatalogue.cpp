#include "login/qtprintercatalogue.h"

#include <QPrinterInfo>

namespace dl {

QStringList QtPrinterCatalogue::names() const
{
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterCatalogue::systemDefault() const
{
    return QPrinterInfo::defaultPrinterName();
}

} // namespace dl
