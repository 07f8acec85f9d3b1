#include "bench/actions.h"

#include "bench/baseline.h"
#include "bench/results.h"

namespace dl::bench {

namespace {

QString ownerOfKey(const QString& key)
{
    return splitKey(key).code.left(4);
}

} // namespace

QList<Action> actions(const Workload& w, bool ownAccounts)
{
    const auto person = [&w](int i) -> const Person& { return w.people[i % w.people.size()]; };
    const auto project = [&w](int i) -> const ProjectPick& { return w.projects[i % w.projects.size()]; };
    const auto key = [](const QStringList& keys, int i) -> const QString& { return keys[i % keys.size()]; };
    const auto positive = [](int r) { return r > 0; };
    const auto one = [](int r) { return r == 1; };
    const QString consultants = QStringLiteral("KALMIRO_consultants");
    const QString projects = QStringLiteral("KALMIRO_projecten");
    const QString clients = QStringLiteral("KALMIRO_opdrachtgevers");
    const QString logins = QStringLiteral("LOGINconsultant");
    const QString reports = QStringLiteral("Raporten");
    const QString declarations = QStringLiteral("Declaraties");
    const QString messages = QStringLiteral("KALMIRO_berichten");
    QList<Action> list{
        {QStringLiteral("login (with the project list)"),
         {consultants, projects, logins},
         {},
         [=](Program& p, int i) { return p.login(person(i)); },
         positive,
         [=](const Workload& wl, int i) { return baselineLogin(wl, person(i)); },
         positive,
         [=](int i) { return person(i).number; }},
        {QStringLiteral("project choice"),
         {projects, clients, reports},
         [=](Program& p, int i) { p.prepareProject(project(i)); },
         [=](Program& p, int i) { return p.chooseProject(project(i)); },
         one,
         [=](const Workload& wl, int i) { return baselineChooseProject(wl, project(i)); },
         one,
         [=](int i) { return project(i).code.left(4); }},
        {QStringLiteral("open month (stored)"),
         {reports},
         [=, &w](Program& p, int i) { p.prepareMonth(key(w.storedKeys, i)); },
         [=, &w](Program& p, int i) { return p.openMonth(key(w.storedKeys, i), true); },
         one,
         [=](const Workload& wl, int i) { return baselineOpenMonth(wl, key(wl.storedKeys, i)); },
         positive,
         [=, &w](int i) { return ownerOfKey(key(w.storedKeys, i)); }},
        {QStringLiteral("open month (new)"),
         {reports},
         [=, &w](Program& p, int i) { p.prepareMonth(key(w.missingKeys, i)); },
         [=, &w](Program& p, int i) { return p.openMonth(key(w.missingKeys, i), false); },
         one,
         [=](const Workload& wl, int i) { return baselineOpenMonth(wl, key(wl.missingKeys, i)); },
         [](int r) { return r == 0; },
         [=, &w](int i) { return ownerOfKey(key(w.missingKeys, i)); }},
        {QStringLiteral("save (existing row)"),
         {reports},
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.saveKeys, i)); },
         [](Program& p, int) { return p.save(); },
         one,
         [=](const Workload& wl, int i) { return baselineSave(wl, key(wl.saveKeys, i)); },
         one,
         [=, &w](int i) { return ownerOfKey(key(w.saveKeys, i)); }},
        // Every sample saves a month for the first time.
        {QStringLiteral("save (new row)"),
         {reports},
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.appendKeys, i)); },
         [](Program& p, int) { return p.save(); },
         one,
         [=](const Workload& wl, int i) { return baselineSave(wl, key(wl.oldAppendKeys, i)); },
         one,
         [=, &w](int i) { return ownerOfKey(key(w.appendKeys, i)); }},
        {QStringLiteral("declare"),
         {reports, declarations},
         [=, &w](Program& p, int i) { p.prepareOpenMonth(key(w.declareKeys, i)); },
         [](Program& p, int) { return p.declare(); },
         one,
         [=](const Workload& wl, int i) { return baselineDeclare(wl, key(wl.declareKeys, i)); },
         one,
         [=, &w](int i) { return ownerOfKey(key(w.declareKeys, i)); }},
        {QStringLiteral("check: last earlier declaration"),
         {declarations},
         {},
         [=, &w](Program& p, int i) { return p.lastDeclaration(w.earlierKeys[i % w.earlierKeys.size()]); },
         one,
         [=](const Workload& wl, int i) {
             return baselineLastDeclaration(wl, wl.earlierKeys[i % wl.earlierKeys.size()]);
         },
         one,
         [&w](int i) { return w.earlierKeys[i % w.earlierKeys.size()].consultant; }},
        {QStringLiteral("ticker refresh"),
         {messages},
         {},
         [](Program& p, int) { return p.ticker(); },
         positive,
         [](const Workload& wl, int) { return baselineTicker(wl); },
         positive,
         // The ticker's connection is opened once, as whoever is logged in.
         [&w](int) { return w.people.first().number; }},
        {QStringLiteral("logoff"),
         {consultants},
         {},
         [=](Program& p, int i) { return p.logoff(person(i)); },
         one,
         [=](const Workload& wl, int i) { return baselineLogoff(wl, person(i)); },
         one,
         [=](int i) { return person(i).number; }},
        {QStringLiteral("year overview"),
         {projects, reports, declarations},
         {},
         [&w](Program& p, int i) { return p.yearOverview(w.years[i % w.years.size()]); },
         one,
         {},
         {},
         [&w](int i) { return w.years[i % w.years.size()].consultant; }},
    };
    if (!ownAccounts)
        return list;
    // What a call costs, on the same connection as the actions.
    list << Action{CallCost::connect(),
                   {},
                   {},
                   [=](Program& p, int i) { return p.connect(person(i)); },
                   one,
                   {},
                   {},
                   {}}
         << Action{CallCost::bare(),
                   {},
                   {},
                   [](Program& p, int) { return p.bareStatement(); },
                   one,
                   {},
                   {},
                   [=](int i) { return person(i).number; }}
         << Action{CallCost::empty(),
                   {},
                   {},
                   [=](Program& p, int i) { return p.emptyCall(person(i)); },
                   one,
                   {},
                   {},
                   [=](int i) { return person(i).number; }};
    return list;
}

} // namespace dl::bench
