#pragma once
// The PDF button (ImagePdf beside Image6): the document that printing
// would print, kept as a PDF file where the consultant chooses. No printer
// is needed; nothing on the form, in the Session or in the database changes.

#include "core/context.h"
#include "core/filechooser.h"

#include <QObject>

namespace dl {

class Form1;

namespace print {

// "Declaratie 0012-ALFA Maart 2026.pdf"; what a file name cannot hold
// becomes "-".
QString pdfFileName(const QString& projectCode, const QString& monthEntry, const QString& year);

QString pdfSaveCaption();

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
