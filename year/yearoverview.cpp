#include "year/yearoverview.h"

#include "data/connection.h"
#include "data/dutchnumbers.h"
#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "declaration/daygrid.h"
#include "declaration/invoicenumber.h"
#include "declaration/monthselectionrules.h"
#include "declaration/reportrecord.h"
#include "declaration/totals.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace dl::year {

namespace {

QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

// "t.`id`": the table order of the rows of one key.
QStringList tableOrder(Records& records, const TableRef& table, const QString& alias)
{
    QStringList out;
    for (const QString& column : records.primaryKey(table))
        out << alias + u'.' + Connection::quoteIdentifier(column);
    return out;
}

QString orderBy(const QStringList& columns)
{
    return columns.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + columns.join(QStringLiteral(", "));
}

QString slotColumns(const QString& prefix)
{
    QStringList out;
    for (int n = 1; n <= report::kSlots; ++n)
        out << QStringLiteral("r.") + Connection::quoteIdentifier(report::slotColumn(prefix, n));
    return out.join(QStringLiteral(", "));
}

QString entryOf(int month)
{
    return QStringLiteral("%1 ").arg(month, 2, 10, QLatin1Char('0'));
}

} // namespace

QString monthKey(const QString& year, int month, const QString& code)
{
    return report::reportKey(year, entryOf(month), code);
}

QString invoiceOf(const QString& year, int month, const QString& consultant, const Project& p)
{
    return report::invoiceNumber(year, entryOf(month), consultant, p.client, p.number);
}

Stored read(Connection& c, const QString& year, const QString& consultant, const QStringList& codes)
{
    Stored out;
    if (codes.isEmpty())
        return out;
    Records records(c);
    QVariantList binds;
    for (const QString& code : codes) {
        for (int m = 1; m <= kMonths; ++m)
            binds << monthKey(year, m, code);
    }
    const qsizetype keyCount = binds.size();
    QSet<QString> keys;
    for (const QVariant& k : std::as_const(binds))
        keys.insert(k.toString());
    // A consultant's own account: both sets in one call, the project rows
    // told apart by their contents (the procedure names no key column).
    const bool own = actsThroughProcedures(c);
    QList<Result> sets = own ? callResults(c, "jaaroverzicht", {year, textsAsJson(codes)}) : QList<Result>{};
    if (own && sets.size() != 2)
        throw DbError(1305, QStringLiteral("De server gaf geen jaaroverzicht."));
    const QStringList projectOrder =
        own ? QStringList() : tableOrder(records, tables::projects(), QStringLiteral("p"));
    QStringList projectRow;
    for (qsizetype i = 0; i < projectOrder.size(); ++i)
        projectRow << projectOrder[i] + QStringLiteral(" AS projectrij%1").arg(i);
    for (const QString& code : codes)
        binds << code;
    // The key is "yyyy_mm_" and the code: the join pairs a report with its
    // project; the index narrows the reports to the year's keys.
    Result q =
        own ? sets[0]
            : c.exec(
                  QStringLiteral(
                      "SELECT p.Projectcode, p.Projectnaam AS projectnaam, p.nummer, p.opdrachtgevernummer, "
                      "p.TijdsplanningDATUMvan,"
                      " p.TijdsplanningDATUMtm, p.VerkoopDagtariefConsultant, p.InkoopDagtariefOpdrachtgever,"
                      " r.Projectnaam AS rapportsleutel, r.afgewerkt, r.laatstgewijzigd, r.onkosten, r.euro,"
                      " r.cent, ") +
                      (projectRow.isEmpty() ? QString()
                                            : projectRow.join(QStringLiteral(", ")) + QStringLiteral(", ")) +
                      slotColumns(QStringLiteral("Uren")) + QStringLiteral(", ") +
                      slotColumns(QStringLiteral("Kilometers")) + QStringLiteral(" FROM ") +
                      c.qualified(tables::projects()) + QStringLiteral(" p LEFT JOIN ") +
                      c.qualified(tables::reports()) + QStringLiteral(" r ON r.Projectnaam IN (") +
                      placeholders(keyCount) +
                      QStringLiteral(
                          ") AND SUBSTRING(r.Projectnaam, 9) = p.Projectcode WHERE p.Projectcode IN (") +
                      placeholders(codes.size()) + QStringLiteral(")") +
                      orderBy(projectOrder + tableOrder(records, tables::reports(), QStringLiteral("r"))),
                  binds);

    QHash<QString, Project> projects;
    QHash<QString, QString> firstId; // the first project row of a code counts, as the project choice reads it
    QSet<QString> settled;           // keys whose deciding row was seen
    while (q.next()) {
        const Row row = q.row();
        const QString code = row.text(QStringLiteral("Projectcode"));
        if (!codes.contains(code))
            continue; // the server's collation called it equal
        QString pid;
        for (qsizetype i = 0; i < projectRow.size(); ++i)
            pid += row.text(QStringLiteral("projectrij%1").arg(i)) + u'\x1f';
        if (!projects.contains(code)) {
            Project p;
            p.code = code;
            p.found = true;
            p.name = row.text(QStringLiteral("projectnaam"));
            p.number = row.text(QStringLiteral("nummer"));
            p.client = row.text(QStringLiteral("opdrachtgevernummer"));
            p.start = row.text(QStringLiteral("TijdsplanningDATUMvan"));
            p.end = row.text(QStringLiteral("TijdsplanningDATUMtm"));
            p.rateOut = totals::centRate(row.value(QStringLiteral("VerkoopDagtariefConsultant")));
            p.rateIn = totals::centRate(row.value(QStringLiteral("InkoopDagtariefOpdrachtgever")));
            projects.insert(code, p);
            firstId.insert(code, pid);
        } else if (firstId.value(code) != pid) {
            continue; // a later project row with the same code
        }
        const QString key = row.text(QStringLiteral("rapportsleutel"));
        if (key.isEmpty() || settled.contains(key) || key.mid(8) != code || !keys.contains(key))
            continue;
        const month::Verdict verdict = month::verdictOf(row.text(QStringLiteral("afgewerkt")));
        if (verdict == month::Verdict::PassOver)
            continue;
        settled.insert(key);
        StoredMonth m;
        m.declared = verdict == month::Verdict::Declared;
        m.modified = row.text(QStringLiteral("laatstgewijzigd"));
        for (int n = 1; n <= report::kSlots; ++n) {
            m.hours << row.text(report::slotColumn(QStringLiteral("Uren"), n));
            m.kilometres << row.text(report::slotColumn(QStringLiteral("Kilometers"), n));
        }
        m.euros = row.text(QStringLiteral("euro"));
        m.cents = row.text(QStringLiteral("cent"));
        m.expenseDescription = row.text(QStringLiteral("onkosten"));
        out.months.insert(key, m);
    }
    for (const QString& code : codes) {
        Project p = projects.value(code);
        p.code = code;
        out.projects << p;
    }

    QVariantList invoices;
    QSet<QString> wanted;
    for (const Project& p : std::as_const(out.projects)) {
        if (!p.found)
            continue;
        for (int m = 1; m <= kMonths; ++m)
            invoices << invoiceOf(year, m, consultant, p);
    }
    for (const QVariant& v : std::as_const(invoices))
        wanted.insert(v.toString());
    if (invoices.isEmpty())
        return out;
    Result d =
        own ? sets[1]
            : c.exec(QStringLiteral("SELECT factuurnummer, totaal, uren, kilometers, Projectnaam FROM ") +
                         c.qualified(tables::declarations()) + QStringLiteral(" d WHERE factuurnummer IN (") +
                         placeholders(invoices.size()) + QStringLiteral(")") +
                         orderBy(tableOrder(records, tables::declarations(), QStringLiteral("d"))),
                     invoices);
    while (d.next()) {
        const Row row = d.row();
        const QString invoice = row.text(QStringLiteral("factuurnummer"));
        if (!wanted.contains(invoice))
            continue;
        out.declarations.insert(
            invoice, {row.text(QStringLiteral("totaal")), row.text(QStringLiteral("uren")),
                      row.text(QStringLiteral("kilometers")), row.text(QStringLiteral("Projectnaam"))});
    }
    return out;
}

QString stateWord(State s)
{
    switch (s) {
    case State::Outside:
        return QStringLiteral("Buiten looptijd");
    case State::Empty:
        return QStringLiteral("Leeg");
    case State::Draft:
        return QStringLiteral("Concept");
    case State::Saved:
        return QStringLiteral("Opgeslagen");
    case State::Declared:
        return QStringLiteral("Gedeclareerd");
    }
    return {};
}

QString leftOutLine(const QString& problem)
{
    return QStringLiteral("Niet meegeteld: ") +
           QString(problem).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

QString monthName(int month)
{
    static const char16_t* const names[] = {u"Januari",   u"Februari", u"Maart",    u"April",
                                            u"Mei",       u"Juni",     u"Juli",     u"Augustus",
                                            u"September", u"Oktober",  u"November", u"December"};
    return month >= 1 && month <= kMonths ? QString::fromUtf16(names[month - 1]) : QString();
}

namespace {

// "yyyy/mm" of the month against the planned period's first and last month.
bool outsidePeriod(const QString& year, int month, const Project& p)
{
    const QString ym = year + u'/' + QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    return (!p.start.isEmpty() && ym < p.start.left(7)) || (!p.end.isEmpty() && ym > p.end.left(7));
}

// The program stores "Laatst gewijzigd : " and the stamp; other rows may
// hold the stamp alone.
QString stampOf(const QString& stored)
{
    static const QString caption = QStringLiteral("Laatst gewijzigd");
    const qsizetype colon = stored.indexOf(u':');
    if (stored.startsWith(caption) && colon >= 0)
        return stored.mid(colon + 1).trimmed();
    return stored.trimmed();
}

// The day grid's column total: each text's leading number.
double slotSum(const QStringList& texts)
{
    double sum = 0;
    for (const QString& t : texts)
        sum += leadingNumber(t);
    return sum;
}

// A declaration found by its invoice number is this project's when it names
// the project; one that names none (an office's own row) when the month's
// report says declared, or when there is no report to say otherwise.
bool belongsTo(const StoredDeclaration& d, const Project& p, bool rowDeclared, bool hasRow)
{
    if (!d.projectName.trimmed().isEmpty())
        return d.projectName == p.name;
    return rowDeclared || !hasRow;
}

// Money texts added exactly, in cents as the texts have them.
struct Money {
    Decimal sum;

    void add(const QString& text, const QString& what, QStringList& problems)
    {
        if (text.trimmed().isEmpty())
            return;
        const std::optional<Decimal> v = tryLocaleDecimal(text);
        const std::optional<Decimal> next = v ? sum.plus(*v) : std::nullopt;
        if (!next) {
            problems << totals::notANumberMessage(what, text);
            return;
        }
        sum = *next;
    }
};

} // namespace

Overview build(const QString& year, const QString& consultant, const Stored& stored,
               const std::function<bool(const QString& key)>& hasDraft,
               const std::function<std::optional<QStringList>(const QString& key)>& draftHours)
{
    Overview o;
    o.year = year;
    std::array<double, kMonths> monthSums{};
    double hours = 0;
    double kilometres = 0;
    Money declared;
    Money open;
    QSet<QString> counted; // declaration rows (number and place) that have their month
    for (const Project& p : stored.projects) {
        o.codes << p.code;
        std::array<Cell, kMonths> row;
        std::array<double, kMonths> perMonth{};
        double projectSum = 0;
        for (int m = 1; m <= kMonths; ++m) {
            Cell& cell = row[m - 1];
            cell.key = monthKey(year, m, p.code);
            const auto month = stored.months.constFind(cell.key);
            const QString invoiceNumber = p.found ? invoiceOf(year, m, consultant, p) : QString();
            const bool hasRow = month != stored.months.constEnd();
            // A declaration belongs to one month of one project: the first
            // row of the number that names it, each row counted once.
            std::optional<StoredDeclaration> declaration;
            if (p.found) {
                QList<StoredDeclaration> rows = stored.declarations.values(invoiceNumber);
                std::reverse(rows.begin(), rows.end()); // the table's order
                for (qsizetype i = 0; i < rows.size() && !declaration; ++i) {
                    const QString place = invoiceNumber + u'#' + QString::number(i);
                    if (!counted.contains(place) &&
                        belongsTo(rows[i], p, hasRow && month->declared, hasRow)) {
                        counted.insert(place);
                        declaration = rows[i];
                    }
                }
            }
            const bool hasDeclaration = declaration.has_value();
            if (hasRow) {
                cell.modified = stampOf(month->modified);
                cell.hours = slotSum(month->hours);
                cell.kilometres = slotSum(month->kilometres);
            } else if (hasDeclaration) {
                cell.hours = tryLocaleNumber(declaration->hours).value_or(0);
                cell.kilometres = tryLocaleNumber(declaration->kilometres).value_or(0);
            }
            if ((hasRow && month->declared) || hasDeclaration) {
                cell.state = State::Declared;
                const QString invoice = invoiceOf(year, m, consultant, p);
                cell.invoice = invoice;
                if (hasDeclaration) {
                    cell.total = declaration->total;
                    declared.add(declaration->total, QStringLiteral("Totaal"), o.problems);
                    cell.tip = QStringLiteral("Factuur %1, totaal € %2").arg(invoice, declaration->total);
                } else {
                    cell.tip = QStringLiteral("Gedeclareerd; de declaratie zelf is niet gevonden");
                }
            } else if (hasDraft && hasDraft(cell.key)) {
                cell.state = State::Draft;
                // What the consultant typed, not what is saved.
                if (const auto typed = draftHours ? draftHours(cell.key) : std::nullopt)
                    cell.hours = slotSum(*typed);
                cell.tip = QStringLiteral("Niet opgeslagen wijzigingen op deze werkplek");
            } else if (hasRow) {
                cell.state = State::Saved;
                cell.tip = QStringLiteral("Opgeslagen, niet gedeclareerd; laatst gewijzigd ") + cell.modified;
            } else if (p.found && outsidePeriod(year, m, p)) {
                cell.state = State::Outside;
                cell.tip =
                    QStringLiteral("Buiten de looptijd van het project (%1 t/m %2)").arg(p.start, p.end);
            } else {
                cell.state = State::Empty;
                cell.tip = p.found ? QStringLiteral("Nog niets ingevuld")
                                   : QStringLiteral("Het project is niet gevonden");
            }
            // A saved month (or a draft over one) still to be declared: its
            // stored row through the form's own totals, at today's rates.
            if (hasRow && !month->declared && !hasDeclaration) {
                totals::Inputs in{daygrid::columnTotal(month->hours),
                                  daygrid::columnTotal(month->kilometres),
                                  month->euros,
                                  month->cents,
                                  month->expenseDescription,
                                  p.rateIn,
                                  p.rateOut};
                const totals::Result r = totals::compute(in);
                if (r.in)
                    open.add(r.in->total, QStringLiteral("Totaal"), o.problems);
                // A part that counted as 0 is said, as an amount left out is.
                for (const QString& problem : r.problems)
                    o.problems << p.code + u' ' + monthName(m) + QStringLiteral(": ") + problem;
            }
            const QString hoursText = generalNumberText(cell.hours);
            if (cell.hours != 0 || hasRow || hasDeclaration)
                cell.hoursText = hoursText;
            cell.text = stateWord(cell.state) + QStringLiteral("\n") +
                        (cell.hoursText.isEmpty() ? QString() : cell.hoursText + QStringLiteral(" u"));
            cell.spoken = QStringLiteral("%1, %2 %3: %4, %5 uur")
                              .arg(p.code, monthName(m), year, stateWord(cell.state), hoursText);
            perMonth[m - 1] = cell.hours;
            monthSums[m - 1] += cell.hours;
            projectSum += cell.hours;
            hours += cell.hours;
            kilometres += cell.kilometres;
        }
        o.cells << row;
        o.hoursPerMonth << perMonth;
        o.projectHours << generalNumberText(projectSum);
    }
    for (double s : monthSums)
        o.monthHours << generalNumberText(s);
    o.hours = generalNumberText(hours);
    o.kilometres = generalNumberText(kilometres);
    o.declared = moneyText(declared.sum);
    o.open = moneyText(open.sum);
    return o;
}

} // namespace dl::year
