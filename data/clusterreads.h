#pragma once
// On a Galera cluster a node applies the other nodes' commits a moment after
// they were made. A transaction that lost a certification conflict, or a
// look-up after a lost commit answer, must see the winner's commit: while
// this lives, the session's reads wait until the node has applied every
// commit the cluster had when the read began. Elsewhere it changes nothing.
// Afterwards the session reads as before: a wait on every read would slow
// the whole program down.

#include "data/connection.h"

namespace dl {

class ClusterReads {
public:
    ClusterReads() = default;
    explicit ClusterReads(Connection& c) { start(c); }
    ~ClusterReads();
    ClusterReads(const ClusterReads&) = delete;
    ClusterReads& operator=(const ClusterReads&) = delete;

    // From now on; once is enough.
    void start(Connection& c);

private:
    Connection* m_c = nullptr;
};

} // namespace dl
