#pragma once
// On a Galera cluster a node applies the other nodes' commits a moment after
// they were made. A transaction that lost a certification conflict, or a
// look-up after a lost commit answer, must see the winner's commit: this
// makes the session's reads wait until the node has applied every commit
// the cluster had when the read began. Elsewhere it changes nothing.

#include "data/connection.h"

namespace dl {

void readClusterCommits(Connection& c);

} // namespace dl
