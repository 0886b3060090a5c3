#include "vouchers/voucherbook.h"

#include "store/clock.h"
#include "store/database.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace varnock;

TEST(VoucherBook, RunningNumberIsTheTrailingAsciiDigits)
{
    EXPECT_EQ(VoucherBook::runningNumberOf(QStringLiteral("2026-03-10 - 1001")), 1001);
    EXPECT_EQ(VoucherBook::runningNumberOf(QStringLiteral("2026-03-10  100000 ")), 100000);
    // Typed by hand without a number, or with full-width digits: no running number.
    EXPECT_EQ(VoucherBook::runningNumberOf(QStringLiteral("退货单")), std::nullopt);
    EXPECT_EQ(VoucherBook::runningNumberOf(QStringLiteral("第１２号")), std::nullopt);
    EXPECT_EQ(VoucherBook::runningNumberOf(QString()), std::nullopt);
}

TEST(VoucherBook, DatesReadBackWhateverTimeFollowsThem)
{
    EXPECT_EQ(VoucherBook::dateOf(QStringLiteral("2026-02-28 00:00:00")), QDate(2026, 2, 28));
    EXPECT_FALSE(VoucherBook::dateOf(QVariant()).isValid());
    EXPECT_EQ(VoucherBook::dateText(QDate(2026, 1, 5)), QStringLiteral("2026-01-05"));
}

TEST(FinderConditions, EmptyFieldsAddNothingAndValuesAreBound)
{
    FinderConditions f;
    f.equal(QStringLiteral("R.GYSBH"), QStringLiteral("  "));
    f.equal(QStringLiteral("R.FPBH"), QStringLiteral(" F'1 "));
    f.between(QStringLiteral("R.CZRQ"), QDate(2026, 1, 1), QDate(2026, 1, 31));
    EXPECT_EQ(f.where(), QStringLiteral("R.FPBH = ? AND R.CZRQ BETWEEN ? AND ?"));
    EXPECT_EQ(f.values(), (QVariantList{QStringLiteral("F'1"), QStringLiteral("2026-01-01"),
                                        QStringLiteral("2026-01-31")}));
}

TEST(VoucherBook, TheMonthsDocumentNumbersAreReadAlongAnIndex)
{
    // Read for every new voucher: with years of lines it must not read the whole table.
    test::TestAccountSet set;
    for (const char *table : {"RKD", "LLD"}) {
        QSqlQuery q = set.db().exec(
            QStringLiteral("EXPLAIN QUERY PLAN SELECT DISTINCT SUBSTR(CZRQ, 6, 2), YSDJH "
                           "FROM %1 WHERE SUBSTR(CZRQ, 6, 2) IN (?, ?)")
                .arg(QLatin1String(table)),
            {QStringLiteral("03"), QStringLiteral("02")});
        QString plan;
        while (q.next())
            plan += q.value(3).toString() + QLatin1Char('\n');
        EXPECT_TRUE(plan.contains(QStringLiteral("USING INDEX"))) << plan.toStdString();
        EXPECT_FALSE(plan.contains(QStringLiteral("TEMP B-TREE"))) << plan.toStdString();
    }
}

TEST(VoucherBook, ANewNumberRunsOnFromTheMonthsGreatestRunningNumber)
{
    // Numbers drawn on later days can be dated earlier in the month, or typed out of order:
    // the latest day's number need not hold the greatest running number, and taking its
    // number again would give two vouchers of the month the same one.
    test::TestAccountSet set;
    Clock::setToday(QDate(2026, 12, 7));
    const auto voucher = [&](qint64 xtbh, const char *czrq, const char *ysdjh) {
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, YSDJH, CLBH) "
                                     "VALUES (?, ?, ?, '1001')"),
                      {xtbh, QString::fromLatin1(czrq), QString::fromLatin1(ysdjh)});
    };
    VoucherBook book(set.db());
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1001"));
    voucher(1, "2026-12-07", "2026-12-07 - 1010");
    voucher(2, "2026-12-04", "2026-12-04 - 1011");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 1012"));
    // Past 99999 the number keeps counting instead of starting again from its last digits.
    voucher(3, "2026-12-05", "2026-12-05 - 100000");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 100001"));
    // A number typed by hand without running digits counts for nothing.
    voucher(4, "2026-12-06", "手工单ABCDE");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2026-12-07 - 100001"));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, ANumberDrawnThisMonthCountsWhateverMonthItsVoucherIsDatedIn)
{
    // Early in a month the month before is still open: a voucher entered now may be dated in
    // it, yet its number was drawn now, and the next voucher must not draw it again.
    test::TestAccountSet set;
    Clock::setToday(QDate(2027, 1, 2));
    const auto voucher = [&](qint64 xtbh, const char *czrq, const char *ysdjh) {
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, YSDJH, CLBH) "
                                     "VALUES (?, ?, ?, '1001')"),
                      {xtbh, QString::fromLatin1(czrq), QString::fromLatin1(ysdjh)});
    };
    VoucherBook book(set.db());
    // The month before's own numbers are its own.
    voucher(1, "2026-12-30", "2026-12-30 - 1040");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2027-01-02 - 1001"));
    voucher(2, "2026-12-31", "2027-01-02 - 1001");
    EXPECT_EQ(book.monthlyDocumentNumber(QStringLiteral("LLD")),
              QStringLiteral("2027-01-02 - 1002"));
    Clock::setToday(std::nullopt);
}

TEST(VoucherBook, DrawnNumbersAreToldFromTypedOnes)
{
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 - 1001")));
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10  1001")));
    EXPECT_TRUE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 100000")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QStringLiteral("RK-1001")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QStringLiteral("2026-03-10 - 1001 追加")));
    EXPECT_FALSE(VoucherBook::looksDrawn(QString()));
}
