#include "bench/results.h"

#include <algorithm>

namespace dl::bench {

namespace {

QString ms(double v)
{
    if (v <= 0)
        return QStringLiteral("–");
    return v < 100 ? QString::number(v, 'f', 2) : QString::number(v, 'f', 0);
}

const ActionResult* find(const QList<ActionResult>& all, const QString& action, const QString& scale)
{
    for (const ActionResult& r : all)
        if (r.action == action && r.scale == scale)
            return &r;
    return nullptr;
}

const OwnTarget* ownTarget(const Targets& t, const QString& action)
{
    for (const OwnTarget& o : t.own)
        if (o.action == action)
            return &o;
    return nullptr;
}

} // namespace

QString markdown(const QList<ActionResult>& results, const QStringList& extra, const Targets& t,
                 QStringList* misses)
{
    QStringList out;
    out << QStringLiteral(
               "| action | scale | tables looked in (rows) | n | median ms | p99 ms | of which the server: "
               "median ms | old design: n | old median ms | ratio |")
        << QStringLiteral("|---|---|---|---:|---:|---:|---:|---:|---:|---:|");
    QStringList actions;
    for (const ActionResult& r : results)
        if (!actions.contains(r.action))
            actions << r.action;
    for (const ActionResult& r : results) {
        const double ratio =
            r.program.median > 0 && r.baseline.count ? r.baseline.median / r.program.median : 0;
        out << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 |")
                   .arg(r.action, r.scale, r.tables, QString::number(r.program.count), ms(r.program.median),
                        ms(r.program.p99), ms(r.database.median),
                        r.baseline.count ? QString::number(r.baseline.count) : QStringLiteral("–"),
                        ms(r.baseline.median))
                   .arg(ratio > 0 ? QString::number(ratio, 'f', 0) + u'×' : QStringLiteral("–"));
    }

    QStringList checks;
    for (const QString& a : actions) {
        const ActionResult* small = find(results, a, QStringLiteral("1e3"));
        const ActionResult* mid = find(results, a, QStringLiteral("1e5"));
        const ActionResult* full = find(results, a, QStringLiteral("full"));
        QStringList notes;
        bool ok = true;
        if (const OwnTarget* own = ownTarget(t, a)) {
            if (full) {
                ok = full->program.median < own->medianBelowMs;
                notes << QStringLiteral("median %1 ms %2 %3 (its own target)")
                             .arg(ms(full->program.median), ok ? u"<" : u"≥")
                             .arg(own->medianBelowMs)
                      << QStringLiteral("p99 %1 ms").arg(ms(full->program.p99));
                if (!ok)
                    notes << QStringLiteral("the server's part: median %1 ms").arg(ms(full->database.median));
            }
            if (small && full && small->program.median > 0)
                notes << QStringLiteral("growth 1e3→full %1×")
                             .arg(QString::number(full->program.median / small->program.median, 'f', 2));
            notes << QStringLiteral("no old design to compare with");
            checks
                << QStringLiteral("- %1 %2: %3").arg(ok ? u"✅" : u"❌", a, notes.join(QStringLiteral(", ")));
            if (!ok && misses)
                *misses << a;
            continue;
        }
        if (full) {
            const bool m = full->program.median <= t.medianMs;
            const bool p = full->program.p99 <= t.p99Ms;
            ok = ok && m && p;
            notes
                << QStringLiteral("median %1 ms %2 %3")
                       .arg(ms(full->program.median), m ? u"≤" : u">")
                       .arg(t.medianMs)
                << QStringLiteral("p99 %1 ms %2 %3").arg(ms(full->program.p99), p ? u"≤" : u">").arg(t.p99Ms);
            if (!m || !p)
                notes << QStringLiteral("the server's part: median %1 ms, the rest the form's own work")
                             .arg(ms(full->database.median));
        }
        if (small && full && small->program.median > 0) {
            const double g = full->program.median / small->program.median;
            ok = ok && g < t.growth;
            notes << QStringLiteral("growth 1e3→full %1×").arg(QString::number(g, 'f', 2));
        }
        if (mid && mid->largestTable < 100000) {
            notes << QStringLiteral("its tables never reach 10^5 rows (largest %1), so no 1e5 ratio")
                         .arg(mid->largestTable);
        } else if (mid && mid->baseline.count && mid->program.median > 0) {
            const double r = mid->baseline.median / mid->program.median;
            ok = ok && r >= t.ratioAt1e5;
            notes << QStringLiteral("%1× faster than the old design at 1e5").arg(QString::number(r, 'f', 0));
        }
        checks << QStringLiteral("- %1 %2: %3").arg(ok ? u"✅" : u"❌", a, notes.join(QStringLiteral(", ")));
        if (!ok && misses)
            *misses << a;
    }
    QStringList own;
    for (const OwnTarget& o : t.own)
        own << QStringLiteral("; %1: median < %2 ms at full, its only target")
                   .arg(o.action)
                   .arg(o.medianBelowMs);
    return QStringLiteral("## Actions\n\n") + out.join(u'\n') +
           QStringLiteral("\n\n## Targets (full volume: median ≤ %1 ms, p99 ≤ %2 ms; median grows < %3× from "
                          "1e3 to full; ≥ %4× faster than the old design at 1e5%5)\n\n")
               .arg(t.medianMs)
               .arg(t.p99Ms)
               .arg(t.growth)
               .arg(t.ratioAt1e5)
               .arg(own.join(QString())) +
           checks.join(u'\n') + (extra.isEmpty() ? QString() : QStringLiteral("\n\n") + extra.join(u'\n')) +
           u'\n';
}

QString ownAccountsMarkdown(const QList<ActionResult>& own, const QList<ActionResult>& shared)
{
    QStringList out;
    out << QStringLiteral("| action | scale | n | median ms | p99 ms | of which the server: median ms | "
                          "shared account: median ms | own ÷ shared |")
        << QStringLiteral("|---|---|---:|---:|---:|---:|---:|---:|");
    QStringList scales;
    for (const ActionResult& r : own) {
        if (!scales.contains(r.scale))
            scales << r.scale;
        const ActionResult* s = find(shared, r.action, r.scale);
        const bool both = s && s->program.median > 0 && r.program.median > 0;
        out << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 |")
                   .arg(r.action, r.scale, QString::number(r.program.count), ms(r.program.median),
                        ms(r.program.p99), ms(r.database.median),
                        s ? ms(s->program.median) : QStringLiteral("–"),
                        both ? QString::number(r.program.median / s->program.median, 'f', 2) + u'×'
                             : QStringLiteral("–"));
    }
    QStringList cost;
    cost << QStringLiteral("| scale | %1: median ms | %2: median ms | the call's own part: median ms | "
                           "%3: median ms |")
                .arg(CallCost::bare(), CallCost::empty(), CallCost::connect())
         << QStringLiteral("|---|---:|---:|---:|---:|");
    for (const QString& scale : std::as_const(scales)) {
        const ActionResult* bare = find(own, CallCost::bare(), scale);
        const ActionResult* empty = find(own, CallCost::empty(), scale);
        const ActionResult* connect = find(own, CallCost::connect(), scale);
        const bool both = bare && empty;
        cost << QStringLiteral("| %1 | %2 | %3 | %4 | %5 |")
                    .arg(scale, bare ? ms(bare->program.median) : QStringLiteral("–"),
                         empty ? ms(empty->program.median) : QStringLiteral("–"),
                         // A frame cheaper than the round trip is noise: no cost.
                         both ? QString::number(std::max(0.0, empty->program.median - bare->program.median),
                                                'f', 2)
                              : QStringLiteral("–"),
                         connect ? ms(connect->program.median) : QStringLiteral("–"));
    }
    return QStringLiteral("## Accounts of their own: every action one call of the server's procedure\n\n") +
           out.join(u'\n') + QStringLiteral("\n\n### What a call costs\n\n") + cost.join(u'\n') + u'\n';
}

} // namespace dl::bench
