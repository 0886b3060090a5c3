#include "store/decimal.h"

#include "store/errors.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace varnock {

namespace {

__extension__ typedef __int128 Wide; // exact products of two 64-bit values

constexpr std::int64_t Pow10[] = {1, 10, 100, 1000, 10000};

std::int64_t narrowed(Wide value)
{
    if (value > Wide(std::numeric_limits<std::int64_t>::max()) ||
        value < Wide(std::numeric_limits<std::int64_t>::min()))
        Decimal::throwOverflow();
    return std::int64_t(value);
}

// n ÷ d rounded half away from zero; d > 0.
Wide divRounded(Wide n, Wide d)
{
    const bool negative = n < 0;
    const Wide magnitude = negative ? -n : n;
    Wide q = magnitude / d;
    const Wide r = magnitude % d;
    if (r * 2 >= d)
        ++q;
    return negative ? -q : q;
}

// n ÷ d rounded half away from zero for any non-zero d.
Wide divRoundedSigned(Wide n, Wide d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    return divRounded(n, d);
}

int clampedDecimals(int decimals)
{
    return decimals < 0 ? 0 : (decimals > Decimal::Places ? Decimal::Places : decimals);
}

// raw × value, rounded half away from zero to an integer. A double such as 0.3 or 2.345 is
// taken at its shortest decimal text (the number that was typed or stored), not at its
// binary approximation, so that 5 × 0.3 gives 1.5 and rounds up rather than to 1.49999….
// The arithmetic then runs exactly in 128 bits.
std::int64_t scaledByDouble(std::int64_t raw, double value)
{
    if (!std::isfinite(value))
        Decimal::throwOverflow();
    if (raw == 0 || value == 0.0)
        return 0;
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (ec != std::errc())
        Decimal::throwOverflow();
    // "-d.ddddde±xx": collect the digits into a mantissa, then apply the exponent.
    const char *p = buffer;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    Wide mantissa = 0;
    int exponent = 0;
    bool afterPoint = false;
    for (; p != end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        mantissa = mantissa * 10 + (*p - '0');
        if (afterPoint)
            --exponent;
    }
    if (p != end && *p == 'e') {
        ++p;
        if (p != end && *p == '+')
            ++p;
        int written = 0;
        std::from_chars(p, end, written); // the buffer is not null-terminated
        exponent += written;
    }
    // At most 17 significant digits (< 2^57) times |raw| (≤ 2^63) stays below 2^120.
    Wide product = mantissa * Wide(raw);
    if (negative)
        product = -product;
    if (exponent >= 0) {
        for (int k = 0; k < exponent; ++k) {
            if (__builtin_mul_overflow(product, Wide(10), &product))
                Decimal::throwOverflow();
        }
        return narrowed(product);
    }
    // |product| < 2^120 < 0.5 × 10^37: beyond 37 places everything rounds to zero.
    if (exponent < -37)
        return 0;
    Wide divisor = 1;
    for (int k = 0; k < -exponent; ++k)
        divisor *= 10;
    return narrowed(divRounded(product, divisor));
}

} // namespace

void Decimal::throwOverflow()
{
    throw std::overflow_error("Decimal overflow");
}

Decimal Decimal::fromInt(std::int64_t units)
{
    return Decimal(narrowed(Wide(units) * Scale));
}

Decimal Decimal::fromDouble(double value)
{
    return Decimal(scaledByDouble(Scale, value));
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    Wide units = 0;
    Wide fraction = 0; // first four decimals, in ten-thousandths
    int fractionDigits = 0;
    int roundDigit = -1; // the fifth decimal
    bool anyDigit = false;
    bool seenPoint = false;
    // An integer part past this overflows anyway; stopping here keeps long texts from
    // overflowing the 128-bit accumulator.
    constexpr Wide UnitLimit = Wide(std::numeric_limits<std::int64_t>::max()) / Scale + 2;
    bool tooBig = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (!seenPoint) {
            if (!tooBig) {
                units = units * 10 + digit;
                if (units > UnitLimit)
                    tooBig = true;
            }
        } else if (fractionDigits < Places) {
            fraction = fraction * 10 + digit;
            ++fractionDigits;
        } else if (roundDigit < 0) {
            roundDigit = digit; // later digits cannot change a half-away-from-zero rounding
        }
    }
    if (!anyDigit || tooBig)
        return std::nullopt;
    for (int k = fractionDigits; k < Places; ++k)
        fraction *= 10;
    Wide raw = units * Scale + fraction;
    if (roundDigit >= 5)
        ++raw;
    if (negative)
        raw = -raw;
    if (raw > Wide(std::numeric_limits<std::int64_t>::max()) ||
        raw < Wide(std::numeric_limits<std::int64_t>::min()))
        return std::nullopt;
    return Decimal(std::int64_t(raw));
}

Decimal Decimal::fromVariant(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return Decimal();
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        return Decimal(value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(std::numeric_limits<std::int64_t>::max()))
            Decimal::throwOverflow();
        return Decimal(std::int64_t(u));
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // A REAL in an INTEGER column still counts ten-thousandths.
        const double d = std::round(value.toDouble());
        if (!std::isfinite(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
            Decimal::throwOverflow();
        return Decimal(std::int64_t(d));
    }
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return Decimal();
    bool ok = false;
    const qlonglong raw = text.toLongLong(&ok);
    if (ok)
        return Decimal(raw);
    throw StoreError(QStringLiteral("Not a stored number: %1").arg(text));
}

Decimal Decimal::rounded(int decimals) const
{
    const std::int64_t step = Pow10[Places - clampedDecimals(decimals)];
    if (step == 1)
        return *this;
    return Decimal(narrowed(divRounded(Wide(m_raw), step) * step));
}

QString Decimal::toString(int decimals) const
{
    const int d = clampedDecimals(decimals);
    const Wide value = divRounded(Wide(m_raw), Pow10[Places - d]);
    const bool negative = value < 0;
    const Wide magnitude = negative ? -value : value;
    const Wide unit = Pow10[d];
    const auto units = static_cast<unsigned long long>(magnitude / unit);
    const auto fraction = static_cast<unsigned long long>(magnitude % unit);
    QString text;
    if (negative)
        text += QLatin1Char('-');
    text += QString::number(units);
    if (d > 0) {
        text += QLatin1Char('.');
        text += QString::number(fraction).rightJustified(d, QLatin1Char('0'));
    }
    return text;
}

QString Decimal::toString() const
{
    QString text = toString(Places);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

Decimal Decimal::abs() const
{
    return m_raw < 0 ? -*this : *this;
}

Decimal Decimal::operator*(Decimal other) const
{
    return Decimal(narrowed(divRounded(Wide(m_raw) * Wide(other.m_raw), Scale)));
}

Decimal Decimal::operator/(Decimal other) const
{
    if (other.m_raw == 0)
        throw std::domain_error("Decimal division by zero");
    return Decimal(narrowed(divRoundedSigned(Wide(m_raw) * Scale, Wide(other.m_raw))));
}

Decimal Decimal::mulDiv(Decimal a, Decimal b, Decimal c)
{
    if (c.m_raw == 0)
        throw std::domain_error("Decimal division by zero");
    // a·b fits in 127 bits (|a|,|b| ≤ 2^63), so the product is exact; the quotient by
    // c (in ten-thousandths) gives ten-thousandths again.
    return Decimal(narrowed(divRoundedSigned(Wide(a.m_raw) * Wide(b.m_raw), Wide(c.m_raw))));
}

Decimal Decimal::timesFactor(double factor) const
{
    return Decimal(scaledByDouble(m_raw, factor));
}

} // namespace varnock
