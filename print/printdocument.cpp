#include "print/printdocument.h"

#include "data/dutchnumbers.h"
#include "declaration/invoicenumber.h"

#include <algorithm>

namespace dl::print {

namespace {

using Items = QList<PrintItem>;

Items dayRule()
{
    return {{8, QString(21, u'-')},
            {32, QString(41, u'-')},
            {76, QString(25, u'-')},
            {104, QStringLiteral("----")},
            {111, QStringLiteral("----")}};
}

// From column 76: the caption, then "€ " and the amount ending in column 100.
QString sumLine(const QString& caption, const QString& amount)
{
    return captioned(caption, 25, QStringLiteral("€ ") + rightAligned(amount, 10));
}

} // namespace

PrintItem euroAmount(const QString& amount)
{
    return numberField(89, 12, QStringLiteral("€ ") + rightAligned(amount, 10));
}

PrintItem numberField(int column, int width, const QString& number)
{
    const int over = std::max(0, int(number.size()) - width);
    return {std::max(1, column - over), rightAligned(number, width)};
}

QString captioned(const QString& caption, int width, const QString& value)
{
    return caption + rightAligned(value, width - int(caption.size()));
}

QString rightAligned(const QString& text, int width)
{
    return text.size() >= width ? text : QString(width - text.size(), u' ') + text;
}

QString leftAligned(const QString& text, int width)
{
    return QString(text + QString(width, u' ')).left(width);
}

bool isPrintedDay(const DayTexts& day)
{
    return leadingNumber(day.kilometres) + leadingNumber(day.hours) > 0;
}

QString printedDate(const PrintTexts& t)
{
    return t.dateCaption.mid(20);
}

QString printedConsultantName(const PrintTexts& t)
{
    return t.greetingCaption.mid(21);
}

PrintDocument buildPrintDocument(const PrintTexts& t)
{
    // The same number as the declaration's.
    const QString invoice =
        report::invoiceNumber(t.year, t.monthEntry, t.consultantNumber, t.clientNumber, t.projectNumber);
    const QString date = printedDate(t);
    const QString period = t.monthEntry.mid(3) + t.year;
    const QString consultantName = printedConsultantName(t);

    Lines l;
    l.setSize(10);
    l.empty(2);
    l.add({{61, QStringLiteral("FACTUUR : ") + invoice}});
    l.add({{61, QStringLiteral("Datum   : ") + date}});
    l.add({{61, QStringLiteral("Periode : ") + period}});
    l.empty(5);
    l.add({{6, QStringLiteral("Project naam          : ") + t.projectName}});
    l.add({{6, QStringLiteral("Project omschrijving  : ") + t.projectDescription}});
    l.add({{6, QStringLiteral("Project opdrachtgever : ") + t.clientName}});
    l.empty(3);

    l.setSize(8);
    l.add({{8, QStringLiteral("DATUM")},
           {32, QStringLiteral("ACTIVITEIT")},
           {76, QStringLiteral("GESPROKEN MET")},
           {104, QStringLiteral("UREN")},
           {111, QStringLiteral("  KM")}});
    l.add(dayRule());
    for (const DayTexts& day : t.days) {
        if (!isPrintedDay(day))
            continue;
        l.add({{8, day.label},
               {32, day.activity},
               {76, day.person},
               numberField(104, 4, day.hours),
               numberField(111, 4, day.kilometres)});
    }
    l.add(dayRule());
    l.add({{95, QStringLiteral("TOTAAL")},
           numberField(104, 4, t.hoursColumnTotal),
           numberField(111, 4, t.kilometresColumnTotal)});
    l.empty(5);

    // Counts end in column 28, amounts in column 100.
    l.add({{8, captioned(QStringLiteral("Werkuren"), 21, t.hours)},
           {32, leftAligned(t.hoursText, 42)},
           euroAmount(t.hoursAmount)});
    l.empty(1);
    l.add({{8, captioned(QStringLiteral("kilometers"), 21, t.kilometres)},
           {32, leftAligned(t.kilometresText, 42)},
           euroAmount(t.kilometresAmount)});
    l.empty(1);
    l.add({{8, captioned(QStringLiteral("Onkosten"), 21, QStringLiteral("€ ") + t.expense)},
           {32, leftAligned(t.expenseText, 42)},
           euroAmount(t.expenseAmount)});
    l.add({{89, QStringLiteral("------------")}});
    l.add({{76, sumLine(QStringLiteral("SUBTOTAAL"), t.subtotal)}});
    l.add({{76, sumLine(QStringLiteral("BTW 20%"), t.vat)}});
    l.add({{89, QStringLiteral("============")}});
    l.add({{76, sumLine(QStringLiteral("TOTAAL"), t.total)}});
    l.empty(7);

    l.add({{8, QStringLiteral("Deze declaratie is bedoeld als administratie/archivering voor: ") +
                   consultantName}});
    l.empty(1);
    l.add({{8, QStringLiteral("Deze declaratie is alleen te relateren aan een elektronisch "
                              "verstuurde decalaratie als er")}});
    l.add({{8, QStringLiteral("na het printen van dit dokument geen wijzigingen hebben "
                              "plaatsgevonden in de gegevens")}});
    l.add({{8, QStringLiteral("en er is gedeclareed met de exacte gegevens die op dit dokument "
                              "getoont worden.")}});
    l.empty(3);
    l.add({{8, QStringLiteral("KALMIROS - Pelvarnet BV  Zandmeer")}});

    return {QStringLiteral("Declaratie ") + invoice, l.take()};
}

QList<GridRow> toGrid(const PrintDocument& document)
{
    QList<GridRow> rows;
    for (const PrintLine& line : document.lines) {
        rows.append(GridRow{line.pointSize, {}});
        int position = 1;
        for (const PrintItem& item : line.items) {
            if (position > item.column)
                rows.append(GridRow{line.pointSize, {}});
            rows.last().runs.append(GridRun{item.column, item.text});
            position = item.column + int(item.text.size());
        }
    }
    return rows;
}

} // namespace dl::print
