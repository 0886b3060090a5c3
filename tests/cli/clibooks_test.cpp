#include "clirunner.h"

#include "shell/datafolder.h"
#include "shell/operationlog.h"
#include "store/clock.h"
#include "store/database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

const QStringList Admin = {"--user", "admin", "--password", "admin"};

QJsonObject json(const QString &line)
{
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

QJsonObject row(const QString &line, int index)
{
    return json(line)[QStringLiteral("rows")].toArray()[index].toObject();
}

// Closed on 2026-01-31 with 10 of 1001001 at 4000.00; in February 3 more come from supplier 1
// for 12400.00.
class CliBooks : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto made = cli.batch(
            QStringLiteral(R"(set create --name 盘点 --password pw --date 2026-01-01 --mode %1
catalogue import --library 3
supplier add --name 第一建材
opening add --material 1001001 --price 4000 --quantity 10
month-end --yes
)")
                .arg(QLatin1String(GetParam())),
            Admin);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        set = made.lines().value(0);
        Clock::setToday(QDate(2026, 2, 10));
        const auto received =
            run({"stock-in", "save", "--kind", "采购入库", "--date", "2026-02-05", "--supplier",
                 "1", "--line", "1001001,4100,2", "--line", "1001001,4200,1"});
        ASSERT_EQ(received.code, 0) << received.err.toStdString();
        ASSERT_EQ(run({"post", "stock-in", "--all"}).code, 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(run({"check", "--strict"}).code, 0);
        Clock::setToday(std::nullopt);
    }

    CliRunner::Outcome run(const QStringList &args) const
    {
        return cli.run(QStringList{"--set", set} + Admin + args);
    }

    bool fifo() const { return QLatin1String(GetParam()) == QLatin1String("fifo"); }

    CliRunner cli;
    QString set;
};

TEST_P(CliBooks, CountAndAdjustment)
{
    const auto counted = run({"--json", "count", "save", "--line", "1001001,12"});
    ASSERT_EQ(counted.code, 0) << counted.err.toStdString();
    const QJsonObject deficit = row(counted.lines().value(0), 0);
    EXPECT_EQ(deficit[QStringLiteral("ZMSL")].toString(), QStringLiteral("13.00"));
    EXPECT_EQ(deficit[QStringLiteral("PDSL")].toString(), QStringLiteral("-1.00"));
    // The book average 52400 / 13, or the oldest layer.
    EXPECT_EQ(deficit[QStringLiteral("PDJE")].toString(),
              fifo() ? QStringLiteral("-4000.00") : QStringLiteral("-4030.77"));
    EXPECT_EQ(run({"count", "list"}).lines().value(0).section(QLatin1Char('\t'), 4, 4),
              QStringLiteral("12.00"));
    // Counting what the books hold writes nothing.
    EXPECT_TRUE(run({"count", "save", "--line", "1001001,12"}).out.isEmpty());

    const auto added = run({"adjust", "add", "--material", "1001001", "--date", "2026-02-12",
                            "--amount", "-50", "--project", "一号楼"});
    ASSERT_EQ(added.code, 0) << added.err.toStdString();
    const auto listed = run({"--json", "adjust", "list"});
    EXPECT_EQ(row(listed.lines().value(0), 0)[QStringLiteral("GCXM")].toString(),
              QStringLiteral("一号楼"));
    const auto sealed =
        run({"adjust", "add", "--material", "1001001", "--date", "2026-01-31", "--amount", "1"});
    EXPECT_EQ(sealed.err, QStringLiteral("操作时间不允许小于月结时间！\n"));
    EXPECT_NE(run({"adjust", "delete", "--id", added.lines().value(0)}).code, 0);
    EXPECT_EQ(run({"adjust", "delete", "--id", added.lines().value(0), "--yes"}).code, 0);
    EXPECT_TRUE(run({"adjust", "list"}).out.isEmpty());

    Database db(DataFolder(cli.dataDir()).accountSetDatabasePath(set.toLongLong()));
    QStringList texts;
    for (const OperationLog::Row &r : OperationLog(db).browse())
        texts << r.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("库存盘点")));
}

TEST_P(CliBooks, PaymentsAndArrears)
{
    const QStringList pay = {"payment", "add",        "--supplier", "1",
                             "--date",  "2026-02-11", "--amount"};
    EXPECT_EQ(run(pay + QStringList{"12400.01"}).err,
              QStringLiteral("对不起,您所输入的金额有误,请认真核对!\n"));
    EXPECT_EQ(run(pay + QStringList{"0"}).code, 1);
    const auto paid = run(pay + QStringList{"12000", "--cheque", "A-1"});
    ASSERT_EQ(paid.code, 0) << paid.err.toStdString();
    const auto written = run({"--json", "payment", "write-off", "--supplier", "1", "--date",
                              "2026-03-02", "--amount", "400"});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    EXPECT_EQ(json(written.lines().value(0))[QStringLiteral("message")].toString(),
              QStringLiteral("该供应商欠款已付清！"));
    EXPECT_EQ(run({"payment", "list", "--cheque", "A-1"}).lines().size(), 1);
    EXPECT_EQ(run({"payment", "list", "--write-offs"}).lines().size(), 1);

    const auto february =
        run({"--json", "report", "arrears", "--from", "2026-02-01", "--to", "2026-02-28"});
    ASSERT_EQ(february.code, 0) << february.err.toStdString();
    const QJsonObject total = row(february.lines().value(0), 0);
    EXPECT_EQ(total[QStringLiteral("GYSMC")].toString(), QStringLiteral("总计"));
    const QJsonObject supplier = row(february.lines().value(0), 1);
    EXPECT_EQ(supplier[QStringLiteral("SYJE")].toString(), QStringLiteral("0.00"));
    EXPECT_EQ(supplier[QStringLiteral("BYQK")].toString(), QStringLiteral("12400.00"));
    EXPECT_EQ(supplier[QStringLiteral("BYHK")].toString(), QStringLiteral("12000.00"));
    EXPECT_EQ(supplier[QStringLiteral("BYJE")].toString(), QStringLiteral("400.00"));
    // March: owed 400 at the start, written off in the month.
    const auto march =
        run({"--json", "report", "arrears", "--from", "2026-03-01", "--to", "2026-03-31"});
    const QJsonObject written400 = row(march.lines().value(0), 1);
    EXPECT_EQ(written400[QStringLiteral("SYJE")].toString(), QStringLiteral("400.00"));
    EXPECT_EQ(written400[QStringLiteral("HZ")].toString(), QStringLiteral("400.00"));
    EXPECT_EQ(written400[QStringLiteral("BYJE")].toString(), QStringLiteral("0.00"));
    EXPECT_EQ(run({"report", "arrears", "--from", "2026-03-02", "--to", "2026-03-01"}).err,
              QStringLiteral("起始日期不允许大于终止日期！\n"));
}

INSTANTIATE_TEST_SUITE_P(BothModes, CliBooks, ::testing::Values("average", "fifo"));

} // namespace
} // namespace varnock
