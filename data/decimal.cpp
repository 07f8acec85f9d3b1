#include "data/decimal.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace dl {

namespace {

__extension__ using UInt128 = unsigned __int128;

constexpr int kMaxDigits = 38; // 10^38 still fits an Int128

std::optional<Int128> pow10(int n)
{
    if (n < 0 || n > kMaxDigits)
        return std::nullopt;
    Int128 p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

std::optional<Int128> scaled(Int128 v, int n)
{
    if (v == 0)
        return Int128(0);
    const auto p = pow10(n);
    Int128 out = 0;
    if (!p || __builtin_mul_overflow(v, *p, &out))
        return std::nullopt;
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string decimalDigits(Int128 v)
{
    UInt128 m = v < 0 ? UInt128(0) - UInt128(v) : UInt128(v);
    std::string out;
    do {
        out.insert(out.begin(), char('0' + int(m % 10)));
        m /= 10;
    } while (m != 0);
    return out;
}

std::optional<Decimal> Decimal::normalised(Int128 units, int scale)
{
    if (scale < 0) {
        const auto u = scaled(units, -scale);
        if (!u)
            return std::nullopt;
        units = *u;
        scale = 0;
    }
    if (units == 0)
        scale = 0;
    while (scale > 0 && units % 10 == 0) {
        units /= 10;
        --scale;
    }
    return Decimal(units, scale);
}

std::optional<Decimal> Decimal::fromAscii(std::string_view s)
{
    std::size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    // The significant digits and the power of ten of the last one.
    std::string digits;
    long long exponent = 0;
    std::size_t count = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++count)
        digits += s[i];
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i, ++count) {
            digits += s[i];
            --exponent;
        }
    }
    if (count == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && s[i] == '+')
            ++i;
        int e = 0;
        const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), e);
        if (ec != std::errc() || end == s.data() + i)
            return std::nullopt;
        i = std::size_t(end - s.data());
        exponent += e;
    }
    if (i != s.size())
        return std::nullopt;

    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return Decimal();
    digits.erase(0, first);
    while (digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (digits.size() > std::size_t(kMaxDigits) || exponent < -100000 || exponent > 100000)
        return std::nullopt;
    Int128 units = 0;
    for (const char c : digits)
        units = units * 10 + (c - '0');
    return normalised(negative ? -units : units, int(-exponent));
}

std::optional<Decimal> Decimal::fromDouble(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    char buf[64];
    std::to_chars_result res{};
    const auto f = static_cast<float>(v);
    if (std::fabs(v) <= double(std::numeric_limits<float>::max()) && double(f) == v)
        res = std::to_chars(buf, buf + sizeof buf, f);
    else
        res = std::to_chars(buf, buf + sizeof buf, v);
    if (res.ec != std::errc())
        return std::nullopt;
    return fromAscii(std::string_view(buf, std::size_t(res.ptr - buf)));
}

std::optional<Decimal> Decimal::plus(const Decimal& other) const
{
    const int scale = std::max(m_scale, other.m_scale);
    const auto a = scaled(m_units, scale - m_scale);
    const auto b = scaled(other.m_units, scale - other.m_scale);
    Int128 sum = 0;
    if (!a || !b || __builtin_add_overflow(*a, *b, &sum))
        return std::nullopt;
    return normalised(sum, scale);
}

std::optional<Decimal> Decimal::times(const Decimal& other) const
{
    Int128 product = 0;
    if (__builtin_mul_overflow(m_units, other.m_units, &product))
        return std::nullopt;
    return normalised(product, m_scale + other.m_scale);
}

std::optional<Int128> Decimal::cents() const
{
    if (m_scale <= 2)
        return scaled(m_units, 2 - m_scale);
    const auto p = pow10(m_scale - 2);
    if (!p)
        return Int128(0); // less than a hundredth of a half cent
    Int128 whole = m_units / *p;
    const Int128 rest = m_units % *p;
    const Int128 magnitude = rest < 0 ? -rest : rest;
    if (magnitude >= *p - magnitude)
        whole += sign();
    return whole;
}

std::string Decimal::text() const
{
    std::string digits = decimalDigits(m_units);
    if (m_scale > 0) {
        if (digits.size() <= std::size_t(m_scale))
            digits.insert(0, std::size_t(m_scale) + 1 - digits.size(), '0');
        digits.insert(digits.size() - std::size_t(m_scale), 1, '.');
    }
    return (m_units < 0 ? "-" : "") + digits;
}

double Decimal::toDouble() const
{
    const std::string s = (m_units < 0 ? "-" : "") + decimalDigits(m_units) + "e-" + std::to_string(m_scale);
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

} // namespace dl
