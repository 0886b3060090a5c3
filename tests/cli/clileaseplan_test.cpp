#include "clirunner.h"

#include "store/clock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

QJsonObject json(const QString &line)
{
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

class CliLeasePlan : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto r =
            cli.batch(QStringLiteral(R"(set create --name 租赁 --password pw --date 2026-01-01
catalogue import --library 3
supplier add --name 恒达租赁
unit add --code 01 --name 一号楼
opening add --material 1001001 --price 4000 --quantity 50
month-end --yes
)"),
                      {"--user", "admin", "--password", "admin"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        as = {"--set", r.lines().first(), "--user", "admin", "--password", "admin"};
        Clock::setToday(QDate(2026, 2, 28));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    CliRunner cli;
    QStringList as;
};

TEST_F(CliLeasePlan, LeasesReturnsRentAndPayments)
{
    auto r = cli.batch(
        QStringLiteral(
            R"(lease save --supplier 1 --unit 01 --date 2026-02-01 --line 7001002,100,0.05,20 --line 7001001,10,2
lease return --lease 1 --date 2026-02-05 --line 7001002,40
lease report --from 2026-02-01 --to 2026-02-10 --json
lease pay --supplier 1 --date 2026-02-10 --amount 100 --remark 二月
lease list --payments --json
)"),
        as);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 5) << r.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("1"));
    const QJsonArray rows = json(lines[2])[QStringLiteral("rows")].toArray();
    // 100 out for 5 days at 0.05, 60 for 5 days; then 10 × 2 × 10, each with its subtotal.
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].toObject()[QStringLiteral("CLBH")].toString(), QStringLiteral("7001001"));
    EXPECT_EQ(rows[0].toObject()[QStringLiteral("JE")].toString(), QStringLiteral("200.00"));
    EXPECT_EQ(rows[2].toObject()[QStringLiteral("JE")].toString(), QStringLiteral("25.00"));
    EXPECT_EQ(rows[3].toObject()[QStringLiteral("JSSL")].toString(), QStringLiteral("60.00"));
    EXPECT_EQ(rows[3].toObject()[QStringLiteral("TS")].toString(), QStringLiteral("5"));
    EXPECT_EQ(rows[4].toObject()[QStringLiteral("JE")].toString(), QStringLiteral("40.00"));
    EXPECT_EQ(lines[3],
              QStringLiteral("共拖欠该供应商:240.00\t已付该供应商:100.00\t还剩款项:140.00"));
    EXPECT_EQ(json(lines[4])[QStringLiteral("rows")].toArray().size(), 1);

    // More than is still out, or than is owed: refused, nothing written.
    r = cli.run(as + QStringList{"lease", "return", "--lease", "1", "--date", "2026-02-06",
                                 "--line", "7001002,61"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("数据入录错误,请重新输入"))) << r.err.toStdString();
    r = cli.run(as + QStringList{"lease", "pay", "--supplier", "1", "--date", "2026-02-10",
                                 "--amount", "140.01"});
    EXPECT_NE(r.code, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("您输入的金额错误,请认真核对")));
    r = cli.run(as + QStringList{"lease", "list", "--returns"});
    EXPECT_EQ(r.lines().size(), 1);
}

TEST_F(CliLeasePlan, AnIssuePastItsPlanIsWarnedAboutAndSaved)
{
    auto r = cli.batch(QStringLiteral(R"(plan save --date 2026-02-01 --line 1001001,10,一期
issue save --kind 1 --date 2026-02-02 --unit 01 --line 1001001,4
)"),
                       as);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    r = cli.run(as + QStringList{"issue", "save", "--kind", "1", "--date", "2026-02-03", "--unit",
                                 "01", "--line", "1001001,7"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines(), QStringList{QStringLiteral("2")});
    EXPECT_TRUE(r.err.contains(QStringLiteral("计划数量 10.00，已出库 11.00")))
        << r.err.toStdString();

    // A receipt draws on no plan: saving one warns of nothing, whichever issue shares its
    // system number.
    r = cli.batch(
        QStringLiteral(
            R"(stock-in save --kind 采购入库 --date 2026-02-04 --supplier 1 --line 1001001,40,1
stock-in save --kind 采购入库 --date 2026-02-04 --supplier 1 --line 1001001,40,1
)"),
        as);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    r = cli.batch(QStringLiteral(R"(post issue --all --kind 1
plan compare --from 2026-02-01 --to 2026-02-28 --json
plan list --from 2026-02-01 --to 2026-02-28
)"),
                  as);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 4) << r.out.toStdString(); // both vouchers posted
    const QJsonObject row = json(lines[2])[QStringLiteral("rows")].toArray()[0].toObject();
    EXPECT_EQ(row[QStringLiteral("CKSL")].toString(), QStringLiteral("11.00"));
    EXPECT_EQ(row[QStringLiteral("SL")].toString(), QStringLiteral("-1.00"));
    EXPECT_EQ(row[QStringLiteral("bfb")].toString(), QStringLiteral("110.00"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("1001001\t"))) << lines[3].toStdString();
}

} // namespace
} // namespace varnock
