#pragma once
// A document kept as a PDF file where the consultant chooses: the month's
// document and the year overview alike. No printer is needed.

#include "core/filechooser.h"
#include "core/messages.h"
#include "print/printrenderer.h"

#include <QPdfWriter>
#include <QSaveFile>

#include <memory>

namespace dl::print {

// Where the file went, told once it is written.
QString pdfSavedMessage(const QString& path);
QString pdfNotSavedMessage(const QString& path, const QString& reason);

// A PDF file that appears whole or not at all: written beside its place and
// renamed over it on close(). PrintError carries the reason only.
class SavedPdfOutput final : public PrintOutput {
public:
    SavedPdfOutput(QString path, QString title, const QPageLayout& layout = PdfFileOutput::defaultLayout());
    ~SavedPdfOutput() override;
    QPagedPaintDevice& open() override;
    void close() override;

private:
    QString m_title;
    QPageLayout m_layout;
    QSaveFile m_file;
    std::unique_ptr<QPdfWriter> m_writer;
};

// Asks where to keep the document (proposing `proposed`), writes it there
// whole or not at all, and says which. True when it was written.
bool keepAsPdf(MessageService& messages, FileChooser& files, const QString& caption, const QString& proposed,
               const PrintDocument& document, const QPixmap& logo);

} // namespace dl::print
