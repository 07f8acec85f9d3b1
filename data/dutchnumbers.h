#pragma once
// The Dutch number conversions the forms compute with: the leading-number
// value of a text, the locale number, the general number text and the money
// text. Pure functions; amounts travel through the program as these texts.

#include "data/decimal.h"

#include <QString>

#include <optional>
#include <stdexcept>

namespace dl {

// Thrown by localeNumber() for a text that is not a Dutch number.
class NotANumber : public std::runtime_error {
public:
    explicit NotANumber(const QString& text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Blanks, tabs and line feeds are ignored wherever they stand; then sign,
// digits, point, digits, exponent ("&H"/"&O" for hexadecimal/octal). Stops at
// the first other character; no number gives 0, and so does a number beyond
// the range of a double. Never fails.
double leadingNumber(const QString& text);

// Decimal comma, point between thousands in groups of three ("1.234,50" is
// 1234.5, "45.50" is no number); blanks around it and an exponent are allowed.
// Throws NotANumber for anything else.
double localeNumber(const QString& text);
std::optional<double> tryLocaleNumber(const QString& text);
// The same text as an exact decimal, for money: "0,99" is 0.99 exactly.
// Also nullopt for a number of more than 38 significant digits.
std::optional<Decimal> tryLocaleDecimal(const QString& text);

// Decimal comma, no grouping, at most 15 significant digits, no trailing
// zeros: 7.5 -> "7,5", 16 -> "16", 0 -> "0".
QString generalNumberText(double value);

// " ####,##0.00" under Dutch conventions with the leading blank removed:
// 1234.5 -> "1.234,50"; halves rounded away from zero. The value is first
// taken to 15 significant digits, so 1.005 (binary 1.00499...) is 1,01.
QString moneyText(double value);
// The same for an exact amount: 0.495 -> "0,50".
QString moneyText(const Decimal& value);

} // namespace dl
