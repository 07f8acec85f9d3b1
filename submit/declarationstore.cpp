#include "submit/declarationstore.h"

#include "data/tables.h"
#include "submit/lockrows.h"
#include "submit/reportstore.h"
#include "submit/retrypause.h"
#include "submit/submitmessages.h"

#include <stdexcept>

namespace dl::submit {

namespace {

QString columnOf(const Values& declaration, QStringView name)
{
    for (const auto& [column, value] : declaration) {
        if (column == name)
            return value.toString();
    }
    throw std::logic_error("declaration without " + name.toString().toStdString());
}

QString invoiceOf(const Values& declaration)
{
    return columnOf(declaration, u"factuurnummer");
}

// A message that cannot be read might say not to declare: refused.
QString officeMessage(Records& records)
{
    try {
        const std::optional<Row> row = records.firstRow(tables::messages());
        return row ? row->text(QStringLiteral("Bericht")) : QString();
    } catch (const DbError& e) {
        if (e.isConnectionLoss() || e.isRetryable())
            throw;
        throw DbError(e.number(),
                      QStringLiteral("Het bericht van het kantoor kon niet worden gelezen (") +
                          e.description() +
                          QStringLiteral("); zolang het niet gelezen is, wordt er niet gedeclareerd."));
    }
}

} // namespace

DeclareOutcome declare(Connection& c, const QString& reportKey, const Values& reportColumns,
                       const Values& declaration, const Seen* seen, QString* storedModified)
{
    const QString invoice = invoiceOf(declaration);
    return withRetryAndPause(c, [&] {
        Transaction tx(c);
        Records records(c);
        // The message as it stands now, whatever the ticker last showed: one
        // posted a moment ago, or while the questions were open, holds.
        if (declaringBlocked(officeMessage(records)))
            return DeclareOutcome::Blocked;
        takeLockRows(c, {reportLock(reportKey), invoiceLock(invoice)});
        const std::optional<Row> report = lockReport(records, reportKey);
        if (report && isDeclared(*report))
            return DeclareOutcome::AlreadyDeclared;
        if (seen) {
            if (const std::optional<QString> stored = changedSince(report, *seen)) {
                if (storedModified)
                    *storedModified = *stored;
                return DeclareOutcome::ChangedElsewhere;
            }
        }
        if (records.findFirstForUpdate(tables::declarations(),
                                       {Match{QStringLiteral("factuurnummer"), invoice}}))
            return DeclareOutcome::InvoiceNumberTaken;
        writeReport(records, report, reportKey, QStringLiteral("ja"), reportColumns);
        records.insert(tables::declarations(), declaration);
        tx.commit();
        return DeclareOutcome::Declared;
    });
}

bool declarationStored(Connection& c, const QString& reportKey, const Values& declaration)
{
    Records records(c);
    const std::optional<Row> report =
        records.findFirst(tables::reports(), {Match{QStringLiteral("Projectnaam"), reportKey}});
    if (!report || !isDeclared(*report))
        return false;
    return records
        .findFirst(tables::declarations(),
                   {Match{QStringLiteral("factuurnummer"), invoiceOf(declaration)},
                    Match{QStringLiteral("DECdatum"), columnOf(declaration, u"DECdatum")}})
        .has_value();
}

} // namespace dl::submit
