// The bench's own arithmetic: a wrong percentile or verdict would misreport
// every run.

#include "bench/results.h"
#include "bench/stats.h"

#include <QTest>

#include <algorithm>

using namespace dl::bench;

class TestResults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void summary_data();
    void summary();
    void verdicts_data();
    void verdicts();
    void ownAccounts_data();
    void ownAccounts();
};

void TestResults::summary_data()
{
    QTest::addColumn<QList<double>>("samples");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("p99");

    QList<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred << i;
    QList<double> twoHundred;
    for (int i = 1; i <= 200; ++i)
        twoHundred << i;
    QTest::newRow("odd count, unsorted") << QList<double>{5, 1, 3} << 3.0 << 5.0;
    QTest::newRow("even count: mean of the middle two") << QList<double>{4, 1, 3, 2} << 2.5 << 4.0;
    QTest::newRow("100 samples: the 99th") << hundred << 50.5 << 99.0;
    QTest::newRow("200 samples: the 198th") << twoHundred << 100.5 << 198.0;
    QTest::newRow("one sample") << QList<double>{7} << 7.0 << 7.0;
}

void TestResults::summary()
{
    QFETCH(QList<double>, samples);
    QFETCH(double, median);
    QFETCH(double, p99);
    const Summary s = summarize(samples);
    QCOMPARE(s.count, samples.size());
    QCOMPARE(s.median, median);
    QCOMPARE(s.p99, p99);
}

namespace {

Summary timing(double median, double p99)
{
    Summary s;
    s.count = 200;
    s.median = median;
    s.p99 = p99;
    return s;
}

} // namespace

void TestResults::verdicts_data()
{
    QTest::addColumn<QList<ActionResult>>("results");
    QTest::addColumn<bool>("missed");

    const auto action = [](const QString& scale, double median, double p99, double oldMedian,
                           qint64 rows = 100000, const QString& name = QStringLiteral("a")) {
        ActionResult r{name, scale, QString(), rows, timing(median, p99), {}, {}};
        if (oldMedian > 0)
            r.baseline = timing(oldMedian, oldMedian);
        return r;
    };
    const QString small = QStringLiteral("1e3");
    const QString mid = QStringLiteral("1e5");
    const QString full = QStringLiteral("full");
    QTest::newRow("all met") << QList<ActionResult>{action(small, 0.5, 1, 3), action(mid, 0.6, 1.5, 500),
                                                    action(full, 0.8, 2.5, 1500)}
                             << false;
    QTest::newRow("at the limits") << QList<ActionResult>{action(small, 0.6, 1, 3), action(mid, 0.8, 2, 500),
                                                          action(full, 1, 3, 1500)}
                                   << false;
    QTest::newRow("median at full too slow")
        << QList<ActionResult>{action(small, 0.9, 2, 9), action(mid, 1, 2, 900), action(full, 1.2, 2.5, 2000)}
        << true;
    QTest::newRow("p99 at full too slow")
        << QList<ActionResult>{action(small, 0.5, 2, 3), action(mid, 0.5, 2, 500),
                               action(full, 0.6, 3.5, 1500)}
        << true;
    QTest::newRow("grows twofold") << QList<ActionResult>{action(small, 0.4, 1, 3), action(mid, 0.6, 1, 500),
                                                          action(full, 0.9, 2, 1500)}
                                   << true;
    QTest::newRow("too little faster at 1e5")
        << QList<ActionResult>{action(small, 0.5, 1, 3), action(mid, 0.5, 1, 49), action(full, 0.5, 1, 1500)}
        << true;
    QTest::newRow("a small table needs no 1e5 ratio")
        << QList<ActionResult>{action(small, 0.5, 1, 1, 1000), action(mid, 0.5, 1, 2, 10000),
                               action(full, 0.5, 1, 2, 10000)}
        << false;
    // Held to its own median alone: p99 and growth past the others' targets, no old design.
    const QString year = QStringLiteral("year overview");
    QTest::newRow("own target met without an old design")
        << QList<ActionResult>{action(small, 0.8, 2, 0, 1000, year), action(mid, 1.5, 6, 0, 100000, year),
                               action(full, 4.99, 9, 0, 1000000, year)}
        << false;
    QTest::newRow("own target: a median of 5 ms misses")
        << QList<ActionResult>{action(small, 0.8, 2, 0, 1000, year), action(mid, 1.5, 6, 0, 100000, year),
                               action(full, 5, 6, 0, 1000000, year)}
        << true;
    QTest::newRow("own target is that action's alone")
        << QList<ActionResult>{action(small, 0.8, 2, 8, 1000, year),
                               action(full, 0.9, 2, 1500, 1000000, year), action(small, 0.5, 1, 3),
                               action(full, 4, 6, 1500)}
        << true;
}

void TestResults::verdicts()
{
    QFETCH(QList<ActionResult>, results);
    QFETCH(bool, missed);
    QStringList misses;
    const QString text = markdown(results, {}, Targets{}, &misses);
    QCOMPARE(!misses.isEmpty(), missed);
    QCOMPARE(text.contains(u"❌"), missed);
    // Without old figures: no count, median or ratio, never a 0.
    const bool withoutOld = std::any_of(results.cbegin(), results.cend(),
                                        [](const ActionResult& r) { return !r.baseline.count; });
    QCOMPARE(text.contains(u"| – | – | – |"), withoutOld);
}

void TestResults::ownAccounts_data()
{
    QTest::addColumn<QList<ActionResult>>("own");
    QTest::addColumn<QList<ActionResult>>("shared");
    QTest::addColumn<QString>("line"); // the row of the table that must say it

    const auto result = [](const QString& action, double median) {
        return ActionResult{action, QStringLiteral("full"), QString(), 0, timing(median, median * 2), {}, {}};
    };
    const QString save = QStringLiteral("save (new row)");
    QTest::newRow("the frame's own part: the call less the round trip")
        << QList<ActionResult>{result(CallCost::bare(), 0.1), result(CallCost::empty(), 0.35),
                               result(CallCost::connect(), 2.5)}
        << QList<ActionResult>{} << QStringLiteral("| full | 0.10 | 0.35 | 0.25 | 2.50 |");
    QTest::newRow("a call faster than the round trip costs nothing, never less")
        << QList<ActionResult>{result(CallCost::bare(), 0.3), result(CallCost::empty(), 0.28)}
        << QList<ActionResult>{} << QStringLiteral("| full | 0.30 | 0.28 | 0.00 | – |");
    QTest::newRow("beside the shared account's median of the same scale")
        << QList<ActionResult>{result(save, 1.5)} << QList<ActionResult>{result(save, 1.0)}
        << QStringLiteral("| %1 | full | 200 | 1.50 | 3.00 | – | 1.00 | 1.50× |").arg(save);
    QTest::newRow("an action the shared account has not: no ratio")
        << QList<ActionResult>{result(CallCost::empty(), 0.4)} << QList<ActionResult>{result(save, 1.0)}
        << QStringLiteral("| %1 | full | 200 | 0.40 | 0.80 | – | – | – |").arg(CallCost::empty());
}

void TestResults::ownAccounts()
{
    QFETCH(QList<ActionResult>, own);
    QFETCH(QList<ActionResult>, shared);
    QFETCH(QString, line);
    const QString text = ownAccountsMarkdown(own, shared);
    QVERIFY2(text.split(u'\n').contains(line), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
