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

bool DbError::isConnectionLoss() const
{
    // 2002/2003 cannot connect, 2005 unknown host, 2006 gone away, 2013 lost
    // during query, 2055 lost at reading, 1927 killed connection, 1053 server
    // shutting down, 4031 ended by the server for being idle too long, 5013
    // and 5014 the line broke while reading or writing, 1047 a cluster node
    // that is not ready for clients (it refuses every statement before doing
    // anything; another node may take the work).
    switch (m_number) {
    case 1047:
    case 2002:
    case 2003:
    case 2005:
    case 2006:
    case 2013:
    case 2055:
    case 1927:
    case 1053:
    case 4031:
    case 5013:
    case 5014:
        return true;
    default:
        return false;
    }
}

} // namespace dl
