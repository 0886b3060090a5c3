#include "clirunner.h"

#include "store/clock.h"
#include "support/workbookreader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;
using test::WorkbookReader;

// The stock reports through the command line: rows under "rows" with the report table's
// fields, the workbook, the refusals.
class ReportCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto made = cli.batch(QStringLiteral(R"(
set create --name 报表账套 --password pw --date 2026-01-01 --operator 张会计 --operator-password kj
catalogue add-category --parent 0 --code 1 --name 钢材
catalogue add-category --parent 1 --code 1001 --name 钢筋
catalogue add-material --parent 1001 --code 1001001 --name 圆钢 --spec φ8 --unit 吨 --planned-price 0
unit add --code U1 --name 一工区
unit add --code U2 --name 二工区
supplier add --code 1 --name 钢材公司
opening add --material 1001001 --price 4000 --quantity 2
month-end --yes
)"),
                                    as);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        Clock::setToday(QDate(2026, 2, 10));
        const auto books = cli.batch(QStringLiteral(R"(
stock-in save --kind 采购入库 --date 2026-02-03 --supplier 1 --line 1001001,4100,1
post stock-in --all
issue save --kind 1 --date 2026-02-05 --unit U1 --line 1001001,1
issue save --kind 2 --date 2026-02-06 --unit U2 --line 1001001,1
post issue --all
)"),
                                     as);
        ASSERT_EQ(books.code, 0) << books.err.toStdString();
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    QJsonArray rows(const QStringList &args, const char *command = "report")
    {
        const auto r = cli.run(as + QStringList{"--json", QLatin1String(command)} + args);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object().value("rows").toArray();
    }
    // A ledger query over February.
    QJsonArray queried(const QStringList &args) { return rows(args + february, "query"); }

    const QStringList as = {"--user", "张会计", "--password", "kj"};
    const QStringList february = {"--from", "2026-02-01", "--to", "2026-02-28"};
    CliRunner cli;
};

TEST_F(ReportCli, TheDetailGivesItsRowsWithTheFieldsOfItsTable)
{
    const QJsonArray detail =
        rows(QStringList{"stock-detail"} + february + QStringList{"--units", "U1,调拨"});
    ASSERT_EQ(detail.size(), 4); // the material, 小计, 合计, 总计
    const QJsonObject steel = detail.at(0).toObject();
    EXPECT_EQ(steel.value("CLBH").toString(), QStringLiteral("1001001"));
    EXPECT_EQ(steel.value("SYSL").toString(), QStringLiteral("2.00"));
    EXPECT_EQ(steel.value("RKJE").toString(), QStringLiteral("4100.00"));
    EXPECT_EQ(steel.value("LLSL1").toString(), QStringLiteral("1.00"));
    EXPECT_EQ(steel.value("LLSL2").toString(), QStringLiteral("1.00")); // the transfer
    EXPECT_TRUE(steel.value("LLSL3").isNull());
    EXPECT_EQ(steel.value("BYSL").toString(), QStringLiteral("1.00"));
    EXPECT_EQ(detail.at(3).toObject().value("CLMC").toString(), QStringLiteral("全部材料  总计"));

    const QJsonArray summary = rows(QStringList{"stock-summary"} + february);
    ASSERT_EQ(summary.size(), 3);
    EXPECT_EQ(summary.at(0).toObject().value("CLMC").toString(), QStringLiteral("钢筋"));
    EXPECT_FALSE(summary.at(0).toObject().contains("DJ"));

    const QJsonArray ledger =
        rows(QStringList{"material-ledger", "--material", "1001001"} + february);
    ASSERT_EQ(ledger.size(), 5); // heading, carried over, receipt, issue, transfer
    EXPECT_EQ(ledger.at(1).toObject().value("ZY").toString(), QStringLiteral("上期结转"));
    EXPECT_EQ(ledger.at(4).toObject().value("ZY").toString(), QStringLiteral("调拨出库"));
    EXPECT_EQ(ledger.at(4).toObject().value("JCSL").toString(), QStringLiteral("1.00"));

    const QJsonArray across = rows(QStringList{"multi-set-detail"} + february);
    ASSERT_EQ(across.size(), 3);
    EXPECT_EQ(across.at(0).toObject().value("ZT").toString(), QStringLiteral("报表账套"));
    EXPECT_EQ(across.at(0).toObject().value("BYSLC").toString(), QStringLiteral("2.00"));
}

TEST_F(ReportCli, TheSummariesAcrossSetsNameTheirSets)
{
    const QJsonArray arrears = rows(QStringList{"sets-arrears"} + february);
    ASSERT_EQ(arrears.size(), 2);
    EXPECT_EQ(arrears.at(0).toObject().value("GYSMC").toString(), QStringLiteral("总计"));
    EXPECT_EQ(arrears.at(1).toObject().value("BYQK").toString(), QStringLiteral("4100.00"));

    const QJsonArray summary = rows(QStringList{"sets-summary"} + february);
    ASSERT_FALSE(summary.isEmpty());
    EXPECT_EQ(summary.at(0).toObject().value("ZT").toString(), QStringLiteral("报表账套"));
    EXPECT_EQ(summary.at(0).toObject().value("LLSL1").toString(), QStringLiteral("1.00"));
    EXPECT_EQ(summary.last().toObject().value("CLMC").toString(), QStringLiteral("全部账套 总计"));

    const QString book = QDir(cli.dataDir()).filePath(QStringLiteral("清点.xlsx"));
    const auto count = cli.run(
        as + QStringList{"--json", "report", "sets-count", "--level", "all", "--xlsx", book});
    ASSERT_EQ(count.code, 0) << count.err.toStdString();
    const QJsonArray counted =
        QJsonDocument::fromJson(count.out.toUtf8()).object().value("rows").toArray();
    ASSERT_EQ(counted.size(), 4); // the material, 小计, 合计, 总计
    EXPECT_EQ(counted.at(0).toObject().value("ZT").toString(), QStringLiteral("报表账套"));
    const auto read = WorkbookReader::read(book);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text(QStringLiteral("H4")), QStringLiteral("报表账套"));

    const auto unknown =
        cli.run(as + QStringList{"report", "sets-arrears", "--sets", "99"} + february);
    EXPECT_NE(unknown.code, 0);
    const auto level = cli.run(as + QStringList{"report", "sets-count", "--level", "third"});
    EXPECT_NE(level.code, 0);
}

TEST_F(ReportCli, TheWorkbookNamesTheUnitsAndRefusalsComeFirst)
{
    const QString book = QDir(cli.dataDir()).filePath(QStringLiteral("明细.xlsx"));
    const auto written = cli.run(as + QStringList{"report", "stock-detail"} + february +
                                 QStringList{"--units", "U2", "--xlsx", book});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const auto read = WorkbookReader::read(book);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text(QStringLiteral("J4")), QStringLiteral("二工区数量"));
    EXPECT_EQ(read->text(QStringLiteral("A5")), QStringLiteral("1001001"));
    EXPECT_EQ(read->text(QStringLiteral("B3")).trimmed(), QString());

    const auto tooMany = cli.run(as + QStringList{"report", "stock-detail"} + february +
                                 QStringList{"--units", "U1,U2,调拨,U1"});
    EXPECT_NE(tooMany.code, 0);
    EXPECT_TRUE(tooMany.err.contains(QStringLiteral("您至多只能选3个领料单位！")));
    const auto backwards = cli.run(
        as + QStringList{"report", "stock-summary", "--from", "2026-03-01", "--to", "2026-02-01"});
    EXPECT_NE(backwards.code, 0);
    EXPECT_TRUE(backwards.err.contains(QStringLiteral("请选择时间段！")));
    const auto unknown = cli.run(as + QStringList{"report", "stock-detail"} + february +
                                 QStringList{"--units", "U9"});
    EXPECT_NE(unknown.code, 0);
}

TEST_F(ReportCli, TheStatisticsTakeTheInputsOfTheirScreens)
{
    const QJsonArray receipts = rows(QStringList{"receipts"} + february);
    ASSERT_EQ(receipts.size(), 4); // the material, 小计, 合计, 总计
    EXPECT_EQ(receipts.at(0).toObject().value("DJ").toString(), QStringLiteral("4100.00"));
    EXPECT_EQ(receipts.at(0).toObject().value("SJJE").toString(), QStringLiteral("4100.00"));
    EXPECT_EQ(receipts.at(3).toObject().value("CLMC").toString(), QStringLiteral("全部材料  总计"));

    const QJsonArray issues = rows(QStringList{"issues", "--level", "2"} + february);
    ASSERT_EQ(issues.size(), 2);
    EXPECT_EQ(issues.at(0).toObject().value("CLMC").toString(), QStringLiteral("钢筋"));
    EXPECT_EQ(issues.at(0).toObject().value("SJSL").toString(), QStringLiteral("1.00"));

    const QJsonArray out = rows(QStringList{"transfers", "--direction", "out"} + february);
    ASSERT_EQ(out.size(), 4);
    EXPECT_EQ(out.at(3).toObject().value("CLMC").toString(), QStringLiteral("全部材料"));

    // The second unit took no requisition: its columns stay empty.
    const QJsonArray units = rows(QStringList{"by-unit", "--units", "U1,U2"} + february);
    ASSERT_EQ(units.size(), 4);
    EXPECT_EQ(units.at(0).toObject().value("SL1").toString(), QStringLiteral("1.00"));
    EXPECT_TRUE(units.at(0).toObject().value("SL2").isNull());
    EXPECT_EQ(units.at(0).toObject().value("SL").toString(), QStringLiteral("1.00"));

    const QJsonArray used = rows(QStringList{"consumption"} + february);
    ASSERT_EQ(used.size(), 3);
    EXPECT_EQ(used.at(0).toObject().value("LJSL").toString(), QStringLiteral("1.00"));

    const QString book = QDir(cli.dataDir()).filePath(QStringLiteral("供货.xlsx"));
    const auto written = cli.run(
        as + QStringList{"report", "by-supplier", "--suppliers", "1", "--xlsx", book} + february);
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const auto read = WorkbookReader::read(book);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text(QStringLiteral("E4")), QStringLiteral("钢材公司数量"));
    EXPECT_DOUBLE_EQ(read->cell(QStringLiteral("E5"))->number, 1.0);

    const auto none = cli.run(as + QStringList{"report", "by-unit"} + february);
    EXPECT_NE(none.code, 0);
    EXPECT_TRUE(none.err.contains(QStringLiteral("请选择耗料单位！")));
    // 2026-02-28 is no month-end of these books.
    const auto quarter = cli.run(
        as + QStringList{"report", "quarterly", "--from", "2026-01-31", "--to", "2026-02-28"});
    EXPECT_NE(quarter.code, 0);
    EXPECT_TRUE(quarter.err.contains(QStringLiteral("请选择有效的时间段")));
}

TEST_F(ReportCli, ThePdfIsDrawnByTheProgram)
{
    const QString pdf = QDir(cli.dataDir()).filePath(QStringLiteral("明细.pdf"));
    QProcess p;
    p.start(QStringLiteral(VARNOCK_CLI_PATH), QStringList{"--data-dir", cli.dataDir()} + as +
                                                  QStringList{"report", "stock-detail"} + february +
                                                  QStringList{"--pdf", pdf});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
}

// The ledger queries: the rows with the result's fields, the printed result as a workbook.
TEST_F(ReportCli, QueryKindsByTextOrPositionAndConditionsComparedWhole)
{
    const QJsonArray purchases = queried({"conditions", "--kind", "采购入库", "--supplier", "1"});
    ASSERT_EQ(purchases.size(), 2);
    const QJsonObject line = purchases.at(0).toObject();
    EXPECT_EQ(line.value("JZBZ").toString(), QStringLiteral("已记帐"));
    EXPECT_EQ(line.value("ZLXX").toString(), QStringLiteral("采购入库"));
    EXPECT_EQ(line.value("GYS").toString(), QStringLiteral("钢材公司"));
    EXPECT_EQ(line.value("SJJE").toString(), QStringLiteral("4100.00"));
    EXPECT_EQ(purchases.at(1).toObject().value("HH").toString(), QStringLiteral("合计："));

    EXPECT_EQ(queried({"conditions", "--kind", "采购入库", "--supplier", "_"}).size(), 1);
    EXPECT_EQ(queried({"conditions", "--kind", "采购入库", "--supplier", "%"}).size(), 1);
    const QJsonArray transfers = queried({"conditions", "--kind", "11"});
    ASSERT_EQ(transfers.size(), 2);
    EXPECT_EQ(transfers.at(0).toObject().value("GYS").toString(), QStringLiteral("二工区"));
    EXPECT_EQ(queried({"conditions", "--kind", "领料出库", "--unit", "U2"}).size(), 1);

    const auto unknown =
        cli.run(as + QStringList{"query", "conditions", "--kind", "采购"} + february);
    EXPECT_EQ(unknown.code, 2);
    const auto backwards = cli.run(as + QStringList{"query", "conditions", "--kind", "1", "--from",
                                                    "2026-03-01", "--to", "2026-02-01"});
    EXPECT_EQ(backwards.code, 1);
    EXPECT_TRUE(backwards.err.contains(QStringLiteral("起始日期应小于终止日期")));
}

TEST_F(ReportCli, TheItemQueryAndItsWorkbook)
{
    const QJsonArray items = queried({"items", "--category", "1"});
    ASSERT_EQ(items.size(), 5); // carried over, receipt, issue, transfer, total
    EXPECT_EQ(items.at(0).toObject().value("ZLXX").toString(), QStringLiteral("上期结转"));
    EXPECT_EQ(items.at(3).toObject().value("ZLXX").toString(), QStringLiteral("调拨出库"));
    EXPECT_EQ(items.at(4).toObject().value("SJSL").toString(), QStringLiteral("5.00"));

    const QString book = QDir(cli.dataDir()).filePath(QStringLiteral("查询.xlsx"));
    const auto written = cli.run(
        as + QStringList{"query", "items", "--material", "1001001", "--xlsx", book} + february);
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const auto read = WorkbookReader::read(book);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text(QStringLiteral("A2")), QStringLiteral("信息查询结果"));
    EXPECT_EQ(read->text(QStringLiteral("B5")), QStringLiteral("2026-02-10"));
    EXPECT_EQ(read->text(QStringLiteral("A7")), QStringLiteral("圆钢"));
    EXPECT_EQ(read->text(QStringLiteral("A11")), QStringLiteral("合计："));

    const auto nothing = cli.run(
        as + QStringList{"query", "conditions", "--kind", "暂估入库", "--xlsx", book} + february);
    EXPECT_EQ(nothing.code, 1);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("没有记录!")));
}

} // namespace
} // namespace varnock
