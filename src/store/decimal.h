#pragma once

#include <QString>
#include <QVariant>

#include <compare>
#include <cstdint>
#include <limits>
#include <optional>

namespace varnock {

// Exact fixed-point number for quantities, unit prices and amounts: a 64-bit count of
// ten-thousandths. Stored in SQLite as INTEGER ten-thousandths (raw()). Products and
// quotients go through 128-bit intermediates and are rounded half away from zero to four
// places; a result outside the 64-bit range throws std::overflow_error instead of wrapping,
// a division by zero throws std::domain_error.
class Decimal
{
public:
    static constexpr int Places = 4;
    static constexpr std::int64_t Scale = 10000;

    constexpr Decimal() = default;

    static constexpr Decimal fromRaw(std::int64_t raw) { return Decimal(raw); }
    static Decimal fromInt(std::int64_t units);
    // Nearest value, half away from zero. For REAL inputs such as conversion factors.
    static Decimal fromDouble(double value);
    // Plain decimal text: optional sign, digits, optional '.' and digits ("12", "-0.5",
    // ".25", "3."). Surrounding spaces are ignored; more than four decimals are rounded half
    // away from zero. Anything else (letters, several points, empty) gives nullopt.
    static std::optional<Decimal> parse(QStringView text);
    // Reads a stored value: NULL and empty give zero.
    static Decimal fromVariant(const QVariant &value);

    constexpr std::int64_t raw() const { return m_raw; }
    QVariant toVariant() const { return QVariant(qlonglong(m_raw)); }
    double toDouble() const { return double(m_raw) / double(Scale); }

    // Rounded half away from zero to 0–4 decimals.
    Decimal rounded(int decimals) const;
    // Exactly `decimals` digits after the point (none for 0), rounding half away from zero.
    QString toString(int decimals) const;
    // Shortest exact text: "12.5", "-3", "0.0001".
    QString toString() const;

    constexpr bool isZero() const { return m_raw == 0; }
    constexpr bool isNegative() const { return m_raw < 0; }
    Decimal abs() const;

    // Sums and differences are inline: the reports add figures by the million.
    Decimal operator-() const
    {
        if (m_raw == std::numeric_limits<std::int64_t>::min())
            throwOverflow();
        return Decimal(-m_raw);
    }
    Decimal operator+(Decimal other) const
    {
        std::int64_t result;
        if (__builtin_add_overflow(m_raw, other.m_raw, &result))
            throwOverflow();
        return Decimal(result);
    }
    Decimal operator-(Decimal other) const
    {
        std::int64_t result;
        if (__builtin_sub_overflow(m_raw, other.m_raw, &result))
            throwOverflow();
        return Decimal(result);
    }
    Decimal operator*(Decimal other) const;
    Decimal operator/(Decimal other) const;
    Decimal &operator+=(Decimal other) { return *this = *this + other; }
    Decimal &operator-=(Decimal other) { return *this = *this - other; }

    // a × b ÷ c with a single rounding at the end (prices from amount ÷ quantity chains).
    static Decimal mulDiv(Decimal a, Decimal b, Decimal c);
    // this × factor for a REAL conversion factor, rounded half away from zero to four places.
    Decimal timesFactor(double factor) const;

    constexpr auto operator<=>(const Decimal &) const = default;

    // Throws std::overflow_error: a result outside the 64-bit range.
    [[noreturn]] static void throwOverflow();

private:
    constexpr explicit Decimal(std::int64_t raw)
        : m_raw(raw)
    {}
    std::int64_t m_raw = 0;
};

} // namespace varnock
