#include "print/printeroutput.h"

#include <QDir>
#include <QLibrary>
#include <QPrinter>
#include <QPrinterInfo>

namespace dl::print {

namespace {

// The two calls of libcups that are needed, resolved at run time: the
// library is there wherever Qt prints through CUPS, its headers need not be.
using CupsPrintFile = int (*)(const char* name, const char* filename, const char* title, int numOptions,
                              void* options);
using CupsLastErrorString = const char* (*)();

} // namespace

PrinterOutput::PrinterOutput(QString printerName, QString jobTitle)
    : m_printerName(std::move(printerName)), m_title(std::move(jobTitle)),
      m_file(QDir::tempPath() + QStringLiteral("/declaratie-XXXXXX.pdf"))
{
}

PrinterOutput::~PrinterOutput() = default;

QPagedPaintDevice& PrinterOutput::open()
{
    if (m_printerName.isEmpty())
        throw PrintError(QStringLiteral("Er is geen printer gekozen. Kies een printer in de lijst; "
                                        "is de lijst leeg, dan is op dit werkstation geen printer "
                                        "geïnstalleerd."));
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_printerName);
    if (info.isNull())
        throw PrintError(
            QStringLiteral("De printer \"%1\" is niet (meer) geïnstalleerd.").arg(m_printerName));
    if (!m_file.open())
        throw PrintError(
            QStringLiteral("Het afdrukbestand kon niet worden gemaakt: %1").arg(m_file.errorString()));
    m_file.close();

    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    m_printer->setDocName(m_title);
    // Writing to a file switches Qt to its PDF engine; keep the page the
    // printer itself reports.
    const QPageLayout layout = m_printer->pageLayout();
    m_printer->setOutputFileName(m_file.fileName());
    m_printer->setPageLayout(layout);
    if (!m_printer->isValid())
        throw PrintError(QStringLiteral("De printer \"%1\" kan niet worden gebruikt.").arg(m_printerName));
    return *m_printer;
}

void PrinterOutput::close()
{
    m_printer.reset();
    m_jobId = submitToQueue(m_printerName, m_file.fileName(), m_title);
}

int submitToQueue(const QString& printerName, const QString& pdfPath, const QString& title)
{
    QLibrary cups(QStringLiteral("cups"), 2);
    if (!cups.load())
        throw PrintError(
            QStringLiteral("Het afdruksysteem (CUPS) is niet beschikbaar: %1").arg(cups.errorString()));
    const auto printFile = reinterpret_cast<CupsPrintFile>(cups.resolve("cupsPrintFile"));
    const auto lastError = reinterpret_cast<CupsLastErrorString>(cups.resolve("cupsLastErrorString"));
    if (!printFile || !lastError)
        throw PrintError(QStringLiteral("Het afdruksysteem (CUPS) is niet bruikbaar."));

    // A name "queue/instance" is printed on the queue itself.
    const QString queue = printerName.section(u'/', 0, 0);
    const int job = printFile(queue.toLocal8Bit().constData(), QFile::encodeName(pdfPath).constData(),
                              title.toLocal8Bit().constData(), 0, nullptr);
    if (job <= 0)
        throw PrintError(QStringLiteral("De printer \"%1\" heeft de opdracht geweigerd: %2")
                             .arg(printerName, QString::fromLocal8Bit(lastError())));
    return job;
}

} // namespace dl::print
