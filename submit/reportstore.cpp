#include "submit/reportstore.h"

#include "data/tables.h"
#include "declaration/reportrecord.h"
#include "submit/lockrows.h"
#include "submit/retrypause.h"

namespace dl::submit {

namespace {

const QString kKey = QStringLiteral("Projectnaam");
const QString kState = QStringLiteral("afgewerkt");

} // namespace

Values reportColumns(const std::function<QString(const QString& control)>& controlText,
                     const QString& modifiedStamp)
{
    Values out;
    const QList<report::Binding> bindings = report::controlBindings();
    out.reserve(bindings.size());
    for (const report::Binding& b : bindings) {
        if (b.column == u"laatstgewijzigd")
            out.append({b.column, modifiedStamp});
        else
            out.append({b.column, controlText(b.control)});
    }
    return out;
}

std::optional<Row> lockReport(Records& records, const QString& key)
{
    return records.findFirstForUpdate(tables::reports(), {Match{kKey, key}});
}

bool isDeclared(const Row& report)
{
    return report.text(kState) == u"ja";
}

SaveOutcome writeReport(Records& records, const std::optional<Row>& target, const QString& key,
                        const QString& afgewerkt, const Values& columns)
{
    Values row;
    row.reserve(columns.size() + 2);
    row.append({kState, afgewerkt});
    row.append({kKey, key});
    row.append(columns);
    if (target) {
        // lockReport took the row FOR UPDATE in this transaction.
        records.update(tables::reports(), *target, row, Records::Lock::HeldByCaller);
        return SaveOutcome::Overwritten;
    }
    records.insert(tables::reports(), row);
    return SaveOutcome::Appended;
}

std::optional<QString> changedSince(const std::optional<Row>& target, const Seen& seen)
{
    // A row the office took away leaves nothing to overwrite.
    if (!target)
        return std::nullopt;
    const QString stored = target->text(QStringLiteral("laatstgewijzigd"));
    if (seen.stored && stored == seen.modified)
        return std::nullopt;
    if (!seen.unknownSave.isEmpty() && stored == seen.unknownSave)
        return std::nullopt;
    return stored;
}

namespace {

SaveOutcome saveByCall(Connection& c, const QString& key, const Values& columns, const Seen* seen,
                       QString* storedModified, const ActionId& action)
{
    const Seen none;
    const Seen& s = seen ? *seen : none;
    return withRetryAndPause(c, [&] {
        const Row answer = callAction(
            c, "opslaan",
            {action.bytes(), key, seen && s.stored, s.modified, s.unknownSave, columnsAsJson(columns)});
        const QString outcome = answer.text(QStringLiteral("uitkomst"));
        if (outcome == u"toegevoegd")
            return SaveOutcome::Appended;
        if (outcome == u"overschreven")
            return SaveOutcome::Overwritten;
        if (outcome == u"gedeclareerd")
            return SaveOutcome::Declared;
        if (outcome == u"elders") {
            if (storedModified)
                *storedModified = answer.text(QStringLiteral("opgeslagen"));
            return SaveOutcome::ChangedElsewhere;
        }
        throw DbError(1305, QStringLiteral("Onbekend antwoord van de server op het opslaan: ") + outcome);
    });
}

} // namespace

SaveOutcome saveReport(Connection& c, const QString& key, const QString& afgewerkt, const Values& columns,
                       const Seen* seen, QString* storedModified, const ActionId* action)
{
    if (actsThroughProcedures(c) && afgewerkt == u"nee")
        return saveByCall(c, key, columns, seen, storedModified, action ? *action : ActionId::make());
    return withRetryAndPause(c, [&] {
        Transaction tx(c);
        takeLockRows(c, {reportLock(key)});
        Records records(c);
        const std::optional<Row> target = lockReport(records, key);
        if (target && isDeclared(*target))
            return SaveOutcome::Declared;
        // On the locked row: no save elsewhere can come between this look and the write.
        if (seen) {
            if (const std::optional<QString> stored = changedSince(target, *seen)) {
                if (storedModified)
                    *storedModified = *stored;
                return SaveOutcome::ChangedElsewhere;
            }
        }
        const SaveOutcome outcome = writeReport(records, target, key, afgewerkt, columns);
        tx.commit();
        return outcome;
    });
}

bool reportStored(Connection& c, const QString& key, const QString& afgewerkt, const Values& columns)
{
    const std::optional<Row> report = Records(c).findFirst(tables::reports(), {Match{kKey, key}});
    if (!report || report->text(kState) != afgewerkt)
        return false;
    for (const auto& [column, value] : columns) {
        if (report->text(column) != value.toString())
            return false;
    }
    return true;
}

} // namespace dl::submit
