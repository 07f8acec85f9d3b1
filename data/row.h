#pragma once
// One row of a result: the column names are shared by every row of one
// result, the values are held by position.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace dl {

struct Column {
    QString name;
    int type = 0;         // the server's field type (enum_field_types)
    unsigned charset = 0; // the column's character set number; 63 is binary
    unsigned flags = 0;
    // FLOAT and DOUBLE: a value read back may not compare equal to itself.
    bool approximate() const;
};

struct Columns {
    QList<Column> list;
    QHash<QString, int> index;
    QStringList names;

    void add(Column c);
    int indexOf(const QString& name) const { return index.value(name, -1); }
    int count() const { return static_cast<int>(list.size()); }
};

class Row {
public:
    Row() = default;
    Row(std::shared_ptr<const Columns> columns, QVariantList values)
        : m_columns(std::move(columns)), m_values(std::move(values))
    {
    }

    bool has(const QString& column) const { return m_columns && m_columns->indexOf(column) >= 0; }
    // The value as the server returned it (numbers stay numbers).
    // Throws DbError 1054 for a column the table does not have.
    QVariant value(const QString& column) const;
    QVariant value(int i) const { return m_values.value(i); }
    // The value as text: NULL is empty, a number in its Dutch general form.
    QString text(const QString& column) const;
    bool isNull(const QString& column) const { return value(column).isNull(); }
    QStringList columns() const { return m_columns ? m_columns->names : QStringList(); }
    int count() const { return static_cast<int>(m_values.size()); }
    const Columns* shape() const { return m_columns.get(); }
    const QVariantList& values() const { return m_values; }

    static QString textOf(const QVariant& v);

private:
    std::shared_ptr<const Columns> m_columns;
    QVariantList m_values;
};

} // namespace dl
