#include "store/formats.h"

#include <gtest/gtest.h>

using varnock::Decimal;
using varnock::Formats;

namespace {

Decimal dec(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text)).value();
}

} // namespace

TEST(Formats, DecimalsOfTheFiveFormats)
{
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0")), 0);
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0.0")), 1);
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0.00")), 2);
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0.000")), 3);
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0.0000")), 4);
    EXPECT_EQ(Formats::DefaultFormat, QStringLiteral("0.00"));
    for (int d = 0; d <= 4; ++d)
        EXPECT_EQ(Formats::decimalsOf(Formats::formatFor(d)), d);
}

TEST(Formats, AnyOtherTextCountsAsTheDefault)
{
    for (const char *text :
         {"", "0.00000", "0.", ".00", "#,##0.00", "0,000", "00.0", "1", "0.0#", "abc"}) {
        EXPECT_EQ(Formats::decimalsOf(QString::fromLatin1(text)), 2) << text;
    }
    // The formats are read from one-line files; a line end or stray space is not a new format.
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral("0.000\r\n")), 3);
    EXPECT_EQ(Formats::decimalsOf(QStringLiteral(" 0 ")), 0);
}

TEST(Formats, FormatTextsAndClamping)
{
    EXPECT_EQ(Formats::formatFor(0), QStringLiteral("0"));
    EXPECT_EQ(Formats::formatFor(1), QStringLiteral("0.0"));
    EXPECT_EQ(Formats::formatFor(4), QStringLiteral("0.0000"));
    EXPECT_EQ(Formats::formatFor(-1), QStringLiteral("0"));
    EXPECT_EQ(Formats::formatFor(7), QStringLiteral("0.0000"));
}

TEST(Formats, DefaultIsTwoDecimalsForBoth)
{
    const Formats formats;
    EXPECT_EQ(formats.quantityDecimals(), 2);
    EXPECT_EQ(formats.amountDecimals(), 2);
    EXPECT_EQ(formats.quantityFormat(), Formats::DefaultFormat);
    EXPECT_EQ(formats.amountFormat(), Formats::DefaultFormat);
}

TEST(Formats, QuantityAndAmountRoundSeparately)
{
    const Formats formats(QStringLiteral("0.000"), QStringLiteral("0"));
    EXPECT_EQ(formats.quantityFormat(), QStringLiteral("0.000"));
    EXPECT_EQ(formats.amountFormat(), QStringLiteral("0"));
    EXPECT_EQ(formats.roundQuantity(dec("1.2345")), dec("1.235"));
    EXPECT_EQ(formats.roundQuantity(dec("-1.2345")), dec("-1.235"));
    EXPECT_EQ(formats.roundAmount(dec("2.5")), dec("3"));
    EXPECT_EQ(formats.roundAmount(dec("-2.5")), dec("-3"));
    EXPECT_EQ(formats.quantityText(dec("1.2345")), QStringLiteral("1.235"));
    EXPECT_EQ(formats.quantityText(dec("7")), QStringLiteral("7.000"));
    EXPECT_EQ(formats.amountText(dec("1234.5")), QStringLiteral("1235"));
    EXPECT_EQ(formats.amountText(dec("-0.4")), QStringLiteral("0"));
}

TEST(Formats, UnknownFormatTextsFallBackPerField)
{
    const Formats formats(QStringLiteral("0.0000"), QStringLiteral("bad"));
    EXPECT_EQ(formats.quantityDecimals(), 4);
    EXPECT_EQ(formats.amountDecimals(), 2);
    EXPECT_EQ(formats.amountText(dec("2.345")), QStringLiteral("2.35"));
    EXPECT_EQ(formats.quantityText(dec("2.345")), QStringLiteral("2.3450"));
}
