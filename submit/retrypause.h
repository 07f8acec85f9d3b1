#pragma once
// Transactions that lock the place of a row that is not there yet. When
// several workstations want the same absent row, all of them get the gap
// lock, one insert goes ahead and the others die in a deadlock. A loser that
// retried at once would take the gap lock again and keep the winner's insert
// waiting, round after round; a short random pause lets the winner commit.

#include "data/clusterreads.h"
#include "data/connection.h"

namespace dl::submit {

inline constexpr int kLockAttempts = 10;

// Sleeps 5..25 ms times the number of the retry.
void pauseBeforeRetry(int retry);

// Runs the transaction fn on c again after a deadlock or lock wait, with a
// pause; the reads of a retry wait for the cluster's commits, so that a
// loser of a certification conflict sees the winner's rows.
template <typename Fn> auto withRetryAndPause(Connection& c, Fn&& fn) -> decltype(fn())
{
    int attempt = 0;
    ClusterReads clusterReads;
    return withRetry(
        [&] {
            if (attempt > 0) {
                pauseBeforeRetry(attempt);
                clusterReads.start(c);
            }
            ++attempt;
            return fn();
        },
        kLockAttempts);
}

} // namespace dl::submit
