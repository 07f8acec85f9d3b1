#pragma once
// Declaring a month: the report row set to "ja" and the declaration row
// appended in one transaction on one connection, so that either both are
// written or neither. The locks on the report key and on the invoice number
// make two workstations that declare the same month, or two months with the
// same invoice number, take turns; the second is refused.

#include "data/records.h"
#include "data/serveractions.h"

namespace dl::submit {

enum class DeclareOutcome {
    Declared,
    AlreadyDeclared,    // the report row holds "ja" already
    InvoiceNumberTaken, // a declaration carries the invoice number already
    ChangedElsewhere,   // the report was saved elsewhere since it was seen
    Blocked,            // the office's message, read in the transaction, begins with "BELANGRIJK:"
};

struct Seen;

// reportColumns: the report columns as for saveReport; declaration: the
// declaration row, with its `factuurnummer`. Retries on deadlock; throws
// DbError on any other failure, with nothing written. seen and
// storedModified as for saveReport.
// A consultant's own account declares through the server's procedure, in
// one call; action as for saveReport.
DeclareOutcome declare(Connection& c, const QString& reportKey, const Values& reportColumns,
                       const Values& declaration, const Seen* seen = nullptr,
                       QString* storedModified = nullptr, const ActionId* action = nullptr);

// After the line broke during declare(): whether the server took it all the
// same (the commit went through, its answer got lost). True when the report
// is declared and a declaration with this invoice number and stamp exists.
bool declarationStored(Connection& c, const QString& reportKey, const Values& declaration);

} // namespace dl::submit
