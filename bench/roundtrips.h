#pragma once
// Round trips per action, counted on the wire by a proxy between the
// program and the server, and each action timed with the proxy holding every
// chunk 10 ms each way: what a consultant at home or at a client waits.

#include "bench/workload.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace dl::bench {

struct RoundTrips {
    QString action;
    int most = 0;        // the target
    int counted = 0;     // round trips, the connection's opening included
    int connections = 0; // opened during the action
    double msAt20 = 0;   // the action through the proxy at 20 ms per round trip
};

// Runs every action twice on inputs first and first + 1 of w: counted, then timed.
QList<RoundTrips> measureRoundTrips(const Workload& w, int first);

// The table as markdown; misses gets the actions over their target.
QString roundTripMarkdown(const QList<RoundTrips>& results, QStringList* misses);

} // namespace dl::bench
