#pragma once
// The measured table: per action and scale the program's median and 99th
// percentile, the old design's median and the ratio, checked against the
// targets; written as markdown.

#include "bench/stats.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dl::bench {

struct ActionResult {
    QString action;
    QString scale;
    QString tables; // the tables the action looks in, with their rows
    qint64 largestTable = 0;
    Summary program;
    Summary baseline;
    Summary database; // of the program's time, the part spent waiting for the server
};

// An action held to a median of its own at the full volume, and to nothing
// else: the old design had no such action to compare with.
struct OwnTarget {
    QString action;
    double medianBelowMs = 0;
};

struct Targets {
    double medianMs = 1;
    double p99Ms = 3;
    double growth = 2;       // median at full over median at 1e3
    double ratioAt1e5 = 100; // baseline over program at 1e5
    double startupMs = 500;
    double memoryMb = 80;
    QList<OwnTarget> own{{QStringLiteral("year overview"), 5}};
};

// The actions that say what a call of the server's procedure costs, on a
// consultant's own account: its connect, a statement that reads nothing,
// and an empty action (a procedure's transaction and the session's
// consultant, no rows).
struct CallCost {
    static QString connect() { return QStringLiteral("connect as the own account (ed25519)"); }
    static QString bare() { return QStringLiteral("a statement that reads nothing (SELECT 1)"); }
    static QString empty() { return QStringLiteral("an empty call (the procedures' frame)"); }
};

// The same actions on accounts of their own beside the shared account's
// medians of this run, and what a call costs at each scale.
QString ownAccountsMarkdown(const QList<ActionResult>& own, const QList<ActionResult>& shared);

// `extra` holds lines about start-up and memory, already in markdown.
QString markdown(const QList<ActionResult>& results, const QStringList& extra, const Targets& t,
                 QStringList* misses);

} // namespace dl::bench
