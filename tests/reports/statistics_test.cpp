#include "reports/statistics.h"

#include "ledger/costengine.h"
#include "print/reporttemplate.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/postedbooks.h"
#include "support/queryplan.h"
#include "support/testaccountset.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString A = QStringLiteral("1001001");  // 螺纹钢
const QString B = QStringLiteral("1001002");  // 圆钢, bought and sent back at a lower credit
const QString P = QStringLiteral("1001003");  // 盘条, at the planned price 3.30
const QString C = QStringLiteral("10001001"); // cement, in category 10
const QString TransferIn = QStringLiteral("调拨入库");

// Books worked by hand, the same vouchers under either costing method: February's opening
// closing, then March's receipts, returns, issues and transfers.
class StatisticsTest : public ::testing::TestWithParam<int>
{
protected:
    StatisticsTest()
        : seed(set.db())
        , mode(GetParam())
        , books(set.db(), mode)
    {
        set.setMode(mode);
        test::addReportCatalogue(set);

        seed.opening(A, dec("10"), dec("50.00"));
        seed.opening(P, dec("10"), dec("30.00"));
        seed.opening(C, dec("20"), dec("40.00"));
        books.close("2026-02-28");

        const qint64 a = books.receive("2026-03-02", A, "5", "32.00", "G1");
        books.giveBack("2026-03-03", a, A, "1", "6.40");
        books.receive("2026-03-04", P, "5", "15.00", "G2");
        books.receive("2026-03-05", C, "10", "20.00", "G2", TransferIn);
        const qint64 first = books.issue("2026-03-06", A, "12", "U1");
        books.takeBack("2026-03-07", first, "1");
        books.issue("2026-03-08", C, "4", "U2");
        books.issue("2026-03-09", C, "3", "U2", "2");
        books.issue("2026-03-10", P, "3", "U2");
        const qint64 b = books.receive("2026-03-11", B, "2", "10.00", "G1");
        books.giveBack("2026-03-12", b, B, "2", "9.00");
        books.close("2026-03-31");
        books.issue("2026-04-02", A, "1", "U2");
        books.close("2026-04-30");
    }

    ~StatisticsTest() override { Clock::setToday(std::nullopt); }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    Statistics statistics() { return Statistics(set.db(), mode); }
    static StatisticRequest march(StatisticLevel level = StatisticLevel::Materials)
    {
        return {QDate(2026, 3, 1), QDate(2026, 3, 31), level};
    }

    // Every cell of every row as shown, one line a row, the cells joined by '|'.
    std::string shown(const ReportTable &table)
    {
        QStringList rows;
        for (int r = 0; r < table.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table.columnCount(); ++c) {
                const QString field = table.columns().at(c).field;
                if (field != QLatin1String("CLGG") && field != QLatin1String("JZDW"))
                    cells << table.displayText(r, c, formats);
            }
            rows << cells.join(QLatin1Char('|'));
        }
        return rows.join(QLatin1Char('\n')).toStdString();
    }
    static std::string lines(const QStringList &rows)
    {
        return rows.join(QLatin1Char('\n')).toStdString();
    }
    static QString refusal(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const Refusal &r) {
            return r.title + QLatin1Char(':') + r.text;
        }
        return {};
    }
    int rowsIn(const char *table)
    {
        return set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    test::PostedBooks books;
    Formats formats;
};

TEST_P(StatisticsTest, ReceiptsAtEachLevel)
{
    // 圆钢 came back for less than it cost: no quantity, 1.00 left, unit price 0.
    const QStringList average = {
        "1001001|螺纹钢|6.40|4.00|25.60",   "1001002|圆钢|0.00|0.00|1.00",
        "1001003|盘条|3.30|5.00|16.50",     "1001|钢筋 小计||9.00|43.10",
        "1|钢材 合计||9.00|43.10",          "10001001|P.O42.5|2.00|10.00|20.00",
        "10001|散装水泥 小计||10.00|20.00", "10|水泥 合计||10.00|20.00",
        "0|全部材料  总计||19.00|63.10",
    };
    // A row per price: the return of 圆钢 at the price the supplier credited.
    const QStringList layers = {
        "1001001|螺纹钢|6.40|4.00|25.60",    "1001002|圆钢|4.50|-2.00|-9.00",
        "1001002|圆钢|5.00|2.00|10.00",      "1001003|盘条|3.30|5.00|16.50",
        "1001|钢筋 小计||9.00|43.10",        "1|钢材 合计||9.00|43.10",
        "10001001|P.O42.5|2.00|10.00|20.00", "10001|散装水泥 小计||10.00|20.00",
        "10|水泥 合计||10.00|20.00",         "0|全部材料 总计||19.00|63.10",
    };
    const ReportTable table = statistics().movement(Movement::Receipts, march());
    EXPECT_EQ(shown(table), lines(fifo() ? layers : average));
    EXPECT_EQ(table.name(), QStringLiteral("CLrKCXBB"));
    EXPECT_EQ(rowsIn("RKCX_TEMP"), table.rowCount());
    EXPECT_EQ(set.db().scalar("SELECT DJ FROM RKCX_TEMP WHERE CLBH = ?", {P}).toLongLong(), 33000);

    // The categories' rows carry no unit price.
    const QString total = fifo() ? "0|全部材料 总计||19.00|63.10" : "0|全部材料  总计||19.00|63.10";
    EXPECT_EQ(shown(statistics().movement(Movement::Receipts, march(StatisticLevel::Parents))),
              lines({"1001|钢筋||9.00|43.10", "10001|散装水泥||10.00|20.00", total}));
    EXPECT_EQ(shown(statistics().movement(Movement::Receipts, march(StatisticLevel::Tops))),
              lines({"1|钢材||9.00|43.10", "10|水泥||10.00|20.00", total}));
}

TEST_P(StatisticsTest, IssuesNetOfReturnsAndPerLayerIssued)
{
    // Moving average: 螺纹钢 at 75.60 ÷ 14 = 5.40, twelve out and one back.
    const QStringList average = {
        "1001001|螺纹钢|5.40|11.00|59.40", "1001003|盘条|3.30|3.00|9.90",
        "1001|钢筋 小计||14.00|69.30",     "1|钢材 合计||14.00|69.30",
        "10001001|P.O42.5|2.00|4.00|8.00", "10001|散装水泥 小计||4.00|8.00",
        "10|水泥 合计||4.00|8.00",         "0|全部材料  总计||18.00|77.30",
    };
    // First in first out: ten from the opening layer at 5.00, two from March's at 6.40, one
    // back at what the line cost (62.80 ÷ 12).
    const QStringList layers = {
        "1001001|螺纹钢|5.00|10.00|50.00", "1001001|螺纹钢|5.23|-1.00|-5.23",
        "1001001|螺纹钢|6.40|2.00|12.80",  "1001003|盘条|3.30|3.00|9.90",
        "1001|钢筋 小计||14.00|67.47",     "1|钢材 合计||14.00|67.47",
        "10001001|P.O42.5|2.00|4.00|8.00", "10001|散装水泥 小计||4.00|8.00",
        "10|水泥 合计||4.00|8.00",         "0|全部材料 总计||18.00|75.47",
    };
    EXPECT_EQ(shown(statistics().movement(Movement::Issues, march())),
              lines(fifo() ? layers : average));
}

TEST_P(StatisticsTest, TransfersInAndOut)
{
    const ReportTable in = statistics().movement(Movement::TransfersIn, march());
    const ReportTable out = statistics().movement(Movement::TransfersOut, march());
    EXPECT_EQ(in.name(), QStringLiteral("CLDBBB"));
    EXPECT_EQ(in.columns().at(in.columnOf("SJSL")).heading, QStringLiteral("调拨入库数量"));
    EXPECT_EQ(out.columns().at(out.columnOf("SJJE")).heading, QStringLiteral("调拨出库金额"));
    if (fifo()) {
        EXPECT_EQ(shown(in),
                  lines({"10001001|P.O42.5|2.00|10.00|20.00", "10001|散装水泥 小计||10.00|20.00",
                         "10|水泥 合计||10.00|20.00", "0|全部材料 总计||10.00|20.00"}));
        EXPECT_EQ(shown(out),
                  lines({"10001001|P.O42.5|2.00|3.00|6.00", "10001|散装水泥 小计||3.00|6.00",
                         "10|水泥 合计||3.00|6.00", "0|全部材料 总计||3.00|6.00"}));
    } else {
        // Under moving average both category levels are 合计; the transfers out end with
        // "全部材料".
        EXPECT_EQ(shown(in),
                  lines({"10001001|P.O42.5|2.00|10.00|20.00", "10001|散装水泥 合计||10.00|20.00",
                         "10|水泥 合计||10.00|20.00", "0|全部材料  总计||10.00|20.00"}));
        EXPECT_EQ(shown(out),
                  lines({"10001001|P.O42.5|2.00|3.00|6.00", "10001|散装水泥 合计||3.00|6.00",
                         "10|水泥 合计||3.00|6.00", "0|全部材料||3.00|6.00"}));
    }
}

TEST_P(StatisticsTest, UnitsAndSuppliersSideBySide)
{
    // Two units chosen: the other three column pairs stay empty; 合计 counts each unit once.
    const ReportTable units = statistics().byParty(StatisticParty::Units, march(), {"U2", "U1"});
    EXPECT_EQ(units.name(), QStringLiteral("lldwll"));
    EXPECT_EQ(units.columns().at(units.columnOf("SL1")).heading, QStringLiteral("二工区数量"));
    EXPECT_TRUE(units.columns().at(units.columnOf("JE3")).heading.isEmpty());
    // 一工区's 螺纹钢: twelve out, one back.
    const QString u1 = fifo() ? "11.00|57.57" : "11.00|59.40";
    const QString steel = fifo() ? "14.00|67.47" : "14.00|69.30";
    const QString all = fifo() ? "18.00|75.47" : "18.00|77.30";
    EXPECT_EQ(shown(units), lines({"1001001|螺纹钢|||" + u1 + "|||||||" + u1,
                                   "1001003|盘条|3.00|9.90|||||||||3.00|9.90",
                                   "1001|钢筋 小计|3.00|9.90|" + u1 + "|||||||" + steel,
                                   "1|钢材 合计|3.00|9.90|" + u1 + "|||||||" + steel,
                                   "10001001|P.O42.5|4.00|8.00|||||||||4.00|8.00",
                                   "10001|散装水泥 小计|4.00|8.00|||||||||4.00|8.00",
                                   "10|水泥 合计|4.00|8.00|||||||||4.00|8.00",
                                   "0|全部材料 总计|7.00|17.90|" + u1 + "|||||||" + all}));
    EXPECT_EQ(rowsIn("GYSGH_TEMP"), units.rowCount());

    // By supplier at the parents' level, with "全部" beside one of them. 圆钢's receipt and
    // its return leave 1.00 of 第一建材's column; 盘条 is at its planned price.
    const ReportTable suppliers = statistics().byParty(
        StatisticParty::Suppliers, march(StatisticLevel::Parents), {"G1", Statistics::AllEntries});
    EXPECT_EQ(suppliers.columns().at(suppliers.columnOf("SL2")).heading,
              QStringLiteral("全部数量"));
    EXPECT_EQ(shown(suppliers), lines({"1001|钢筋|4.00|26.60|9.00|43.10|||||||9.00|43.10",
                                       "1|钢材 合计|4.00|26.60|9.00|43.10|||||||9.00|43.10",
                                       "10001|散装水泥|||10.00|20.00|||||||10.00|20.00",
                                       "10|水泥 合计|||10.00|20.00|||||||10.00|20.00",
                                       "0|全部材料 总计|4.00|26.60|19.00|63.10|||||||19.00|"
                                       "63.10"}));

    // A material nobody chosen took is left out.
    const ReportTable one = statistics().byParty(StatisticParty::Units, march(), {"U1"});
    for (int r = 0; r < one.rowCount(); ++r)
        EXPECT_NE(one.displayText(r, 0, formats), C);

    EXPECT_EQ(refusal([&] { statistics().byParty(StatisticParty::Units, march(), {}); }),
              QStringLiteral("警告:请选择耗料单位！"));
    EXPECT_EQ(refusal([&] {
                  statistics().byParty(StatisticParty::Suppliers, march(),
                                       {"G1", "G2", "全部", "G1", "G2", "G1"});
              }),
              QStringLiteral("警告:您至多只能选5个单位！"));
    EXPECT_EQ(refusal([&] { statistics().byParty(StatisticParty::Suppliers, march(), {"U1"}); }),
              QStringLiteral("警告:供应商“U1”不存在！"));
}

TEST_P(StatisticsTest, ConsumptionOfThePeriodAndToDate)
{
    const ReportTable table = statistics().consumption(QDate(2026, 4, 1), QDate(2026, 4, 30));
    EXPECT_EQ(table.title(), QStringLiteral("4 月份物资消耗统计表"));
    // April's one 螺纹钢 at what it cost; to date March's issues as well. Transfers out are
    // no consumption.
    const QString april = fifo() ? "1.00|6.40" : "1.00|5.40";
    const QString steel = fifo() ? "15.00|73.87" : "15.00|74.70";
    EXPECT_EQ(shown(table),
              lines({"1001|钢筋|" + april + "|" + steel, "1|钢材 合计|" + april + "|" + steel,
                     "10001|散装水泥|||4.00|8.00", "10|水泥 合计|||4.00|8.00",
                     "0|全部材料 总计|" + april + "|" + (fifo() ? "19.00|81.87" : "19.00|82.70")}));
    EXPECT_EQ(rowsIn("XHTJ_TEMP"), table.rowCount());

    // Nothing issued in the period and before: no rows.
    EXPECT_TRUE(statistics().consumption(QDate(2026, 2, 1), QDate(2026, 2, 28)).isEmpty());
}

TEST_P(StatisticsTest, BetweenTwoMonthEnds)
{
    EXPECT_EQ(Statistics::closings(set.db()),
              (QList<QDate>{QDate(2026, 2, 28), QDate(2026, 3, 31), QDate(2026, 4, 30)}));
    // From the day after the first month-end up to the second: March.
    const ReportTable quarter = statistics().quarterly(QDate(2026, 2, 28), QDate(2026, 3, 31));
    EXPECT_EQ(quarter.period()->from, QDate(2026, 3, 1));
    EXPECT_EQ(shown(quarter),
              lines({"1001|钢筋|9.00|43.10", "1|钢材 合计|9.00|43.10", "10001|散装水泥|10.00|20.00",
                     "10|水泥 合计|10.00|20.00", "0|全部材料  总计|19.00|63.10"}));
    EXPECT_EQ(rowsIn("RKCX_TEMP"), quarter.rowCount());

    // The balance of funds is the summary of the same period with the transfers beside the
    // issues and no other unit column.
    const ReportTable funds = statistics().fundsBalance(QDate(2026, 2, 28), QDate(2026, 4, 30));
    EXPECT_EQ(funds.name(), QStringLiteral("clzcz"));
    EXPECT_EQ(funds.columns().at(funds.columnOf("LLJE1")).heading, QStringLiteral("调拨合计金额"));
    EXPECT_EQ(funds.columnOf("LLSL2"), -1);
    const int closing = funds.columnOf("BYJE");
    const int last = funds.rowCount() - 1;
    Decimal stock;
    for (const QString &clbh : {A, B, P, C})
        stock += seed.kc(clbh).amount;
    if (!fifo()) {
        EXPECT_EQ(funds.displayText(last, 1, formats), QStringLiteral("全部材料 总计"));
        EXPECT_EQ(funds.figureAt(last, closing), stock);
    }
    EXPECT_EQ(rowsIn("JXCHZ_TEMP"), funds.rowCount());

    const auto between = [&](int m1, int d1, int m2, int d2) {
        return refusal([&] { statistics().quarterly(QDate(2026, m1, d1), QDate(2026, m2, d2)); });
    };
    EXPECT_EQ(between(3, 30, 4, 30), QStringLiteral("警告:请选择有效的时间段"));
    EXPECT_EQ(between(3, 31, 3, 31), QStringLiteral("警告:请选择有效的时间段"));
    EXPECT_EQ(between(4, 30, 3, 31), QStringLiteral("警告:起始日期不能大于终止日期"));
    EXPECT_EQ(refusal([&] {
                  statistics().movement(Movement::Receipts, {QDate(2026, 4, 1), QDate(2026, 3, 1)});
              }),
              QStringLiteral("警告:起始日期不能大于终止日期"));
}

TEST_P(StatisticsTest, AMonthIsReadAlongTheDateIndexes)
{
    static const QRegularExpression scan(
        QStringLiteral("^SCAN (RKD|THD|LLD|TKD|XJXCSJB|ZWCSH|YJFSB|LJXHB|L|X|R|Z)\\b"));
    test::StatementRecorder recorder(set.db());
    recorder.run([&] {
        // To date: a closing's running totals, then the days after it up to the period.
        statistics().consumption(QDate(2026, 3, 5), QDate(2026, 4, 30));
        statistics().movement(Movement::Receipts, march());
        statistics().movement(Movement::Issues, march(StatisticLevel::Tops));
        statistics().movement(Movement::TransfersIn, march());
        statistics().movement(Movement::TransfersOut, march());
        statistics().byParty(StatisticParty::Units, march(), {"U1"});
        statistics().byParty(StatisticParty::Suppliers, march(), {"G1"});
    });
    int checked = 0;
    for (const test::Ran &ran : recorder.statements()) {
        if (!test::isData(ran.sql))
            continue;
        ++checked;
        for (const QString &detail : test::queryPlan(set.db(), ran.sql)) {
            EXPECT_FALSE(scan.match(detail).hasMatch())
                << ran.sql.toStdString() << "\n  " << detail.toStdString();
        }
        EXPECT_EQ(ran.autoIndexes, 0) << "built an index: " << ran.sql.toStdString();
    }
    EXPECT_GT(checked, 6);
}

TEST_P(StatisticsTest, EveryStatisticFitsItsDeliveredTemplate)
{
    QList<ReportTable> tables;
    for (const StatisticLevel level :
         {StatisticLevel::Materials, StatisticLevel::Parents, StatisticLevel::Tops}) {
        for (const Movement m : {Movement::Receipts, Movement::Issues, Movement::TransfersIn})
            tables << statistics().movement(m, march(level));
        tables << statistics().byParty(StatisticParty::Units, march(level), {"U1"});
        tables << statistics().byParty(StatisticParty::Suppliers, march(level), {"G1"});
    }
    tables << statistics().consumption(QDate(2026, 3, 1), QDate(2026, 3, 31));
    tables << statistics().quarterly(QDate(2026, 2, 28), QDate(2026, 3, 31));
    tables << statistics().fundsBalance(QDate(2026, 2, 28), QDate(2026, 3, 31));
    for (const ReportTable &table : std::as_const(tables)) {
        const auto sheet = ReportTemplate::parse(ReportTemplates::deliveredCopy(table.name()));
        ASSERT_TRUE(sheet) << table.name().toStdString();
        const auto placement = sheet->place(table);
        ASSERT_TRUE(placement) << table.name().toStdString();
        // Every field of the statistic has its column in the workbook.
        for (const ReportTable::Column &c : table.columns())
            EXPECT_TRUE(placement->fields.contains(c.field))
                << table.name().toStdString() << " " << c.field.toStdString();
    }
    // A column pair is headed by the unit chosen for it.
    const ReportTable units = statistics().byParty(StatisticParty::Units, march(), {"U1"});
    const auto sheet = ReportTemplate::parse(ReportTemplates::deliveredCopy(units.name()));
    EXPECT_EQ(ReportTemplate::resolved(sheet->rows().at(3).at(4), units),
              QStringLiteral("一工区数量"));
}

INSTANTIATE_TEST_SUITE_P(Modes, StatisticsTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
