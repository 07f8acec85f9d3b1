#include "submit/declarationstore.h"

#include "data/tables.h"
#include "submit/reportstore.h"
#include "submit/retrypause.h"

#include <stdexcept>

namespace dl::submit {

namespace {

QString invoiceOf(const Values& declaration)
{
    for (const auto& [column, value] : declaration) {
        if (column == u"factuurnummer")
            return value.toString();
    }
    throw std::logic_error("declaration without factuurnummer");
}

} // namespace

DeclareOutcome declare(Connection& c, const QString& reportKey, const Values& reportColumns,
                       const Values& declaration)
{
    const QString invoice = invoiceOf(declaration);
    return withRetryAndPause([&] {
        Transaction tx(c);
        Records records(c);
        const std::optional<Row> report = lockReport(records, reportKey);
        if (report && isDeclared(*report))
            return DeclareOutcome::AlreadyDeclared;
        if (records.findFirstForUpdate(tables::declarations(),
                                       {Match{QStringLiteral("factuurnummer"), invoice}}))
            return DeclareOutcome::InvoiceNumberTaken;
        writeReport(records, report, reportKey, QStringLiteral("ja"), reportColumns);
        records.insert(tables::declarations(), declaration);
        tx.commit();
        return DeclareOutcome::Declared;
    });
}

} // namespace dl::submit
