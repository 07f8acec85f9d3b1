#include "print/printrenderer.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace dl::print {

PrintError::PrintError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message)
{
}

namespace {

// The paper is white; a picture with transparency would make the CUPS
// filters turn the whole page into one bitmap.
QImage onWhite(const QPixmap& picture)
{
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter p(&flat);
    p.drawPixmap(0, 0, picture);
    return flat;
}

} // namespace

QFont printFont(int pointSize)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(false);
    font.setItalic(false);
    font.setPointSize(pointSize);
    // Glyphs must stand exactly on the character grid.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QList<PlacedRun> placeRows(const QList<GridRow>& rows, const std::function<FontGrid(int)>& gridOf,
                           qreal pageHeight)
{
    QList<PlacedRun> placed;
    int page = 0;
    qreal top = 0;
    for (const GridRow& row : rows) {
        const FontGrid grid = gridOf(row.pointSize);
        if (top > 0 && top + grid.lineHeight > pageHeight) {
            ++page;
            top = 0;
        }
        for (const GridRun& run : row.runs)
            placed.append({page, QPointF((run.column - 1) * grid.charWidth, top + grid.ascent), row.pointSize,
                           run.text});
        top += grid.lineHeight;
    }
    return placed;
}

PdfFileOutput::PdfFileOutput(QString path, const QPageLayout& layout)
    : m_path(std::move(path)), m_layout(layout)
{
}

PdfFileOutput::~PdfFileOutput() = default;

QPageLayout PdfFileOutput::defaultLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6.35, 6.35, 6.35, 6.35),
                       QPageLayout::Millimeter);
}

QPagedPaintDevice& PdfFileOutput::open()
{
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(m_path);
    m_printer->setPageLayout(m_layout);
    return *m_printer;
}

void PdfFileOutput::close()
{
    m_printer.reset();
}

void renderDocument(const PrintDocument& document, const QPixmap& logo, PrintOutput& output)
{
    QPagedPaintDevice& device = output.open();
    QPainter painter;
    if (!painter.begin(&device))
        throw PrintError(QStringLiteral("De printer kon niet worden geopend."));

    const qreal twipX = device.logicalDpiX() / 1440.0;
    const qreal twipY = device.logicalDpiY() / 1440.0;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!logo.isNull()) {
        const QRectF target(logoTwips.x() * twipX, logoTwips.y() * twipY, logoTwips.width() * twipX,
                            logoTwips.height() * twipY);
        painter.drawImage(target, onWhite(logo));
    }

    QHash<int, FontGrid> grids;
    const auto gridOf = [&](int size) {
        auto it = grids.constFind(size);
        if (it != grids.constEnd())
            return *it;
        const QFontMetricsF metrics(printFont(size), &device);
        const FontGrid grid{metrics.horizontalAdvance(u'M'), metrics.lineSpacing(), metrics.ascent()};
        grids.insert(size, grid);
        return grid;
    };

    painter.setPen(Qt::black);
    int page = 0;
    int size = 0;
    const QList<PlacedRun> placed = placeRows(toGrid(document), gridOf, device.height());
    for (const PlacedRun& run : placed) {
        for (; page < run.page; ++page) {
            if (!device.newPage())
                throw PrintError(QStringLiteral("De printer kon geen nieuwe pagina beginnen."));
        }
        if (run.pointSize != size) {
            size = run.pointSize;
            painter.setFont(printFont(size));
        }
        painter.drawText(run.baseline, run.text);
    }
    if (!painter.end())
        throw PrintError(QStringLiteral("Het document kon niet worden afgesloten."));
    output.close();
}

} // namespace dl::print
