#pragma once
// The qualified table names the benchmark's own SQL (fills, baselines) uses.

#include "data/connection.h"
#include "data/tables.h"

namespace dl::bench::names {

inline const QString kConsultants = Connection::qualified(tables::consultants(), TableNames::Shared);
inline const QString kProjects = Connection::qualified(tables::projects(), TableNames::Shared);
inline const QString kClients = Connection::qualified(tables::clients(), TableNames::Shared);
inline const QString kMessages = Connection::qualified(tables::messages(), TableNames::Shared);
inline const QString kLogins = Connection::qualified(tables::loginRecords(), TableNames::Shared);
inline const QString kReports = Connection::qualified(tables::reports(), TableNames::Shared);
inline const QString kDeclarations = Connection::qualified(tables::declarations(), TableNames::Shared);

} // namespace dl::bench::names
