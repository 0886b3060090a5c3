#include "ledger/amountadjustments.h"

#include "ledger/cancelposting.h"
#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString P = QStringLiteral("1003");
const QDate Day(2026, 2, 10);

class AmountAdjustmentsTest : public ::testing::Test
{
protected:
    AmountAdjustmentsTest()
        : seed(set.db())
        , adjustments(set.db())
    {
        set.setMode(CostEngine::MovingAverage);
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addCategory(QStringLiteral("1001"), QStringLiteral("线材"), QStringLiteral("1"));
        set.addMaterial(QStringLiteral("1001001"), QStringLiteral("钢筋"), QStringLiteral("1001"));
        set.addCategory(QStringLiteral("10"), QStringLiteral("木材"));
        set.addMaterial(QStringLiteral("10001"), QStringLiteral("方木"), QStringLiteral("10"));
        set.addMaterial(P, QStringLiteral("砂子"), QStringLiteral("1"), true, dec("2.5"));
        seed.opening(QStringLiteral("1001001"), dec("10"), dec("1000"));
        seed.opening(QStringLiteral("10001"), dec("5"), dec("50"));
        seed.opening(P, dec("4"), dec("10"));
    }

    void TearDown() override
    {
        test::expectBooksBalance(set.db(), CostEngine::MovingAverage, formats);
    }

    QString refusalOf(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    AmountAdjustments adjustments;
    Formats formats;
};

TEST_F(AmountAdjustmentsTest, MovesTheAmountOnlyAndDeletingRestoresIt)
{
    const QString steel = QStringLiteral("1001001");
    const QList<qint64> ids = adjustments.add(Day, QStringLiteral("一号楼"),
                                              {{steel, dec("-50"), QStringLiteral("差价")}});
    ASSERT_EQ(ids.size(), 1);
    EXPECT_EQ(seed.kc(steel).amount, dec("950"));
    EXPECT_EQ(seed.kc(steel).quantity, dec("10"));
    const auto line = adjustments.line(ids.first());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->gcxm, QStringLiteral("一号楼"));
    EXPECT_EQ(line->kcje, dec("950"));
    EXPECT_EQ(adjustments.onDay(Day).size(), 1);
    EXPECT_TRUE(adjustments.onDay(Day.addDays(1)).isEmpty());

    // A change moves the amount from the old material to the new one.
    adjustments.change(Day, QString(), {{ids.first(), {QStringLiteral("10001"), dec("5"), {}}}});
    EXPECT_EQ(seed.kc(steel).amount, dec("1000"));
    EXPECT_EQ(seed.kc(QStringLiteral("10001")).amount, dec("55"));

    adjustments.remove(ids.first());
    EXPECT_EQ(seed.kc(QStringLiteral("10001")).amount, dec("50"));
    EXPECT_FALSE(adjustments.line(ids.first()));
}

TEST_F(AmountAdjustmentsTest, RefusedLinesWriteNothing)
{
    const QString steel = QStringLiteral("1001001");
    // The second line names a material without stock: the first is not saved either.
    EXPECT_EQ(
        refusalOf([&] {
            adjustments.add(Day, {}, {{steel, dec("3"), {}}, {QStringLiteral("1"), dec("1"), {}}});
        }),
        QStringLiteral("第 2 数据输入错误"));
    EXPECT_EQ(refusalOf([&] {
                  adjustments.add(Day, {}, {{steel, Decimal(), {}}});
              }),
              QStringLiteral("第 1 数据输入错误"));
    // A planned-price material stays at plan.
    EXPECT_FALSE(refusalOf([&] { adjustments.add(Day, {}, {{P, dec("1"), {}}}); }).isEmpty());
    EXPECT_EQ(seed.kc(steel).amount, dec("1000"));
    EXPECT_EQ(seed.kc(P).amount, dec("10"));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CLKVMT")).toInt(), 0);
}

TEST_F(AmountAdjustmentsTest, AClosedMonthStaysClosedAndCancelPostingReappliesTheOpenOnes)
{
    const QString steel = QStringLiteral("1001001");
    const qint64 january =
        adjustments.add(QDate(2026, 1, 20), {}, {{steel, dec("-50"), {}}}).first();
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 1, 31));
    for (const QDate &day : {QDate(2026, 1, 31), QDate(2026, 1, 5)}) {
        EXPECT_EQ(refusalOf([&] {
                      adjustments.add(day, {}, {{steel, dec("1"), {}}});
                  }),
                  AmountAdjustments::ClosedText);
    }
    EXPECT_EQ(refusalOf([&] { adjustments.remove(january); }), AmountAdjustments::ClosedText);
    EXPECT_EQ(refusalOf([&] {
                  adjustments.change(Day, {}, {{january, {steel, dec("1"), {}}}});
              }),
              AmountAdjustments::ClosedText);

    adjustments.add(QDate(2026, 2, 1), {}, {{steel, dec("20"), {}}});
    CancelPosting(set.db(), CostEngine::MovingAverage).cancel();
    EXPECT_EQ(seed.kc(steel).amount, dec("970"));
}

TEST_F(AmountAdjustmentsTest, QueryByDatesGroupThroughTheTreeAndRemark)
{
    adjustments.add(QDate(2026, 2, 1), {},
                    {{QStringLiteral("1001001"), dec("1"), QStringLiteral("a%")}});
    adjustments.add(QDate(2026, 2, 5), {},
                    {{QStringLiteral("10001"), dec("2"), QStringLiteral("b")}});
    AmountAdjustments::Filter f;
    EXPECT_EQ(adjustments.find(f).size(), 2);
    // Group 1 holds 1001001 through 1001, not 10001 that only starts with its code.
    f.group = QStringLiteral("1");
    ASSERT_EQ(adjustments.find(f).size(), 1);
    EXPECT_EQ(adjustments.find(f).first().clbh, QStringLiteral("1001001"));
    f = {};
    f.from = QDate(2026, 2, 2);
    EXPECT_EQ(adjustments.find(f).size(), 1);
    f = {};
    f.bz = QStringLiteral("a%");
    EXPECT_EQ(adjustments.find(f).size(), 1);
}

} // namespace
} // namespace varnock
