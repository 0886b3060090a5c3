#include "clirunner.h"

#include "ledger/plannedstock.h"
#include "shell/datafolder.h"
#include "shell/operators.h"
#include "store/clock.h"
#include "store/database.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

// A planned-price material opened at what the site paid, then issued, from the command line.
class PlannedPriceCli : public ::testing::Test
{
protected:
    void TearDown() override { Clock::setToday(std::nullopt); }

    // A set of `mode` with cement (1001001) at a planned price of 5, opened with 10 pieces
    // bought at 6, closed on 2026-01-31. Returns the global options naming it.
    QStringList openedSet(const char *mode)
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto r = cli.batch(
            QStringLiteral(R"(set create --name 计划价%1 --password pw --mode %1 --date 2026-01-01
catalogue add-category --parent 0 --code 1 --name 建材
catalogue add-category --parent 1 --code 1001 --name 水泥
catalogue add-material --parent 1001 --code 1001001 --name 普通水泥 --spec P.O42.5 --unit 吨 --planned-price 5 --at-planned-price
unit add --code 01 --name 一号楼
opening add --material 1001001 --price 6 --quantity 10
stock
month-end --yes
)")
                .arg(QLatin1String(mode)),
            {"--user", "admin", "--password", "admin"});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList lines = r.lines();
        // The opening keeps the typed price and amount; the stock takes the plan.
        EXPECT_EQ(lines.value(5), QStringLiteral("1001001\t6.00\t10.00\t60.00"));
        EXPECT_EQ(lines.value(6), QStringLiteral("1001001\t普通水泥\tP.O42.5\t吨\t10.00\t50.00"));
        m_number = lines.value(0).toLongLong();
        return {"--set", lines.value(0), "--user", "admin", "--password", "admin"};
    }

    std::unique_ptr<Database> open() const
    {
        return std::make_unique<Database>(
            DataFolder(cli.dataDir()).accountSetDatabasePath(m_number));
    }

    CliRunner cli;
    qint64 m_number = 0;
};

TEST_F(PlannedPriceCli, OpeningAndIssueStayAtPlanInBothModes)
{
    for (const char *mode : {"average", "fifo"}) {
        SCOPED_TRACE(mode);
        const QStringList as = openedSet(mode);
        Clock::setToday(QDate(2026, 2, 1));
        const auto r = cli.batch(
            QStringLiteral(R"(issue save --kind 1 --date 2026-02-01 --unit 01 --line 1001001,2
post issue --all --kind 1
stock
voucher show issue --voucher 1 --json
check --strict
)"),
            as);
        ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
        const QStringList lines = r.lines();
        EXPECT_EQ(lines.value(2), QStringLiteral("1001001\t普通水泥\tP.O42.5\t吨\t8.00\t40.00"));
        const QJsonObject shown = QJsonDocument::fromJson(lines.value(3).toUtf8()).object();
        const QJsonObject line = shown[QStringLiteral("lines")].toArray().at(0).toObject();
        EXPECT_EQ(line[QStringLiteral("SJJE")].toString(), QStringLiteral("10.00"))
            << lines.value(3).toStdString();
        EXPECT_EQ(lines.value(4), QStringLiteral("ok"));
    }
}

TEST_F(PlannedPriceCli, ThePlanStaysWhileStockIsValuedByIt)
{
    const QStringList as = openedSet("average");
    auto r = cli.run(as + QStringList{"catalogue", "edit-material", "--code", "1001001",
                                      "--planned-price", "5.5"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("该材料还有库存，不允许修改计价方式或计划单价！\n"));
    r = cli.run(
        as + QStringList{"catalogue", "edit-material", "--code", "1001001", "--at-actual-price"});
    EXPECT_EQ(r.err, QStringLiteral("该材料还有库存，不允许修改计价方式或计划单价！\n"));
    r = cli.run(as + QStringList{"catalogue", "edit-material", "--code", "1001001",
                                 "--at-actual-price", "--at-planned-price"});
    EXPECT_NE(r.code, 0);

    // What does not value the stock may change; the rest of the material stays.
    r = cli.run(as + QStringList{"catalogue", "edit-material", "--code", "1001001", "--name",
                                 "硅酸盐水泥", "--planned-price", "5.00"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(cli.run(as + QStringList{"stock"}).out,
              QStringLiteral("1001001\t硅酸盐水泥\tP.O42.5\t吨\t10.00\t50.00\n"));
    EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0);
}

TEST_F(PlannedPriceCli, OffPlanStockIsReportedAndRepairedOnce)
{
    const QStringList as = openedSet("fifo");
    {
        // Stock as books kept before openings entered at plan left it.
        auto db = open();
        db->exec(QStringLiteral("UPDATE KC SET KCJE = 600000"));
        Permissions reader;
        reader[Permissions::CXBB] = true;
        Operators(*db).add(2, QStringLiteral("保管员"), QString(), QStringLiteral("bg"), reader);
    }
    auto r = cli.run(as + QStringList{"check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, QStringLiteral("1001001\tplanned\tKC 10 / 60, planned value 50\n"));
    EXPECT_TRUE(r.err.contains(QStringLiteral("check --repair-planned"))) << r.err.toStdString();

    // Rewriting stock is for an operator who may close the month.
    r = cli.run(QStringList{"--set", as.at(1), "--user", "保管员", "--password", "bg", "check",
                            "--repair-planned"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("对不起,您没有被授予该项权限!\n"));

    r = cli.run(as + QStringList{"--json", "check", "--repair-planned", "--strict"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject result = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonObject repaired = result[QStringLiteral("repaired")].toArray().at(0).toObject();
    EXPECT_EQ(repaired[QStringLiteral("CLBH")].toString(), QStringLiteral("1001001"));
    EXPECT_EQ(repaired[QStringLiteral("from")].toString(), QStringLiteral("60.00"));
    EXPECT_EQ(repaired[QStringLiteral("to")].toString(), QStringLiteral("50.00"));
    EXPECT_TRUE(result[QStringLiteral("balanced")].toBool());

    r = cli.run(as + QStringList{"check", "--repair-planned"});
    EXPECT_EQ(r.out, QStringLiteral("ok\n"));
    auto db = open();
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ WHERE CZXX = ?"),
                         {PlannedStock::RepairLogText})
                  .toInt(),
              1);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT KCJE FROM ZWCSH")).toLongLong(), 600000);
}

} // namespace
} // namespace varnock
