#include "print/savedpdf.h"

#include <QDir>

namespace dl::print {

QString pdfSavedMessage(const QString& path)
{
    return QStringLiteral("Het PDF-bestand is opgeslagen als:\r\n") + path;
}

QString pdfNotSavedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Het PDF-bestand ") + path + QStringLiteral(" is niet opgeslagen: ") + reason;
}

SavedPdfOutput::SavedPdfOutput(QString path, QString title, const QPageLayout& layout)
    : m_title(std::move(title)), m_layout(layout), m_file(path)
{
}

// Without close() the file stays as it was.
SavedPdfOutput::~SavedPdfOutput() = default;

QPagedPaintDevice& SavedPdfOutput::open()
{
    if (!m_file.open(QIODevice::WriteOnly))
        throw PrintError(m_file.errorString());
    m_writer = std::make_unique<QPdfWriter>(&m_file);
    m_writer->setResolution(1200);
    m_writer->setTitle(m_title);
    m_writer->setCreator(applicationTitle());
    if (!m_writer->setPageLayout(m_layout))
        throw PrintError(QStringLiteral("de pagina-indeling wordt niet aanvaard"));
    return *m_writer;
}

void SavedPdfOutput::close()
{
    // The writer finishes the file when it goes.
    m_writer.reset();
    if (!m_file.commit())
        throw PrintError(m_file.errorString());
}

bool keepAsPdf(MessageService& messages, FileChooser& files, const QString& caption, const QString& proposed,
               const PrintDocument& document, const QPixmap& logo)
{
    const QString path = files.saveFileName(caption, proposed, QStringLiteral("PDF-bestanden (*.pdf)"));
    if (path.isEmpty())
        return false;
    try {
        SavedPdfOutput output(path, document.title);
        renderDocument(document, logo, output);
        messages.inform(pdfSavedMessage(QDir::toNativeSeparators(path)));
        return true;
    } catch (const PrintError& e) {
        messages.inform(pdfNotSavedMessage(QDir::toNativeSeparators(path), e.message()), Icon::Critical);
        return false;
    }
}

} // namespace dl::print
