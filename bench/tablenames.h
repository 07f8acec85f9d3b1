#pragma once
// The qualified table names the benchmark's own SQL (fills, baselines) uses.

#include "data/connection.h"
#include "data/tables.h"

namespace dl::bench::names {

inline const QString kConsultants = Connection::qualified(tables::consultants());
inline const QString kProjects = Connection::qualified(tables::projects());
inline const QString kClients = Connection::qualified(tables::clients());
inline const QString kMessages = Connection::qualified(tables::messages());
inline const QString kLogins = Connection::qualified(tables::loginRecords());
inline const QString kReports = Connection::qualified(tables::reports());
inline const QString kDeclarations = Connection::qualified(tables::declarations());

} // namespace dl::bench::names
