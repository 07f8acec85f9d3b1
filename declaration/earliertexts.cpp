#include "declaration/earliertexts.h"

#include "data/connection.h"
#include "data/records.h"
#include "data/serveractions.h"
#include "data/tables.h"
#include "declaration/reportrecord.h"
#include "ui/controls.h"

#include <QCompleter>
#include <QHash>
#include <QLineEdit>
#include <QSet>
#include <QStringListModel>

#include <algorithm>

namespace dl::earlier {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QStringList sortedYears(const QStringList& years)
{
    QStringList out;
    for (const QString& y : years) {
        if (y.size() == 4 && std::all_of(y.begin(), y.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            out << y;
    }
    out.removeDuplicates();
    std::sort(out.begin(), out.end(), std::greater<>());
    return out;
}

} // namespace

QStringList monthKeys(const QStringList& years, const QString& projectCode)
{
    QStringList keys;
    for (const QString& y : sortedYears(years)) {
        for (int m = 12; m >= 1; --m)
            keys << y + u'_' + twoDigits(m) + u'_' + projectCode;
    }
    return keys;
}

QStringList keysBefore(const QString& key, const QStringList& years)
{
    // "yyyy_mm_" and the code; the code may hold "_" itself.
    if (key.size() < 9 || key[4] != u'_' || key[7] != u'_')
        return {};
    const QString code = key.mid(8);
    const QString month = key.left(7);
    QStringList all = years;
    all << key.left(4);
    QStringList out;
    for (const QString& k : monthKeys(all, code)) {
        if (k.left(7) < month)
            out << k;
    }
    return out;
}

QStringList recentFirst(QList<MonthTexts> months, int column)
{
    std::stable_sort(months.begin(), months.end(),
                     [](const MonthTexts& a, const MonthTexts& b) { return a.key > b.key; });
    QStringList out;
    QSet<QString> seen;
    for (const MonthTexts& m : std::as_const(months)) {
        const QStringList& texts = column == 1 ? m.activities : m.contacts;
        for (qsizetype i = texts.size() - 1; i >= 0; --i) {
            const QString& t = texts[i];
            if (t.trimmed().isEmpty() || seen.contains(t))
                continue;
            seen.insert(t);
            out << t;
        }
    }
    return out;
}

namespace {

Result readTable(Connection& connection, const QStringList& keys)
{
    const TableRef table = tables::reports();
    QStringList columns{Connection::quoteIdentifier(QStringLiteral("Projectnaam")),
                        Connection::quoteIdentifier(QStringLiteral("afgewerkt"))};
    for (int n = 1; n <= report::kSlots; ++n) {
        columns << Connection::quoteIdentifier(report::slotColumn(QStringLiteral("Activiteit"), n))
                << Connection::quoteIdentifier(report::slotColumn(QStringLiteral("Contact"), n));
    }
    QStringList marks;
    QVariantList binds;
    for (const QString& k : keys) {
        marks << QStringLiteral("?");
        binds << k;
    }
    Records records(connection);
    QStringList order;
    for (const QString& k : records.primaryKey(table))
        order << Connection::quoteIdentifier(k);
    QString sql = QStringLiteral("SELECT ") + columns.join(u',') + QStringLiteral(" FROM ") +
                  connection.qualified(table) + QStringLiteral(" WHERE ") +
                  Connection::quoteIdentifier(QStringLiteral("Projectnaam")) + QStringLiteral(" IN (") +
                  marks.join(u',') + u')';
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(u',');
    return connection.exec(sql, binds);
}

} // namespace

QList<MonthTexts> read(Connection& connection, const QStringList& keys)
{
    if (keys.isEmpty())
        return {};
    // Projectnaam, afgewerkt, then each day's activity and contact.
    Result q = actsThroughProcedures(connection)
                   ? callRows(connection, "eerdere_teksten", {textsAsJson(keys)})
                   : readTable(connection, keys);
    return fromRows(q, keys);
}

QList<MonthTexts> fromRows(Result& q, const QStringList& keys)
{
    // The server's collation may match more than the key; the key decides here.
    const QSet<QString> wanted(keys.cbegin(), keys.cend());
    QSet<QString> found;
    QList<MonthTexts> out;
    while (q.next()) {
        const QString key = Row::textOf(q.value(0));
        const QString state = Row::textOf(q.value(1));
        // Only a saved or declared month, as opening a month sees them.
        if (!wanted.contains(key) || found.contains(key) || (state != u"nee" && state != u"ja"))
            continue;
        found.insert(key);
        MonthTexts m{key, {}, {}};
        for (int n = 0; n < report::kSlots; ++n) {
            m.activities << Row::textOf(q.value(2 + 2 * n));
            m.contacts << Row::textOf(q.value(3 + 2 * n));
        }
        out << m;
    }
    return out;
}

const MonthTexts* latestBefore(const QList<MonthTexts>& months, const QString& key)
{
    const MonthTexts* best = nullptr;
    for (const MonthTexts& m : months) {
        if (m.key.left(7) < key.left(7) && (!best || m.key > best->key))
            best = &m;
    }
    return best;
}

Carried carryByWeekday(const QDate& from, const MonthTexts& texts, const QDate& to)
{
    Carried out;
    const QDate first(from.year(), from.month(), 1);
    const int fromDays = first.daysInMonth();
    for (int n = 1; n <= report::kSlots; ++n) {
        QString activity;
        QString contact;
        if (n <= to.daysInMonth()) {
            const QDate day(to.year(), to.month(), n);
            const int nth = (n - 1) / 7; // 0: the first such weekday of the month
            const int shift = (day.dayOfWeek() - first.dayOfWeek() + 7) % 7;
            const int source = 1 + shift + 7 * nth;
            if (source <= fromDays) {
                activity = texts.activities.value(source - 1);
                contact = texts.contacts.value(source - 1);
            }
        }
        out.activities << activity;
        out.contacts << contact;
    }
    return out;
}

void offer(FormControls& c, const QList<MonthTexts>& months)
{
    const struct {
        const char16_t* control;
        int column;
    } columns[] = {{u"Text24", 1}, {u"Text25", 2}};
    for (const auto& col : columns) {
        const QStringList texts = recentFirst(months, col.column);
        for (int n = 1; n <= report::kSlots; ++n) {
            auto* edit = c.get<QLineEdit>(element(QString::fromUtf16(col.control), n));
            QCompleter* completer = edit->completer();
            if (!completer) {
                completer = new QCompleter(new QStringListModel(edit), edit);
                // A name or place is the word remembered, seldom the first one.
                completer->setFilterMode(Qt::MatchContains);
                completer->setCaseSensitivity(Qt::CaseInsensitive);
                completer->setCompletionMode(QCompleter::PopupCompletion);
                edit->setCompleter(completer);
            }
            if (auto* model = qobject_cast<QStringListModel*>(completer->model()))
                model->setStringList(texts);
        }
    }
}

} // namespace dl::earlier
