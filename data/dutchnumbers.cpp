#include "data/dutchnumbers.h"

// Placeholder bodies; the full conversions replace these.
namespace dl {

NotANumber::NotANumber(const QString& text)
    : std::runtime_error("not a number"), m_text(text)
{
}

double leadingNumber(const QString& text)
{
    return text.toDouble();
}

std::optional<double> tryLocaleNumber(const QString& text)
{
    QString t = text;
    t.remove(u'.');
    t.replace(u',', u'.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

double localeNumber(const QString& text)
{
    const auto v = tryLocaleNumber(text);
    if (!v)
        throw NotANumber(text);
    return *v;
}

QString generalNumberText(double value)
{
    return QString::number(value, 'g', 15).replace(u'.', u',');
}

QString moneyText(double value)
{
    return QString::number(value, 'f', 2).replace(u'.', u',');
}

} // namespace dl
