#include "ledger/plannedstock.h"

#include "ledger/costengine.h"
#include "ledger/invariantchecker.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString A = QStringLiteral("1001"); // actual prices
const QString P = QStringLiteral("1003"); // planned price 2.50
const QString Q = QStringLiteral("1004"); // planned price 0.125

class PlannedStockTest : public ::testing::TestWithParam<int>
{
protected:
    PlannedStockTest()
        : seed(set.db())
    {
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(P, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
        set.addMaterial(Q, QStringLiteral("垫片"), QStringLiteral("1"), true, dec("0.125"));
        seed.opening(A, dec("10"), dec("37.00"));
        seed.opening(P, dec("10"), dec("30.00"));
        seed.opening(Q, dec("3"), dec("0.39"));
    }

    // Every test ends with the books on plan and balanced.
    void TearDown() override { test::expectBooksBalance(set.db(), GetParam(), formats); }

    // What books kept before openings entered at plan look like.
    void putOffPlan(const QString &clbh, const char *amount)
    {
        set.db().exec(QStringLiteral("UPDATE KC SET KCJE = ? WHERE CLBH = ?"),
                      {dec(amount).toVariant(), clbh});
    }

    QStringList found()
    {
        QStringList out;
        for (const PlannedStock::OffPlan &r : PlannedStock(set.db(), formats).offPlan()) {
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(r.clbh, r.quantity.toString(), r.amount.toString(),
                            r.planned.toString());
        }
        return out;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    Formats formats;
};

TEST_P(PlannedStockTest, OnlyPlannedMaterialsOffPlanAreFoundAndTheCheckerSaysSo)
{
    EXPECT_TRUE(found().isEmpty());
    putOffPlan(A, "40.00");
    putOffPlan(P, "30.00");
    putOffPlan(Q, "0.39"); // the sum of three pieces at 0.13; the plan is 0.375 → 0.38
    EXPECT_EQ(found(),
              QStringList({QStringLiteral("1003 10 30 25"), QStringLiteral("1004 3 0.39 0.38")}));

    int offPlan = 0;
    for (const InvariantBreach &b : InvariantChecker::check(set.db(), GetParam(), formats))
        offPlan += b.kind == InvariantBreach::Kind::OffPlan ? 1 : 0;
    EXPECT_EQ(offPlan, 2);

    // The actual-price material was drifted by hand; put back, it leaves the plan alone.
    putOffPlan(A, "37.00");
    PlannedStock(set.db(), formats).repair(QStringLiteral("1"));
}

TEST_P(PlannedStockTest, RepairRewritesOnlyWhatIsOffPlanAndLogsItOnce)
{
    putOffPlan(P, "30.00");
    PlannedStock planned(set.db(), formats);
    const QList<PlannedStock::OffPlan> repaired = planned.repair(QStringLiteral("7"));
    ASSERT_EQ(repaired.size(), 1);
    EXPECT_EQ(repaired.first().clbh, P);
    EXPECT_EQ(seed.kc(P).amount, dec("25.00"));
    EXPECT_EQ(seed.kc(P).quantity, dec("10"));
    EXPECT_EQ(seed.kc(A).amount, dec("37.00"));
    // The opening balance keeps what the site paid.
    EXPECT_EQ(Decimal::fromVariant(
                  set.db().scalar(QStringLiteral("SELECT KCJE FROM ZWCSH WHERE CLBH = ?"), {P})),
              dec("30.00"));

    const auto records = [&] {
        return set.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ WHERE CZY = '7' AND CZXX = ?"),
                    {PlannedStock::RepairLogText})
            .toInt();
    };
    EXPECT_EQ(records(), 1);

    // Nothing left to repair: nothing written, no second record.
    EXPECT_TRUE(planned.repair(QStringLiteral("7")).isEmpty());
    EXPECT_EQ(records(), 1);
}

TEST_P(PlannedStockTest, TheMessageNamesTheMaterialsAndWhatToDo)
{
    putOffPlan(P, "30.00");
    PlannedStock planned(set.db(), formats);
    const QList<PlannedStock::OffPlan> off = planned.offPlan();
    using Remedy = PlannedStock::Remedy;
    const QString offer = PlannedStock::message(off, formats, Remedy::Repair);
    EXPECT_TRUE(offer.contains(QStringLiteral("1003 水泥  库存金额 30.00，应为 25.00")))
        << offer.toStdString();
    EXPECT_TRUE(offer.endsWith(QStringLiteral("是否现在按计划单价重算这些材料的库存金额？")));
    EXPECT_TRUE(PlannedStock::message(off, formats, Remedy::AskOperator)
                    .endsWith(QStringLiteral("请由有月结处理权限的操作员登录后重算。")));
    // A set opened read-only is told so, not offered a repair it cannot write.
    const QString readOnly = PlannedStock::message(off, formats, Remedy::ReadOnly);
    EXPECT_TRUE(readOnly.contains(QStringLiteral("只读，不能重算"))) << readOnly.toStdString();
    EXPECT_FALSE(readOnly.contains(QStringLiteral("是否")));
    EXPECT_TRUE(PlannedStock::message({}, formats, Remedy::Repair).isEmpty());

    // A long list names the first ten and counts the rest.
    QList<PlannedStock::OffPlan> many(12, off.first());
    const QString listed = PlannedStock::message(many, formats, Remedy::Repair);
    EXPECT_EQ(listed.count(QStringLiteral("1003 水泥")), 10);
    EXPECT_TRUE(listed.contains(QStringLiteral("共 12 种材料")));
    planned.repair(QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(Modes, PlannedStockTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
