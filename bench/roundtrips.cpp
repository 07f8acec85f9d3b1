#include "bench/roundtrips.h"

#include "bench/program.h"
#include "bench/stats.h"
#include "tests/support/faultproxy.h"

#include <functional>
#include <memory>

namespace dl::bench {

namespace {

constexpr int kDelayEachWayMs = 10;

struct Step {
    QString action;
    int most;
    std::function<void(Program&, int)> prepare; // not counted
    std::function<void(Program&, int)> run;
    bool freshProgram = false; // the connection opens within the action
};

QList<Step> steps(const Workload& w)
{
    const auto person = [&w](int i) -> const Person& { return w.people[i % w.people.size()]; };
    const auto key = [](const QStringList& keys, int i) -> const QString& { return keys[i % keys.size()]; };
    return {
        {QStringLiteral("login, opening the connection included"),
         9,
         {},
         [=](Program& p, int i) { p.login(person(i)); },
         true},
        {QStringLiteral("project choice"), 3,
         [&w](Program& p, int i) { p.prepareProject(w.projects[i % w.projects.size()]); },
         [&w](Program& p, int i) { p.chooseProject(w.projects[i % w.projects.size()]); }},
        {QStringLiteral("open month (stored)"), 2,
         [=, &w](Program& p, int i) { p.prepareMonth(key(w.storedKeys, i)); },
         [=, &w](Program& p, int i) { p.openMonth(key(w.storedKeys, i), true); }},
        {QStringLiteral("open month (new)"), 2,
         [=, &w](Program& p, int i) { p.prepareMonth(key(w.missingKeys, i)); },
         [=, &w](Program& p, int i) { p.openMonth(key(w.missingKeys, i), false); }},
        {QStringLiteral("save (existing row)"), 5,
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.saveKeys, i)); },
         [](Program& p, int) { p.save(); }},
        {QStringLiteral("save (new row)"), 5,
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.appendKeys, i)); },
         [](Program& p, int) { p.save(); }},
        // One more since the office's message is read in the declaration's transaction.
        {QStringLiteral("declare, the check and the project chosen again included"), 11,
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.declareKeys, i)); },
         [](Program& p, int) { p.declare(); }},
        {QStringLiteral("logoff"), 4, {}, [=](Program& p, int i) { p.logoff(person(i)); }},
        {QStringLiteral("ticker refresh (its own connection)"), 1, [](Program& p, int) { p.ticker(); },
         [](Program& p, int) { p.ticker(); }},
        {QStringLiteral("year overview"),
         2,
         {},
         [&w](Program& p, int i) { p.yearOverview(w.years[i % w.years.size()]); }},
    };
}

} // namespace

QList<RoundTrips> measureRoundTrips(const Workload& w, int first)
{
    test::FaultProxy proxy([server = w.server] { return server; });
    Workload viaProxy = w;
    viaProxy.server = proxy.address();
    Program warm(viaProxy);
    warm.login(w.people.first()); // the window's connection, kept from here on

    QList<RoundTrips> out;
    for (const Step& s : steps(viaProxy)) {
        RoundTrips r{s.action, s.most, 0, 0, 0};
        for (const bool timed : {false, true}) {
            const int i = first + (timed ? 1 : 0);
            std::unique_ptr<Program> fresh;
            Program& p = s.freshProgram ? *(fresh = std::make_unique<Program>(viaProxy)) : warm;
            if (s.prepare)
                s.prepare(p, i);
            proxy.delay(timed ? kDelayEachWayMs : 0);
            const int trips = proxy.roundTrips();
            const int connections = proxy.connections();
            const double ms = timeMs([&] { s.run(p, i); });
            if (timed) {
                r.msAt20 = ms;
            } else {
                r.counted = proxy.roundTrips() - trips;
                r.connections = proxy.connections() - connections;
            }
            proxy.delay(0);
        }
        out << r;
    }
    return out;
}

QString roundTripMarkdown(const QList<RoundTrips>& results, QStringList* misses)
{
    QStringList out;
    out << QStringLiteral(
               "| action | round trips | at most | connections opened | time at 20 ms per round trip |")
        << QStringLiteral("|---|---:|---:|---:|---:|");
    for (const RoundTrips& r : results) {
        const bool ok = r.counted <= r.most;
        if (!ok && misses)
            *misses << r.action + QStringLiteral(" (round trips)");
        out << QStringLiteral("| %1 | %2 %3 | %4 | %5 | %6 ms |")
                   .arg(r.action, ok ? QStringLiteral("✅") : QStringLiteral("❌"), QString::number(r.counted),
                        QString::number(r.most), QString::number(r.connections),
                        QString::number(r.msAt20, 'f', 0));
    }
    return out.join(u'\n') + u'\n';
}

} // namespace dl::bench
