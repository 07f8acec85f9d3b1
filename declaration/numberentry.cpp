#include "declaration/numberentry.h"

#include <QRegularExpression>

#include <algorithm>

namespace dl::numberentry {

namespace {

bool isDecimalSign(QChar c)
{
    return c == u',' || c == u'.';
}

bool isKept(QChar c)
{
    return c.isDigit() || c == u'%' || c == u'\'';
}

// The part the edit brought in, blanks around a pasted figure left off.
struct Brought {
    qsizetype head = 0;
    qsizetype tail = 0;
    QString text;
};

Brought broughtIn(const form::UserEdit& e)
{
    const auto [head, tail] = form::changedSpan(e.before, e.text);
    QString part = e.text.mid(head, e.text.size() - head - tail);
    if (part.size() > 1)
        part = part.trimmed();
    return {head, tail, part};
}

bool allKept(const QString& s)
{
    return std::all_of(s.cbegin(), s.cend(), isKept);
}

// The cursor stays where the edit left it, moved by what the rule took out.
void put(form::UserEdit& e, const Brought& b, const QString& part)
{
    const QString text = e.before.left(b.head) + part + e.before.right(b.tail);
    e.cursor = int(std::clamp<qsizetype>(e.cursor + text.size() - e.text.size(), 0, text.size()));
    e.text = text;
}

bool refuse(form::UserEdit& e, const QString& why, bool hold)
{
    e.why = why;
    e.hold = hold;
    return false;
}

} // namespace

QString hoursWhy()
{
    return QStringLiteral("Uren: cijfers, met een komma of punt voor een deel van een uur, hoogstens twee "
                          "decimalen (7,5 is zeven en een half uur).");
}

QString kilometresWhy()
{
    return QStringLiteral("Kilometers: hele kilometers, zonder komma of punt.");
}

QString eurosWhy()
{
    return QStringLiteral("Euro's: hele euro's; na een komma of punt volgen de centen.");
}

QString centsWhy()
{
    return QStringLiteral("Centen: twee cijfers (05 is vijf cent); één cijfer telt als tientallen (5 is 50 "
                          "cent).");
}

bool hours(form::UserEdit& e)
{
    const Brought b = broughtIn(e);
    QString part = b.text;
    part.replace(u',', u'.');
    if (!std::all_of(part.cbegin(), part.cend(), [](QChar c) { return isKept(c) || c == u'.'; }))
        return refuse(e, hoursWhy(), false);
    put(e, b, part);
    const qsizetype sign = e.text.indexOf(u'.');
    if (e.text.count(u'.') > 1)
        return refuse(e, hoursWhy(), true);
    // A quarter of an hour is the finest a day is kept in.
    if (sign >= 0 && e.text.size() - sign - 1 > 2)
        return refuse(e, hoursWhy(), false);
    return true;
}

namespace {

// Whole numbers: a decimal sign is refused and holds the digits after it.
bool whole(form::UserEdit& e, const QString& why)
{
    const Brought b = broughtIn(e);
    if (std::any_of(b.text.cbegin(), b.text.cend(), isDecimalSign))
        return refuse(e, why, true);
    if (!allKept(b.text))
        return refuse(e, why, false);
    put(e, b, b.text);
    return true;
}

} // namespace

bool kilometres(form::UserEdit& e)
{
    return whole(e, kilometresWhy());
}

bool euros(form::UserEdit& e)
{
    const Brought b = broughtIn(e);
    if (std::any_of(b.text.cbegin(), b.text.cend(), isDecimalSign)) {
        // A pasted or dropped amount: the euros here, the cents on.
        static const QRegularExpression amount(QStringLiteral("^([0-9]*)[.,]([0-9]{0,2})$"));
        const QRegularExpressionMatch m = amount.match(b.text);
        if (!m.hasMatch())
            return refuse(e, eurosWhy(), false);
        put(e, b, m.captured(1));
        e.carry = m.captured(2).isEmpty() ? QStringLiteral("00") : m.captured(2);
        return true;
    }
    if (!allKept(b.text))
        return refuse(e, eurosWhy(), false);
    put(e, b, b.text);
    return true;
}

bool cents(form::UserEdit& e)
{
    return whole(e, centsWhy());
}

} // namespace dl::numberentry
