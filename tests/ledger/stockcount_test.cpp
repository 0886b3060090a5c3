#include "ledger/stockcount.h"

#include "ledger/cancelposting.h"
#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString A = QStringLiteral("1001");
const QString B = QStringLiteral("1002");
const QString C = QStringLiteral("1003");
const QString P = QStringLiteral("1004"); // carried at its planned price 2.5
const QDate Day(2026, 2, 10);

class StockCountTest : public ::testing::Test
{
protected:
    explicit StockCountTest(int mode)
        : seed(set.db())
        , m_mode(mode)
    {
        set.setMode(mode);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addMaterial(C, QStringLiteral("水泥"));
        set.addMaterial(P, QStringLiteral("砂子"), QStringLiteral("1"), true, dec("2.5"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
    }

    void TearDown() override { test::expectBooksBalance(set.db(), mode(), formats); }

    int mode() const { return m_mode; }

    StockCount counter() { return StockCount(set.db(), mode(), formats); }

    void receive(qint64 xtbh, const QString &clbh, const char *q, const char *a)
    {
        seed.receipt(xtbh, clbh, dec(q), dec(a));
        Posting(set.db(), mode(), formats)
            .post(Posting::Family::StockIn, QStringLiteral("采购入库"), xtbh);
    }

    QList<QVariantList> pyk(const QString &clbh)
    {
        QList<QVariantList> rows;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT RQ, PDSL, PDJE, PDDJ FROM PYK "
                                                   "WHERE CLBH = ? ORDER BY PDDJ"),
                                    {clbh});
        while (q.next())
            rows.append({q.value(0), q.value(1), q.value(2), q.value(3)});
        return rows;
    }

    int number(const QString &sql) { return set.db().scalar(sql).toInt(); }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    Formats formats;
    int m_mode;
};

class MovingAverageCountTest : public StockCountTest
{
protected:
    MovingAverageCountTest()
        : StockCountTest(CostEngine::MovingAverage)
    {}
};

class FirstInFirstOutCountTest : public StockCountTest
{
protected:
    FirstInFirstOutCountTest()
        : StockCountTest(CostEngine::FirstInFirstOut)
    {}
};

TEST_F(MovingAverageCountTest, SurplusAndDeficitAtTheBookAverage)
{
    seed.opening(A, dec("10"), dec("100"));
    seed.opening(B, dec("4"), dec("10"));
    seed.opening(C, dec("5"), dec("50"));
    seed.opening(P, dec("8"), dec("20"));
    const QList<StockCount::Booked> booked = counter().save({{A, dec("12"), dec("99")},
                                                             {B, dec("3"), {}},
                                                             {C, dec("5"), dec("1")},
                                                             {P, dec("9"), dec("7")}},
                                                            Day);

    // The typed unit price plays no part; an equal count writes nothing.
    ASSERT_EQ(booked.size(), 3);
    EXPECT_EQ(booked[0].quantity, dec("2"));
    EXPECT_EQ(booked[0].amount, dec("20"));
    EXPECT_EQ(booked[1].quantity, dec("-1"));
    EXPECT_EQ(booked[1].amount, dec("-2.5"));
    EXPECT_EQ(seed.kc(A).quantity, dec("12"));
    EXPECT_EQ(seed.kc(A).amount, dec("120"));
    EXPECT_EQ(seed.kc(B).amount, dec("7.5"));
    EXPECT_EQ(seed.kc(C).amount, dec("50"));
    EXPECT_TRUE(pyk(C).isEmpty());
    ASSERT_EQ(pyk(A).size(), 1);
    EXPECT_EQ(pyk(A).first().at(0).toString(), QStringLiteral("2026-02-10"));
    // A planned-price material moves at plan.
    EXPECT_EQ(Decimal::fromVariant(pyk(P).first().at(2)), dec("2.5"));
    EXPECT_EQ(seed.kc(P).amount, dec("22.5"));
}

TEST_F(MovingAverageCountTest, CountingDownToNothingTakesTheWholeAmount)
{
    seed.opening(A, dec("3"), dec("10"));
    counter().save({{A, dec("0"), {}}}, Day);
    EXPECT_EQ(seed.kc(A).quantity, Decimal());
    EXPECT_EQ(seed.kc(A).amount, Decimal());
    EXPECT_EQ(Decimal::fromVariant(pyk(A).first().at(2)), dec("-10"));
}

TEST_F(MovingAverageCountTest, RefusedOnOrBeforeTheClosingAndWholeOrNothing)
{
    seed.opening(A, dec("10"), dec("100"));
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    try {
        counter().save({{A, dec("11"), {}}}, QDate(2026, 1, 31));
        FAIL() << "a count on the closing day was booked";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.title, QStringLiteral("提示窗口！！！"));
        EXPECT_EQ(r.text, QStringLiteral("系统日期至少大于月结日期！！！\n请修改系统日期！！！"));
    }
    // A line the books cannot take undoes the lines before it.
    EXPECT_THROW(counter().save({{A, dec("11"), {}}, {B, dec("1"), {}}}, Day), Refusal);
    EXPECT_THROW(counter().save({{A, dec("-1"), {}}}, Day), Refusal);
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM PYK")), 0);
    EXPECT_EQ(seed.kc(A).quantity, dec("10"));
    EXPECT_TRUE(counter().steps(QDate(2026, 2, 1)).isEmpty());
}

TEST_F(MovingAverageCountTest, CancelPostingKeepsOnlyTheClosedMonthsCounts)
{
    seed.opening(A, dec("10"), dec("100"));
    counter().save({{A, dec("9"), {}}}, QDate(2026, 1, 20));
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    counter().save({{A, dec("12"), {}}}, Day);
    CancelPosting(set.db(), CostEngine::MovingAverage).cancel();
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM PYK")), 1);
    EXPECT_EQ(seed.kc(A).quantity, dec("9"));
    EXPECT_EQ(seed.kc(A).amount, dec("90"));
}

TEST_F(MovingAverageCountTest, GridFiltersLiterallyAndRefusesUnknownComparisons)
{
    seed.opening(A, dec("10"), dec("100"));
    seed.opening(B, dec("4"), dec("10"));
    seed.opening(P, dec("8"), dec("99"));
    StockCount::Filter f;
    EXPECT_EQ(counter().rows(f).size(), 3);
    // A planned-price material shows at plan.
    EXPECT_EQ(counter().rows(f).last().kcje, dec("20"));
    f.by = StockCount::Filter::By::Code;
    f.text = QStringLiteral("100%");
    EXPECT_TRUE(counter().rows(f).isEmpty());
    f.text = QStringLiteral("100");
    f.quantityOperator = QStringLiteral(">=");
    f.quantity = dec("5");
    ASSERT_EQ(counter().rows(f).size(), 2);
    f.amountOperator = QStringLiteral("> 0 OR 1=1 --");
    EXPECT_THROW(counter().rows(f), Refusal);
}

TEST_F(FirstInFirstOutCountTest, DeficitDrawsTheOldestLayersThroughAnIssueLine)
{
    seed.opening(A, dec("10"), dec("100"));
    receive(1, A, "5", "60");
    const QList<StockCount::Booked> booked = counter().save({{A, dec("3"), {}}}, Day);
    ASSERT_EQ(booked.size(), 1);
    EXPECT_EQ(booked.first().quantity, dec("-12"));
    EXPECT_EQ(booked.first().amount, dec("-124"));
    EXPECT_EQ(seed.kc(A).quantity, dec("3"));
    EXPECT_EQ(seed.kc(A).amount, dec("36"));

    // The issue line: kind "1", posted, without voucher number or consuming unit.
    QSqlQuery q = set.db().exec(QStringLiteral("SELECT ZL, JZBZ, XTBH, LLDWBH, SJSL, SJJE "
                                               "FROM LLD"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("1"));
    EXPECT_NE(q.value(1).toInt(), 0);
    EXPECT_TRUE(q.value(2).isNull());
    EXPECT_TRUE(q.value(3).isNull());
    EXPECT_EQ(Decimal::fromVariant(q.value(4)), dec("12"));
    EXPECT_FALSE(q.next());
    q.finish();
    EXPECT_EQ(seed.pieceCount(), 2);
    // One count row per layer price drawn.
    const QList<QVariantList> rows = pyk(A);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(Decimal::fromVariant(rows[0].at(1)), dec("-10"));
    EXPECT_EQ(Decimal::fromVariant(rows[0].at(2)), dec("-100"));
    EXPECT_EQ(Decimal::fromVariant(rows[1].at(1)), dec("-2"));
    EXPECT_EQ(Decimal::fromVariant(rows[1].at(2)), dec("-24"));

    // The closing taken afterwards holds what is left, at the receipt's price.
    MonthEnd(set.db(), CostEngine::FirstInFirstOut, formats).close(QDate(2026, 2, 28));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM XJXCYJKCB")), 1);
}

TEST_F(FirstInFirstOutCountTest, SurplusBecomesTheNewestLayer)
{
    seed.opening(A, dec("2"), dec("20"));
    counter().save({{A, dec("5"), dec("11")}}, Day);
    EXPECT_EQ(seed.kc(A).quantity, dec("5"));
    EXPECT_EQ(seed.kc(A).amount, dec("53"));
    EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE XTBH IS NULL AND JZBZ <> 0 "
                                    "AND SJDJ = 110000")),
              1);
    // An issue of 4 takes the opening balance first, then 2 of the surplus.
    const qint64 line = seed.issue(1, A, dec("4"));
    Posting(set.db(), mode(), formats).post(Posting::Family::Issue, QStringLiteral("1"), 1);
    EXPECT_EQ(seed.issueAmount(line), dec("42"));
}

TEST_F(FirstInFirstOutCountTest, PlannedPriceMaterialStaysAtPlan)
{
    seed.opening(P, dec("4"), dec("10"));
    counter().save({{P, dec("6"), dec("9")}}, Day);
    EXPECT_EQ(seed.kc(P).amount, dec("15"));
    EXPECT_EQ(Decimal::fromVariant(pyk(P).first().at(2)), dec("5"));
    counter().save({{P, dec("1"), {}}}, Day.addDays(1));
    EXPECT_EQ(seed.kc(P).quantity, dec("1"));
    EXPECT_EQ(seed.kc(P).amount, dec("2.5"));
}

} // namespace
} // namespace varnock
