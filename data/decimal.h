#pragma once
// A decimal number held exactly, as whole units of 10^-scale, for money.
// Binary doubles cannot hold 0,99 or 0,495, so a product that ends on a half
// cent may round down; here it rounds away from zero as the money text says.
// An operation whose result does not fit gives nullopt; the caller falls
// back to doubles for such absurd amounts.

#include <optional>
#include <string>
#include <string_view>

namespace dl {

__extension__ using Int128 = __int128;

class Decimal {
public:
    Decimal() = default;
    static Decimal fromInteger(long long v) { return Decimal(v, 0); }
    // "-12.345e-2" as std::from_chars reads a double, without the locale.
    static std::optional<Decimal> fromAscii(std::string_view s);
    // The shortest decimal text that reads back as v: 0.99 is 0,99, not the
    // binary 0.98999... A value that is exactly a float counts as the float's
    // shortest text, as the server shows a FLOAT column (0.99f is 0,99).
    static std::optional<Decimal> fromDouble(double v);

    std::optional<Decimal> plus(const Decimal& other) const;
    std::optional<Decimal> times(const Decimal& other) const;
    Decimal abs() const { return Decimal(m_units < 0 ? -m_units : m_units, m_scale); }
    int sign() const { return m_units < 0 ? -1 : (m_units > 0 ? 1 : 0); }
    // Rounded to two decimals, halves away from zero: whole cents.
    std::optional<Int128> cents() const;
    double toDouble() const;
    // As the server writes a number: "-12.345", "0.99", "72.5".
    std::string text() const;

private:
    Decimal(Int128 units, int scale) : m_units(units), m_scale(scale) {}
    static std::optional<Decimal> normalised(Int128 units, int scale);

    Int128 m_units = 0;
    int m_scale = 0; // >= 0; trailing zeros removed
};

// The digits of |v| in decimal.
std::string decimalDigits(Int128 v);

} // namespace dl
