#include "reports/stockreport.h"

#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "ledger/reversal.h"
#include "reports/materialledger.h"
#include "reports/multisetreport.h"
#include "shell/datafolder.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/postedbooks.h"
#include "support/queryplan.h"
#include "support/testaccountset.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString A = QStringLiteral("1001001");  // 螺纹钢
const QString B = QStringLiteral("1001002");  // 圆钢
const QString P = QStringLiteral("1001003");  // 盘条, at the planned price 3.30
const QString D = QStringLiteral("1001004");  // 角钢, issued out before the period
const QString C = QStringLiteral("10001001"); // cement, in category 10

// Books worked by hand: the same vouchers under either costing method, a closing at each of
// the two month-ends before March and one inside March.
class StockReportTest : public ::testing::TestWithParam<int>
{
protected:
    StockReportTest()
        : seed(set.db())
        , mode(GetParam())
        , books(set.db(), mode)
    {
        set.setMode(mode);
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        set.addMaterial(A, QStringLiteral("螺纹钢"), QStringLiteral("1001"));
        set.addMaterial(B, QStringLiteral("圆钢"), QStringLiteral("1001"));
        set.addMaterial(P, QStringLiteral("盘条"), QStringLiteral("1001"), true, dec("3.30"));
        set.addMaterial(D, QStringLiteral("角钢"), QStringLiteral("1001"));
        set.addCategory(QStringLiteral("10"), QStringLiteral("水泥"));
        set.addCategory(QStringLiteral("10001"), QStringLiteral("散装水泥"), QStringLiteral("10"));
        set.addMaterial(C, QStringLiteral("P.O42.5"), QStringLiteral("10001"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.addUnit(QStringLiteral("U2"), QStringLiteral("二工区"));
        set.addUnit(QStringLiteral("U3"), QStringLiteral("三工区"));

        seed.opening(A, dec("10"), dec("50.00"));
        seed.opening(B, dec("4"), dec("48.00"));
        seed.opening(P, dec("10"), dec("30.00"));
        seed.opening(D, dec("2"), dec("10.00"));
        seed.opening(C, dec("20"), dec("40.00"));
        books.close("2026-01-31");
        books.receive("2026-02-10", A, "10", "60.00");
        books.issue("2026-02-11", D, "2", "U1");
        books.close("2026-02-28");

        const qint64 r = books.receive("2026-03-02", A, "5", "32.00");
        books.giveBack("2026-03-03", r, A, "1", "6.40");
        books.receive("2026-03-04", P, "5", "15.00");
        books.issue("2026-03-04", C, "5", "U1");
        const qint64 first = books.issue("2026-03-05", A, "4", "U1");
        const qint64 second = books.issue("2026-03-06", A, "2", "U2");
        books.issue("2026-03-07", A, "3", "U3");
        books.issue("2026-03-08", A, "5", "U1", "2");
        books.takeBack("2026-03-09", first, "1");
        Clock::setToday(QDate(2026, 3, 10));
        Reversal(set.db(), mode, formats).reverseIssueLine(second, QDate(2026, 3, 10));
        books.issue("2026-03-11", P, "3", "U1");
        seed.adjustment(A, dec("-0.45"));
        books.redate(QStringLiteral("CLKVMT"), books.lastId(QStringLiteral("CLKVMT")),
                     "2026-03-12");
        books.close("2026-03-15");
        books.receive("2026-03-20", B, "2", "25.00");
    }

    ~StockReportTest() override { Clock::setToday(std::nullopt); }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    StockReportRequest march(const QStringList &units = {QStringLiteral("U1"), QStringLiteral("U2"),
                                                         QStringLiteral("U3")})
    {
        return {QDate(2026, 3, 1),
                QDate(2026, 3, 31),
                StockReport::unitColumns(set.db(), units),
                {},
                {}};
    }
    StockReport report() { return StockReport(set.db(), mode); }

    // Every cell of every row, as shown: code, name, (price), then the figures; one line a
    // row (as std::string: failures print readably).
    std::string shownText(const ReportTable &table) { return lines(shown(table)); }
    static std::string lines(const QStringList &rows)
    {
        return rows.join(QLatin1Char('\n')).toStdString();
    }
    QStringList shown(const ReportTable &table)
    {
        QStringList rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.columnCount(); ++c) {
                if (table.columns().at(c).field == QLatin1String("CLGG") ||
                    table.columns().at(c).field == QLatin1String("JZDW"))
                    continue;
                cells << table.displayText(r, c, formats);
            }
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    test::PostedBooks books;
    Formats formats;
};

TEST_P(StockReportTest, DetailRowsOfHandWorkedBooks)
{
    const ReportTable table = report().detail(march());
    //                 code|name|price|opening|receipts|U1|U2|U3|all issues|+adj|-adj|closing
    const QStringList average = {
        "1001001|螺纹钢|5.62|20.00|110.00|4.00|25.60|3.00|16.95|||3.00|16.95|6.00|33.90||-0.45|"
        "13.00|73.00",
        "1001002|圆钢|12.17|4.00|48.00|2.00|25.00|||||||||||6.00|73.00",
        "1001003|盘条|3.30|10.00|33.00|5.00|16.50|3.00|9.90|||||3.00|9.90|||12.00|39.60",
        "1001|钢筋 小计||34.00|191.00|11.00|67.10|6.00|26.85|||3.00|16.95|9.00|43.80||-0.45|"
        "31.00|185.60",
        "1|钢材 合计||34.00|191.00|11.00|67.10|6.00|26.85|||3.00|16.95|9.00|43.80||-0.45|"
        "31.00|185.60",
        "10001001|P.O42.5|2.00|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10001|散装水泥 小计||20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10|水泥 合计||20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "0|全部材料  总计||54.00|231.00|11.00|67.10|11.00|36.85|||3.00|16.95|14.00|53.80||"
        "-0.45|46.00|215.60",
    };
    // First in first out: a row per price; the issues at the layers they were drawn from,
    // the adjustment on a row of its own without a price.
    const QStringList layers = {
        "1001001|螺纹钢|||||||||||||||-0.45|0.00|-0.45",
        "1001001|螺纹钢|5.00|10.00|50.00|||3.00|15.00|||3.00|15.00|6.00|30.00|||3.00|15.00",
        "1001001|螺纹钢|6.00|10.00|60.00|||||||||||||6.00|36.00",
        "1001001|螺纹钢|6.40|||4.00|25.60|||||||||||4.00|25.60",
        "1001002|圆钢|12.00|4.00|48.00|||||||||||||4.00|48.00",
        "1001002|圆钢|12.50|||2.00|25.00|||||||||||2.00|25.00",
        "1001003|盘条|3.30|10.00|33.00|5.00|16.50|3.00|9.90|||||3.00|9.90|||12.00|39.60",
        "1001|钢筋 合计||34.00|191.00|11.00|67.10|6.00|24.90|||3.00|15.00|9.00|39.90||-0.45|"
        "31.00|188.75",
        "1|钢材 合计||34.00|191.00|11.00|67.10|6.00|24.90|||3.00|15.00|9.00|39.90||-0.45|"
        "31.00|188.75",
        "10001001|P.O42.5|2.00|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10001|散装水泥 合计||20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10|水泥 合计||20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "0|全部材料 总计||54.00|231.00|11.00|67.10|11.00|34.90|||3.00|15.00|14.00|49.90||-0.45|"
        "46.00|218.75",
    };
    EXPECT_EQ(shownText(table), lines(fifo() ? layers : average));
    EXPECT_EQ(table.columns().at(table.columnOf(QStringLiteral("LLSL2"))).heading,
              QStringLiteral("二工区数量"));

    // The closing agrees with the stock table, material by material.
    for (const QString &clbh : {A, B, C}) {
        Decimal quantity;
        Decimal amount;
        for (int r = 0; r < table.rowCount(); ++r) {
            if (table.displayText(r, 0, formats) == clbh) {
                quantity += table.figureAt(r, table.columnOf(QStringLiteral("BYSL")));
                amount += table.figureAt(r, table.columnOf(QStringLiteral("BYJE")));
            }
        }
        EXPECT_EQ(quantity, seed.kc(clbh).quantity) << clbh.toStdString();
        EXPECT_EQ(amount, seed.kc(clbh).amount) << clbh.toStdString();
    }

    // The rows are left in the report table as well.
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM JXCMX_TEMP")).toInt(),
              table.rowCount());
    EXPECT_EQ(set.db()
                  .scalar(QStringLiteral("SELECT BYJE FROM JXCMX_TEMP WHERE CLBH = '0'"))
                  .toLongLong(),
              fifo() ? 2187500 : 2156000);
}

TEST_P(StockReportTest, SummaryRowsOfHandWorkedBooks)
{
    const ReportTable table = report().summary(march());
    const QStringList average = {
        "1001|钢筋|34.00|191.00|11.00|67.10|6.00|26.85|||3.00|16.95|9.00|43.80||-0.45|31.00|185.60",
        "1|钢材 合计|34.00|191.00|11.00|67.10|6.00|26.85|||3.00|16.95|9.00|43.80||-0.45|31.00|"
        "185.60",
        "10001|散装水泥|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10|水泥 合计|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "0|全部材料 总计|54.00|231.00|11.00|67.10|11.00|36.85|||3.00|16.95|14.00|53.80||-0.45|"
        "46.00|215.60",
    };
    // First in first out has no grand total.
    const QStringList layers = {
        "1001|钢筋|34.00|191.00|11.00|67.10|6.00|24.90|||3.00|15.00|9.00|39.90||-0.45|31.00|188.75",
        "1|钢材 合计|34.00|191.00|11.00|67.10|6.00|24.90|||3.00|15.00|9.00|39.90||-0.45|31.00|"
        "188.75",
        "10001|散装水泥|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
        "10|水泥 合计|20.00|40.00|||5.00|10.00|||||5.00|10.00|||15.00|30.00",
    };
    EXPECT_EQ(shownText(table), lines(fifo() ? layers : average));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM JXCHZ_TEMP")).toInt(),
              table.rowCount());
}

TEST_P(StockReportTest, ARowAtTheNextMaterialsPriceIsAMaterialsOwn)
{
    // A's receipts after the last closing at its opening price and at B's opening price (12.00):
    // read together, the second lies beyond A's rows, right where B's row at 12.00 begins.
    books.receive("2026-03-21", A, "1", "5.00");
    books.receive("2026-03-22", A, "1", "12.00");
    const ReportTable detail = report().detail(march());
    const int price = detail.columnOf(QStringLiteral("DJ"));
    const int received = detail.columnOf(QStringLiteral("RKSL"));
    QMap<QString, Decimal> receivedAt12;
    for (int r = 0; r < detail.rowCount(); ++r) {
        if (detail.style(r) == ReportTable::RowStyle::Detail &&
            (!fifo() || detail.figureAt(r, price) == dec("12")))
            receivedAt12[detail.textAt(r, 0)] += detail.figureAt(r, received);
    }
    // Under moving average a material's whole receipts: A's 5 − 1 + 1 + 1, B's 2 (at 12.50).
    EXPECT_EQ(receivedAt12.value(A), fifo() ? dec("1") : dec("6"));
    EXPECT_EQ(receivedAt12.value(B), fifo() ? dec("0") : dec("2"));
}

TEST_P(StockReportTest, AMaterialPutAtPlanIsOneRowAtPlanInBothMethods)
{
    // 螺纹钢 moved at three prices and took an adjustment before it was put at plan: every
    // figure of the month becomes its quantity at plan, in one row, the adjustment gone; its
    // neighbours keep their rows.
    const auto rowsOf = [&](const ReportTable &t, const QString &clbh) {
        QStringList found;
        for (const QString &row : shown(t)) {
            if (row.startsWith(clbh + QLatin1Char('|')))
                found << row;
        }
        return found;
    };
    const ReportTable before = report().detail(march());
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET JJFS = 1, JHDJ = 55000 WHERE CLBH = ?"), {A});
    const ReportTable table = report().detail(march());
    EXPECT_EQ(rowsOf(table, A),
              QStringList{"1001001|螺纹钢|5.50|20.00|110.00|4.00|22.00|3.00|16.50|||3.00|16.50|"
                          "6.00|33.00|||13.00|71.50"});
    for (const QString &other : {B, P, C})
        EXPECT_EQ(rowsOf(table, other), rowsOf(before, other)) << other.toStdString();

    // The stock before a day: the same quantity, at plan.
    const auto opening = StockBalances(set.db(), mode).before(QDate(2026, 3, 1), A);
    ASSERT_EQ(opening.size(), 1u);
    EXPECT_EQ(opening.begin()->first.second,
              fifo() ? StockBalances::Price(dec("5.50").raw()) : StockBalances::Price());
    EXPECT_EQ(opening.begin()->second, (Figure{dec("20"), dec("110.00")}));
}

TEST_P(StockReportTest, CategoriesAreFoundThroughTheTree)
{
    // Category 1 holds no cement although the cement's code begins with "1".
    StockReportRequest steel = march();
    steel.level1 = QStringLiteral("1");
    QStringList codes;
    const ReportTable byTop = report().detail(steel);
    for (int r = 0; r < byTop.rowCount(); ++r)
        codes << byTop.displayText(r, 0, formats) + QLatin1Char(' ') +
                     byTop.displayText(r, 1, formats);
    codes.removeDuplicates();
    EXPECT_EQ(codes, (QStringList{"1001001 螺纹钢", "1001002 圆钢", "1001003 盘条",
                                  fifo() ? "1001 钢筋 小计" : "1001 钢筋 合计", "1 钢材 合计",
                                  fifo() ? "0 全部材料 总计" : "0 全部材料  总计"}));

    StockReportRequest cement = march();
    cement.level1 = QStringLiteral("1");
    cement.level2 = QStringLiteral("10001");
    const ReportTable bySecond = report().detail(cement);
    ASSERT_EQ(bySecond.rowCount(), 3);
    EXPECT_EQ(bySecond.displayText(0, 0, formats), C);
    EXPECT_EQ(bySecond.displayText(1, 1, formats),
              fifo() ? QStringLiteral("散装水泥") : QStringLiteral("散装水泥 小计"));
}

TEST_P(StockReportTest, UnitColumnsAndTheirRefusals)
{
    // "调拨" takes the transfers of every unit; an unchosen column stays empty.
    const ReportTable table =
        report().detail(march({QStringLiteral("调拨"), QStringLiteral("U2")}));
    const int transfers = table.columnOf(QStringLiteral("LLJE1"));
    EXPECT_EQ(table.columns().at(transfers).heading, QStringLiteral("调拨合计金额"));
    Decimal moved;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.displayText(r, 0, formats) == A)
            moved += table.figureAt(r, transfers);
        EXPECT_TRUE(table.isEmptyAt(r, table.columnOf(QStringLiteral("LLSL3"))));
    }
    EXPECT_EQ(moved, fifo() ? dec("29.00") : dec("28.25"));

    const auto refusal = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    };
    EXPECT_EQ(refusal([&] {
                  report().detail(march({"U1", "U2", "U3", "调拨"}));
              }),
              StockReport::TooManyUnitsText);
    EXPECT_EQ(refusal([&] { StockReport::unitColumns(set.db(), {"U9"}); }),
              QStringLiteral("领料单位“U9”不存在！"));
    StockReportRequest backwards = march();
    backwards.from = QDate(2026, 4, 1);
    EXPECT_EQ(refusal([&] { report().detail(backwards); }), StockReport::DetailDatesText);
    EXPECT_EQ(refusal([&] { report().summary(backwards); }), StockReport::SummaryDatesText);

    // One day is a period: the issue of 5 March only.
    StockReportRequest day = march();
    day.from = day.to = QDate(2026, 3, 5);
    const ReportTable one = report().detail(day);
    const int issued = one.columnOf(QStringLiteral("LLSL1"));
    Decimal quantity;
    for (int r = 0; r < one.rowCount(); ++r) {
        if (one.style(r) == ReportTable::RowStyle::Detail)
            quantity += one.figureAt(r, issued);
    }
    EXPECT_EQ(quantity, dec("4"));
}

TEST_P(StockReportTest, MaterialLedgerRunsFromTheCarriedOverStockToTheClosing)
{
    const MaterialLedger ledger(set.db(), mode);
    const MaterialLedger::Ledger a = ledger.build({A}, QDate(2026, 3, 1), QDate(2026, 3, 31));
    const ReportTable &t = a.table;
    ASSERT_EQ(t.rowCount(), fifo() ? 12 : 11);
    ASSERT_EQ(a.sources.size(), t.rowCount());
    EXPECT_EQ(t.displayText(0, 1, formats), QStringLiteral("材料名称：螺纹钢"));
    //                     date|document|summary|party|price|in|out|balance|balance price
    EXPECT_EQ(shown(t).at(1).toStdString(), "2026-03-01||上期结转|||||||20.00|110.00|5.50");
    EXPECT_EQ(shown(t).at(2).toStdString(),
              "2026-03-02|R3|采购入库|第一建材|6.40|5.00|32.00|||25.00|142.00|5.68");
    EXPECT_EQ(shown(t).at(3).toStdString(),
              "2026-03-03|T4|采购退货|第一建材|6.40|-1.00|-6.40|||24.00|135.60|5.65");
    EXPECT_EQ(shown(t).at(4).section(QLatin1Char('|'), 2, 3).toStdString(), "领料出库|一工区");
    EXPECT_EQ(shown(t).last().section(QLatin1Char('|'), 2, 2).toStdString(), "金额调整");
    const int transfer = 7;
    EXPECT_EQ(shown(t).at(transfer).section(QLatin1Char('|'), 2, 2).toStdString(), "调拨出库");

    // The running balance ends at the stock, as the detail report's closing does.
    const int last = t.rowCount() - 1;
    EXPECT_EQ(t.figureAt(last, t.columnOf(QStringLiteral("JCSL"))), seed.kc(A).quantity);
    EXPECT_EQ(t.figureAt(last, t.columnOf(QStringLiteral("JCJE"))), seed.kc(A).amount);

    // Voucher lines lead back to their vouchers; carried-over stock and adjustments do not.
    ASSERT_TRUE(a.sources.at(2).has_value());
    EXPECT_EQ(a.sources.at(2)->family, Posting::Family::StockIn);
    EXPECT_EQ(a.sources.at(2)->lineId, set.db()
                                           .scalar(QStringLiteral("SELECT MIN(ID) FROM RKD "
                                                                  "WHERE CZRQ = '2026-03-02'"))
                                           .toLongLong());
    EXPECT_FALSE(a.sources.at(1).has_value());
    EXPECT_FALSE(a.sources.last().has_value());

    // A planned-price material runs at plan whatever its vouchers paid.
    const ReportTable p = ledger.build({P}, QDate(2026, 3, 1), QDate(2026, 3, 31)).table;
    EXPECT_EQ(shown(p).at(2).toStdString(),
              "2026-03-04|R5|采购入库|第一建材|3.30|5.00|16.50|||15.00|49.50|3.30");

    // The ledger of every material that moved, as the command line asks for it.
    EXPECT_EQ(ledger.materialsBelow(QStringLiteral("1"), QDate(2026, 3, 1), QDate(2026, 3, 31)),
              (QStringList{A, B, P}));

    const auto refusal = [](const std::function<void()> &f) {
        try {
            f();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    };
    EXPECT_EQ(refusal([&] { ledger.build({A}, QDate(2026, 3, 2), QDate(2026, 3, 1)); }),
              MaterialLedger::DatesText);
    EXPECT_EQ(refusal([&] { ledger.build({}, QDate(2026, 3, 1), QDate(2026, 3, 2)); }),
              MaterialLedger::NoMaterialText);
}

TEST_P(StockReportTest, OneSetAcrossSetsEqualsItsOwnReport)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    ASSERT_TRUE(QDir().mkpath(folder.accountSetFolder(7)));
    set.db().exec(QStringLiteral("VACUUM INTO ?"), {folder.accountSetDatabasePath(7)});

    StockReportRequest request = march({QStringLiteral("调拨")});
    const ReportTable single = report().detail(request);
    MultiSetReport across(set.db(), folder);
    const MultiSetReport::Result result =
        across.build({{7, QStringLiteral("七号工地")}, {8, QStringLiteral("八号工地")}},
                     request.from, request.to);

    // The missing set is named; the other one is reported row for row.
    ASSERT_EQ(result.unreadable.size(), 1);
    EXPECT_TRUE(result.unreadable.first().startsWith(QStringLiteral("8 八号工地：")));
    const ReportTable &t = result.table;
    int row = 0;
    for (int r = 0; r < single.rowCount(); ++r) {
        if (single.style(r) != ReportTable::RowStyle::Detail)
            continue;
        ASSERT_LT(row, t.rowCount());
        EXPECT_EQ(t.displayText(row, 0, formats), QStringLiteral("七号工地"));
        const auto same = [&](const char *mine, const char *theirs) {
            EXPECT_EQ(t.displayText(row, t.columnOf(QLatin1String(mine)), formats),
                      single.displayText(r, single.columnOf(QLatin1String(theirs)), formats))
                << mine << " of row " << r;
        };
        same("CLBH", "CLBH");
        same("DJ", "DJ");
        same("SYJE", "SYJE");
        same("BYJER", "RKJE");
        same("KJE", "KJE");
        same("BYSLZ", "BYSL");
        same("BYJEZ", "BYJE");
        // Issues are all issues and transfers.
        EXPECT_EQ(t.figureAt(row, t.columnOf(QStringLiteral("BYJEC"))),
                  single.figureAt(r, single.columnOf(QStringLiteral("LLJE"))) +
                      single.figureAt(r, single.columnOf(QStringLiteral("LLJE1"))));
        ++row;
    }
    EXPECT_GT(row, 3);
    // The set's total, then all sets' total, equal the report's grand total.
    ASSERT_EQ(t.rowCount(), row + 2);
    EXPECT_EQ(t.displayText(row + 1, t.columnOf(QStringLiteral("BYJEZ")), formats),
              single.displayText(single.rowCount() - 1, single.columnOf(QStringLiteral("BYJE")),
                                 formats));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CRZ_TEMP")).toInt(),
              t.rowCount());

    EXPECT_THROW(across.build({}, QDate(2026, 3, 2), QDate(2026, 3, 1)), Refusal);
}

TEST_P(StockReportTest, AMonthReadsNothingBeforeItsOpeningClosing)
{
    // No movement table, closing table or opening balance is read whole: the month starts
    // from its closing, reads the part of it that a closing sealed from that closing's sums and
    // the rest by its own dates, all along the indexes.
    static const QRegularExpression scan(
        QStringLiteral("^SCAN (RKD|THD|LLD|TKD|XJXCSJB|PYK|CLKVMT|ZWCSH|XJXCYJKCB|YJKCB|YJFSB|L|X|"
                       "R|Z|T|G|U)\\b"));
    test::StatementRecorder recorder(set.db());
    recorder.run([&] {
        report().detail(march());
        report().summary(march());
        StockReportRequest late = march();
        late.from = QDate(2026, 3, 16);
        report().detail(late);
        MaterialLedger(set.db(), mode).build({A}, QDate(2026, 3, 1), QDate(2026, 3, 31));
    });
    int checked = 0;
    int sums = 0;
    for (const test::Ran &ran : recorder.statements()) {
        if (!test::isData(ran.sql))
            continue;
        ++checked;
        sums += ran.sql.contains(QLatin1String("FROM YJFSB")) ? 1 : 0;
        for (const QString &detail : test::queryPlan(set.db(), ran.sql)) {
            EXPECT_FALSE(scan.match(detail).hasMatch())
                << ran.sql.toStdString() << "\n  " << detail.toStdString();
        }
        EXPECT_EQ(ran.autoIndexes, 0) << "built an index: " << ran.sql.toStdString();
    }
    EXPECT_GT(checked, 15);
    EXPECT_GT(sums, 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, StockReportTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
