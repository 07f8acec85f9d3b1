#pragma once
// Small helpers for tests that drive the main form's controls.

#include "app/clock.h"
#include "app/context.h"
#include "app/controls.h"
#include "declaration/form1.h"
#include "support/fakes.h"

#include <QLineEdit>
#include <QTest>

namespace dl::test {

// Replaces the text of a field the way a user does: select all, type.
inline void typeInto(QLineEdit* e, const QString& keys)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, keys);
}

inline QString hoursSlot(int n)
{
    return element(QStringLiteral("Text26"), n);
}

inline QString kmSlot(int n)
{
    return element(QStringLiteral("Text27"), n);
}

// A main form on a fixed day (15 March 2008, 09:00) with recording message
// boxes; tests add the controllers they drive.
struct FormFixture {
    FormControls& c() { return form.controls(); }
    QString text(const QString& name) { return c().text(name); }
    QLineEdit* edit(const QString& name) { return c().get<QLineEdit>(name); }
    void typeInto(const QString& name, const QString& keys) { test::typeInto(edit(name), keys); }

    Session session;
    FakeMessages messages;
    FixedClock clock{QDateTime(QDate(2008, 3, 15), QTime(9, 0))};
    AppContext ctx{session, messages, clock, ServerAddress{}};
    Form1 form{ctx};
};

} // namespace dl::test
