#include "store/decimal.h"
#include "store/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

using varnock::Decimal;

namespace {

constexpr std::int64_t MaxRaw = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MinRaw = std::numeric_limits<std::int64_t>::min();

Decimal dec(const char *text)
{
    const auto value = Decimal::parse(QString::fromLatin1(text));
    if (!value)
        throw std::invalid_argument(text);
    return *value;
}

Decimal raw(std::int64_t value)
{
    return Decimal::fromRaw(value);
}

} // namespace

TEST(DecimalRounding, HalfAwayFromZeroAtEveryPlace)
{
    struct Case
    {
        const char *value;
        int decimals;
        const char *expected;
    };
    const Case cases[] = {
        {"0.5", 0, "1"},           {"-0.5", 0, "-1"},        {"1.5", 0, "2"},
        {"2.5", 0, "3"},           {"-2.5", 0, "-3"},        {"0.4999", 0, "0"},
        {"-0.4999", 0, "0"},       {"0.05", 1, "0.1"},       {"-0.05", 1, "-0.1"},
        {"0.0499", 1, "0"},        {"2.25", 1, "2.3"},       {"2.345", 2, "2.35"},
        {"-2.345", 2, "-2.35"},    {"2.3449", 2, "2.34"},    {"-2.3449", 2, "-2.34"},
        {"0.005", 2, "0.01"},      {"-0.005", 2, "-0.01"},   {"0.0049", 2, "0"},
        {"0.0005", 3, "0.001"},    {"-0.0005", 3, "-0.001"}, {"0.0004", 3, "0"},
        {"1.2345", 3, "1.235"},    {"-1.2345", 3, "-1.235"}, {"1.2345", 4, "1.2345"},
        {"-0.0001", 4, "-0.0001"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.value) + " to " + std::to_string(c.decimals));
        EXPECT_EQ(dec(c.value).rounded(c.decimals), dec(c.expected));
    }
}

TEST(DecimalRounding, DecimalsOutsideTheRangeAreClamped)
{
    EXPECT_EQ(dec("2.5").rounded(-3), dec("3"));
    EXPECT_EQ(dec("1.2345").rounded(9), dec("1.2345"));
    EXPECT_EQ(dec("2.345").toString(-1), QStringLiteral("2"));
    EXPECT_EQ(dec("2.345").toString(6), QStringLiteral("2.3450"));
}

TEST(DecimalRounding, RoundingAtTheLimitOverflowsInsteadOfWrapping)
{
    EXPECT_THROW(raw(MaxRaw).rounded(0), std::overflow_error);
    EXPECT_THROW(raw(MinRaw).rounded(0), std::overflow_error);
    EXPECT_EQ(raw(MinRaw).rounded(2), raw(MinRaw + 8));
    EXPECT_EQ(raw(MaxRaw).rounded(4), raw(MaxRaw));
    EXPECT_EQ(raw(MaxRaw - 5807).rounded(0), raw(MaxRaw - 5807));
    // Text of the extremes still comes out right: it never goes through a rounded Decimal.
    EXPECT_EQ(raw(MaxRaw).toString(0), QStringLiteral("922337203685478"));
    EXPECT_EQ(raw(MinRaw).toString(2), QStringLiteral("-922337203685477.58"));
}

TEST(DecimalText, FixedDecimalsAndNoNegativeZero)
{
    EXPECT_EQ(dec("12").toString(2), QStringLiteral("12.00"));
    EXPECT_EQ(dec("1234567.891").toString(2), QStringLiteral("1234567.89"));
    EXPECT_EQ(dec("-1234567.895").toString(2), QStringLiteral("-1234567.90"));
    EXPECT_EQ(dec("0.07").toString(4), QStringLiteral("0.0700"));
    EXPECT_EQ(dec("2.5").toString(0), QStringLiteral("3"));
    EXPECT_EQ(dec("-0.0001").toString(4), QStringLiteral("-0.0001"));
    EXPECT_EQ(dec("-0.004").toString(2), QStringLiteral("0.00"));
    EXPECT_EQ(dec("-0.4").toString(0), QStringLiteral("0"));
    EXPECT_EQ(dec("-0.00004").toString(4), QStringLiteral("0.0000"));
    EXPECT_EQ(dec("-0").toString(2), QStringLiteral("0.00"));
    EXPECT_EQ(dec("-0.005").toString(2), QStringLiteral("-0.01"));
    for (int d = 0; d <= 4; ++d)
        EXPECT_FALSE(dec("-0.00001").toString(d).startsWith(QLatin1Char('-'))) << d;
}

TEST(DecimalText, ShortestText)
{
    EXPECT_EQ(dec("12.5").toString(), QStringLiteral("12.5"));
    EXPECT_EQ(dec("-3").toString(), QStringLiteral("-3"));
    EXPECT_EQ(dec("0.0001").toString(), QStringLiteral("0.0001"));
    EXPECT_EQ(dec("100").toString(), QStringLiteral("100"));
    EXPECT_EQ(Decimal().toString(), QStringLiteral("0"));
    EXPECT_EQ(raw(MaxRaw).toString(), QStringLiteral("922337203685477.5807"));
    EXPECT_EQ(raw(MinRaw).toString(), QStringLiteral("-922337203685477.5808"));
    // Text and parse agree both ways over the whole range.
    for (std::int64_t r : {MaxRaw, MinRaw, std::int64_t(1), std::int64_t(-10), std::int64_t(0),
                           std::int64_t(123456789)})
        EXPECT_EQ(Decimal::parse(raw(r).toString()), raw(r));
}

TEST(DecimalParse, AcceptsPlainDecimalText)
{
    EXPECT_EQ(Decimal::parse(u"12"), Decimal::fromInt(12));
    EXPECT_EQ(Decimal::parse(u"-0.5"), raw(-5000));
    EXPECT_EQ(Decimal::parse(u".25"), raw(2500));
    EXPECT_EQ(Decimal::parse(u"3."), Decimal::fromInt(3));
    EXPECT_EQ(Decimal::parse(u"+1.5"), raw(15000));
    EXPECT_EQ(Decimal::parse(u"  7.25 "), raw(72500));
    EXPECT_EQ(Decimal::parse(u"\t5\n"), Decimal::fromInt(5));
    EXPECT_EQ(Decimal::parse(u"000012.5000"), raw(125000));
    EXPECT_EQ(Decimal::parse(u"-0"), Decimal());
    EXPECT_EQ(Decimal::parse(u"922337203685477.5807"), raw(MaxRaw));
    EXPECT_EQ(Decimal::parse(u"-922337203685477.5808"), raw(MinRaw));
}

TEST(DecimalParse, RoundsDigitsBeyondTheFourthHalfAwayFromZero)
{
    EXPECT_EQ(Decimal::parse(u"1.23456"), raw(12346));
    EXPECT_EQ(Decimal::parse(u"1.23454999"), raw(12345));
    EXPECT_EQ(Decimal::parse(u"0.00005"), raw(1));
    EXPECT_EQ(Decimal::parse(u"-0.00005"), raw(-1));
    EXPECT_EQ(Decimal::parse(u"0.00004999999"), Decimal());
    EXPECT_EQ(Decimal::parse(u"9.99995"), Decimal::fromInt(10));
}

TEST(DecimalParse, RefusesAnythingElse)
{
    for (const char *bad :
         {"",      "   ",   "-",   "+",   ".",   "-.",   "1.2.3", "1e5", "1E5", "abc", "12a",
          "1,000", "1 000", "--1", "+-1", "- 1", "0x10", "1/2",   "５",  "NaN", "inf"}) {
        EXPECT_FALSE(Decimal::parse(QString::fromUtf8(bad)).has_value()) << bad;
    }
}

TEST(DecimalParse, OutOfRangeIsRefusedNotWrapped)
{
    EXPECT_FALSE(Decimal::parse(u"922337203685477.5808").has_value());
    EXPECT_FALSE(Decimal::parse(u"-922337203685477.5809").has_value());
    // Rounding the fifth decimal up would step past the limit.
    EXPECT_FALSE(Decimal::parse(u"922337203685477.58075").has_value());
    EXPECT_FALSE(Decimal::parse(u"922337203685478").has_value());
    EXPECT_FALSE(Decimal::parse(u"99999999999999999999999999999999999999999").has_value());
    EXPECT_FALSE(Decimal::parse(u"-18446744073709551616").has_value());
}

TEST(DecimalArithmetic, SumsAreExact)
{
    EXPECT_EQ(dec("0.1") + dec("0.2"), dec("0.3"));
    Decimal total;
    const Decimal cent = dec("0.01");
    for (int i = 0; i < 1000000; ++i)
        total += cent;
    EXPECT_EQ(total, Decimal::fromInt(10000));
    EXPECT_EQ(total.toString(2), QStringLiteral("10000.00"));
    for (int i = 0; i < 1000000; ++i)
        total -= cent;
    EXPECT_TRUE(total.isZero());
}

TEST(DecimalArithmetic, AdditionOverflowIsRefused)
{
    EXPECT_THROW(raw(MaxRaw) + raw(1), std::overflow_error);
    EXPECT_THROW(raw(MinRaw) - raw(1), std::overflow_error);
    EXPECT_THROW(raw(MinRaw) + raw(-1), std::overflow_error);
    EXPECT_THROW(raw(1) - raw(MinRaw), std::overflow_error);
    EXPECT_THROW(-raw(MinRaw), std::overflow_error);
    EXPECT_THROW(raw(MinRaw).abs(), std::overflow_error);
    EXPECT_EQ(raw(MaxRaw) + raw(MinRaw), raw(-1));
    EXPECT_EQ(raw(MinRaw + 1).abs(), raw(MaxRaw));
    Decimal d = raw(MaxRaw);
    EXPECT_THROW(d += raw(1), std::overflow_error);
    EXPECT_EQ(d, raw(MaxRaw)); // a refused sum leaves the total as it was
}

TEST(DecimalArithmetic, ProductsRoundHalfAwayFromZero)
{
    EXPECT_EQ(dec("2.5") * dec("2.5"), dec("6.25"));
    EXPECT_EQ(dec("1.2345") * dec("1.2345"), dec("1.524")); // 1.52399025
    EXPECT_EQ(dec("0.0001") * dec("0.5"), dec("0.0001"));   // 0.00005
    EXPECT_EQ(dec("-0.0001") * dec("0.5"), dec("-0.0001"));
    EXPECT_EQ(dec("0.0001") * dec("-0.5"), dec("-0.0001"));
    EXPECT_EQ(dec("-0.0001") * dec("-0.5"), dec("0.0001"));
    EXPECT_EQ(dec("0.0001") * dec("0.4999"), Decimal());
    EXPECT_EQ(dec("123.45") * Decimal(), Decimal());
}

TEST(DecimalArithmetic, ProductsNearTheLimits)
{
    EXPECT_EQ(raw(MaxRaw) * Decimal::fromInt(1), raw(MaxRaw));
    EXPECT_EQ(raw(MaxRaw) * Decimal::fromInt(-1), raw(-MaxRaw));
    EXPECT_EQ(raw(MinRaw) * Decimal::fromInt(1), raw(MinRaw));
    // The intermediate product is far beyond 64 bits; the result is not.
    EXPECT_EQ(raw(MaxRaw) * dec("0.5"), raw(4611686018427387904));
    EXPECT_EQ(raw(MinRaw) * dec("0.5"), raw(MinRaw / 2));
    EXPECT_EQ(dec("3037000.4999") * dec("3037000.4999"), dec("9223372036392.8499"));
    EXPECT_THROW(raw(MinRaw) * Decimal::fromInt(-1), std::overflow_error);
    EXPECT_THROW(raw(MaxRaw) * dec("1.0001"), std::overflow_error);
    EXPECT_THROW(raw(MaxRaw) * raw(MaxRaw), std::overflow_error);
    EXPECT_THROW(raw(MinRaw) * raw(MinRaw), std::overflow_error);
    EXPECT_THROW(dec("1000000000") * dec("1000000"), std::overflow_error);
}

TEST(DecimalArithmetic, QuotientsRoundHalfAwayFromZero)
{
    EXPECT_EQ(dec("1") / dec("3"), dec("0.3333"));
    EXPECT_EQ(dec("2") / dec("3"), dec("0.6667"));
    EXPECT_EQ(dec("-2") / dec("3"), dec("-0.6667"));
    EXPECT_EQ(dec("2") / dec("-3"), dec("-0.6667"));
    EXPECT_EQ(dec("-2") / dec("-3"), dec("0.6667"));
    EXPECT_EQ(dec("0.0002") / dec("4"), dec("0.0001")); // 0.00005
    EXPECT_EQ(dec("-0.0002") / dec("4"), dec("-0.0001"));
    EXPECT_EQ(dec("0.0001") / dec("3"), Decimal());
    EXPECT_EQ(dec("100") / dec("0.0001"), dec("1000000"));
}

TEST(DecimalArithmetic, QuotientsNearTheLimitsAndByZero)
{
    EXPECT_EQ(raw(MaxRaw) / Decimal::fromInt(1), raw(MaxRaw));
    EXPECT_EQ(raw(MinRaw) / Decimal::fromInt(1), raw(MinRaw));
    EXPECT_EQ(raw(MaxRaw) / raw(MaxRaw), Decimal::fromInt(1));
    EXPECT_EQ(raw(MinRaw) / raw(MaxRaw), Decimal::fromInt(-1));
    EXPECT_EQ(raw(1) / raw(MaxRaw), Decimal());
    EXPECT_THROW(raw(MinRaw) / Decimal::fromInt(-1), std::overflow_error);
    EXPECT_THROW(raw(MaxRaw) / dec("0.0001"), std::overflow_error);
    EXPECT_THROW(raw(MaxRaw) / dec("0.5"), std::overflow_error);
    EXPECT_THROW(dec("1") / Decimal(), std::domain_error);
    EXPECT_THROW(Decimal() / Decimal(), std::domain_error);
    EXPECT_THROW(raw(MinRaw) / Decimal(), std::domain_error);
}

TEST(DecimalArithmetic, MulDivRoundsOnceAtTheEnd)
{
    // A unit price 10 / 3 taken back through three units: rounding the price first loses
    // a ten-thousandth, one rounding at the end does not.
    EXPECT_EQ((dec("10") / dec("3")) * dec("3"), dec("9.9999"));
    EXPECT_EQ(Decimal::mulDiv(dec("10"), dec("3"), dec("3")), dec("10"));
    EXPECT_EQ(Decimal::mulDiv(dec("1"), dec("1"), dec("3")), dec("0.3333"));
    EXPECT_EQ(Decimal::mulDiv(dec("-1"), dec("2"), dec("3")), dec("-0.6667"));
    EXPECT_EQ(Decimal::mulDiv(dec("1"), dec("-2"), dec("-3")), dec("0.6667"));
    EXPECT_EQ(Decimal::mulDiv(dec("0.0001"), dec("1"), dec("2")), dec("0.0001"));
    EXPECT_EQ(Decimal::mulDiv(dec("-0.0001"), dec("1"), dec("2")), dec("-0.0001"));
    // Intermediates beyond 64 bits.
    EXPECT_EQ(Decimal::mulDiv(raw(MaxRaw), dec("2"), dec("2")), raw(MaxRaw));
    EXPECT_EQ(Decimal::mulDiv(raw(MinRaw), raw(MinRaw), raw(MinRaw)), raw(MinRaw));
    EXPECT_EQ(Decimal::mulDiv(raw(MaxRaw), raw(MaxRaw), raw(MaxRaw)), raw(MaxRaw));
    EXPECT_THROW(Decimal::mulDiv(raw(MaxRaw), dec("2"), dec("1")), std::overflow_error);
    EXPECT_THROW(Decimal::mulDiv(raw(MinRaw), dec("-1"), dec("1")), std::overflow_error);
    EXPECT_THROW(Decimal::mulDiv(dec("1"), dec("1"), Decimal()), std::domain_error);
}

TEST(DecimalConversion, FromDoubleTakesTheNearestHalfAwayFromZero)
{
    EXPECT_EQ(Decimal::fromDouble(2.345), dec("2.345"));
    EXPECT_EQ(Decimal::fromDouble(-2.345), dec("-2.345"));
    EXPECT_EQ(Decimal::fromDouble(0.1), dec("0.1"));
    EXPECT_EQ(Decimal::fromDouble(0.1 + 0.2), dec("0.3"));
    // Halves at the fifth place round up even where the double lies just below the half.
    EXPECT_EQ(Decimal::fromDouble(0.00015), raw(2));
    EXPECT_EQ(Decimal::fromDouble(-0.00015), raw(-2));
    EXPECT_EQ(Decimal::fromDouble(1.00005), raw(10001));
    EXPECT_EQ(Decimal::fromDouble(0.00014999), raw(1));
    EXPECT_EQ(Decimal::fromDouble(0.00004999), Decimal());
    EXPECT_EQ(Decimal::fromDouble(-0.0), Decimal());
    EXPECT_EQ(Decimal::fromDouble(1e-300), Decimal());
    EXPECT_EQ(Decimal::fromDouble(123456789012.5), dec("123456789012.5"));
    EXPECT_EQ(Decimal::fromDouble(900000000000000.0), dec("900000000000000"));
}

TEST(DecimalConversion, FromDoubleOutOfRangeIsRefused)
{
    EXPECT_THROW(Decimal::fromDouble(1e15), std::overflow_error);
    EXPECT_THROW(Decimal::fromDouble(-1e15), std::overflow_error);
    EXPECT_THROW(Decimal::fromDouble(1e300), std::overflow_error);
    EXPECT_THROW(Decimal::fromDouble(std::numeric_limits<double>::infinity()), std::overflow_error);
    EXPECT_THROW(Decimal::fromDouble(-std::numeric_limits<double>::infinity()),
                 std::overflow_error);
    EXPECT_THROW(Decimal::fromDouble(std::nan("")), std::overflow_error);
}

TEST(DecimalConversion, TimesFactor)
{
    EXPECT_EQ(dec("100").timesFactor(0.001), dec("0.1"));
    EXPECT_EQ(dec("2.5").timesFactor(1.5), dec("3.75"));
    EXPECT_EQ(dec("1234.5678").timesFactor(2.5), dec("3086.4195"));
    EXPECT_EQ(dec("3").timesFactor(0.1), dec("0.3"));
    EXPECT_EQ(dec("12.34").timesFactor(-1.0), dec("-12.34"));
    EXPECT_EQ(dec("12.34").timesFactor(0.0), Decimal());
    EXPECT_EQ(dec("12.34").timesFactor(1e-30), Decimal());
    EXPECT_EQ(dec("1").timesFactor(1.0 / 3.0), dec("0.3333"));
    // 0.0005 × 0.3 = 0.00015 exactly as the factor was written: rounds up, both signs.
    EXPECT_EQ(raw(5).timesFactor(0.3), raw(2));
    EXPECT_EQ(raw(-5).timesFactor(0.3), raw(-2));
    EXPECT_EQ(raw(5).timesFactor(-0.3), raw(-2));
    EXPECT_EQ(raw(1).timesFactor(0.5), raw(1));
    EXPECT_EQ(raw(1).timesFactor(0.4999), Decimal());
    EXPECT_EQ(raw(MaxRaw).timesFactor(1.0), raw(MaxRaw));
    EXPECT_EQ(raw(MinRaw).timesFactor(0.5), raw(MinRaw / 2));
    EXPECT_EQ(dec("0.0001").timesFactor(1e18), dec("100000000000000"));
}

TEST(DecimalConversion, TimesFactorOverflowIsRefused)
{
    EXPECT_THROW(raw(MaxRaw).timesFactor(2.0), std::overflow_error);
    EXPECT_THROW(raw(MinRaw).timesFactor(-1.0), std::overflow_error);
    EXPECT_THROW(dec("1").timesFactor(1e300), std::overflow_error);
    EXPECT_THROW(dec("1").timesFactor(std::numeric_limits<double>::infinity()),
                 std::overflow_error);
    EXPECT_THROW(dec("1").timesFactor(std::nan("")), std::overflow_error);
}

TEST(DecimalConversion, StoredValues)
{
    EXPECT_EQ(Decimal::fromVariant(QVariant()), Decimal());
    EXPECT_EQ(Decimal::fromVariant(QVariant(QMetaType(QMetaType::LongLong))), Decimal());
    EXPECT_EQ(Decimal::fromVariant(QVariant(QString())), Decimal());
    EXPECT_EQ(Decimal::fromVariant(QVariant(qlonglong(123456))), dec("12.3456"));
    EXPECT_EQ(Decimal::fromVariant(QVariant(int(-5))), dec("-0.0005"));
    EXPECT_EQ(Decimal::fromVariant(QVariant(12345.0)), dec("1.2345"));
    EXPECT_EQ(Decimal::fromVariant(QVariant(QStringLiteral(" 250000 "))), dec("25"));
    EXPECT_EQ(Decimal::fromVariant(raw(MinRaw).toVariant()), raw(MinRaw));
    EXPECT_EQ(Decimal::fromVariant(dec("-7.5").toVariant()), dec("-7.5"));
    EXPECT_THROW(Decimal::fromVariant(QVariant(QStringLiteral("12.5 元"))), varnock::StoreError);
    EXPECT_THROW(Decimal::fromVariant(QVariant(qulonglong(MaxRaw) + 1)), std::overflow_error);
    EXPECT_THROW(Decimal::fromVariant(QVariant(1e30)), std::overflow_error);
}

TEST(DecimalConversion, IntegersAndOrder)
{
    EXPECT_EQ(Decimal::fromInt(-3).raw(), -30000);
    EXPECT_EQ(Decimal::fromInt(922337203685477), raw(922337203685477 * Decimal::Scale));
    EXPECT_THROW(Decimal::fromInt(922337203685478), std::overflow_error);
    EXPECT_THROW(Decimal::fromInt(-922337203685478), std::overflow_error);
    EXPECT_LT(dec("-0.0001"), Decimal());
    EXPECT_GT(dec("1.0001"), dec("1"));
    EXPECT_TRUE(dec("-1").isNegative());
    EXPECT_FALSE(Decimal().isNegative());
    EXPECT_DOUBLE_EQ(dec("-12.5").toDouble(), -12.5);
}
