#pragma once
// The login record: one LOGINconsultant row per successful login, with when,
// who and on which workstation. Only recorded, never read back.

#include "core/context.h"
#include "data/records.h"
#include "login/workstation.h"

#include <QDateTime>
#include <QLocale>

namespace dl {

// "2026/07/12   14:05:09": the date with the locale's separator, three blanks,
// the time in the locale's time format.
QString loginStamp(const QDateTime& now, const QLocale& locale);

// The eight columns in the order they are written.
Values loginRecordValues(const Session& session);

class LoginAudit {
public:
    explicit LoginAudit(AppContext& context, WorkstationReader reader = WorkstationReader(),
                        QLocale locale = QLocale::system());

    // Runs after the consultant's name and the printer are in the Session.
    // The workstation is read first and never stops the login; a failing
    // write throws DbError. The first form opens a connection of its own;
    // the second writes on the caller's, inside the caller's transaction.
    void write();
    void write(Connection& c);

    // For a consultant's own account, whose login call writes the record:
    // the values before the call (the name is the server's), and the
    // Session taking them once the call went through.
    Values recordValues();
    void keep(const Values& recorded);

private:
    AppContext& m_ctx;
    WorkstationReader m_reader;
    QLocale m_locale;
};

} // namespace dl
