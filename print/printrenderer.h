#pragma once
// Draws a document through QPainter on a paged device: the logo, then the
// rows of the character grid from the top of the printable area, a new page
// where the next row would pass its bottom.

#include "print/printdocument.h"

#include <QFont>
#include <QPageLayout>
#include <QPixmap>
#include <QPointF>

#include <functional>
#include <memory>
#include <stdexcept>

class QPagedPaintDevice;
class QPrinter;

namespace dl::print {

// Printing failed: no printer, a queue that refuses the job, a device that
// cannot be drawn on. The message says why, in the user's words.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// "Courier New" at the given size; a fixed-pitch face stands in for it
// where it is not installed.
QFont printFont(int pointSize);

// The print font at one size on the device, in device units.
struct FontGrid {
    qreal charWidth = 0;
    qreal lineHeight = 0;
    qreal ascent = 0;
};

struct PlacedRun {
    int page = 0;
    QPointF baseline; // from the top left of the printable area
    int pointSize = 10;
    QString text;
};

// Column n starts n - 1 character widths from the left edge; every row takes
// one line height of its size; a row that would pass pageHeight goes to the
// top of the next page.
QList<PlacedRun> placeRows(const QList<GridRow>& rows, const std::function<FontGrid(int)>& gridOf,
                           qreal pageHeight);

// Where a document is drawn.
class PrintOutput {
public:
    virtual ~PrintOutput() = default;
    // Starts the document; throws PrintError when that cannot be done.
    virtual QPagedPaintDevice& open() = 0;
    // Hands the finished document over as one job; throws PrintError.
    virtual void close() = 0;
};

// A PDF file with a given page layout: for previews and tests.
class PdfFileOutput final : public PrintOutput {
public:
    explicit PdfFileOutput(QString path, const QPageLayout& layout = defaultLayout());
    ~PdfFileOutput() override;
    QPagedPaintDevice& open() override;
    void close() override;

    // A4 portrait, 6.35 mm (a quarter inch) margins.
    static QPageLayout defaultLayout();

private:
    QString m_path;
    QPageLayout m_layout;
    std::unique_ptr<QPrinter> m_printer;
};

// Draws the whole document and closes the output; throws PrintError. A
// failure before the end hands nothing over.
void renderDocument(const PrintDocument& document, const QPixmap& logo, PrintOutput& output);

} // namespace dl::print
