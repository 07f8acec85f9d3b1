#include "core/printers.h"

namespace dl {

CurrentPrinter::CurrentPrinter(const PrinterCatalogue& catalogue)
    : m_catalogue(catalogue), m_name(catalogue.systemDefault())
{
}

bool CurrentPrinter::select(const QString& name)
{
    const QStringList installed = m_catalogue.names();
    for (const QString& device : installed) {
        if (device == name) {
            m_name = device;
            return true;
        }
    }
    return false;
}

} // namespace dl
