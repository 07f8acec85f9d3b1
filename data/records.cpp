#include "data/records.h"

#include "data/dutchnumbers.h"
#include "data/tables.h"

#include <QHash>
#include <QMetaType>
#include <QMutex>

#include <algorithm>

namespace dl {

namespace {

QMutex g_schemaMutex;
QHash<QString, QStringList> g_primaryKeys;

QString likePrefix(const QString& value)
{
    QString out;
    out.reserve(value.size() + 1);
    for (const QChar ch : value) {
        if (ch == u'!' || ch == u'%' || ch == u'_')
            out += u'!';
        out += ch;
    }
    return out + u'%';
}

// The driver binds a null QString as NULL; an empty text box is "" in the table.
QVariant bindable(const QVariant& v)
{
    if (!v.isNull() && v.metaType().id() == QMetaType::QString && v.toString().isNull())
        return QStringLiteral("");
    return v;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return Row::textOf(a) == Row::textOf(b) && a.toString() == b.toString();
}

// The row as read now holds what `before` held, column for column. Rows of
// one "SELECT *" list their columns in one order, so a column is looked up
// by name only where the orders differ (a lookup by name per column made
// checking a 165-column report cost a millisecond).
bool sameRow(const Row& now, const Row& before)
{
    if (now.count() != before.count() || !now.shape() || !before.shape())
        return false;
    const Columns& nowCols = *now.shape();
    const Columns& beforeCols = *before.shape();
    for (int i = 0; i < before.count(); ++i) {
        const QString& name = beforeCols.names[i];
        const int j = nowCols.names[i] == name ? i : nowCols.indexOf(name);
        if (j < 0 || !sameValue(now.value(j), before.value(i)))
            return false;
    }
    return true;
}

bool isCollationMix(int number)
{
    // Illegal mix of collations for two operands, three, or an operation.
    return number == 1267 || number == 1270 || number == 1271;
}

bool anyBeyondAscii(const QList<Match>& where)
{
    for (const Match& m : where) {
        for (const QChar ch : m.value) {
            if (ch.unicode() > 0x7f)
                return true;
        }
    }
    return false;
}

} // namespace

QVariant Row::value(const QString& column) const
{
    const int i = m_columns ? m_columns->indexOf(column) : -1;
    if (i < 0)
        throw DbError(1054, QStringLiteral("Onbekende kolom '%1'").arg(column));
    return m_values.value(i);
}

QString Row::textOf(const QVariant& v)
{
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return generalNumberText(v.toDouble());
    default:
        return v.toString();
    }
}

QString Row::text(const QString& column) const
{
    return textOf(value(column));
}

bool Records::exactlyMatches(const Row& row, const QList<Match>& where)
{
    for (const Match& m : where) {
        const QVariant v = row.value(m.column);
        if (v.isNull())
            return false;
        const QString t = Row::textOf(v);
        if (m.prefix ? !t.startsWith(m.value) : t != m.value)
            return false;
    }
    return true;
}

QStringList Records::primaryKey(const TableRef& table)
{
    const TableNames names = m_c.tableNames();
    // The program's account after the switch reads the message and nothing
    // else, not even the keys: it neither asks for them nor keeps an answer
    // that would say every other table had none.
    if (names == TableNames::MessageOnly)
        return table.name == tables::messages().name ? QStringList{QStringLiteral("id")} : QStringList{};
    const auto nameOf = [names](const TableRef& t) -> QString {
        return databaseName(t.db, names) + u'.' + t.name;
    };
    {
        QMutexLocker lock(&g_schemaMutex);
        const auto it = g_primaryKeys.constFind(nameOf(table));
        if (it != g_primaryKeys.constEnd())
            return *it;
    }
    // The first table asked for brings the keys of all the program's tables,
    // in one round trip; a table without one is remembered as such.
    QList<TableRef> wanted = tables::all();
    const bool ours = std::any_of(wanted.cbegin(), wanted.cend(), [&](const TableRef& t) {
        return t.db == table.db && t.name == table.name;
    });
    QHash<QString, QStringList> found;
    if (names == TableNames::OwnAccount) {
        // A view shows no key in information_schema; the office's view of
        // the keys names the tables behind the program's views.
        if (!ours)
            return {};
        for (const TableRef& t : std::as_const(wanted))
            found.insert(nameOf(t), {});
        Result q = m_c.exec(QStringLiteral("SELECT TABLE_NAME, COLUMN_NAME FROM ") +
                            Connection::quoteIdentifier(QLatin1String(kOwnDatabase)) +
                            QStringLiteral(".`Sleutels` ORDER BY TABLE_NAME, ORDINAL_POSITION"));
        while (q.next()) {
            for (const TableRef& t : std::as_const(wanted)) {
                if (q.value(0).toString().compare(t.name, Qt::CaseInsensitive) == 0)
                    found[nameOf(t)] << q.value(1).toString();
            }
        }
    } else {
        if (!ours)
            wanted = {table};
        for (const TableRef& t : std::as_const(wanted))
            found.insert(nameOf(t), {});
        QVariantList binds;
        Result q = m_c.exec(
            QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, @@lower_case_table_names FROM "
                           "information_schema.KEY_COLUMN_USAGE WHERE CONSTRAINT_NAME = 'PRIMARY' AND (") +
                schemaTableConditions(wanted, binds) + QStringLiteral(") ORDER BY ORDINAL_POSITION"),
            binds);
        while (q.next()) {
            // information_schema compares names by its own collation; the client decides.
            for (const TableRef& t : std::as_const(wanted)) {
                if (isSchemaRowOf(t, q.value(0).toString(), q.value(1).toString(), q.value(3).toInt()))
                    found[nameOf(t)] << q.value(2).toString();
            }
        }
    }
    QMutexLocker lock(&g_schemaMutex);
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        g_primaryKeys.insert(it.key(), it.value());
    return found.value(nameOf(table));
}

QString Records::orderByKey(const TableRef& table)
{
    const QStringList pk = primaryKey(table);
    if (pk.isEmpty())
        return {};
    QStringList order;
    for (const QString& c : pk)
        order << Connection::quoteIdentifier(c);
    return QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
}

void Records::forgetSchema()
{
    QMutexLocker lock(&g_schemaMutex);
    g_primaryKeys.clear();
}

void Records::visit(const TableRef& table, const QList<Match>& where,
                    const std::function<bool(const Row&)>& fn, bool forUpdate)
{
    QString sql = QStringLiteral("SELECT * FROM ") + m_c.qualified(table);
    QVariantList binds;
    QStringList conds;
    for (const Match& m : where) {
        if (m.prefix) {
            conds << Connection::quoteIdentifier(m.column) + QStringLiteral(" LIKE ? ESCAPE '!'");
            binds << likePrefix(m.value);
        } else {
            conds << Connection::quoteIdentifier(m.column) + QStringLiteral(" = ?");
            binds << bindable(m.value);
        }
    }
    if (!conds.isEmpty())
        sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    sql += orderByKey(table);
    if (forUpdate)
        sql += QStringLiteral(" FOR UPDATE");
    Result q;
    try {
        q = m_c.exec(sql, binds);
    } catch (const DbError& e) {
        // The server refuses to compare a column with text its character set
        // cannot hold (a Greek login name against a latin1 table): no row
        // holds that text, so none matches.
        if (!(isCollationMix(e.number()) && anyBeyondAscii(where)))
            throw;
        return;
    }
    while (q.next()) {
        const Row row = q.row();
        if (!exactlyMatches(row, where))
            continue;
        if (!fn(row))
            break;
    }
}

std::optional<Row> Records::findFirst(const TableRef& table, const QList<Match>& where)
{
    std::optional<Row> found;
    visit(table, where, [&](const Row& r) {
        found = r;
        return false;
    });
    return found;
}

std::optional<Row> Records::findFirstForUpdate(const TableRef& table, const QList<Match>& where)
{
    std::optional<Row> found;
    visit(
        table, where,
        [&](const Row& r) {
            found = r;
            return false;
        },
        true);
    return found;
}

std::optional<Row> Records::firstRow(const TableRef& table, const std::optional<TableRef>& readableToo)
{
    QString sql = QStringLiteral("SELECT * FROM ") + m_c.qualified(table);
    // Reads no row of the other table, but needs the right to.
    if (readableToo)
        sql += QStringLiteral(" WHERE NOT EXISTS (SELECT 1 FROM ") + m_c.qualified(*readableToo) +
               QStringLiteral(" WHERE FALSE)");
    const QString order = orderByKey(table);
    Result q;
    try {
        q = m_c.exec(sql + order + QStringLiteral(" LIMIT 1"));
    } catch (const DbError& e) {
        // The order is the program's own, by a key that may be gone: the
        // account that reads the message alone takes `id` unasked, and the
        // office may drop a key while the program runs (the key known is
        // read again next time).
        if (e.number() != 1054 || order.isEmpty())
            throw;
        forgetSchema();
        q = m_c.exec(sql + QStringLiteral(" LIMIT 1"));
    }
    if (!q.next())
        return std::nullopt;
    return q.row();
}

namespace {

DbError changedElsewhere(const TableRef& table)
{
    return DbError(1020, QStringLiteral("De rij in tabel %1 is gewijzigd of verwijderd door een andere "
                                        "werkplek sinds zij gelezen werd.")
                             .arg(table.name));
}

// The conditions that find the row that was read. By its key; without one,
// by everything it held, compared as stored: text byte for byte with
// trailing blanks counting (the column's value in utf8mb4 is the same text
// in any character set), and not by FLOAT or DOUBLE columns, whose value
// read back need not compare equal to itself. The plain comparison beside
// the exact one lets an index narrow the rows.
QString identityOf(const Row& original, const QStringList& key, QVariantList& binds)
{
    QStringList conds;
    const Columns* shape = original.shape();
    const QStringList columns = key.isEmpty() ? original.columns() : key;
    for (const QString& c : columns) {
        const QVariant v = original.value(c);
        const QString name = Connection::quoteIdentifier(c);
        if (key.isEmpty() && shape) {
            const int i = shape->indexOf(c);
            if (i >= 0 && shape->list[i].approximate())
                continue;
        }
        conds << name + QStringLiteral(" <=> ?");
        binds << v;
        if (key.isEmpty() && v.metaType().id() == QMetaType::QString) {
            conds << QStringLiteral("BINARY CONVERT(") + name + QStringLiteral(" USING utf8mb4) <=> ?");
            binds << v;
        }
    }
    if (conds.isEmpty())
        return {};
    return QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

} // namespace

void Records::update(const TableRef& table, const Row& original, const Values& changes, Lock lock)
{
    if (changes.isEmpty())
        return;
    // A row locked by the caller cannot have changed since; a lock taken
    // outside a transaction is already gone.
    if (lock == Lock::HeldByCaller && !m_c.inTransaction())
        lock = Lock::Check;
    const QStringList pk = primaryKey(table);
    std::optional<Transaction> tx;
    if (!m_c.inTransaction())
        tx.emplace(m_c);

    QVariantList idBinds;
    const QString where = identityOf(original, pk, idBinds);
    if (where.isEmpty())
        throw changedElsewhere(table);

    if (lock == Lock::Check) {
        Result current = m_c.exec(QStringLiteral("SELECT * FROM ") + m_c.qualified(table) + where +
                                      QStringLiteral(" FOR UPDATE"),
                                  idBinds);
        bool unchanged = false;
        while (current.next() && !unchanged)
            unchanged = sameRow(current.row(), original);
        if (!unchanged)
            throw changedElsewhere(table);
    }

    QStringList sets;
    QVariantList binds;
    for (const auto& [col, val] : changes) {
        sets << Connection::quoteIdentifier(col) + QStringLiteral(" = ?");
        binds << bindable(val);
    }
    binds += idBinds;
    // The connection counts the rows an UPDATE found, also those it left
    // as they were: anything but the one row is a row that went elsewhere.
    const Result done = m_c.exec(QStringLiteral("UPDATE ") + m_c.qualified(table) + QStringLiteral(" SET ") +
                                     sets.join(QStringLiteral(", ")) + where +
                                     (pk.isEmpty() ? QStringLiteral(" LIMIT 1") : QString()),
                                 binds);
    if (done.affectedRows() != 1)
        throw changedElsewhere(table);
    if (tx)
        tx->commit();
}

void Records::insert(const TableRef& table, const Values& values)
{
    QStringList cols;
    QStringList marks;
    QVariantList binds;
    for (const auto& [col, val] : values) {
        cols << Connection::quoteIdentifier(col);
        marks << QStringLiteral("?");
        binds << bindable(val);
    }
    // In a transaction, so that a value the server changed on its way in
    // takes the row back out with it.
    std::optional<Transaction> tx;
    if (!m_c.inTransaction())
        tx.emplace(m_c);
    m_c.exec(QStringLiteral("INSERT INTO ") + m_c.qualified(table) + QStringLiteral(" (") +
                 cols.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                 marks.join(QStringLiteral(", ")) + u')',
             binds);
    if (tx)
        tx->commit();
}

} // namespace dl
