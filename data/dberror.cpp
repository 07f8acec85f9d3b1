#include "data/dberror.h"

namespace dl {

DbError::DbError(int number, const QString& description)
    : std::runtime_error(QString(QString::number(number) + u' ' + description).toStdString()),
      m_number(number), m_description(description)
{
}

QString DbError::errorLine() const
{
    return QStringLiteral("Fout %1: %2").arg(m_number).arg(m_description);
}

bool isLockedBySwitch(const DbError& e)
{
    return e.number() == 4151;
}

bool isSwitchedAway(const DbError& e)
{
    return e.errorClass() == ErrorClass::ConsultantRefused || isLockedBySwitch(e);
}

ErrorClass errorClass(int number)
{
    switch (number) {
    // 2002/2003 cannot connect, 2005 unknown host, 2006 gone away, 2013 lost
    // during query, 2055 lost at reading, 1927 killed connection, 1053 server
    // shutting down, 4031 ended by the server for being idle too long, 5013
    // and 5014 the line broke while reading or writing, 1047 a cluster node
    // that is not ready for clients (it refuses every statement before doing
    // anything; another node may take the work).
    case 1047:
    case 1053:
    case 1927:
    case 2002:
    case 2003:
    case 2005:
    case 2006:
    case 2013:
    case 2055:
    case 4031:
    case 5013:
    case 5014:
        return ErrorClass::LostLine;
    // 1040 too many connections, 1129 host blocked after connect errors, 1203
    // the account's connections at this node's limit, 1226 an account limit
    // (connections or queries per hour) counted per node; 2026 a line TLS
    // could not protect: the certificate or the offer is this node's.
    case 1040:
    case 1129:
    case 1203:
    case 1226:
    case 2026:
        return ErrorClass::ThisNodeOnly;
    // 1049 unknown database: the office's databases are the same on every node.
    case 1049:
        return ErrorClass::EveryNode;
    // 1045 a login name or password the server does not know; 1698 the same
    // for an account without a password (told alike: it would tell which
    // names exist). Accounts are the same on every node. 5010: the server
    // asked for the password in a way an own account does not answer, which
    // it also does for a name it does not know.
    case 1045:
    case 1698:
    case 5010:
        return ErrorClass::AccountRefused;
    // 4150 (MySQL 3955) blocked after too many wrong passwords, 4151 locked
    // by the office (told only after a right password). The office lifts
    // both; another node would merely count more wrong passwords.
    case 3955:
    case 4150:
    case 4151:
        return ErrorClass::AccountLocked;
    // 1862 at the connect, 1820 on the first statement of a session whose
    // password expired.
    case 1820:
    case 1862:
        return ErrorClass::PasswordExpired;
    case 1819:
        return ErrorClass::PasswordRefused;
    // 1044 no access to the database, 1142 to a table, 1143 to a column,
    // 1227 a privilege the statement needs.
    case 1044:
    case 1142:
    case 1143:
    case 1227:
        return ErrorClass::ConsultantRefused;
    default:
        return ErrorClass::Statement;
    }
}

} // namespace dl
