#include "submit/earlierdeclaration.h"

#include "data/dutchnumbers.h"
#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"

#include <QSet>

namespace dl::check {

std::optional<EarlierDeclaration> lastEarlierDeclaration(Connection& c, const DeclarationKey& key)
{
    return earlierDeclarations(c, key).last;
}

namespace {

Result readTable(Connection& c, const DeclarationKey& key)
{
    const TableRef table = tables::declarations();
    // Among the declarations of one month, table order decides.
    QString tieBreak;
    for (const QString& column : Records(c).primaryKey(table))
        tieBreak += QStringLiteral(", ") + Connection::quoteIdentifier(column);
    return c.exec(
        QStringLiteral(
            "SELECT consultant, Opdrachtgever, Projectnaam, Jaar, maand, uren, kilometers, totaal FROM ") +
            c.qualified(table) +
            QStringLiteral(" WHERE consultant = ? AND Opdrachtgever = ? AND Projectnaam = ?"
                           " AND (Jaar < ? OR (Jaar = ? AND maand < ?))"
                           " ORDER BY Jaar DESC, maand DESC") +
            tieBreak,
        {key.consultant, key.client, key.project, key.year, key.year, key.month});
}

} // namespace

EarlierDeclarations earlierDeclarations(Connection& c, const DeclarationKey& key)
{
    // The own account's procedure reads the session's consultant's rows.
    Result q = actsThroughProcedures(c)
                   ? callRows(c, "eerdere_declaraties", {key.client, key.project, key.year, key.month})
                   : readTable(c, key);
    const QList<Match> exact{{QStringLiteral("consultant"), key.consultant},
                             {QStringLiteral("Opdrachtgever"), key.client},
                             {QStringLiteral("Projectnaam"), key.project}};
    EarlierDeclarations out;
    QSet<QString> months;
    while (q.next()) {
        const Row row = q.row();
        if (!Records::exactlyMatches(row, exact))
            continue;
        // The server's collation may call "2026 " equal to "2026"; the month
        // must lie before the open one as text.
        const QString year = row.text(QStringLiteral("Jaar"));
        const QString month = row.text(QStringLiteral("maand"));
        if (!(year < key.year || (year == key.year && month < key.month)))
            continue;
        if (months.contains(year + u'_' + month))
            continue;
        months.insert(year + u'_' + month);
        out.hours += tryLocaleNumber(row.text(QStringLiteral("uren"))).value_or(0.0);
        if (!out.last)
            out.last =
                EarlierDeclaration{year,
                                   month,
                                   {row.text(QStringLiteral("uren")), row.text(QStringLiteral("kilometers")),
                                    row.text(QStringLiteral("totaal"))}};
    }
    return out;
}

} // namespace dl::check
