#pragma once
// The private three-node cluster started by the galera fixture
// (scripts/galera.sh): each node's address, administrator SQL on a node,
// and killing and restarting a node.

#include "data/serverlist.h"
#include "officeaccounts.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace dl::test {

class GaleraNodes {
public:
    static constexpr int kNodes = 3;
    // Node 1 to 3.
    static ServerAddress node(int n);
    // The nodes in this order, as a workstation lists them.
    static ServerList list(const QList<int>& nodes);
    // Runs SQL as the administrator on node n (several statements allowed without binds).
    static void exec(int n, const QString& sql, const QVariantList& binds = {});
    // Rows as text (NULL as "<NULL>"), columns joined by "|".
    static QStringList rows(int n, const QString& sql, const QVariantList& binds = {});
    // The office's administrator at node n; what it sets up is waited for
    // on every node.
    static OfficeServer office(int n);
    // Empties the program's tables and loads the demo rows (on node 1; replicated).
    static void loadDemo();
    // SIGKILL, as a crash would; true when the node is gone and the others
    // have formed a cluster without it.
    static bool kill(int n);
    // Starts node n again and waits until it is in sync.
    static bool start(int n);
    // Waits until every running node has applied what node 1 has committed.
    static void sync();
    static bool isRunning(int n);
};

} // namespace dl::test
