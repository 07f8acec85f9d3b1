#pragma once
// Every action the bench times: how the program runs it, how the old design
// walked the tables for it, what a correct run gives, and whose rows each
// sample reaches.

#include "bench/program.h"
#include "bench/workload.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace dl::bench {

struct Action {
    QString name;
    QStringList tables;
    std::function<void(Program&, int)> prepare; // untimed; may be empty
    std::function<int(Program&, int)> program;
    std::function<bool(int)> programOk;                // the result a correct run gives
    std::function<int(const Workload&, int)> baseline; // empty: the old design had no such action
    std::function<bool(int)> baselineOk;
    // Whose rows sample i reaches (consultantnummer): on accounts of their
    // own it runs as that consultant.
    std::function<QString(int)> owner;
};

// The program's actions on the workload's inputs; on accounts of their own
// also what a call costs.
QList<Action> actions(const Workload& w, bool ownAccounts);

} // namespace dl::bench
