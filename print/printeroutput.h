#pragma once
// The document on an installed printer: drawn on a QPrinter set up for that
// printer (its page size and margins), then handed to the CUPS queue as one
// job, so that a queue that refuses the job is reported instead of the
// document being lost without a word.

#include "print/printrenderer.h"

#include <QTemporaryFile>

namespace dl::print {

class PrinterOutput final : public PrintOutput {
public:
    PrinterOutput(QString printerName, QString jobTitle);
    ~PrinterOutput() override;
    QPagedPaintDevice& open() override;
    void close() override;

    // The job number CUPS gave the document; 0 before close().
    int jobId() const { return m_jobId; }

private:
    QString m_printerName;
    QString m_title;
    QTemporaryFile m_file;
    std::unique_ptr<QPrinter> m_printer;
    int m_jobId = 0;
};

// Puts a PDF file into the queue of the named printer; returns the job
// number. Throws PrintError with CUPS's own reason when it is refused.
int submitToQueue(const QString& printerName, const QString& pdfPath, const QString& title);

} // namespace dl::print
