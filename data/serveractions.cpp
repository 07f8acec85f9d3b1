#include "data/serveractions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QUuid>

namespace dl {

ActionId ActionId::make()
{
    ActionId id;
    id.m_bytes = QUuid::createUuid().toRfc4122();
    return id;
}

bool actsThroughProcedures(const Connection& c)
{
    return c.tableNames() == TableNames::OwnAccount;
}

namespace {

QString callText(const char* procedure, qsizetype values)
{
    QStringList marks;
    for (qsizetype i = 0; i < values; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("CALL ") + Connection::quoteIdentifier(QLatin1String(kOwnDatabase)) + u'.' +
           Connection::quoteIdentifier(QLatin1String(procedure)) + u'(' + marks.join(QStringLiteral(", ")) +
           u')';
}

} // namespace

Row callAction(Connection& c, const char* procedure, const QVariantList& values)
{
    Result answer = callRows(c, procedure, values);
    if (!answer.next())
        throw DbError(1305,
                      QStringLiteral("De server gaf geen antwoord op %1.").arg(QLatin1String(procedure)));
    return answer.row();
}

namespace {

class Repeatable {
public:
    explicit Repeatable(Connection& c) : m_c(c) { m_c.setRepeatable(true); }
    ~Repeatable() { m_c.setRepeatable(false); }
    Repeatable(const Repeatable&) = delete;
    Repeatable& operator=(const Repeatable&) = delete;

private:
    Connection& m_c;
};

} // namespace

Result callRows(Connection& c, const char* procedure, const QVariantList& values)
{
    const Repeatable repeatable(c);
    return c.exec(callText(procedure, values.size()), values);
}

QList<Result> callResults(Connection& c, const char* procedure, const QVariantList& values)
{
    const Repeatable repeatable(c);
    if (values.isEmpty())
        return {c.exec(callText(procedure, 0))};
    return c.execAll(callText(procedure, values.size()), values);
}

QString textsAsJson(const QStringList& texts)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

QString columnsAsJson(const Values& columns)
{
    QJsonObject o;
    for (const auto& [column, value] : columns) {
        const int type = value.metaType().id();
        // A number as the server reads one, not in its Dutch form.
        const QString text = type == QMetaType::Double || type == QMetaType::Float
                                 ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
                                 : Row::textOf(value);
        o.insert(column, value.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text));
    }
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

} // namespace dl
