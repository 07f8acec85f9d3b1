// Round trips per action, counted on the wire by a proxy between the program
// and the server: a consultant at home waits about 20 ms for each one, so an
// action that needs more than it did is a regression however fast the
// server answers here.

#include "declaration/ticker.h"
#include "submit/yearoverview.h"
#include "support/faultproxy.h"
#include "support/testdb.h"
#include "support/workstation.h"

#include <QSignalSpy>
#include <QtTest>

using namespace dl;
using namespace dl::test;

namespace {

const QString kGlas = u"0042-GLAS                Begeleiding aanleg glasvezelnet"_qs;

} // namespace

class TestRoundTrips : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestDb::loadDemo(); }

    // The whole road of one consultant, action by action, against the most
    // each may take (the connection's opening is the login's).
    void typicalRoad()
    {
        FaultProxy proxy(&TestDb::server);
        Workstation w(proxy.address());
        QStringList over;
        QStringList counted;
        const auto count = [&](const char* action, int most, const std::function<bool()>& run) {
            const int before = proxy.roundTrips();
            const bool ok = run();
            const int used = proxy.roundTrips() - before;
            counted << u"%1 %2"_qs.arg(QLatin1String(action)).arg(used);
            if (!ok)
                over << QLatin1String(action) + u" failed: "_qs + w.messages.last();
            else if (used > most)
                over << u"%1: %2 round trips, at most %3"_qs.arg(QLatin1String(action)).arg(used).arg(most);
        };
        count("login", 12, [&] { return w.logIn(u"anna"_qs, u"geheim"_qs); });
        count("project choice", 2, [&] { return w.chooseProject(kGlas); });
        count("open month (new)", 2, [&] {
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
            return w.session.reportKey == u"2026_03_0042-GLAS"_qs;
        });
        w.c().setText(u"Text26(2)"_qs, u"8"_qs);
        count("save (new row)", 5, [&] {
            w.save.run();
            return w.messages.last().startsWith(u"Rapport is opgeslagen"_qs);
        });
        w.pickMonth(u"2026"_qs, u"02 Februari "_qs);
        count("open month (stored)", 2, [&] {
            w.pickMonth(u"2026"_qs, u"03 Maart "_qs);
            return w.text(u"Text26(2)"_qs) == u"8"_qs;
        });
        w.c().setText(u"Text26(3)"_qs, u"7"_qs);
        count("save (existing row)", 5, [&] {
            w.save.run();
            return w.messages.last().startsWith(u"Rapport is opgeslagen"_qs);
        });
        count("declare, the project chosen again", 10, [&] {
            w.messages.choiceAnswers.enqueue(1); // whatever the check finds, the consultant goes on
            w.declare.run();
            return TestDb::count(u"torvakdb_TORVAKdeclaraties.Declaraties"_qs) == 1;
        });
        // Both projects of the list, the year's reports and declarations.
        count("year overview", 2, [&] {
            const year::Stored s = w.ctx.db().run([&](Connection& c) {
                return year::read(c, u"2026"_qs, u"0042"_qs, {u"0042-GLAS"_qs, u"0042-HAVEN"_qs});
            });
            const year::Overview o = year::build(u"2026"_qs, u"0042"_qs, s, {});
            qInfo("year overview: %s, %s, %s", qPrintable(o.declared), qPrintable(o.projectHours.join(u' ')),
                  qPrintable(o.cells.value(0)[2].text));
            return o.cells.size() == 2 && o.declared != u"0,00"_qs &&
                   o.cells[0][2].state == year::State::Declared && o.projectHours.value(0) == u"15"_qs;
        });
        count("logoff", 4, [&] { return w.logOff(); });

        // The ticker's own connection, opened by its first refresh.
        Ticker ticker(w.form, w.ctx);
        const auto refresh = [&] {
            QSignalSpy done(&ticker, &Ticker::refreshed);
            ticker.refresh();
            const bool ok = done.wait(15000) && ticker.trouble().isEmpty();
            if (!ok)
                qWarning("ticker: %s", qPrintable(ticker.trouble()));
            return ok;
        };
        QVERIFY(refresh());
        count("ticker refresh", 1, refresh);
        qInfo("FIGURES round trips: %s; %d connections in all", qPrintable(counted.join(u", "_qs)),
              proxy.connections());
        QVERIFY2(over.isEmpty(), qPrintable(over.join(u'\n')));
        // One for the window, one for the ticker.
        QCOMPARE(proxy.connections(), 2);
    }
};

QTEST_MAIN(TestRoundTrips)
#include "tst_roundtrips.moc"
