#pragma once
// A failing database call: the server's error number and description.

#include <QString>

#include <stdexcept>

namespace dl {

// What a failure says about where the work can go next.
enum class ErrorClass {
    LostLine,          // the line to the node broke or never came: another node may take the work
    ThisNodeOnly,      // this node refused for its own reasons (full, host blocked, limits): try the next
    EveryNode,         // every node answers the same (account, database): the list ends here
    ConsultantRefused, // the account may not do what was asked: the same everywhere
    Statement,         // an answer about the statement itself (locks, values, a changed row)
    // The consultant's own account, the same on every node:
    AccountRefused,  // no such login name or not its password
    AccountLocked,   // blocked after failed passwords, or locked by the office
    PasswordExpired, // the office made the password expire: a new one first
    PasswordRefused, // the server's password check refused a new password
};

// The one table of error numbers and their class.
ErrorClass errorClass(int number);

class DbError;
// The program's shared account turned away by the office's switch to
// accounts of their own: its rights taken (1044, 1142), or, since
// schema/switch_shared_account.sql locks it, the account locked (4151).
bool isSwitchedAway(const DbError& e);
// The locked kind of that: nothing opens as the shared account at all.
bool isLockedBySwitch(const DbError& e);

class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    ErrorClass errorClass() const { return dl::errorClass(m_number); }
    // "Fout 1205: ...": the line every message about a failed call shows.
    QString errorLine() const;
    // The server asked us to try again (deadlock, lock wait timeout).
    bool isRetryable() const { return m_number == 1213 || m_number == 1205; }
    // The server could not be reached, the connection broke, or the cluster
    // node is not ready for clients.
    bool isConnectionLoss() const { return errorClass() == ErrorClass::LostLine; }
    // The line to the server could not be protected as the TLS settings ask
    // (the connector's CR_SSL_CONNECTION_ERROR); the description says why.
    bool isTlsRefusal() const { return m_number == 2026; }
    // The line broke after a write was sent that the server may have carried
    // out (a COMMIT, or a write outside a transaction): it must not be sent
    // again before the rows have been looked at.
    bool outcomeUnknown() const { return m_outcomeUnknown; }
    void setOutcomeUnknown() { m_outcomeUnknown = true; }

private:
    int m_number;
    QString m_description;
    bool m_outcomeUnknown = false;
};

} // namespace dl
