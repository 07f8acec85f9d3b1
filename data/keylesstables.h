#pragma once
// Tables of the program that have no primary key. Without one, a Galera
// cluster may hold their rows in another order on every node, so "the first
// row in table order" can differ between workstations on different nodes.

#include "data/connection.h"

#include <QList>
#include <QStringList>

namespace dl {

// `database`.`table` of every table in tables that exists and has no primary key.
QStringList tablesWithoutPrimaryKey(Connection& c, const QList<TableRef>& tables);

// The one line the program writes on standard error about them; empty when none.
QString keylessTablesLine(const QStringList& tables);

} // namespace dl
