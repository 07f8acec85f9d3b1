#pragma once
// Values as the server's client library carries them: a column's value from
// the text the server sent, the values bound to a statement, and the buffers
// a prepared statement's rows are read into. For the connection only; the
// rest of the program sees QVariants.

#include "data/row.h"

#include <mysql.h>

#include <QByteArray>
#include <QMetaType>
#include <QVariantList>

#include <memory>
#include <vector>

namespace dl {

// A value as the server sent it in text form, turned into what the program
// expects of that column's type.
QVariant fromText(const Column& c, const char* data, unsigned long length);
// The type of that value, also of a NULL in that column.
QMetaType metaTypeOf(const Column& c);
std::shared_ptr<Columns> columnsOf(MYSQL_FIELD* fields, unsigned count);

// Bound parameter values kept alive while a statement runs.
struct ParamBuffers {
    std::vector<MYSQL_BIND> binds;
    std::vector<QByteArray> texts;
    std::vector<long long> integers;
    std::vector<double> reals;
    std::vector<unsigned long> lengths;
};

void bindParams(ParamBuffers& p, const QVariantList& values);

// Where one row of a prepared statement's result is read: numbers in their
// binary form, everything else as text. The binds point into the buffers,
// so it stays where it was made.
class ResultBuffers {
public:
    explicit ResultBuffers(const Columns& columns);
    ResultBuffers(const ResultBuffers&) = delete;
    ResultBuffers& operator=(const ResultBuffers&) = delete;

    // For mysql_stmt_bind_result.
    MYSQL_BIND* binds() { return m_out.data(); }
    // The values of the row mysql_stmt_fetch has just read.
    QVariantList row(MYSQL_STMT* st);

private:
    const Columns& m_columns;
    std::vector<MYSQL_BIND> m_out;
    std::vector<std::vector<char>> m_buffers;
    std::vector<unsigned long> m_lengths;
    std::vector<my_bool> m_nulls;
    std::vector<my_bool> m_errors;
    std::vector<double> m_reals;
    std::vector<long long> m_integers;
};

} // namespace dl
