#include "reports/ledgerquery.h"

#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/postedbooks.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using Family = Posting::Family;
using Conditions = LedgerQuery::Conditions;

const QString A = QStringLiteral("1001001");  // 螺纹钢
const QString B = QStringLiteral("1001002");  // 圆钢
const QString P = QStringLiteral("1001003");  // 盘条, at the planned price 3.30
const QString C = QStringLiteral("10001001"); // cement, in category 10
const QDate March1(2026, 3, 1);
const QDate March31(2026, 3, 31);

// Books worked by hand, the same vouchers under either costing method: opening balances closed
// at January's end, a February receipt, and March's vouchers of every kind.
class LedgerQueryTest : public ::testing::TestWithParam<int>
{
protected:
    LedgerQueryTest()
        : seed(set.db())
        , mode(GetParam())
        , books(set.db(), mode)
    {
        set.setMode(mode);
        test::addReportCatalogue(set);

        seed.opening(A, dec("10"), dec("50.00"));
        seed.opening(B, dec("4"), dec("48.00"));
        seed.opening(P, dec("10"), dec("33.00"));
        seed.opening(C, dec("20"), dec("40.00"));
        books.close("2026-01-31");
        receive("2026-02-10", A, "10", "60.00", "R'1");

        const qint64 r = receive("2026-03-02", A, "5", "32.00", "R%");
        books.giveBack("2026-03-03", r, A, "1", "6.40");
        receive("2026-03-04", P, "5", "15.00", "R_");
        receive("2026-03-04", B, "1", "13.00", "Rx", QStringLiteral("调拨入库"),
                QStringLiteral("G2"));
        issued = issue("2026-03-05", A, "22", "U1", "1", "一号楼");
        issue("2026-03-06", B, "1", "U2", "2", "二号楼");
        issue("2026-03-07", P, "3", "U2", "1", "一号楼");
        books.takeBack("2026-03-09", issued, "1");
        // Waiting to be posted: no pieces yet under first in first out.
        unposted = seed.issue(10, C, dec("2"), dec("2.00"), dec("4.00"));
        set.db().exec(QStringLiteral("UPDATE LLD SET CZRQ = '2026-03-12', YSDJH = 'L-open' "
                                     "WHERE ID = ?"),
                      {unposted});
        set.db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE, PDDJ) "
                                     "VALUES (?, '2026-03-13', -10000, -120000, 120000)"),
                      {B});
        set.db().exec(QStringLiteral("INSERT INTO ZLBIAO (DJBH, CLBH, GYSBH, LLDWBH, ZLRQ, ZLSL, "
                                     "DJ, YAJIN, JE) VALUES (7, ?, 'G1', 'U1', '2026-03-14', "
                                     "30000, 5000, 1000000, 0)"),
                      {B});
        set.db().exec(QStringLiteral("INSERT INTO ZLHZ (DJBH, ZLDJBH, ZLID, CLBH, GYSBH, LLDWBH, "
                                     "HZRQ, HZSL, DJ, HZJE) VALUES (3, 7, 1, ?, 'G1', 'U1', "
                                     "'2026-03-20', 10000, 5000, 50000)"),
                      {B});
        // A direct delivery: the supplier's receipt tied to the unit's issue.
        set.db().exec(
            QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, CLBH, SJDJ, "
                           "SJSL, SJJE, ZL, SGBW, DH, ZJZC) VALUES (90, 'C1001', 'U1', "
                           "'2026-03-15', ?, 20000, 40000, 80000, '1', '三号楼', '3#', 1)"),
            {C});
        directIssue = set.db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD")).toLongLong();
        set.db().exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, "
                                     "SJSL, SJJE, YFJE, CKID, CKBH) VALUES (91, 'Z1001', 'G1', "
                                     "'2026-03-15', '采购入库', ?, 20000, 40000, 80000, 0, ?, 90)"),
                      {C, directIssue});
        // Lines without a voucher number (a count's layer and piece) are no vouchers.
        set.db().exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, "
                                     "SJSL, SJJE, JZBZ) VALUES (0, 'hidden', 'G1', '2026-03-16', "
                                     "'采购入库', ?, 10000, 10000, 10000, 1)"),
                      {A});
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, CLBH, SJSL, "
                                     "SJJE, ZL, JZBZ) VALUES (0, 'hidden', 'U1', '2026-03-16', "
                                     "?, 10000, 10000, '1', 1)"),
                      {A});
    }
    ~LedgerQueryTest() override { Clock::setToday(std::nullopt); }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    LedgerQuery query() { return LedgerQuery(set.db(), mode, formats); }

    // A receipt under its own document number, paid in full.
    qint64 receive(const char *date, const QString &clbh, const char *q, const char *amount,
                   const char *number, const QString &kind = QStringLiteral("采购入库"),
                   const QString &supplier = QStringLiteral("G1"))
    {
        const qint64 id = books.receive(date, clbh, q, amount, supplier, kind);
        set.db().exec(QStringLiteral("UPDATE RKD SET YSDJH = ?, YFJE = SJJE WHERE ID = ?"),
                      {QString::fromUtf8(number), id});
        return id;
    }
    // An issue for a construction site of building 1#.
    qint64 issue(const char *date, const QString &clbh, const char *q, const char *unit,
                 const char *kind, const char *site)
    {
        const qint64 id = books.issue(date, clbh, q, unit, kind);
        set.db().exec(QStringLiteral("UPDATE LLD SET SGBW = ?, DH = '1#' WHERE ID = ?"),
                      {QString::fromUtf8(site), id});
        return id;
    }

    Conditions march(LedgerQuery::Kind kind)
    {
        Conditions c;
        c.kind = kind;
        c.from = March1;
        c.to = March31;
        return c;
    }

    // The rows as shown, one line each: 记账标志 单据编号 帐类信息 实际单价 数量 实际金额
    // 供应商/耗料单位, the total row last.
    std::string shown(const LedgerQuery::Result &result)
    {
        const ReportTable &t = result.table;
        QStringList rows;
        for (int r = 0; r < t.rowCount(); ++r) {
            QStringList cells;
            if (t.style(r) == ReportTable::RowStyle::Total)
                cells << t.displayText(r, t.columnOf(QStringLiteral("HH")), formats);
            for (const char *field : {"JZBZ", "DJH", "ZLXX", "SJDJ", "SJSL", "SJJE", "GYS"})
                cells << t.displayText(r, t.columnOf(QLatin1String(field)), formats);
            rows << cells.join(QLatin1Char(' ')).simplified();
        }
        return rows.join(QLatin1Char('\n')).toStdString();
    }
    std::string kind(LedgerQuery::Kind k) { return shown(query().conditions(march(k))); }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    test::PostedBooks books;
    Formats formats;
    qint64 issued = 0;
    qint64 unposted = 0;
    qint64 directIssue = 0;
};

TEST_P(LedgerQueryTest, EachKindListsItsLinesOfThePeriod)
{
    using K = LedgerQuery::Kind;
    EXPECT_EQ(kind(K::Opening), "已记帐 初始化结存 5.00 10.00 50.00\n"
                                "已记帐 初始化结存 12.00 4.00 48.00\n"
                                "已记帐 初始化结存 3.30 10.00 33.00\n"
                                "已记帐 初始化结存 2.00 20.00 40.00\n"
                                "合计： 44.00 171.00");
    // The direct delivery's receipt is a purchase too; the count's layer is no voucher.
    EXPECT_EQ(kind(K::Purchase), "已记帐 R% 采购入库 6.40 5.00 32.00 第一建材\n"
                                 "已记帐 R_ 采购入库 3.30 5.00 16.50 第一建材\n"
                                 "未记帐 Z1001 采购入库 2.00 4.00 8.00 第一建材\n"
                                 "合计： 14.00 56.50");
    EXPECT_EQ(kind(K::TransferIn), "已记帐 Rx 调拨入库 13.00 1.00 13.00 第二建材\n"
                                   "合计： 1.00 13.00");
    EXPECT_EQ(kind(K::Provisional), "合计： 0.00 0.00");
    EXPECT_EQ(kind(K::PurchaseReturn), "已记帐 T3 采购退货 6.40 1.00 6.40 第一建材\n"
                                       "合计： 1.00 6.40");
    EXPECT_EQ(kind(K::Count), "已记帐 盘赢/亏 12.00 -1.00 -12.00\n合计： -1.00 -12.00");
    // Moving average: (48.00 + 13.00) ÷ 5; first in first out: the opening layer.
    EXPECT_EQ(kind(K::TransferOut), fifo() ? "已记帐 L7 调拨出库 12.00 1.00 12.00 二工区\n"
                                             "合计： 1.00 12.00"
                                           : "已记帐 L7 调拨出库 12.20 1.00 12.20 二工区\n"
                                             "合计： 1.00 12.20");
    EXPECT_EQ(kind(K::Lease), "7 租赁 0.50 3.00 100.00 一工区\n合计： 3.00 100.00");
    EXPECT_EQ(kind(K::LeaseReturn), "已记账 3 还租 0.50 1.00 5.00 一工区\n合计： 1.00 5.00");
    EXPECT_EQ(kind(K::Direct), "未记帐 Z1001/C1001 直近直出 2.00 4.00 8.00 第一建材/一工区\n"
                               "合计： 4.00 8.00");
    if (fifo()) {
        // The returned piece comes back at what the line cost: 122.80 ÷ 22.
        EXPECT_EQ(kind(K::RequisitionReturn), "已记帐 K9 领料退货 5.58 1.00 5.58 一工区\n"
                                              "合计： 1.00 5.58");
    } else {
        EXPECT_EQ(kind(K::RequisitionReturn), "已记帐 K9 领料退货 5.65 1.00 5.65 一工区\n"
                                              "合计： 1.00 5.65");
    }
}

TEST_P(LedgerQueryTest, IssuesAreListedPerLayerUnderFirstInFirstOut)
{
    const std::string planned = "已记帐 L8 领料出库 3.30 3.00 9.90 二工区\n";
    const std::string waiting = "未记帐 L-open 领料出库 2.00 2.00 4.00 一工区\n";
    const std::string direct = "未记帐 C1001 领料出库 2.00 4.00 8.00 一工区\n";
    if (fifo()) {
        // 22 drawn from three layers: the opening, February's and March's (less the 1 returned).
        EXPECT_EQ(kind(LedgerQuery::Requisition), "已记帐 L6 领料出库 5.00 10.00 50.00 一工区\n"
                                                  "已记帐 L6 领料出库 6.00 10.00 60.00 一工区\n"
                                                  "已记帐 L6 领料出库 6.40 2.00 12.80 一工区\n" +
                                                      planned + waiting + direct +
                                                      "合计： 31.00 144.70");
    } else {
        EXPECT_EQ(kind(LedgerQuery::Requisition), "已记帐 L6 领料出库 5.65 22.00 124.30 一工区\n" +
                                                      planned + waiting + direct +
                                                      "合计： 31.00 146.20");
    }
    // Every row of the pieces opens the issue line.
    const LedgerQuery::Result r = query().conditions(march(LedgerQuery::Requisition));
    ASSERT_TRUE(r.sources.first());
    EXPECT_EQ(r.sources.first()->family, Family::Issue);
    EXPECT_EQ(r.sources.first()->lineId, issued);
    EXPECT_FALSE(r.sources.last());
}

TEST_P(LedgerQueryTest, PlannedPriceMaterialsShowQuantityAtPlan)
{
    Conditions c = march(LedgerQuery::Purchase);
    c.material = P;
    const LedgerQuery::Result r = query().conditions(c);
    ASSERT_EQ(r.table.rowCount(), 2);
    const ReportTable &t = r.table;
    EXPECT_EQ(t.figureAt(0, t.columnOf(QStringLiteral("JHDJ"))), dec("3.30"));
    EXPECT_EQ(t.figureAt(0, t.columnOf(QStringLiteral("SJDJ"))), dec("3.30"));
    EXPECT_EQ(t.figureAt(0, t.columnOf(QStringLiteral("JHJE"))), dec("16.50"));
    EXPECT_EQ(t.figureAt(0, t.columnOf(QStringLiteral("SJJE"))), dec("16.50"));
    // What was paid stays what the invoice said.
    EXPECT_EQ(t.figureAt(0, t.columnOf(QStringLiteral("YFJE"))), dec("15.00"));
}

TEST_P(LedgerQueryTest, ConditionsNarrowTheKindAndEmptyOnesAddNothing)
{
    Conditions c = march(LedgerQuery::Requisition);
    c.site = QStringLiteral("一号楼");
    c.supplier = QStringLiteral("G2"); // issues have no supplier: not used
    EXPECT_EQ(query().conditions(c).table.rowCount(), fifo() ? 5 : 3);
    c.material = P;
    EXPECT_EQ(kind(LedgerQuery::Requisition).empty(), false);
    EXPECT_EQ(shown(query().conditions(c)),
              "已记帐 L8 领料出库 3.30 3.00 9.90 二工区\n合计： 3.00 9.90");
    c.material.clear();
    c.site.clear();
    c.unit = QStringLiteral("U2");
    c.name = QStringLiteral("圆钢");
    EXPECT_EQ(query().conditions(c).table.rowCount(), 1) << "kind '1' only";

    // Blank fields are no conditions; start = end takes that one day.
    Conditions day = march(LedgerQuery::Purchase);
    day.from = day.to = QDate(2026, 3, 4);
    day.number = QStringLiteral("  ");
    EXPECT_EQ(shown(query().conditions(day)), "已记帐 R_ 采购入库 3.30 5.00 16.50 第一建材\n"
                                              "合计： 5.00 16.50");

    Conditions direct = march(LedgerQuery::Direct);
    direct.site = QStringLiteral("三号楼");
    direct.building = QStringLiteral("3#");
    direct.unit = QStringLiteral("U1");
    EXPECT_EQ(query().conditions(direct).table.rowCount(), 2);
    direct.unit = QStringLiteral("U2");
    EXPECT_EQ(query().conditions(direct).table.rowCount(), 1);

    Conditions lease = march(LedgerQuery::Lease);
    lease.number = QStringLiteral("7");
    EXPECT_EQ(query().conditions(lease).table.rowCount(), 2);
    lease.number = QStringLiteral("7x");
    EXPECT_EQ(query().conditions(lease).table.rowCount(), 1);
}

TEST_P(LedgerQueryTest, QuotesAndWildcardsFindExactlyWhatTheySay)
{
    Conditions c = march(LedgerQuery::Purchase);
    c.from = QDate(2026, 2, 1);
    for (const char *number : {"R'1", "R%", "R_"}) {
        c.number = QString::fromUtf8(number);
        const LedgerQuery::Result r = query().conditions(c);
        ASSERT_EQ(r.table.rowCount(), 2) << number;
        EXPECT_EQ(r.table.displayText(0, r.table.columnOf(QStringLiteral("DJH")), formats),
                  c.number);
    }
    c.number = QStringLiteral("R%' OR '1'='1");
    EXPECT_EQ(query().conditions(c).table.rowCount(), 1);
}

TEST_P(LedgerQueryTest, DatesAndKindAreCheckedFirst)
{
    Conditions c = march(LedgerQuery::Purchase);
    c.from = QDate(2026, 4, 1);
    try {
        query().conditions(c);
        FAIL() << "accepted an end before the start";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.title, QStringLiteral("提示窗口"));
        EXPECT_EQ(r.text, QStringLiteral("起始日期应小于终止日期"));
    }
    c = march(LedgerQuery::Purchase);
    c.kind.reset();
    try {
        query().conditions(c);
        FAIL() << "accepted no kind";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("请选择选择帐类"));
    }
    EXPECT_THROW(query().items(std::nullopt, March31, March1), Refusal);
}

TEST(LedgerQueryKinds, KindsAreTakenByTextOrPosition)
{
    EXPECT_EQ(LedgerQuery::kindTexts().size(), LedgerQuery::KindCount);
    EXPECT_EQ(LedgerQuery::kindOf(QStringLiteral("采购入库")), LedgerQuery::Purchase);
    EXPECT_EQ(LedgerQuery::kindOf(QStringLiteral("16")), LedgerQuery::Direct);
    EXPECT_EQ(LedgerQuery::kindOf(QStringLiteral("0")), LedgerQuery::Opening);
    EXPECT_FALSE(LedgerQuery::kindOf(QStringLiteral("17")));
    EXPECT_FALSE(LedgerQuery::kindOf(QStringLiteral("采购")));
}

TEST_P(LedgerQueryTest, ItemQueryCarriesTheStockInThenListsEveryMovement)
{
    // Category 1 holds A, B and P through the tree; cement's code starts with 1 as well.
    const QStringList steel = query().materialsOf(QStringLiteral("1"));
    EXPECT_EQ(steel, (QStringList{A, B, P}));
    EXPECT_EQ(query().materialsOf(A), QStringList{A});
    EXPECT_EQ(query().materialsOf(QStringLiteral("0")).size(), 4);

    const std::string carried = fifo() ? "已记帐 上期结转 5.00 10.00 50.00\n"
                                         "已记帐 上期结转 6.00 10.00 60.00\n"
                                       : "已记帐 上期结转 5.50 20.00 110.00\n";
    const std::string issue = fifo() ? "已记帐 L6 领料出库 5.00 10.00 50.00 一工区\n"
                                       "已记帐 L6 领料出库 6.00 10.00 60.00 一工区\n"
                                       "已记帐 L6 领料出库 6.40 2.00 12.80 一工区\n"
                                     : "已记帐 L6 领料出库 5.65 22.00 124.30 一工区\n";
    const std::string back = fifo() ? "已记帐 K9 领料退货 5.58 1.00 5.58 一工区\n"
                                    : "已记帐 K9 领料退货 5.65 1.00 5.65 一工区\n";
    EXPECT_EQ(shown(query().items(QStringList{A}, March1, March31)),
              carried +
                  "已记帐 R% 采购入库 6.40 5.00 32.00 第一建材\n"
                  "已记帐 T3 采购退货 6.40 1.00 6.40 第一建材\n" +
                  issue + back + (fifo() ? "合计： 49.00 276.78" : "合计： 49.00 278.35"));

    const LedgerQuery::Result steelRows = query().items(steel, March1, March31);
    const LedgerQuery::Result all = query().items(std::nullopt, March1, March31);
    const ReportTable &t = all.table;
    int cement = 0;
    for (int r = 0; r < t.rowCount(); ++r)
        cement += t.displayText(r, t.columnOf(QStringLiteral("CLBH")), formats) == C;
    EXPECT_EQ(cement, 4) << "carried over, the direct receipt and issue, the waiting issue";
    EXPECT_EQ(steelRows.table.rowCount() + cement, t.rowCount());
    EXPECT_EQ(query().items(QStringList{}, March1, March31).table.rowCount(), 1);
}

TEST_P(LedgerQueryTest, ThePrintTableHoldsTheDataRowsInOrder)
{
    const LedgerQuery::Result r = query().conditions(march(LedgerQuery::Purchase));
    const ReportTable printed = query().printTable(r.table);
    EXPECT_EQ(printed.name(), QStringLiteral("cx"));
    EXPECT_EQ(printed.title(), QStringLiteral("信息查询结果"));
    EXPECT_EQ(printed.columnCount(), 15);
    ASSERT_EQ(printed.rowCount(), 4);
    EXPECT_EQ(printed.displayText(3, 0, formats), QStringLiteral("合计："));
    EXPECT_EQ(printed.figureAt(3, printed.columnOf(QStringLiteral("SJJE"))), dec("56.50"));

    Query q = set.db().query(QStringLiteral("SELECT JZBZ, DJH, SJJE FROM CX_TEMP"));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + q.value(1).toString() +
                    Decimal::fromVariant(q.value(2)).toString(2);
    EXPECT_EQ(rows, (QStringList{QStringLiteral("已记帐R%32.00"), QStringLiteral("已记帐R_16.50"),
                                 QStringLiteral("未记帐Z10018.00")}));

    const LedgerQuery::Result none = query().conditions(march(LedgerQuery::Provisional));
    EXPECT_FALSE(LedgerQuery::hasRecords(none.table));
    EXPECT_TRUE(LedgerQuery::hasRecords(r.table));
}

TEST_P(LedgerQueryTest, DirectDeliveriesOpenTheirDeliveryVoucher)
{
    const LedgerQuery::Result r = query().conditions(march(LedgerQuery::Direct));
    ASSERT_TRUE(r.sources.first());
    EXPECT_TRUE(r.sources.first()->direct);
    EXPECT_EQ(r.sources.first()->xtbh, 91);
    EXPECT_EQ(query().directVoucher(directIssue), 91);
    EXPECT_EQ(query().directVoucher(issued), 0);
    EXPECT_EQ(query().sites(), (QStringList{QStringLiteral("一号楼"), QStringLiteral("三号楼"),
                                            QStringLiteral("二号楼")}));
}

INSTANTIATE_TEST_SUITE_P(Modes, LedgerQueryTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
