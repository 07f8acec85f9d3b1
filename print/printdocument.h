#pragma once
// The printed report and declaration as data: lines of column and text
// items, each line with its font size. Built from the form's texts alone,
// so the layout is tested without a printer or a widget.

#include <QList>
#include <QRect>
#include <QString>

#include <array>

namespace dl::print {

// Where the logo goes, in twips from the top left of the printable area.
inline constexpr QRect logoTwips{600, 450, 6300, 1410};

// One day slot of the report: Text23(N) to Text27(N).
struct DayTexts {
    QString label;
    QString activity;
    QString person;
    QString hours;
    QString kilometres;
};

// The texts the document is made of, taken at the moment of printing.
struct PrintTexts {
    QString year;               // of the open report, e.g. "2008"
    QString monthEntry;         // of the open report, e.g. "03 Maart "
    QString consultantNumber;   // Text1
    QString clientNumber;       // Text5
    QString projectNumber;      // Text38
    QString dateCaption;        // Label2(1): "Declaratie datum :  " and the date
    QString greetingCaption;    // Label1: 21-character greeting and the full name
    QString projectName;        // Text2
    QString projectDescription; // Text3
    QString clientName;         // Text6
    std::array<DayTexts, 31> days;
    QString hoursColumnTotal;      // Text26(32)
    QString kilometresColumnTotal; // Text27(32)
    QString hours;                 // Text19
    QString hoursText;             // Text20
    QString hoursAmount;           // Text21
    QString kilometres;            // Text14
    QString kilometresText;        // Text15
    QString kilometresAmount;      // Text16
    QString expense;               // Text11
    QString expenseText;           // Text12
    QString expenseAmount;         // Text13
    QString subtotal;              // Text17
    QString vat;                   // Text28
    QString total;                 // Text29
};

// Moves the print position to column (1 = left edge), then prints text.
struct PrintItem {
    int column = 1;
    QString text;
};

struct PrintLine {
    int pointSize = 10;
    QList<PrintItem> items; // none: an empty line
};

// Collects a document's lines; the font size holds until it is changed.
class Lines {
public:
    void setSize(int points) { m_size = points; }
    void add(QList<PrintItem> items) { m_lines.append({m_size, std::move(items)}); }
    void empty(int count)
    {
        for (int i = 0; i < count; ++i)
            add({});
    }
    QList<PrintLine> take() { return std::move(m_lines); }

private:
    int m_size = 10;
    QList<PrintLine> m_lines;
};

struct PrintDocument {
    QString title; // the print job's name
    QList<PrintLine> lines;
};

// The text after as many blanks as make it width characters; a longer text
// is kept whole, as every figure must be printed as it is on the screen.
QString rightAligned(const QString& text, int width);
// The first width characters of text followed by width blanks.
QString leftAligned(const QString& text, int width);
// A number that ends in the last column of its field; a longer one starts
// further left rather than lose a digit.
PrintItem numberField(int column, int width, const QString& number);
// "€ " and the amount in columns 89 to 100: every amount of a document ends
// in the same column.
PrintItem euroAmount(const QString& amount);
// The caption, then the value ending where the blanks after the caption end:
// a long value takes the blanks rather than lose its first characters.
QString captioned(const QString& caption, int width, const QString& value);

// A day is printed when its kilometres plus its hours are more than 0.
bool isPrintedDay(const DayTexts& day);

// The date of Label2(1) and the name of Label1, without their captions.
QString printedDate(const PrintTexts& t);
QString printedConsultantName(const PrintTexts& t);

PrintDocument buildPrintDocument(const PrintTexts& texts);

// A line on the character grid: the column items resolved.
struct GridRun {
    int column = 1;
    QString text;
};
struct GridRow {
    int pointSize = 10;
    QList<GridRun> runs;
};

// Every line starts at column 1; a column that the position has already
// passed continues on a new row at that column.
QList<GridRow> toGrid(const PrintDocument& document);

} // namespace dl::print
