#pragma once
// The program as Startup builds it, on the demo data, logged in as its
// consultant by keys and clicks, with message boxes that stay open a while
// with the window's events running, as real ones do.

#include "app/startup.h"
#include "core/clock.h"
#include "core/context.h"
#include "declaration/form1.h"
#include "support/fakes.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace dl::test {

class LoggedIn {
public:
    explicit LoggedIn(const QDateTime& now = QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9)));
    ~LoggedIn();

    // Logs in as "anna"; false when the main form did not come up. adjust
    // changes the machine the tests give before the start.
    bool start(const std::function<void(StartupSeams&)>& adjust = {});
    QString draftFolder() const { return m_drafts.path(); }
    Form1& form() { return m_startup->mainForm(); }
    FormControls& c() { return form().controls(); }

    // Each key to where the keyboard's focus is: the box's opened list or
    // the window's focus widget.
    void press(const QList<int>& keys);

    Session session;
    FakeMessages messages;
    FixedClock clock;
    AppContext ctx;

private:
    QTemporaryDir m_drafts;
    std::unique_ptr<Startup> m_startup;
};

} // namespace dl::test
