#include "bench/stats.h"

#include <algorithm>
#include <cmath>

namespace dl::bench {

Summary summarize(QList<double> samplesMs)
{
    Summary s;
    s.count = int(samplesMs.size());
    if (samplesMs.isEmpty())
        return s;
    std::sort(samplesMs.begin(), samplesMs.end());
    const auto rank = [&](double q) {
        const qsizetype i = qsizetype(std::ceil(q * double(samplesMs.size()))) - 1;
        return samplesMs[std::clamp<qsizetype>(i, 0, samplesMs.size() - 1)];
    };
    const qsizetype n = samplesMs.size();
    s.median = n % 2 ? samplesMs[n / 2] : (samplesMs[n / 2 - 1] + samplesMs[n / 2]) / 2;
    s.p99 = rank(0.99);
    s.max = samplesMs.last();
    return s;
}

} // namespace dl::bench
