#include "year/yearprint.h"

#include "core/dates.h"

#include <functional>

namespace dl::print {

namespace {

// At 8 points the month's document uses columns 8 to 114; so does this one.
constexpr int kCodeColumn = 8;
constexpr int kFirstMonth = 24;
constexpr int kMonthWidth = 7;
constexpr int kTotalColumn = kFirstMonth + year::kMonths * kMonthWidth; // 108

// A code as far as it fits before the months (the full one in the legend):
// a longer one pushed the months onto a line of their own.
constexpr int kCodeRoom = kFirstMonth - kCodeColumn - 1;

QString shownCode(const QString& code)
{
    return code.size() <= kCodeRoom ? code : code.left(kCodeRoom - 1) + u'…';
}

int monthColumn(int month)
{
    return kFirstMonth + (month - 1) * kMonthWidth;
}

PrintItem hoursField(int column, const QString& hours)
{
    return numberField(column, kMonthWidth - 1, hours);
}

QList<PrintItem> tableRule()
{
    return {{kCodeColumn, QString(kTotalColumn + kMonthWidth - kCodeColumn, u'-')}};
}

// The letter, then the hours where the screen shows any.
QString cellText(const year::Cell& c)
{
    const QString letter(stateLetter(c.state));
    return c.hoursText.isEmpty() ? letter : letter + rightAligned(c.hoursText, kMonthWidth - 2);
}

// One line per month of the given state: project, month, then its details.
void listMonths(Lines& l, const year::Overview& o, year::State state, const QString& heading,
                const std::function<QList<PrintItem>(const year::Cell&)>& details)
{
    QList<QList<PrintItem>> rows;
    for (qsizetype p = 0; p < o.cells.size(); ++p) {
        for (int m = 1; m <= year::kMonths; ++m) {
            const year::Cell& c = o.cells[p][static_cast<size_t>(m - 1)];
            if (c.state != state)
                continue;
            QList<PrintItem> row{{kCodeColumn, shownCode(o.codes.value(p))},
                                 {kFirstMonth, year::monthName(m)}};
            row << details(c);
            rows << row;
        }
    }
    if (rows.isEmpty())
        return;
    l.add({{kCodeColumn, heading}});
    for (QList<PrintItem>& row : rows)
        l.add(std::move(row));
    l.empty(1);
}

// Amounts end in column 100, as the month's.
QList<PrintItem> sumLine(const QString& caption, const QString& amount)
{
    return {{56, caption}, euroAmount(amount)};
}

} // namespace

QChar stateLetter(year::State s)
{
    switch (s) {
    case year::State::Outside:
        return u'-';
    case year::State::Empty:
        return u'.';
    case year::State::Draft:
        return u'C';
    case year::State::Saved:
        return u'O';
    case year::State::Declared:
        return u'G';
    }
    return u'?';
}

PrintDocument buildYearDocument(const year::Overview& o, const YearHeader& h)
{
    Lines l;
    l.setSize(10);
    l.empty(2);
    l.add({{61, QStringLiteral("JAAROVERZICHT ") + o.year}});
    l.add({{61, QStringLiteral("Datum      : ") + h.date}});
    l.add({{61, QStringLiteral("Consultant : ") + h.consultantNumber}});
    l.empty(5);
    l.add({{6, QStringLiteral("Consultant naam       : ") + h.consultantName}});
    l.empty(3);

    l.setSize(8);
    QList<PrintItem> heading{{kCodeColumn, QStringLiteral("PROJECT")}};
    for (int m = 1; m <= year::kMonths; ++m)
        heading << PrintItem{monthColumn(m), rightAligned(shortMonthName(m), kMonthWidth - 1)};
    heading << PrintItem{kTotalColumn, rightAligned(QStringLiteral("TOTAAL"), kMonthWidth)};
    l.add(heading);
    l.add(tableRule());
    for (qsizetype p = 0; p < o.cells.size(); ++p) {
        QList<PrintItem> row{{kCodeColumn, shownCode(o.codes.value(p))}};
        for (int m = 1; m <= year::kMonths; ++m)
            row << PrintItem{monthColumn(m), cellText(o.cells[p][static_cast<size_t>(m - 1)])};
        row << numberField(kTotalColumn, kMonthWidth, o.projectHours.value(p));
        l.add(row);
    }
    l.add(tableRule());
    QList<PrintItem> sums{{kCodeColumn, QStringLiteral("TOTAAL UREN")}};
    for (int m = 1; m <= year::kMonths; ++m)
        sums << hoursField(monthColumn(m), o.monthHours.value(m - 1));
    sums << numberField(kTotalColumn, kMonthWidth, o.hours);
    l.add(sums);
    l.empty(1);
    l.add({{kCodeColumn, QStringLiteral("G = gedeclareerd    O = opgeslagen, niet gedeclareerd    "
                                        "C = concept op deze werkplek")}});
    l.add({{kCodeColumn, QStringLiteral(". = leeg            - = buiten de looptijd van het project")}});
    for (const QString& code : o.codes) {
        if (shownCode(code) != code)
            l.add({{kCodeColumn, shownCode(code) + QStringLiteral(" = ") + code}});
    }
    l.empty(2);

    listMonths(l, o, year::State::Declared, QStringLiteral("GEDECLAREERD"), [](const year::Cell& c) {
        QList<PrintItem> items{{36, QStringLiteral("factuur ") + c.invoice}};
        if (c.total.isEmpty())
            items << PrintItem{70, QStringLiteral("declaratie niet gevonden")};
        else
            items << euroAmount(c.total);
        return items;
    });
    listMonths(l, o, year::State::Saved, QStringLiteral("OPGESLAGEN, NIET GEDECLAREERD"),
               [](const year::Cell& c) {
                   return QList<PrintItem>{{36, QStringLiteral("laatst gewijzigd ") + c.modified}};
               });
    listMonths(l, o, year::State::Draft, QStringLiteral("CONCEPT OP DEZE WERKPLEK, NIET OPGESLAGEN"),
               [](const year::Cell&) { return QList<PrintItem>{}; });

    l.add({{kCodeColumn, captioned(QStringLiteral("Uren"), 21, o.hours)}});
    l.add({{kCodeColumn, captioned(QStringLiteral("Kilometers"), 21, o.kilometres)}});
    l.empty(1);
    l.add(sumLine(QStringLiteral("GEDECLAREERD"), o.declared));
    l.add(sumLine(QStringLiteral("NOG OPEN (SCHATTING)"), o.open));
    l.add({{56, QStringLiteral("(de opgeslagen maanden tegen de huidige tarieven)")}});
    if (!o.problems.isEmpty()) {
        l.empty(1);
        for (const QString& problem : o.problems)
            l.add({{kCodeColumn, year::leftOutLine(problem)}});
    }
    l.empty(3);
    l.add({{kCodeColumn, QStringLiteral("KALMIROS - Pelvarnet BV  Zandmeer")}});

    return {QStringLiteral("Jaaroverzicht ") + o.year + u' ' + h.consultantNumber, l.take()};
}

QString yearPdfFileName(const QString& year)
{
    return QStringLiteral("Jaaroverzicht ") + year + QStringLiteral(".pdf");
}

QString yearPdfCaption()
{
    return QStringLiteral("Jaaroverzicht als PDF opslaan");
}

QString yearPrintQuestion(const QString& year, const QString& combo4Text)
{
    return QStringLiteral("U wilt het jaaroverzicht ") + year + QStringLiteral(" afdrukken op ") +
           combo4Text + QStringLiteral(" ?\r\n\r\nWilt U nu gaan afdrukken ?\r\n");
}

} // namespace dl::print
