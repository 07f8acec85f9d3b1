#pragma once
// One workstation process of the concurrency test: it logs in, opens the
// months of its project, saves or declares them and logs off, round after
// round, and reports every outcome as a line
//   EVENT <what> <report key or -> <marker or -> [message]
// on standard output.

#include "data/serverlist.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace dl::test {

struct WorkerPlan {
    ServerList server;
    QString login;
    QString password;
    QString projectEntry; // as the project list shows it
    QString id;           // part of every marker: "w3"
    int rounds = 3;
    QString year = QStringLiteral("2026");
    QStringList months; // "01 Januari ", ...; the last one is declared in the last round
    qint64 startAt = 0; // ms since the epoch: every worker begins at once
    QString isolation = QStringLiteral("REPEATABLE-READ"); // of every session the worker opens
};

// The command line of a worker process, and back.
QStringList workerArguments(const WorkerPlan& plan);
WorkerPlan workerPlan(const QStringList& arguments);

// Runs the plan in the running QApplication; 0 when it got to the end.
int runWorker(const WorkerPlan& plan, QTextStream& out);

// A parsed EVENT line.
struct WorkerEvent {
    QString what;
    QString key;
    QString marker;
    QString message;
};
QList<WorkerEvent> parseEvents(const QString& output);

} // namespace dl::test
