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

DeclareOutcome declareByCall(Connection& c, const QString& reportKey, const Values& reportColumns,
                             const Values& declaration, const Seen* seen, QString* storedModified,
                             const ActionId& action)
{
    const Seen none;
    const Seen& s = seen ? *seen : none;
    return withRetryAndPause(c, [&] {
        const Row answer =
            callAction(c, "declareren",
                       {action.bytes(), reportKey, seen && s.stored, s.modified, s.unknownSave,
                        columnsAsJson(reportColumns), invoiceOf(declaration), columnsAsJson(declaration)});
        const QString outcome = answer.text(QStringLiteral("uitkomst"));
        if (outcome == u"gedeclareerd_nu")
            return DeclareOutcome::Declared;
        if (outcome == u"gedeclareerd")
            return DeclareOutcome::AlreadyDeclared;
        if (outcome == u"geblokkeerd")
            return DeclareOutcome::Blocked;
        if (outcome == u"factuurnummer")
            return DeclareOutcome::InvoiceNumberTaken;
        if (outcome == u"elders") {
            if (storedModified)
                *storedModified = answer.text(QStringLiteral("opgeslagen"));
            return DeclareOutcome::ChangedElsewhere;
        }
        throw DbError(1305, QStringLiteral("Onbekend antwoord van de server op het declareren: ") + outcome);
    });
}

} // namespace

DeclareOutcome declare(Connection& c, const QString& reportKey, const Values& reportColumns,
                       const Values& declaration, const Seen* seen, QString* storedModified,
                       const ActionId* action)
{
    if (actsThroughProcedures(c))
        return declareByCall(c, reportKey, reportColumns, declaration, seen, storedModified,
                             action ? *action : ActionId::make());
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
