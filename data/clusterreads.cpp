#include "data/clusterreads.h"

#include "data/dberror.h"

namespace dl {

void readClusterCommits(Connection& c)
{
    try {
        // 1: reads (SELECT, also FOR UPDATE) wait for the node to catch up.
        c.exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1"));
    } catch (const DbError& e) {
        // MySQL has no such setting, and no cluster whose commits could lag.
        if (e.number() != 1193)
            throw;
    }
}

} // namespace dl
