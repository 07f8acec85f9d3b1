#pragma once
// The same actions the way the old design looked rows up: "select * from"
// the table, every row read, compared in the client, first match wins. The
// writes are the program's own, so that only the lookups differ.

#include "bench/workload.h"

namespace dl::bench {

int baselineLogin(const Workload& w, const Person& p);
int baselineChooseProject(const Workload& w, const ProjectPick& p);
int baselineOpenMonth(const Workload& w, const QString& key);
int baselineSave(const Workload& w, const QString& key);
int baselineDeclare(const Workload& w, const QString& key);
int baselineTicker(const Workload& w);
int baselineLastDeclaration(const Workload& w, const check::DeclarationKey& key);
int baselineLogoff(const Workload& w, const Person& p);

} // namespace dl::bench
