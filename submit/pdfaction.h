#pragma once
// The PDF button (ImagePdf beside Image6): the document that printing
// would print, kept as a PDF file where the consultant chooses. No printer
// is needed; nothing on the form, in the Session or in the database changes.

#include "core/context.h"
#include "core/filechooser.h"
#include "submit/printrenderer.h"

#include <QObject>
#include <QPdfWriter>
#include <QSaveFile>

#include <memory>

namespace dl {

class Form1;

namespace print {

// "Declaratie 0012-ALFA Maart 2026.pdf"; what a file name cannot hold
// becomes "-".
QString pdfFileName(const QString& projectCode, const QString& monthEntry, const QString& year);

QString pdfSaveCaption();
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

} // namespace print

class PdfAction : public QObject {
    Q_OBJECT
public:
    // documents: the folder the proposed file name lies in.
    PdfAction(Form1& form, AppContext& ctx, FileChooser& files, QString documents = documentsFolder());

    // The double-click on ImagePdf.
    void run();

    // The user's documents folder.
    static QString documentsFolder();

private:
    Form1& m_form;
    AppContext& m_ctx;
    FileChooser& m_files;
    QString m_documents;
};

} // namespace dl
