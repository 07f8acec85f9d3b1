#pragma once
// The credential check of the login form, without widgets: find the
// consultant's row exactly, collect the project list, mark the consultant
// online, and the texts built from the row.

#include "core/clock.h"
#include "data/keptconnection.h"
#include "data/records.h"
#include "data/settings.h"

#include <QStringList>
#include <QTime>

#include <functional>

#include <optional>

namespace dl {

// What a successful login puts on the main form and into the Session.
struct ConsultantLogin {
    QString number;         // consultantnummer, for Text1
    QString consultantName; // stored form: title and first name without a blank
    QString fullName;       // shown form: every part separated by a blank
    QString greeting;       // 21 characters
    QStringList projectEntries;
};

// "Goede morgen         " (0-11), "Goede middag         " (12-17),
// "Goede avond          " (18-23).
QString greetingFor(const QTime& time);

// The code in a column of 25 characters, then the description.
QString projectListEntry(const QString& code, const QString& description);

// NULL columns count as empty text.
QString storedConsultantName(const Row& consultant);
QString fullConsultantName(const Row& consultant);

// "Uw inlog gegevens zijn niet gevonden en mag nog 2 keer proberen." after
// the first failed attempt, ... and the closing message from the third on.
struct FailedAttempt {
    QString message;
    bool endsProgram = false;
};
FailedAttempt failedAttempt(int attempts);

// An account the server blocked after wrong passwords, or the office locked.
QString accountLockedText();

// The program's shared account was refused the consultants: the login must
// go as the consultant's own account.
class SharedAccountSwitched : public DbError {
public:
    explicit SharedAccountSwitched(const DbError& e) : DbError(e) {}
};

// How the consultant's own account logs in: as LOGIN exactly, with the typed
// password, through the views.
Connection::Login ownAccount(const QString& loginName, const QString& password);

class LoginService {
public:
    LoginService(KeptConnection& db, const Clock& clock) : m_db(db), m_clock(clock) {}

    // What else a login writes, on the login's connection and in the same
    // transaction as the online mark.
    using AlsoWrite = std::function<void(Connection&, const ConsultantLogin&)>;

    // Empty when no row has exactly this login name and password (as the
    // consultant's own account: no row of the own). On success
    // the row is marked online with the moment of login, and alsoWrite runs
    // before the commit: both are written or neither. Throws DbError;
    // SharedAccountSwitched when the shared account was refused the consultants.
    // As the consultant's own account the server's login call marks the row,
    // writes the login record with ownRecord's values and answers the row
    // and the projects; alsoWrite is not run.
    std::optional<ConsultantLogin> logIn(const QString& loginName, const QString& password,
                                         const AlsoWrite& alsoWrite = {}, const Values& ownRecord = {});

private:
    KeptConnection& m_db;
    const Clock& m_clock;
};

} // namespace dl
