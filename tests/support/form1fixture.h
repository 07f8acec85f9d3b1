#pragma once
// The main form for the tests that look at it: bare as the form builds it,
// or wired by the start-up with every controller, with November 2026 shown.

#include "app/startup.h"
#include "core/clock.h"
#include "core/session.h"
#include "declaration/form1.h"
#include "declaration/reportrecord.h"
#include "support/fakes.h"
#include "ui/controls.h"

#include <memory>

namespace dl::test {

inline const QDateTime kDecember2026(QDate(2026, 12, 7), QTime(9, 30));

struct Form1Fixture {
    Session m_session;
    FakeMessages m_messages;
    FixedClock m_clock{kDecember2026};
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<Startup> m_startup;

    // The main form as the program builds and wires it: whatever the
    // controllers do to a field comes on top of what the form built.
    Form1& wiredForm()
    {
        StartupSeams seams;
        seams.printers = std::make_unique<FakePrinters>();
        seams.files = std::make_unique<FakeFiles>();
        seams.locale = QLocale(QLocale::Dutch, QLocale::Netherlands);
        m_startup = std::make_unique<Startup>(*m_ctx, std::move(seams));
        return m_startup->mainForm();
    }

    // The wired form with November 2026 shown as month selection shows it:
    // the day labels of its 30 days, slot 31 hidden.
    Form1& wiredNovember()
    {
        Form1& form = wiredForm();
        for (int n = 1; n <= 30; ++n)
            form.controls().setText(element(u"Text23"_qs, n), report::dayLabel(QDate(2026, 11, n)));
        for (int p = 0; p < 5; ++p)
            form.controls().setShown(report::slotControl(p, 31), false);
        return form;
    }

    static void fillForAPicture(FormControls& c)
    {
        c.setText(u"Label1"_qs, u"Goedemorgen          Jan de Vries"_qs);
        c.setText(u"Text1"_qs, u"0042"_qs);
        c.setText(u"Text22"_qs, u"Projectnaam      :   Advies herinrichting havenkade    November  2026"_qs);
        c.setText(u"Text30"_qs, u"Opdrachtgever :   Havenbedrijf Zandmeer"_qs);
        c.setText(u"Text31"_qs, u"Omschrijving     :   Herinrichting van de oostkade"_qs);
        c.setText(u"Text32"_qs, u"Aangemaakt       : 02-november-2026  08:12:40"_qs);
        c.setText(u"Text37"_qs, u"Laatst opgeslagen: 'NOG NIET OPGESLAGEN'"_qs);
        for (int n = 2; n <= 27; ++n) {
            if (QDate(2026, 11, n).dayOfWeek() >= 6)
                continue;
            c.setText(element(u"Text24"_qs, n), n % 4 ? u"Overleg ontwerp kademuur"_qs
                                                      : u"Inspectie kademuur, verslag havenmeester"_qs);
            c.setText(element(u"Text25"_qs, n), n % 3 ? u"P. Jansen"_qs : u"M. van der Meulen-Bakker"_qs);
            c.setText(element(u"Text26"_qs, n), n % 5 ? u"8"_qs : u"4"_qs);
            c.setText(element(u"Text27"_qs, n), n % 2 ? u"42"_qs : u"0"_qs);
        }
        c.setText(u"Text36"_qs, u"Parkeren Zandmeer"_qs);
        c.setText(u"Text33"_qs, u"23"_qs);
        c.setText(u"Text34"_qs, u"50"_qs);
    }

    Form1& makeForm(const QLocale& locale = QLocale(QLocale::Dutch, QLocale::Netherlands))
    {
        m_form = std::make_unique<Form1>(*m_ctx, nullptr, locale);
        return *m_form;
    }

    void initFixture()
    {
        m_clock.set(kDecember2026);
        m_ctx = std::make_unique<AppContext>(AppContext{m_session, m_messages, m_clock, {}});
        makeForm();
    }
    void cleanupFixture()
    {
        m_form.reset();
        m_startup.reset();
    }
};

} // namespace dl::test
