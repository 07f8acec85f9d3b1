// The character grid placed on pages and drawn into a PDF, read back at its
// columns; the print font.

#include "print/printdocument.h"
#include "print/printrenderer.h"
#include "support/pdftext.h"
#include "support/printsample.h"

#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace dl::print;
using namespace dl::test;
using namespace Qt::StringLiterals;

class TestPrintRenderer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placeRowsOnPages();
    void fontIsFixedPitch();
    void pdfColumns();
    void pdfNewPage();
};

void TestPrintRenderer::placeRowsOnPages()
{
    // Made-up metrics: 10 points is 6 wide and 12 high, 8 points 5 and 10.
    const auto grid = [](int size) { return size == 10 ? FontGrid{6, 12, 9} : FontGrid{5, 10, 7}; };
    const QList<GridRow> rows{
        {10, {{61, u"FACTUUR"_s}}}, {10, {}},           {8, {{8, u"a"_s}, {32, u"b"_s}}},
        {8, {{1, u"c"_s}}},         {8, {{1, u"d"_s}}}, {8, {{2, u"e"_s}}},
    };
    // 12 + 12 + 10 + 10 fit in 44; the fifth row would end at 54.
    const QList<PlacedRun> placed = placeRows(rows, grid, 50);
    QCOMPARE(placed.size(), 6);
    QCOMPARE(placed.at(0).page, 0);
    QCOMPARE(placed.at(0).baseline, QPointF(360, 9));
    QCOMPARE(placed.at(0).pointSize, 10);
    QCOMPARE(placed.at(1).baseline, QPointF(35, 24 + 7));
    QCOMPARE(placed.at(2).baseline, QPointF(155, 24 + 7));
    QCOMPARE(placed.at(3).baseline, QPointF(0, 34 + 7));
    QCOMPARE(placed.at(4).page, 1);
    QCOMPARE(placed.at(4).baseline, QPointF(0, 7));
    QCOMPARE(placed.at(5).page, 1);
    QCOMPARE(placed.at(5).baseline, QPointF(5, 17));

    // A row that exactly fills the page stays on it.
    QCOMPARE(placeRows(rows.mid(2, 3), grid, 30).last().page, 0);
}

void TestPrintRenderer::fontIsFixedPitch()
{
    for (const int size : {10, 8}) {
        const QFontInfo info(printFont(size));
        QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
        QCOMPARE(info.family(), u"Liberation Mono"_s);
        QCOMPARE(info.pointSize(), size);
        QVERIFY(!info.bold());
        QVERIFY(!info.italic());
    }
}

void TestPrintRenderer::pdfColumns()
{
    // Drawn into a PDF and read back: the grid survives the real metrics.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"doc.pdf"_s);
    PrintTexts t = sampleTexts();
    work(t, 3, u"8"_s, u"120"_s, u"Installatie server"_s, u"J. de Vries"_s);
    work(t, 4, u"6"_s, u"0"_s, QString(50, u'a'), u"Verder"_s);
    t.hoursColumnTotal = u"148,5"_s;
    t.total = u"1.234.567,89"_s;
    PdfFileOutput output(pdf);
    renderDocument(buildPrintDocument(t), QPixmap(), output);

    const QString layout = pdfLayoutText(pdf);
    QVERIFY(layout.contains(u"FACTUUR : 08031270005"_s));
    QVERIFY(layout.contains(u"Periode : Maart 2008"_s));

    const QList<PdfWord> w = pdfWords(pdf);
    const auto word = [&w](const QString& text, int from = 0) {
        const int i = findWord(w, text, from);
        return i < 0 ? PdfWord{-1, 0, 0, text} : w.at(i);
    };
    const PdfGrid at10(word(u"Project"_s), 6, word(u"FACTUUR"_s), 61);
    const PdfGrid at8(word(u"DATUM"_s), 8, word(u"GESPROKEN"_s), 76);
    QCOMPARE(qRound(at10.left), qRound(at8.left));
    QCOMPARE(qRound(at10.left * 1000 / 72), 250); // the quarter-inch margin
    // 0.6 em, give or take the rounding of the font to whole device pixels.
    QVERIFY2(qAbs(at10.charWidth - 6.0) < 0.03, qPrintable(QString::number(at10.charWidth)));
    QVERIFY2(qAbs(at8.charWidth - 4.8) < 0.03, qPrintable(QString::number(at8.charWidth)));

    const struct {
        QString text;
        int column;
        bool small;
    } expected[] = {
        {u"Periode"_s, 61, false},
        {u"opdrachtgever"_s, 14, false},
        {u"ACTIVITEIT"_s, 32, true},
        {u"UREN"_s, 104, true},
        {u"KM"_s, 113, true},
        {u"Za"_s, 8, true},
        {u"Installatie"_s, 32, true},
        {u"J."_s, 76, true},
        {u"120"_s, 112, true},
        {u"Verder"_s, 76, true},
        {u"TOTAAL"_s, 95, true},
        {u"SUBTOTAAL"_s, 76, true},
        {u"KALMIROS"_s, 8, true},
        // Longer than their fields: whole, ending where the field ends.
        {u"148,5"_s, 103, true},
        {u"1.234.567,89"_s, 89, true},
    };
    for (const auto& e : expected) {
        const PdfWord found = word(e.text);
        QVERIFY2(found.page == 0, qPrintable(e.text));
        const double column = (e.small ? at8 : at10).columnOf(found);
        QVERIFY2(qAbs(column - e.column) < 0.05, qPrintable(e.text + u" at "_s + QString::number(column)));
    }
    // The person after a long activity is on the next row.
    QVERIFY(word(u"Verder"_s).y > word(QString(50, u'a')).y);
}

void TestPrintRenderer::pdfNewPage()
{
    // A month of 31 days does not fit on a landscape A5 page: the rest goes
    // on, from the top, on a new page of the same job.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"a5.pdf"_s);
    PrintTexts t = sampleTexts();
    for (int n = 1; n <= 31; ++n)
        work(t, n, u"8"_s, u"0"_s);
    PdfFileOutput output(pdf, QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                          QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    renderDocument(buildPrintDocument(t), QPixmap(), output);

    const QList<PdfWord> w = pdfWords(pdf);
    int pages = 0;
    for (const PdfWord& word : w)
        pages = qMax(pages, word.page + 1);
    QVERIFY(pages >= 2);
    QCOMPARE(w.value(findWord(w, u"FACTUUR"_s)).page, 0);
    QCOMPARE(w.value(findWord(w, u"KALMIROS"_s)).page, pages - 1);
    // Every page is filled from the top margin on.
    for (int page = 1; page < pages; ++page) {
        double top = 1e9;
        for (const PdfWord& word : w) {
            if (word.page == page)
                top = qMin(top, word.y);
        }
        QVERIFY2(top < 5 / 25.4 * 72 + 2, qPrintable(QString::number(top)));
    }
}

QTEST_MAIN(TestPrintRenderer)
#include "tst_printrenderer.moc"
