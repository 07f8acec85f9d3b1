#include "data/dberror.h"

#include <QSqlError>

namespace dl {

DbError::DbError(int number, const QString& description)
    : std::runtime_error(QString(QString::number(number) + u' ' + description).toStdString()),
      m_number(number), m_description(description)
{
}

DbError DbError::fromSql(const QSqlError& error, const QString& context)
{
    bool ok = false;
    int number = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        number = 2000;  // the client library's "unknown error"
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (!context.isEmpty())
        text = context + QStringLiteral(": ") + text;
    return DbError(number, text);
}

bool DbError::isConnectionLoss() const
{
    // 2002/2003 cannot connect, 2006 gone away, 2013 lost during query,
    // 2055 lost at reading, 1927 killed connection.
    return m_number == 2002 || m_number == 2003 || m_number == 2005 || m_number == 2006
        || m_number == 2013 || m_number == 2055 || m_number == 1927;
}

} // namespace dl
