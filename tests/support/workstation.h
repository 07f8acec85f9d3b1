#pragma once
// One workstation of a consultant: the main form with its project, month,
// save and declare actions, the login form and the logoff, against a given
// server, with message boxes that record their texts and answer Yes.

#include "core/clock.h"
#include "core/context.h"
#include "declaration/form1.h"
#include "declaration/monthselection.h"
#include "fakes.h"
#include "submit/declareaction.h"
#include "submit/saveaction.h"

#include <QMap>

#include <memory>

namespace dl {
class LoginForm;
}

namespace dl::test {

class Workstation {
public:
    explicit Workstation(const ServerList& server,
                         const QDateTime& now = QDateTime(QDate(2026, 3, 27), QTime(16, 4, 9)));
    ~Workstation();

    FormControls& c() { return form.controls(); }
    QString text(const QString& name) const { return form.controls().text(name); }

    // A login form of its own, created on first use; its login also writes
    // the login record. True when the main form took the consultant.
    LoginForm& loginForm();
    bool logIn(const QString& name, const QString& password);
    // As a login leaves the main form, without the database.
    void pretendLoggedIn(const QString& number, const QString& consultantName);
    // The Combo1 click for this entry; false when an error message came.
    bool chooseProject(const QString& entry);
    void pickMonth(const QString& year, const QString& entry);
    // Every slot's activity, contact, hours and kilometres, the expense line
    // and the summary fields, all carrying marker.
    void fillIn(const QString& marker);
    // Image2: marks the consultant offline; false when that was not recorded.
    bool logOff();

    // Every named control of both forms: text, shown, and for lists the items.
    QMap<QString, QString> snapshot() const;
    // The last box was an error of the database.
    bool lastWasError() const;

    Session session;
    FakeMessages messages;
    FixedClock clock;
    AppContext ctx;
    Form1 form;
    MonthSelection months;
    SaveAction save;
    DeclareAction declare;
    int quits = 0;

private:
    std::unique_ptr<LoginForm> m_login;
};

// The Dutch regional settings every workstation of the office has.
const QLocale& dutch();

} // namespace dl::test
