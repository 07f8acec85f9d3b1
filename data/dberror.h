#pragma once
// A failing database call: the server's error number and description.

#include <QString>

#include <stdexcept>

class QSqlError;

namespace dl {

class DbError : public std::runtime_error {
public:
    DbError(int number, const QString& description);
    static DbError fromSql(const QSqlError& error, const QString& context = {});

    int number() const { return m_number; }
    QString description() const { return m_description; }
    // The server asked us to try again (deadlock, lock wait timeout).
    bool isRetryable() const { return m_number == 1213 || m_number == 1205; }
    // The server could not be reached or the connection broke.
    bool isConnectionLoss() const;

private:
    int m_number;
    QString m_description;
};

} // namespace dl
