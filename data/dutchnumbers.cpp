#include "data/dutchnumbers.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace dl {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// from_chars is independent of the C locale, which QCoreApplication sets
// from the environment (a Dutch locale would turn printf's point into a comma).
std::optional<double> parseAscii(const std::string& s)
{
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int hexDigitValue(QChar c)
{
    if (isAsciiDigit(c))
        return c.unicode() - u'0';
    const char16_t l = c.toLower().unicode();
    return (l >= u'a' && l <= u'f') ? 10 + (l - u'a') : -1;
}

double radixValue(const QString& s, qsizetype from, int radix)
{
    double v = 0;
    for (qsizetype i = from; i < s.size(); ++i) {
        const int d = hexDigitValue(s[i]);
        if (d < 0 || d >= radix)
            break;
        v = v * radix + d;
    }
    return std::isfinite(v) ? v : 0.0;
}

// Appends the digits at s[i...] to out; returns how many there were.
qsizetype takeDigits(const QString& s, qsizetype& i, std::string& out)
{
    const qsizetype start = i;
    while (i < s.size() && isAsciiDigit(s[i]))
        out += char(s[i++].unicode());
    return i - start;
}

// |value| rounded to 15 significant digits, as decimal digits and the
// number of them that stand before the decimal point.
void significantDigits(double magnitude, std::string& digits, int& intDigits)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string s(buf, res.ptr); // d.dddddddddddddde+XX
    const auto ePos = s.find('e');
    digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    intDigits = std::stoi(s.substr(ePos + 1)) + 1;
}

QString groupThousands(const std::string& intPart)
{
    QString out;
    const auto n = intPart.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u'.';
        out += QLatin1Char(intPart[i]);
    }
    return out;
}

} // namespace

NotANumber::NotANumber(const QString& text)
    : std::runtime_error("not a number: " + text.toStdString()), m_text(text)
{
}

double leadingNumber(const QString& text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            s += c;
    }
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        if (kind == u'H')
            return radixValue(s, 2, 16);
        if (kind == u'O')
            return radixValue(s, 2, 8);
        return 0;
    }

    std::string num;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        num += char(s[i++].unicode());
    qsizetype digits = takeDigits(s, i, num);
    if (i < s.size() && s[i] == u'.') {
        num += '.';
        ++i;
        digits += takeDigits(s, i, num);
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::string exp = "e";
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exp += char(s[j++].unicode());
        if (takeDigits(s, j, exp) > 0)
            num += exp;
    }
    if (num.front() == '+')
        num.erase(0, 1);
    if (num.back() == '.')
        num.pop_back();
    // A number beyond the range of a double counts as no number.
    return parseAscii(num).value_or(0.0);
}

namespace {

// The Dutch number as from_chars reads it: "1.234,50" -> "1234.50".
std::optional<std::string> localeAscii(const QString& text)
{
    const QString s = text.trimmed();
    std::string num;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        num += char(s[i++].unicode());

    // Whole part: plain digits, or 1 to 3 digits and groups of three behind points.
    qsizetype digits = 0;
    qsizetype group = takeDigits(s, i, num);
    digits += group;
    bool grouped = false;
    while (i < s.size() && s[i] == u'.') {
        if (group == 0 || (grouped ? group != 3 : group > 3))
            return std::nullopt;
        ++i;
        grouped = true;
        group = takeDigits(s, i, num);
        if (group != 3)
            return std::nullopt;
        digits += group;
    }
    if (i < s.size() && s[i] == u',') {
        ++i;
        num += '.';
        digits += takeDigits(s, i, num);
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        num += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            num += char(s[i++].unicode());
        if (takeDigits(s, i, num) == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    if (num.front() == '+')
        num.erase(0, 1);
    if (num.back() == '.')
        num.pop_back();
    return num;
}

} // namespace

std::optional<double> tryLocaleNumber(const QString& text)
{
    const auto num = localeAscii(text);
    return num ? parseAscii(*num) : std::nullopt;
}

std::optional<Decimal> tryLocaleDecimal(const QString& text)
{
    const auto num = localeAscii(text);
    return num ? Decimal::fromAscii(*num) : std::nullopt;
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
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    s.replace(u'.', u',');
    s.replace(u'e', u'E');
    return s;
}

QString moneyText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0,00");
    std::string digits;
    int intDigits = 0;
    significantDigits(std::fabs(value), digits, intDigits);

    std::string whole;
    std::string fraction;
    if (intDigits <= 0) {
        whole = "0";
        fraction = std::string(std::size_t(-intDigits), '0') + digits;
    } else if (std::size_t(intDigits) >= digits.size()) {
        whole = digits + std::string(std::size_t(intDigits) - digits.size(), '0');
    } else {
        whole = digits.substr(0, std::size_t(intDigits));
        fraction = digits.substr(std::size_t(intDigits));
    }
    fraction.resize(std::max<std::size_t>(fraction.size(), 3), '0');

    // Cents as one digit string; a half cent or more rounds up (away from zero).
    std::string cents = whole + fraction.substr(0, 2);
    if (fraction[2] >= '5') {
        std::size_t k = cents.size();
        while (k > 0 && cents[k - 1] == '9')
            cents[--k] = '0';
        if (k == 0)
            cents.insert(cents.begin(), '1');
        else
            ++cents[k - 1];
    }
    std::string intPart = cents.substr(0, cents.size() - 2);
    const std::string decimals = cents.substr(cents.size() - 2);
    const auto nonZero = intPart.find_first_not_of('0');
    intPart = nonZero == std::string::npos ? "0" : intPart.substr(nonZero);

    const bool zero = intPart == "0" && decimals == "00";
    QString out = (value < 0 && !zero) ? QStringLiteral("-") : QString();
    out += groupThousands(intPart) + u',' + QLatin1String(decimals.data(), qsizetype(decimals.size()));
    return out;
}

QString moneyText(const Decimal& value)
{
    const auto cents = value.cents();
    if (!cents)
        return moneyText(value.toDouble());
    const std::string digits = decimalDigits(*cents);
    const std::string padded = std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
    const std::string decimals = padded.substr(padded.size() - 2);
    QString out = *cents < 0 ? QStringLiteral("-") : QString();
    out += groupThousands(padded.substr(0, padded.size() - 2)) + u',' +
           QLatin1String(decimals.data(), qsizetype(decimals.size()));
    return out;
}

} // namespace dl
