#include "data/clusterreads.h"

#include "data/dberror.h"

namespace dl {

void ClusterReads::start(Connection& c)
{
    if (m_c)
        return;
    try {
        // 1: reads (SELECT, also FOR UPDATE) wait for the node to catch up.
        c.exec(QStringLiteral("SET SESSION wsrep_sync_wait = 1"));
        m_c = &c;
    } catch (const DbError& e) {
        // MySQL has no such setting, and no cluster whose commits could lag.
        if (e.number() != 1193)
            throw;
    }
}

ClusterReads::~ClusterReads()
{
    if (!m_c || m_c->isBroken())
        return;
    try {
        m_c->exec(QStringLiteral("SET SESSION wsrep_sync_wait = DEFAULT"));
    } catch (const DbError&) {
        // A line that broke now takes the session, and the setting, with it.
    }
}

} // namespace dl
