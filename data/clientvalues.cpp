#include "data/clientvalues.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <charconv>
#include <utility>

namespace dl {

namespace {

bool isBinaryText(const MYSQL_FIELD& f)
{
    return f.charsetnr == 63;
}

// The server writes numbers with a decimal point whatever the desktop's
// locale; strtod would follow the C locale (a Dutch one reads "72.50" as 72).
template <typename T> T number(const char* data, unsigned long length)
{
    T v{};
    std::from_chars(data, data + length, v);
    return v;
}

} // namespace

void Columns::add(Column c)
{
    index.insert(c.name, static_cast<int>(list.size()));
    names << c.name;
    list << std::move(c);
}

bool Column::approximate() const
{
    return type == MYSQL_TYPE_FLOAT || type == MYSQL_TYPE_DOUBLE;
}

QVariant fromText(const Column& c, const char* data, unsigned long length)
{
    if (c.type == MYSQL_TYPE_NULL)
        return {};
    const auto size = static_cast<qsizetype>(length);
    // By the type metaTypeOf gives, so that a value and a NULL of one column
    // are of one type.
    switch (metaTypeOf(c).id()) {
    case QMetaType::ULongLong:
        return QVariant::fromValue<qulonglong>(number<qulonglong>(data, length));
    case QMetaType::LongLong:
        return QVariant::fromValue<qlonglong>(number<qlonglong>(data, length));
    case QMetaType::Double:
        // A FLOAT's text is its shortest form; read back as a float it is
        // the same number the binary protocol gives.
        if (c.type == MYSQL_TYPE_FLOAT)
            return static_cast<double>(number<float>(data, length));
        return number<double>(data, length);
    case QMetaType::QDate:
        return QDate::fromString(QString::fromLatin1(data, size), Qt::ISODate);
    case QMetaType::QTime:
        return QTime::fromString(QString::fromLatin1(data, size), Qt::ISODate);
    case QMetaType::QDateTime: {
        QString t = QString::fromLatin1(data, size);
        t.replace(u' ', u'T');
        return QDateTime::fromString(t, Qt::ISODateWithMs);
    }
    case QMetaType::QByteArray:
        return QByteArray(data, size);
    default:
        return QString::fromUtf8(data, size);
    }
}

QMetaType metaTypeOf(const Column& c)
{
    switch (c.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR:
        return (c.flags & UNSIGNED_FLAG) ? QMetaType::fromType<qulonglong>()
                                         : QMetaType::fromType<qlonglong>();
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return QMetaType::fromType<double>();
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return QMetaType::fromType<QDate>();
    case MYSQL_TYPE_TIME:
        return QMetaType::fromType<QTime>();
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return QMetaType::fromType<QDateTime>();
    case MYSQL_TYPE_BIT:
        return QMetaType::fromType<QByteArray>();
    default:
        return c.charset == 63 ? QMetaType::fromType<QByteArray>() : QMetaType::fromType<QString>();
    }
}

std::shared_ptr<Columns> columnsOf(MYSQL_FIELD* fields, unsigned count)
{
    auto cols = std::make_shared<Columns>();
    for (unsigned i = 0; i < count; ++i) {
        const MYSQL_FIELD& f = fields[i];
        cols->add(Column{QString::fromUtf8(f.name, static_cast<qsizetype>(f.name_length)), f.type,
                         isBinaryText(f) ? 63u : f.charsetnr, f.flags});
    }
    return cols;
}

void bindParams(ParamBuffers& p, const QVariantList& values)
{
    const size_t n = static_cast<size_t>(values.size());
    p.binds.assign(n, MYSQL_BIND{});
    p.texts.resize(n);
    p.integers.resize(n);
    p.reals.resize(n);
    p.lengths.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = values[static_cast<qsizetype>(i)];
        MYSQL_BIND& b = p.binds[i];
        const auto integer = [&](long long x, bool isUnsigned) {
            p.integers[i] = x;
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.is_unsigned = isUnsigned;
            b.buffer = &p.integers[i];
        };
        const auto text = [&](QByteArray bytes, enum_field_types type) {
            p.texts[i] = std::move(bytes);
            p.lengths[i] = static_cast<unsigned long>(p.texts[i].size());
            b.buffer_type = type;
            b.buffer = const_cast<char*>(p.texts[i].constData());
            b.buffer_length = p.lengths[i];
            b.length = &p.lengths[i];
        };
        if (v.isNull()) {
            b.buffer_type = MYSQL_TYPE_NULL;
            continue;
        }
        switch (v.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Long:
            integer(v.toLongLong(), false);
            break;
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::UShort:
        case QMetaType::ULong:
            integer(static_cast<long long>(v.toULongLong()), true);
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            p.reals[i] = v.toDouble();
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = &p.reals[i];
            break;
        case QMetaType::QByteArray:
            text(v.toByteArray(), MYSQL_TYPE_BLOB);
            break;
        case QMetaType::QDate:
            text(v.toDate().toString(Qt::ISODate).toLatin1(), MYSQL_TYPE_STRING);
            break;
        case QMetaType::QDateTime:
            text(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1(),
                 MYSQL_TYPE_STRING);
            break;
        default:
            text(v.toString().toUtf8(), MYSQL_TYPE_STRING);
            break;
        }
    }
}

ResultBuffers::ResultBuffers(const Columns& columns) : m_columns(columns)
{
    const auto n = static_cast<size_t>(columns.count());
    m_out.assign(n, MYSQL_BIND{});
    m_buffers.resize(n);
    m_lengths.resize(n);
    m_nulls.resize(n);
    m_errors.resize(n);
    m_reals.resize(n);
    m_integers.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Column& c = columns.list[static_cast<qsizetype>(i)];
        MYSQL_BIND& b = m_out[i];
        b.length = &m_lengths[i];
        b.is_null = &m_nulls[i];
        b.error = &m_errors[i];
        const QMetaType t = metaTypeOf(c);
        if (t == QMetaType::fromType<double>() && c.type != MYSQL_TYPE_DECIMAL &&
            c.type != MYSQL_TYPE_NEWDECIMAL) {
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = &m_reals[i];
        } else if (t == QMetaType::fromType<qlonglong>() || t == QMetaType::fromType<qulonglong>()) {
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.is_unsigned = (c.flags & UNSIGNED_FLAG) ? 1 : 0;
            b.buffer = &m_integers[i];
        } else {
            m_buffers[i].resize(256);
            b.buffer_type = MYSQL_TYPE_STRING;
            b.buffer = m_buffers[i].data();
            b.buffer_length = static_cast<unsigned long>(m_buffers[i].size());
        }
    }
}

QVariantList ResultBuffers::row(MYSQL_STMT* st)
{
    const auto n = static_cast<unsigned>(m_columns.count());
    QVariantList values;
    values.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        const Column& c = m_columns.list[static_cast<qsizetype>(i)];
        if (m_nulls[i]) {
            values << QVariant(metaTypeOf(c));
            continue;
        }
        MYSQL_BIND& b = m_out[i];
        if (b.buffer_type == MYSQL_TYPE_DOUBLE) {
            values << m_reals[i];
        } else if (b.buffer_type == MYSQL_TYPE_LONGLONG) {
            if (b.is_unsigned)
                values << QVariant::fromValue<qulonglong>(static_cast<qulonglong>(m_integers[i]));
            else
                values << QVariant::fromValue<qlonglong>(m_integers[i]);
        } else {
            if (m_lengths[i] > b.buffer_length) {
                // Longer than the first guess: read the whole value.
                std::vector<char> whole(m_lengths[i]);
                MYSQL_BIND again{};
                again.buffer_type = MYSQL_TYPE_STRING;
                again.buffer = whole.data();
                again.buffer_length = m_lengths[i];
                unsigned long length = 0;
                again.length = &length;
                mysql_stmt_fetch_column(st, &again, i, 0);
                values << fromText(c, whole.data(), length);
            } else {
                values << fromText(c, m_buffers[i].data(), m_lengths[i]);
            }
        }
    }
    return values;
}

} // namespace dl
