#pragma once
// The FIGURES of a suite, counted from what its tests observed: the cases
// run and those that failed, the stored states compared and those found
// lost or changed. A crash prints no figures at all.

#include <QtTest>

namespace dl::test {

struct Figures {
    int cases = 0;
    int failed = 0;
    int compared = 0;
    int changed = 0;

    // From a test's cleanup().
    void caseDone()
    {
        ++cases;
        if (QTest::currentTestFailed())
            ++failed;
    }
    // One stored state compared with what it should be.
    template <typename T> void compare(const T& stored, const T& expected)
    {
        ++compared;
        if (!(stored == expected))
            ++changed;
    }
};

} // namespace dl::test
