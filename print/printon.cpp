#include "print/printon.h"

#include "print/printeroutput.h"

namespace dl::print {

bool printOn(MessageService& messages, const OutputFactory& output, const QString& printerName,
             const PrintDocument& document, const QPixmap& logo, const QString& failure, const QString& done)
{
    try {
        const std::unique_ptr<PrintOutput> out =
            output ? output(printerName, document.title)
                   : std::make_unique<PrinterOutput>(printerName, document.title);
        renderDocument(document, logo, *out);
        messages.inform(
            done.arg(printerName.isEmpty() ? QStringLiteral("de standaardprinter") : printerName));
        return true;
    } catch (const PrintError& e) {
        messages.inform(failure + QStringLiteral("\r\n\r\n") + e.message(), Icon::Critical);
        return false;
    }
}

} // namespace dl::print
