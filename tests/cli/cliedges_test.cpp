#include "clirunner.h"

#include "shell/accountsetsession.h"
#include "shell/datafolder.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/readonlyfolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

// The command line at the edges: figures and dates at their bounds, files it cannot use as
// they are, the program holding the set open, and operators made without the screens.
class CliEdges : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setToday(QDate(2026, 2, 10)); }
    void TearDown() override { Clock::setToday(std::nullopt); }

    // A set with the library's catalogue, a supplier, one opening balance and its first
    // closing on 2026-01-31, as a site opens its books; returns its number.
    QString openBooks()
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto r =
            cli.batch(QStringLiteral(R"(set create --name 边界 --password pw --date 2026-01-01
catalogue import --library 3
supplier add --name 河北建材
unit add --code 01 --name 一号楼
opening add --material 1001001 --price 4000 --quantity 10
month-end --yes
)"),
                      {"--user", "admin", "--password", "admin"});
        Clock::setToday(QDate(2026, 2, 10));
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return r.lines().value(0);
    }

    static QStringList as(const QString &bh, const char *user = "admin",
                          const char *password = "admin")
    {
        return {"--set", bh, "--user", user, "--password", password};
    }

    static QStringList stockIn(const QString &line, const char *date = "2026-02-05")
    {
        return {"stock-in", "save",       "--kind", "采购入库", "--date",
                date,       "--supplier", "1",      "--line",   line};
    }

    QString dbPath(const QString &bh) const
    {
        return DataFolder(cli.dataDir()).accountSetDatabasePath(bh.toLongLong());
    }

    int lines(const QString &bh) const
    {
        Database db(dbPath(bh), Database::Access::ReadOnly);
        return db.scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt();
    }

    CliRunner cli;
};

} // namespace

TEST_F(CliEdges, FiguresAreRefusedPastTheirBoundsNeverReportedAsStoreErrors)
{
    const QString bh = openBooks();
    // At the bounds.
    auto r = cli.run(as(bh) + stockIn("1001001,1000000,100000"));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    // The price that once blocked every later posting of its material.
    r = cli.run(as(bh) + stockIn("1001001,922337203685477.58,1"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("单价超出允许范围，其绝对值不能大于1000000！\n"));
    r = cli.run(as(bh) + stockIn("1001001,1,100000000.0001"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("数量超出允许范围"))) << r.err.toStdString();
    r = cli.run(as(bh) + QStringList{"opening", "add", "--material", "1001002", "--price", "1",
                                     "--quantity", "1", "--amount", "100000000000.01"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("金额超出允许范围"))) << r.err.toStdString();
    // A thousands separator splits the figure: price 1, quantity 000.00, amount 5.
    r = cli.run(as(bh) + stockIn("1001001,1,000.00,5"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("1行数量不允许为零!\n"));
    EXPECT_EQ(lines(bh), 1);
    EXPECT_TRUE(cli.run({"stock-in", "save", "--help"}).out.contains("thousands separators"));
    EXPECT_TRUE(cli.run({"--help"}).out.contains("thousands separators"));
}

TEST_F(CliEdges, DatesKeepTheirBoundsAndALaterOneNeedsYes)
{
    for (const char *date : {"-2026-02-15", "12026-02-15"}) {
        const auto r = cli.run({"set", "create", "--name", "x", "--password", "p", "--date", date});
        EXPECT_EQ(r.code, 2) << date;
    }
    auto r = cli.run({"set", "create", "--name", "x", "--password", "p", "--date", "1899-12-31"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("日期必须在1900-01-01至2999-12-31之间！\n"));
    EXPECT_TRUE(cli.run({"set", "list"}).out.isEmpty());

    const QString bh = openBooks();
    r = cli.run(as(bh) + stockIn("1001001,4100,1", "3000-01-01"));
    EXPECT_EQ(r.code, 1);
    // A date past today would keep the books from being closed until then: asked first.
    r = cli.run(as(bh) + stockIn("1001001,4100,1", "2026-02-11"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("晚于今天"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--yes")));
    EXPECT_EQ(lines(bh), 0);
    r = cli.run(as(bh) + stockIn("1001001,4100,1", "2026-02-11") + QStringList{"--yes"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(cli.run(as(bh) + stockIn("1001001,4100,1", "2026-02-10")).code, 0);
    EXPECT_EQ(lines(bh), 2);
}

TEST_F(CliEdges, DemoSizesAreBounded)
{
    for (const QStringList &args :
         {QStringList{"demo", "--lines", "9223372036854775807"},
          QStringList{"demo", "--lines", "10000001"}, QStringList{"demo", "--materials", "100001"},
          QStringList{"demo", "--months", "121"}, QStringList{"demo", "--lines", "-1"}}) {
        const auto r = cli.run(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    }
    EXPECT_TRUE(cli.run({"set", "list"}).out.isEmpty());
}

TEST_F(CliEdges, AnOperatorGivenNeedsANameAndAPassword)
{
    auto r = cli.run({"set", "create", "--name", "甲", "--password", "pw", "--operator", "k",
                      "--operator-password", ""});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("操作员口令不允许为空！\n"));
    r = cli.run({"set", "create", "--name", "甲", "--password", "pw", "--operator", ""});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("操作员姓名不允许为空！\n"));
    r = cli.run({"set", "create", "--name", "甲", "--password", "pw", "--operator", "k"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(cli.run({"set", "list"}).out.isEmpty());
}

TEST_F(CliEdges, ReadingWorksBesideTheProgramWritingIsRefused)
{
    const QString bh = openBooks();
    ASSERT_EQ(cli.run(as(bh) + stockIn("1001001,4100,2")).code, 0);
    const DataFolder folder(cli.dataDir());
    const auto master = MasterDatabase::ensure(folder);
    // The program has the set open.
    AccountSetSession program(folder, *master, bh.toLongLong());
    program.database().exec(QStringLiteral("UPDATE RKD SET YSDJH = 'open'"));

    for (const QStringList &reads :
         {QStringList{"stock"}, QStringList{"check"},
          QStringList{"voucher", "show", "stock-in", "--voucher", "1"}}) {
        const auto r = cli.run(as(bh) + reads);
        EXPECT_EQ(r.code, 0) << reads.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_TRUE(cli.run(as(bh) + QStringList{"voucher", "show", "stock-in", "--voucher", "1"})
                    .out.contains(QStringLiteral("open")));
    for (const QStringList &writes :
         {QStringList{"month-end", "--yes"}, QStringList{"supplier", "add", "--name", "乙"}}) {
        const auto r = cli.run(as(bh) + writes);
        EXPECT_EQ(r.code, 1) << writes.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(AccountSetSession::InUseText)) << r.err.toStdString();
    }
    // A batch that reads, then writes, is refused at the write.
    const auto batch =
        cli.batch(QStringLiteral("stock\nunit add --code 02 --name 二号楼\n"), as(bh));
    EXPECT_EQ(batch.code, 1);
    EXPECT_TRUE(batch.err.contains(QStringLiteral("stopped at line 2")));
}

TEST_F(CliEdges, AFolderThatCannotBeWrittenIsReadAndRefusesWrites)
{
    const QString bh = openBooks();
    const QByteArray before = [&] {
        QFile file(dbPath(bh));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    {
        const test::ReadOnlyFolder readOnly(cli.dataDir());
        EXPECT_EQ(cli.run({"set", "list"}).code, 0);
        auto r = cli.run(as(bh) + QStringList{"stock"});
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("1001001")));
        r = cli.run(as(bh) + QStringList{"supplier", "add", "--name", "乙"});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("只读"))) << r.err.toStdString();
    }
    QFile file(dbPath(bh));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(CliEdges, DamagedFilesAreNamedAndLeftAsTheyAre)
{
    const QString bh = openBooks();
    const QString set = dbPath(bh);
    ASSERT_TRUE(QFile::resize(set, 0));
    auto r = cli.run(as(bh) + QStringList{"check"});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(set)) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(set).size(), 0);

    const QString master = DataFolder(cli.dataDir()).masterDatabasePath();
    const qint64 size = QFileInfo(master).size();
    ASSERT_TRUE(QFile::resize(master, size / 2));
    r = cli.run({"set", "list"});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(master)) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(master).size(), size / 2);
}

TEST_F(CliEdges, OperatorsAreKeptFromTheCommandLineWithTheScreensRules)
{
    const QString bh = openBooks();
    const QStringList admin = as(bh);
    auto r = cli.run(admin + QStringList{"operator", "add", "--name", "保管员",
                                         "--operator-password", "bg", "--grant", "rkyw,CXBB"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2\t保管员\t\tRKYW,CXBB\n"));
    // Empty passwords never make an operator.
    r = cli.run(admin + QStringList{"operator", "add", "--name", "x", "--operator-password", " "});
    EXPECT_EQ(r.code, 1);

    // The restricted operator enters vouchers but neither posts nor closes the month.
    const QStringList keeper = as(bh, "保管员", "bg");
    EXPECT_EQ(cli.run(keeper + stockIn("1001001,4100,1")).code, 0);
    for (const QStringList &denied :
         {QStringList{"post", "stock-in", "--all"}, QStringList{"month-end", "--yes"},
          QStringList{"operator", "list"}}) {
        r = cli.run(keeper + denied);
        EXPECT_EQ(r.code, 1) << denied.join(' ').toStdString();
        EXPECT_EQ(r.err, QStringLiteral("对不起,您没有被授予该项权限!\n"));
    }
    // Rights granted apply from the next login; --user after the command names the operator.
    r = cli.run(QStringList{"--set", bh, "--user", "admin", "--password", "admin", "operator",
                            "rights", "--user", "保管员", "--grant", "DZCL", "--revoke", "cxbb"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2\t保管员\t\tRKYW,DZCL\n"));
    EXPECT_EQ(cli.run(keeper + QStringList{"post", "stock-in", "--all"}).code, 0);

    // Anyone but operator 1 changes another operator only with that operator's password.
    r = cli.run(admin + QStringList{"operator", "add", "--name", "会计", "--operator-password",
                                    "kj", "--grant", "all"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList accountant = as(bh, "会计", "kj");
    EXPECT_EQ(cli.run(accountant + QStringList{"operator", "delete", "--number", "2"}).code, 2);
    r = cli.run(accountant +
                QStringList{"operator", "delete", "--number", "2", "--their-password", "no"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("密码错误！，不允许删除！！！\n"));
    r = cli.run(accountant + QStringList{"operator", "edit", "--number", "2", "--phone", "110",
                                         "--their-password", "bg"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2\t保管员\t110\tRKYW,DZCL\n"));
    // A password changed is what the login takes from then on.
    EXPECT_EQ(cli.run(keeper + QStringList{"operator", "edit", "--number", "2",
                                           "--operator-password", "new"})
                  .code,
              1)
        << "the keeper has no right to the operator screen";
    EXPECT_EQ(cli.run(admin + QStringList{"operator", "edit", "--number", "2",
                                          "--operator-password", "new"})
                  .code,
              0);
    EXPECT_EQ(cli.run(keeper + stockIn("1001001,4100,1")).code, 1);
    EXPECT_EQ(cli.run(as(bh, "保管员", "new") + stockIn("1001001,4100,1")).code, 0);

    // The last operator stays.
    for (const char *number : {"2", "3"})
        EXPECT_EQ(cli.run(admin + QStringList{"operator", "delete", "--number", number}).code, 0);
    r = cli.run(admin + QStringList{"operator", "delete", "--number", "1"});
    EXPECT_EQ(r.code, 1);
    r = cli.run(admin + QStringList{"operator", "list"});
    EXPECT_EQ(r.lines().size(), 1);
}

} // namespace varnock
