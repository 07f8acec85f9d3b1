#pragma once
// Timings of one action: the samples in milliseconds and their summary.

#include <QElapsedTimer>
#include <QList>

namespace dl::bench {

struct Summary {
    int count = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// Nearest rank: with fewer than 100 samples the 99th percentile is the largest.
Summary summarize(QList<double> samplesMs);

// Runs fn once and returns its wall time in milliseconds.
template <typename Fn> double timeMs(Fn&& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace dl::bench
