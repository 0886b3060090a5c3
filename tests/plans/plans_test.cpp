#include "ledger/cancelposting.h"
#include "plans/plancheck.h"
#include "plans/plancomparison.h"
#include "plans/plans.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using varnock::test::dec;

namespace {

QString refusalOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QString();
}

QDate day(int d, int month = 3)
{
    return QDate(2026, month, d);
}

class PlansTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(day(31));
        // 1 钢材 > 1001 钢筋 > 1001001, 1001002; 1 > 1002 型钢 > 1002001; 2 > 2001 > 2001001
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        set.addCategory(QStringLiteral("1002"), QStringLiteral("型钢"), QStringLiteral("1"));
        set.addCategory(QStringLiteral("2"), QStringLiteral("水泥"));
        set.addCategory(QStringLiteral("2001"), QStringLiteral("硅酸盐"), QStringLiteral("2"));
        set.addMaterial(QStringLiteral("1001001"), QStringLiteral("圆钢"), QStringLiteral("1001"));
        set.addMaterial(QStringLiteral("1001002"), QStringLiteral("螺纹钢"),
                        QStringLiteral("1001"));
        set.addMaterial(QStringLiteral("1002001"), QStringLiteral("角钢"), QStringLiteral("1002"));
        set.addMaterial(QStringLiteral("2001001"), QStringLiteral("P.O42.5"),
                        QStringLiteral("2001"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }

    qint64 plan(const QDate &date, const QList<std::pair<const char *, const char *>> &lines)
    {
        PlanVoucher v;
        v.czrq = date;
        for (const auto &[clbh, quantity] : lines) {
            PlanLine l;
            l.clbh = QString::fromLatin1(clbh);
            l.quantity = dec(quantity);
            v.lines << l;
        }
        return plans.saveNew(v);
    }
    // An issue line of kind `zl`, posted or not; returns its ID.
    qint64 issue(qint64 xtbh, const char *clbh, const char *quantity, const QDate &date,
                 bool posted = true, const char *zl = "1")
    {
        db().exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, CLBH, SJSL, ZL, "
                                 "JZBZ) VALUES (?, 'L', 'U1', ?, ?, ?, ?, ?)"),
                  {xtbh, date.toString(Qt::ISODate), QString::fromLatin1(clbh),
                   dec(quantity).toVariant(), QString::fromLatin1(zl), posted ? 1 : 0});
        return db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD")).toLongLong();
    }
    void issueReturn(qint64 llid, const char *clbh, const char *quantity, const QDate &date,
                     bool posted = true)
    {
        db().exec(QStringLiteral("INSERT INTO TKD (XTBH, THDJH, LLDWBH, CZRQ, CLBH, THSL, LLID, "
                                 "ZL, JZBZ) VALUES (900, 'K', 'U1', ?, ?, ?, ?, '1', ?)"),
                  {date.toString(Qt::ISODate), QString::fromLatin1(clbh), dec(quantity).toVariant(),
                   llid, posted ? 1 : 0});
    }

    test::TestAccountSet set;
    Plans plans{set.db(), Formats()};
};

TEST_F(PlansTest, ActualIsEveryPostedIssueNetOfReturnsInThePeriod)
{
    plan(day(1), {{"1001001", "100"}, {"1001002", "0"}, {"1002001", "50"}});
    plan(day(20), {{"1001001", "20"}});
    plan(day(1, 4), {{"1001001", "999"}}); // after the period
    const qint64 requisition = issue(1, "1001001", "30", day(5));
    issue(2, "1001001", "20", day(6), true, "2"); // transfer out counts too
    issueReturn(requisition, "1001001", "5", day(7));
    issueReturn(requisition, "1001001", "1", day(8), false); // unposted: not yet
    issue(3, "1001001", "100", day(9), false);               // unposted
    issue(4, "1001001", "7", day(28, 2));                    // before the period
    issue(5, "1001002", "10", day(10));
    issue(6, "2001001", "10", day(10)); // issued, never planned

    const QList<PlanComparison::Row> rows =
        PlanComparison(db()).fill(day(1), day(31), PlanComparison::Level::All);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].clbh, QStringLiteral("1001001"));
    EXPECT_EQ(rows[0].jhsl, dec("120"));
    EXPECT_EQ(rows[0].cksl, dec("45"));
    EXPECT_EQ(rows[0].sl, dec("75"));
    EXPECT_EQ(rows[0].bfb, dec("37.5"));
    // A plan of 0 has no percentage.
    EXPECT_EQ(rows[1].cksl, dec("10"));
    EXPECT_EQ(rows[1].sl, dec("-10"));
    EXPECT_FALSE(rows[1].bfb);
    // Planned, never issued: no actual, the whole plan left.
    EXPECT_FALSE(rows[2].cksl);
    EXPECT_EQ(rows[2].sl, dec("50"));
    EXPECT_EQ(rows[2].bfb, Decimal());
    EXPECT_EQ(
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM JHSLB_TEMP WHERE BFB IS NULL")).toInt(),
        1);

    EXPECT_EQ(
        refusalOf([&] { PlanComparison(db()).fill(day(2), day(1), PlanComparison::Level::All); }),
        QStringLiteral("起始日期不允许大于终止日期！"));
}

TEST_F(PlansTest, GroupLevelsSumTheirMembers)
{
    plan(day(1), {{"1001001", "100"}, {"1001002", "100"}, {"1002001", "50"}, {"2001001", "10"}});
    issue(1, "1001001", "50", day(2));
    issue(2, "1002001", "25", day(2));
    issue(3, "2001001", "20", day(2));

    const QList<PlanComparison::Row> second =
        PlanComparison(db()).rows(day(1), day(31), PlanComparison::Level::Second);
    ASSERT_EQ(second.size(), 4);
    EXPECT_EQ(second[0].clmc, QStringLiteral("钢筋"));
    EXPECT_EQ(second[0].jhsl, dec("200"));
    EXPECT_EQ(second[0].bfb, dec("25"));
    EXPECT_EQ(second[3].clbh, QStringLiteral("0"));
    EXPECT_EQ(second[3].clmc, QStringLiteral("全部材料 总计"));
    EXPECT_EQ(second[3].cksl, dec("95"));
    EXPECT_EQ(second[3].sl, dec("165"));

    const QList<PlanComparison::Row> first =
        PlanComparison(db()).rows(day(1), day(31), PlanComparison::Level::First);
    ASSERT_EQ(first.size(), 5);
    EXPECT_EQ(first[1].clmc, QStringLiteral("型钢 小计"));
    EXPECT_EQ(first[3].clmc, QStringLiteral("钢材 合计"));
    EXPECT_EQ(first[3].jhsl, dec("250"));
    EXPECT_EQ(first[3].cksl, dec("75"));
    EXPECT_EQ(first[3].bfb, dec("30"));
    EXPECT_EQ(first[4].clmc, QStringLiteral("水泥 合计"));
    EXPECT_EQ(first[4].bfb, dec("200"));

    const ReportTable report =
        PlanComparison(db()).build(ReportPeriod{day(1), day(31)}, PlanComparison::Level::First);
    EXPECT_EQ(report.style(3), ReportTable::RowStyle::Total);
}

TEST_F(PlansTest, APlanIsTheLinesOfItsDate)
{
    const qint64 key = plan(day(3), {{"1001001", "10"}, {"1002001", "5"}});
    EXPECT_EQ(Plans::dateOf(key), day(3));
    PlanVoucher v = *plans.load(key);
    ASSERT_EQ(v.lines.size(), 2);
    EXPECT_EQ(v.lines[0].clmc, QStringLiteral("圆钢"));

    // Edited in place: changed, removed and added lines, the date's other lines untouched.
    plan(day(4), {{"1001001", "1"}});
    v.lines[0].quantity = dec("12");
    v.lines[0].bz = QStringLiteral("二期");
    v.lines.removeLast();
    PlanLine added;
    added.clbh = QStringLiteral("2001001");
    v.lines << added; // a plan of 0
    plans.saveEdit(v);
    v = *plans.load(key);
    ASSERT_EQ(v.lines.size(), 2);
    EXPECT_EQ(v.lines[0].quantity, dec("12"));
    EXPECT_EQ(v.lines[0].bz, QStringLiteral("二期"));
    EXPECT_EQ(v.lines[1].clbh, QStringLiteral("2001001"));
    EXPECT_EQ(plans.load(Plans::keyOf(day(4)))->lines.size(), 1);

    // A line without a material, or with an unknown one, is refused by its number.
    v.lines[1].clbh = QStringLiteral("9");
    EXPECT_EQ(refusalOf([&] { plans.saveEdit(v); }), QStringLiteral("第 2 数据输入错误"));
    v.lines[1].clbh.clear();
    v.lines[1].quantity = dec("3");
    EXPECT_EQ(refusalOf([&] { plans.saveEdit(v); }), QStringLiteral("第 2 数据输入错误"));

    plans.removeLine(v.lines[0].id);
    EXPECT_EQ(plans.load(key)->lines.size(), 1);
    plans.remove(key);
    EXPECT_FALSE(plans.load(key));
}

TEST_F(PlansTest, TheQueryNarrowsByMaterialRemarkOrCategoryThroughTheTree)
{
    PlanVoucher v;
    v.czrq = day(2);
    for (const char *clbh : {"1001001", "1002001", "2001001"}) {
        PlanLine l;
        l.clbh = QString::fromLatin1(clbh);
        l.quantity = dec("2");
        l.bz = QStringLiteral("主楼");
        v.lines << l;
    }
    v.lines[2].bz = QStringLiteral("附楼");
    plans.saveNew(v);
    // Category 1 holds its grandchildren; category 10 would not, as a code prefix would.
    set.addCategory(QStringLiteral("10"), QStringLiteral("其他"));
    EXPECT_EQ(plans.find({{}, {}, QStringLiteral("1"), day(1), day(31)}).size(), 2);
    EXPECT_EQ(plans.find({{}, {}, QStringLiteral("1001"), day(1), day(31)}).size(), 1);
    EXPECT_TRUE(plans.find({{}, {}, QStringLiteral("10"), day(1), day(31)}).isEmpty());
    EXPECT_EQ(plans.find({{}, QStringLiteral("附楼"), {}, day(1), day(31)}).size(), 1);
    // The material comes first of the conditions.
    EXPECT_EQ(
        plans.find({QStringLiteral("2001001"), QStringLiteral("主楼"), {}, day(1), day(31)}).size(),
        1);
    EXPECT_TRUE(plans.find({{}, {}, {}, day(3), day(31)}).isEmpty());
    EXPECT_EQ(refusalOf([&] {
                  plans.find({{}, {}, {}, day(3), day(2)});
              }),
              QStringLiteral("起始日期不可大以终始日期"));
    EXPECT_EQ(Plans::queryReport(plans.find({{}, {}, {}, day(1), day(31)})).rowCount(), 3);

    const ReportTable list = plans.list(ReportPeriod{day(1), day(31)});
    // Three lines, three parents' subtotals, two grandparents' totals and the grand total.
    ASSERT_EQ(list.rowCount(), 9);
    EXPECT_EQ(list.textAt(list.rowCount() - 1, 1), QStringLiteral("全部材料 总计"));
    EXPECT_EQ(list.figureAt(8, list.columnOf(QStringLiteral("SL"))), dec("6"));
}

TEST_F(PlansTest, AnIssuePastItsPlanIsWarnedAbout)
{
    plan(day(1), {{"1001001", "50"}});
    plan(day(20), {{"1001001", "100"}}); // later than the issue: not yet planned
    issue(1, "1001001", "30", day(5));
    const qint64 llid = issue(2, "1001001", "25", day(10), false);
    issue(2, "1002001", "500", day(10), false); // no plan: nothing to say
    QList<PlanCheck::OverPlan> over = PlanCheck::overPlans(db(), 2);
    ASSERT_EQ(over.size(), 1);
    EXPECT_EQ(over[0].planned, dec("50"));
    EXPECT_EQ(over[0].issued, dec("55"));
    EXPECT_EQ(over[0].text(Formats()),
              QStringLiteral("材料 圆钢（1001001）计划数量 50.00，已出库 55.00，超出计划！"));

    // Returns bring it back within the plan.
    issueReturn(llid, "1001001", "5", day(10), false);
    EXPECT_TRUE(PlanCheck::overPlans(db(), 2).isEmpty());
    EXPECT_TRUE(PlanCheck::warning(db(), 1, Formats()).isEmpty());
}

TEST_F(PlansTest, PlansSurviveCancelPosting)
{
    test::LedgerSeed seed(db());
    seed.opening(QStringLiteral("1001001"), dec("10"), dec("100"));
    db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    plan(day(1, 2), {{"1001001", "5"}});
    plan(day(5), {{"1001001", "5"}});
    CancelPosting(db(), 2).cancel();
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM CLJH")).toInt(), 2);
}

} // namespace
