#include "clirunner.h"

#include "shell/datafolder.h"
#include "shell/operationlog.h"
#include "store/clock.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>
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

// A set opened and closed on 2026-01-31 with 10 of 1001001 at 4000.00; February's business
// follows on 2026-02-10.
class CliCorrections : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto made = cli.batch(
            QStringLiteral(R"(set create --name 冲帐 --password pw --date 2026-01-01 --mode %1
catalogue import --library 3
supplier add --name 第一建材
unit add --code 01 --name 一号楼
opening add --material 1001001 --price 4000 --quantity 10
month-end --yes
)")
                .arg(QLatin1String(GetParam())),
            Admin);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        set = made.lines().value(0);
        Clock::setToday(QDate(2026, 2, 10));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    CliRunner::Outcome run(const QStringList &args) const
    {
        return cli.run(QStringList{"--set", set} + Admin + args);
    }
    std::unique_ptr<Database> open() const
    {
        return std::make_unique<Database>(
            DataFolder(cli.dataDir()).accountSetDatabasePath(set.toLongLong()));
    }

    CliRunner cli;
    QString set;
};

TEST_P(CliCorrections, ReversalsCancelPostingAndWipe)
{
    const bool fifo = QLatin1String(GetParam()) == QLatin1String("fifo");
    const auto r = cli.batch(
        QStringLiteral(
            R"(stock-in save --kind 采购入库 --date 2026-02-05 --supplier 1 --line 1001001,4100,2 --line 1001001,4200,1
post stock-in --all
issue save --kind 1 --date 2026-02-06 --unit 01 --line 1001001,4
post issue --all --kind 1
reverse issue --line 1 --date 2026-02-07 --yes
reverse stock-in --line 2 --date 2026-02-07 --yes --json
stock --json
check --strict
)"),
        QStringList{"--set", set} + Admin);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 8) << r.out.toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("2")) << "the issue mirror's system number";
    const QJsonObject mirror = json(lines[5]);
    EXPECT_EQ(mirror[QStringLiteral("XTBH")].toInteger(), 2);
    EXPECT_EQ(mirror[QStringLiteral("CZRQ")].toString(), QStringLiteral("2026-02-07"));
    // 10 + 2 + 1 − 4 + 4 − 1: the issue came back, the second receipt went.
    const QJsonObject stock = json(lines[6])[QStringLiteral("rows")].toArray()[0].toObject();
    EXPECT_EQ(stock[QStringLiteral("KCSL")].toString(), QStringLiteral("12.00"));
    EXPECT_EQ(stock[QStringLiteral("KCJE")].toString(), QStringLiteral("48200.00"));

    // Once reversed, never again; without --yes the question is answered No.
    auto again = run({"reverse", "stock-in", "--line", "2", "--yes"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.err, QStringLiteral("此单据已冲帐,或退货，请另选单据\n"));
    again = run({"reverse", "stock-in", "--line", "1"});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.startsWith(QStringLiteral("该帐目将被冲掉！您确定要进行吗？\n")));
    again = run({"reverse", "issue", "--line", "1", "--date", "2026-01-31", "--yes"});
    EXPECT_EQ(again.err, QStringLiteral("冲帐时间应大于月结时间\n"));

    {
        auto db = open();
        QStringList texts;
        for (const OperationLog::Row &row : OperationLog(*db).browse())
            texts << row.text;
        EXPECT_EQ(texts.mid(texts.size() - 2),
                  (QStringList{QStringLiteral("领料出库单冲帐"), QStringLiteral("入库单冲帐")}));
    }

    const auto cancel = run({"--json", "cancel-posting", "--yes"});
    if (fifo) {
        EXPECT_EQ(cancel.code, 1);
        EXPECT_EQ(json(cancel.lines().value(0))[QStringLiteral("message")].toString(),
                  QStringLiteral("先进先出核算方式不能取消记账！"));
    } else {
        ASSERT_EQ(cancel.code, 0) << cancel.err.toStdString();
        EXPECT_EQ(json(cancel.lines().value(0))[QStringLiteral("YJID")].toInt(), 1);
        const auto back = run({"stock"});
        EXPECT_EQ(back.lines().value(0).section(QLatin1Char('\t'), 4),
                  QStringLiteral("10.00\t40000.00"));
        // The month posts again, mirrors included, and the books still balance.
        for (const char *family : {"stock-in", "issue"})
            EXPECT_EQ(run({"post", family, "--all"}).code, 0) << family;
        EXPECT_EQ(run({"stock"}).lines().value(0).section(QLatin1Char('\t'), 4),
                  QStringLiteral("12.00\t48200.00"));
    }
    EXPECT_EQ(run({"check", "--strict"}).code, 0);

    // The wipe asks for the operator's own password and keeps a copy.
    again = run({"wipe", "--password", "wrong", "--yes"});
    EXPECT_EQ(again.err, QStringLiteral("密码错误！，不允许销账！！！\n"));
    const auto wiped = run({"--json", "wipe", "--password", "admin", "--yes"});
    ASSERT_EQ(wiped.code, 0) << wiped.err.toStdString();
    const QString copy = json(wiped.lines().value(0))[QStringLiteral("snapshot")].toString();
    EXPECT_EQ(QFileInfo(copy).absolutePath(),
              QFileInfo(DataFolder(cli.dataDir()).backupFolder()).absoluteFilePath());
    {
        Database saved(copy, Database::Access::ReadOnly);
        EXPECT_EQ(saved.scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 3);
        EXPECT_EQ(saved.scalar(QStringLiteral("SELECT CZXX FROM CZRZ ORDER BY ID DESC LIMIT 1"))
                      .toString(),
                  QStringLiteral("入库单冲帐"));
    }
    EXPECT_TRUE(run({"stock"}).out.isEmpty());
    auto db = open();
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toInt(), 0);
    EXPECT_GT(db->scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB")).toInt(), 0);
}

TEST_P(CliCorrections, DirectDeliveriesAreSavedPostedAndReversed)
{
    const auto r = cli.batch(
        QStringLiteral(
            R"(direct save --date 2026-02-05 --supplier 1 --unit 01 --site 基础 --line 1001001,4100,2,,1000
post direct --all
stock --json
voucher show direct --voucher 1 --json
reverse direct --voucher 1 --date 2026-02-06 --yes
voucher show direct --voucher 2 --json
check --strict
)"),
        QStringList{"--set", set} + Admin);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 7) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("1"));
    EXPECT_EQ(lines[1], QStringLiteral("1"));
    // The delivery never entered the store.
    const QJsonObject stock = json(lines[2])[QStringLiteral("rows")].toArray()[0].toObject();
    EXPECT_EQ(stock[QStringLiteral("KCSL")].toString(), QStringLiteral("10.00"));
    const QJsonObject shown = json(lines[3]);
    EXPECT_TRUE(shown[QStringLiteral("JZBZ")].toBool());
    EXPECT_EQ(shown[QStringLiteral("SGBW")].toString(), QStringLiteral("基础"));
    EXPECT_EQ(shown[QStringLiteral("lines")].toArray().size(), 1);
    EXPECT_EQ(lines[4], QStringLiteral("2")) << "the mirror's system number";
    const QJsonObject mirror = json(lines[5]);
    EXPECT_TRUE(mirror[QStringLiteral("YSDJH")].toString().endsWith(QStringLiteral(" 冲帐")));
    const QJsonObject line = mirror[QStringLiteral("lines")].toArray()[0].toObject();
    EXPECT_EQ(line[QStringLiteral("SJSL")].toString(), QStringLiteral("-2.00"));
    EXPECT_EQ(line[QStringLiteral("YFJE")].toString(), QStringLiteral("-1000.00"));
    EXPECT_TRUE(line[QStringLiteral("CZBZ")].toBool());

    // A reversed voucher is not reversed again.
    const auto again = run({"reverse", "direct", "--voucher", "1", "--yes"});
    EXPECT_NE(again.code, 0);
    EXPECT_TRUE(again.err.contains(QStringLiteral("此单据已冲帐,或退货，请另选单据")))
        << again.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothModes, CliCorrections, ::testing::Values("average", "fifo"));

} // namespace
} // namespace varnock
