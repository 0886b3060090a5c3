#include "widgets/numericedit.h"
#include "widgets/numericvalidator.h"

#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;

TEST(NumericValidator, AcceptsPlainNumbersOnly)
{
    NumericValidator money(2, false);
    auto state = [](const NumericValidator &v, QString text) {
        int pos = 0;
        return v.validate(text, pos);
    };
    EXPECT_EQ(state(money, QStringLiteral("12.5")), QValidator::Acceptable);
    EXPECT_EQ(state(money, QString()), QValidator::Acceptable);
    EXPECT_EQ(state(money, QStringLiteral(".")), QValidator::Intermediate);
    EXPECT_EQ(state(money, QStringLiteral("1.2.3")), QValidator::Invalid);
    EXPECT_EQ(state(money, QStringLiteral("1.234")), QValidator::Invalid);
    EXPECT_EQ(state(money, QStringLiteral("-1")), QValidator::Invalid);
    EXPECT_EQ(state(money, QStringLiteral("1e5")), QValidator::Invalid);
    EXPECT_EQ(state(money, QStringLiteral(" 1")), QValidator::Invalid);
    EXPECT_EQ(state(money, QStringLiteral("１２")), QValidator::Invalid); // full-width digits
    // Beyond what the stored fixed-point value can hold.
    EXPECT_EQ(state(money, QString(15, u'9')), QValidator::Invalid);

    NumericValidator signedWhole(0, true);
    EXPECT_EQ(state(signedWhole, QStringLiteral("-")), QValidator::Intermediate);
    EXPECT_EQ(state(signedWhole, QStringLiteral("-40")), QValidator::Acceptable);
    EXPECT_EQ(state(signedWhole, QStringLiteral("4-0")), QValidator::Invalid);
    EXPECT_EQ(state(signedWhole, QStringLiteral("4.")), QValidator::Invalid);

    NumericValidator factor(-1, false);
    EXPECT_EQ(state(factor, QStringLiteral("0.000125")), QValidator::Acceptable);
}

TEST(NumericValidator, EachFigureKeepsItsBound)
{
    auto state = [](const NumericValidator &v, QString text) {
        int pos = 0;
        return v.validate(text, pos);
    };
    NumericValidator figure(4, true);
    // Unless told otherwise a figure keeps a price's bound, the smallest of all.
    EXPECT_EQ(state(figure, QStringLiteral("1000000")), QValidator::Acceptable);
    EXPECT_EQ(state(figure, QStringLiteral("1000000.0001")), QValidator::Invalid);
    EXPECT_EQ(state(figure, QStringLiteral("-1000000.0001")), QValidator::Invalid);
    figure.setFigure(Limits::Figure::Quantity);
    EXPECT_EQ(state(figure, QStringLiteral("100000000")), QValidator::Acceptable);
    EXPECT_EQ(state(figure, QStringLiteral("100000001")), QValidator::Invalid);
    figure.setFigure(Limits::Figure::Amount);
    EXPECT_EQ(state(figure, QStringLiteral("-100000000000")), QValidator::Acceptable);
    EXPECT_EQ(state(figure, QStringLiteral("100000000000.01")), QValidator::Invalid);

    // The keystroke that would pass the bound does not arrive.
    NumericEdit quantity(2, false);
    quantity.setFigure(Limits::Figure::Quantity);
    QTest::keyClicks(&quantity, QStringLiteral("1000000000"));
    EXPECT_EQ(quantity.text(), QStringLiteral("100000000"));
}

TEST(NumericEdit, TypedValueAndShownValue)
{
    NumericEdit price(4, false);
    QTest::keyClicks(&price, QStringLiteral("3,5.5a0"));
    EXPECT_EQ(price.text(), QStringLiteral("35.50"));
    ASSERT_TRUE(price.value().has_value());
    EXPECT_EQ(*price.value(), Decimal::fromRaw(355000));

    price.setValue(Decimal::fromRaw(12345));
    EXPECT_EQ(price.text(), QStringLiteral("1.2345"));
    price.setDecimals(2);
    price.setValue(Decimal::fromRaw(12345));
    EXPECT_EQ(price.text(), QStringLiteral("1.23"));

    price.clear();
    EXPECT_FALSE(price.value().has_value());
}
