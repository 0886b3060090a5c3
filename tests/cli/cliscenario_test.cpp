#include "clirunner.h"

#include "master/consumingunits.h"
#include "master/openingbalances.h"
#include "master/suppliers.h"
#include "shell/datafolder.h"
#include "shell/operationlog.h"
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

class CliScenario : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setToday(QDate(2026, 1, 31)); }
    void TearDown() override { Clock::setToday(std::nullopt); }

    // The set's database, opened while no command holds it.
    std::unique_ptr<Database> open(qint64 number) const
    {
        return std::make_unique<Database>(DataFolder(cli.dataDir()).accountSetDatabasePath(number));
    }

    static QStringList logTexts(Database &db)
    {
        QStringList texts;
        for (const OperationLog::Row &r : OperationLog(db).browse())
            texts << r.text;
        return texts;
    }

    static QJsonObject json(const QString &line)
    {
        return QJsonDocument::fromJson(line.toUtf8()).object();
    }

    // A set closed once after the opening of 5 of material 1001001 at 4,000, with supplier 1
    // and unit 01; `mode` is added to its creation. Returns its number.
    QString closedSet(const QString &name, const QString &mode = QString())
    {
        const auto made =
            cli.batch(QStringLiteral("set create --name %1 --password pw%2\n"
                                     "catalogue import --library 3\n"
                                     "supplier add --name 河北建材\n"
                                     "unit add --code 01 --name 一号楼\n"
                                     "opening add --material 1001001 --price 4000 "
                                     "--quantity 5\n"
                                     "month-end --yes\n")
                          .arg(name, mode.isEmpty() ? QString() : QLatin1Char(' ') + mode),
                      {"--user", "admin", "--password", "admin"});
        EXPECT_EQ(made.code, 0) << made.err.toStdString();
        return made.lines().value(0);
    }

    CliRunner cli;
};

TEST_F(CliScenario, MovingAverageBooksOpenThroughABatch)
{
    const QStringList as = {"--user", "张会计", "--password", "kj"};
    const auto r = cli.batch(QStringLiteral(R"(# a new set, kept by its own accountant
set create --name 测试账套 --password pw --date 2026-01-01 --mode average --operator 张会计 --operator-password kj
catalogue import --library 3

supplier add --name "河北 建材 \"恒达\" 公司" --opening-debt 1200.5   # quoted, with spaces
unit add --code 01 --name '一号楼 项目部'
opening add --material 1001001 --price 4050 --quantity 2.5
opening add --material 7001002 --price 6.5 --quantity 100 --amount 650.004
stock
stock --material 1001001 --json
)"),
                             as);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 9) << r.out.toStdString();
    const qint64 bh = lines[0].toLongLong();
    EXPECT_EQ(bh, 2026001);
    EXPECT_EQ(lines[1], QStringLiteral("数据替换完毕！"));
    EXPECT_EQ(lines[2], QStringLiteral("1"));
    EXPECT_EQ(lines[3], QStringLiteral("01"));
    EXPECT_EQ(lines[4], QStringLiteral("1001001\t4050.00\t2.50\t10125.00"));
    // The typed amount is kept to the amount format.
    EXPECT_EQ(lines[5], QStringLiteral("7001002\t6.50\t100.00\t650.00"));
    EXPECT_EQ(lines[6], QStringLiteral("1001001\t光圆钢筋\tHPB300 Φ6\t吨\t2.50\t10125.00"));
    EXPECT_EQ(lines[7], QStringLiteral("7001002\t扣件\t直角 GKZ48\t个\t100.00\t650.00"));
    const QJsonObject stock = json(lines[8]);
    EXPECT_EQ(stock[QStringLiteral("command")].toString(), QStringLiteral("stock"));
    const QJsonArray rows = stock[QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][QStringLiteral("CLBH")].toString(), QStringLiteral("1001001"));
    EXPECT_EQ(rows[0][QStringLiteral("KCSL")], QJsonValue(QStringLiteral("2.50")));
    EXPECT_EQ(rows[0][QStringLiteral("KCJE")], QJsonValue(QStringLiteral("10125.00")));

    {
        auto db = open(bh);
        const auto supplier = Suppliers(*db).find(QStringLiteral("1"));
        ASSERT_TRUE(supplier);
        EXPECT_EQ(supplier->mc, QStringLiteral("河北 建材 \"恒达\" 公司"));
        EXPECT_EQ(supplier->csqk, *Decimal::parse(u"1200.5"));
        EXPECT_EQ(ConsumingUnits(*db).find(QStringLiteral("01"))->mc,
                  QStringLiteral("一号楼 项目部"));
        // Each command leaves the record its menu command leaves.
        EXPECT_EQ(logTexts(*db), (QStringList{"设置材料信息", "设置供应商", "设置领料单位",
                                              "设置账务初始化信息", "设置账务初始化信息"}));
    }

    const QStringList set = QStringList{"--set", QString::number(bh)} + as;
    auto again = cli.run(set + QStringList{"opening", "add", "--material", "1001001", "--price",
                                           "4000", "--quantity", "1"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.err, QStringLiteral("1001001 光圆钢筋已经做过初始化！\n"));

    auto close = cli.run(set + QStringList{"month-end"});
    EXPECT_EQ(close.code, 1) << "without --yes the question is answered No";
    close = cli.run(set + QStringList{"month-end", "--yes"});
    EXPECT_EQ(close.code, 0) << close.err.toStdString();
    EXPECT_EQ(close.out, QStringLiteral("月结结束！！！\n"));

    const auto closed = cli.run(set + QStringList{"opening", "add", "--material", "7001003",
                                                  "--price", "7", "--quantity", "1"});
    EXPECT_EQ(closed.code, 1);
    EXPECT_EQ(closed.err, QStringLiteral("已经做过业务不允许再做初始化！！！\n"));

    const auto checked = cli.run(set + QStringList{"check"});
    EXPECT_EQ(checked.code, 0) << checked.out.toStdString();

    auto db = open(bh);
    EXPECT_EQ(OpeningBalances(*db, 2, Formats()).rows().size(), 2);
    EXPECT_EQ(logTexts(*db).count(QStringLiteral("月结处理")), 1);
}

TEST_F(CliScenario, FirstInFirstOutOpensAMaterialAtSeveralPrices)
{
    const auto r = cli.batch(QStringLiteral(R"(set create --name 先进先出 --password pw --mode fifo
catalogue import --library 3
opening add --material 1001001 --price 4000 --quantity 1
opening add --material 1001001 --price 4100 --quantity 2
stock --json
)"),
                             {"--user", "admin", "--password", "admin"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 5);
    const QJsonArray rows = json(lines[4])[QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][QStringLiteral("KCSL")].toString(), QStringLiteral("3.00"));
    EXPECT_EQ(rows[0][QStringLiteral("KCJE")].toString(), QStringLiteral("12200.00"));

    const QStringList as = {"--set", lines[0], "--user", "admin", "--password", "admin"};
    const auto twice = cli.run(as + QStringList{"opening", "add", "--material", "1001001",
                                                "--price", "4000", "--quantity", "5"});
    EXPECT_EQ(twice.code, 1);
    EXPECT_EQ(twice.err, QStringLiteral("1001001 光圆钢筋单价为4000.00已经做过初始化！\n"));
    EXPECT_EQ(cli.run(as + QStringList{"check"}).code, 0);

    auto db = open(lines[0].toLongLong());
    EXPECT_EQ(OpeningBalances(*db, 1, Formats()).rows().size(), 2);
}

TEST_F(CliScenario, LoginAndRightsAreThoseOfTheLoginScreen)
{
    const auto made = cli.run({"set", "create", "--name", "权限", "--password", "pw"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString bh = made.lines().value(0);
    {
        auto db = open(bh.toLongLong());
        Permissions reader;
        reader[Permissions::CXBB] = true;
        Operators(*db).add(2, QStringLiteral("保管员"), QString(), QStringLiteral("bg"), reader);
    }
    const QStringList addSupplier = {"supplier", "add", "--name", "甲"};
    const auto as = [&](const char *user, const char *password) {
        return QStringList{"--set", bh, "--user", user, "--password", password};
    };

    auto r = cli.run(as("admin", "wrong") + addSupplier);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("口令错误！请重新输入！\n"));
    r = cli.run(as("无此人", "x") + addSupplier);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("该操作员不存在！\n"));

    for (const QStringList &denied :
         {addSupplier, QStringList{"catalogue", "import", "--library", "1"},
          QStringList{"unit", "add", "--code", "1", "--name", "乙"},
          QStringList{"month-end", "--yes"}}) {
        r = cli.run(as("保管员", "bg") + denied);
        EXPECT_EQ(r.code, 1) << denied.join(' ').toStdString();
        EXPECT_EQ(r.err, QStringLiteral("对不起,您没有被授予该项权限!\n"));
    }
    r = cli.run(as("保管员", "bg") + QStringList{"stock", "--json"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();

    // The environment stands in for --user and --password.
    qputenv("VARNOCK_USER", "admin");
    qputenv("VARNOCK_PASSWORD", "admin");
    r = cli.run(QStringList{"--set", bh} + addSupplier);
    qunsetenv("VARNOCK_USER");
    qunsetenv("VARNOCK_PASSWORD");
    EXPECT_EQ(r.code, 0) << r.err.toStdString();

    auto db = open(bh.toLongLong());
    EXPECT_EQ(Suppliers(*db).list().size(), 1);
    // Refused commands leave no trace in the operation log.
    EXPECT_EQ(logTexts(*db), QStringList{"设置供应商"});
}

TEST_F(CliScenario, BatchStopsAtTheFirstFailingLine)
{
    const auto r = cli.batch(QStringLiteral(R"(set create --name 批处理 --password pw
supplier add --name 甲供应商
unit add --code 01 --name 一号楼
supplier add --name 甲供应商
unit add --code 02 --name 二号楼
)"),
                             {"--user", "admin", "--password", "admin"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("这个名称已经存在，请重新输入！！！\n")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("batch: stopped at line 4: supplier add")));
    const qint64 bh = r.lines().value(0).toLongLong();
    {
        auto db = open(bh);
        EXPECT_EQ(Suppliers(*db).list().size(), 1);
        ASSERT_EQ(ConsumingUnits(*db).list().size(), 1);
        EXPECT_EQ(ConsumingUnits(*db).list()[0].bh, QStringLiteral("01"));
        EXPECT_EQ(logTexts(*db), (QStringList{"设置供应商", "设置领料单位"}));
    }

    // A usage error stops a batch too, before anything of its line is done; standard input
    // works as a batch file.
    const QStringList globals = {"--set", QString::number(bh), "--user",
                                 "admin", "--password",        "admin"};
    const auto usage = cli.run(globals + QStringList{"batch", "-"},
                               QStringLiteral("unit add --code 02 --name 二号楼\n"
                                              "unit add --code 03\n"
                                              "unit add --code 04 --name 四号楼\n"));
    EXPECT_EQ(usage.code, 2);
    EXPECT_TRUE(usage.err.contains(QStringLiteral("missing --name")));
    EXPECT_TRUE(usage.err.contains(QStringLiteral("stopped at line 2")));
    {
        auto db = open(bh);
        EXPECT_EQ(ConsumingUnits(*db).list().size(), 2);
    }

    // The set's own password deletes it; a wrong one is refused.
    auto del = cli.run({"set", "delete", "--number", QString::number(bh), "--password", "no"});
    EXPECT_EQ(del.code, 1);
    EXPECT_EQ(del.err, QStringLiteral("密码错误！！不允许删除！！\n"));
    del = cli.run({"set", "delete", "--number", QString::number(bh), "--password", "pw"});
    EXPECT_EQ(del.code, 0) << del.err.toStdString();
    EXPECT_EQ(cli.run({"set", "list"}).out, QString());
}

TEST_F(CliScenario, AnAtomicBatchWritesAllOrNothing)
{
    const QString bh = closedSet(QStringLiteral("整批"), QStringLiteral("--mode fifo"));
    ASSERT_FALSE(bh.isEmpty());
    const QStringList as = {"--set", bh, "--user", "admin", "--password", "admin"};
    const auto count = [&](const char *sql) {
        auto db = open(bh.toLongLong());
        return db->scalar(QString::fromLatin1(sql)).toInt();
    };
    const int logged = count("SELECT COUNT(*) FROM CZRZ");
    Clock::setToday(QDate(2026, 2, 10));

    // The third voucher names no material: the batch stops there, and the two vouchers saved
    // and posted before it are gone too, with their operation-log records.
    const QString day = QStringLiteral(
        R"(stock-in save --kind 采购入库 --date 2026-02-05 --supplier 1 --line 1001001,4100,2
post stock-in --voucher 1
issue save --kind 1 --date 2026-02-06 --unit 01 --line 1001001,3
post issue --voucher 1
issue save --kind 1 --date 2026-02-06 --unit 01 --line %1,1
post issue --voucher 2
)");
    const auto r = cli.run(as + QStringList{"batch", "--atomic", "-"}, day.arg("9999"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("材料编号9999不存在，请重新选择！")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("batch: stopped at line 5: issue save")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("nothing of the batch was written")));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM XJXCSJB"), 0);
    EXPECT_EQ(count("SELECT KCSL FROM KC"), 50000);
    EXPECT_EQ(count("SELECT COUNT(*) FROM CZRZ"), logged);

    // Lines that would leave the batch's account set are refused the same way.
    for (const QString &line : {QStringLiteral("set create --name 另一个 --password pw"),
                                QStringLiteral("--set 99 stock")}) {
        const auto away = cli.run(as + QStringList{"batch", "--atomic", "-"},
                                  day.arg(QStringLiteral("1001001")) + line + QLatin1Char('\n'));
        EXPECT_EQ(away.code, 2) << line.toStdString();
        EXPECT_TRUE(away.err.contains(QStringLiteral("stopped at line 7")))
            << away.err.toStdString();
        EXPECT_EQ(count("SELECT COUNT(*) FROM RKD"), 0);
    }

    // Put right, the whole day is written at once.
    const auto ok = cli.run(as + QStringList{"--json", "batch", "--atomic", "-"},
                            day.arg(QStringLiteral("1001001")));
    ASSERT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_TRUE(json(ok.lines().last())[QStringLiteral("written")].toBool());
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD WHERE JZBZ <> 0"), 2);
    EXPECT_EQ(count("SELECT KCSL FROM KC"), 30000);
    EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0);
}

TEST_F(CliScenario, AVoucherIsRefusedAtItsFirstCodeThatNamesNoMaterial)
{
    const QString bh = closedSet(QStringLiteral("查找"));
    ASSERT_FALSE(bh.isEmpty());
    const QStringList as = {"--set", bh, "--user", "admin", "--password", "admin"};
    const auto count = [&](const QString &sql) {
        auto db = open(bh.toLongLong());
        return db->scalar(sql).toInt();
    };
    Clock::setToday(QDate(2026, 2, 10));
    const QString day = QStringLiteral(
        "stock-in save --kind 采购入库 --date 2026-02-05 --supplier 1 --line 1001002,3900,2\n"
        "post stock-in --voucher 1\n"
        "stock-in save --kind 采购入库 --date 2026-02-05 --supplier 1 --line 1001002,3900,1 "
        "--line %1,10,1 --line %2,1,1\n"
        "issue save --kind 1 --date 2026-02-06 --unit 01 --line 1001001,1 --line 1001002,1 "
        "--line 1001001,2\n"
        "post issue --voucher 1\n");

    // A category's code, or a code that names nothing: the voucher's first such line is
    // refused, the batch stops at the voucher, and nothing of the batch stays.
    for (const QString &code : {QStringLiteral("1001"), QStringLiteral("8888")}) {
        const auto r = cli.run(as + QStringList{"batch", "--atomic", "-"},
                               day.arg(code, QStringLiteral("7777")));
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("材料编号") + code +
                                     QStringLiteral("不存在，请重新选择！\n")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("batch: stopped at line 3: stock-in save")));
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 0);
    }

    // Named rightly, the lines are stored in their order under the numbers drawn as they are
    // stored; an issue may name one material on several lines.
    const auto ok = cli.run(as + QStringList{"batch", "--atomic", "-"},
                            day.arg(QStringLiteral("1001003"), QStringLiteral("1001001")));
    ASSERT_EQ(ok.code, 0) << ok.err.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE XTBH = 2 "
                                   "AND YSDJH = '2026-02-10 - 1002'")),
              3);
    EXPECT_EQ(count(QStringLiteral("SELECT GROUP_CONCAT(CLBH, ',') = '1001001,1001002,1001001' "
                                   "FROM (SELECT CLBH FROM LLD ORDER BY ID)")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT KCSL FROM KC WHERE CLBH = '1001001'")), 20000);
    EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0);

    // A typed number that looks drawn and is taken is drawn again, and the answer says which
    // number the voucher was stored under; a number typed by hand stays as typed.
    for (const auto &[typed, stored] :
         {std::pair{QStringLiteral("2026-02-10 - 1001"), QStringLiteral("2026-02-10 - 1003")},
          std::pair{QStringLiteral("手写-7"), QStringLiteral("手写-7")}}) {
        const auto saved = cli.run(
            as + QStringList{"--json", "stock-in", "save", "--kind", "采购入库", "--date",
                             "2026-02-05", "--supplier", "1", "--line", "1001002,3900,1",
                             "--document", typed});
        ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
        const QJsonObject answer = json(saved.lines().last());
        EXPECT_EQ(answer[QStringLiteral("YSDJH")].toString(), stored);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE XTBH = %1 AND YSDJH = '%2'")
                            .arg(answer[QStringLiteral("XTBH")].toInteger())
                            .arg(stored)),
                  1);
    }
}

TEST_F(CliScenario, PurchasesArePostedInBothModes)
{
    for (const char *mode : {"average", "fifo"}) {
        const QString script = QStringLiteral(R"(set create --name 入库%1 --password pw --mode %1
catalogue import --library 3
supplier add --name 河北建材
opening add --material 1001001 --price 4000 --quantity 1
month-end --yes
stock-in save --kind 采购入库 --date 2026-02-05 --supplier 1 --line 1001001,4100,2 --line 7001002,7,10,,20 --yes
post stock-in --all
stock --json
voucher show stock-in --voucher 1 --json
)")
                                   .arg(QLatin1String(mode));
        const auto r = cli.batch(script, {"--user", "admin", "--password", "admin"});
        ASSERT_EQ(r.code, 0) << mode << r.err.toStdString();
        const QStringList lines = r.lines();
        ASSERT_EQ(lines.size(), 9) << r.out.toStdString();
        EXPECT_EQ(lines[5], QStringLiteral("1")) << "the voucher's system number";
        EXPECT_EQ(lines[6], QStringLiteral("1")) << "the voucher posted";

        const QJsonArray stock = json(lines[7])[QStringLiteral("rows")].toArray();
        ASSERT_EQ(stock.size(), 2) << mode;
        EXPECT_EQ(stock[0][QStringLiteral("KCSL")].toString(), QStringLiteral("3.00"));
        EXPECT_EQ(stock[0][QStringLiteral("KCJE")].toString(), QStringLiteral("12200.00"));
        // A planned-price material enters at its planned price, whatever the voucher says.
        EXPECT_EQ(stock[1][QStringLiteral("CLBH")].toString(), QStringLiteral("7001002"));
        EXPECT_EQ(stock[1][QStringLiteral("KCJE")].toString(), QStringLiteral("65.00"));

        const QJsonObject shown = json(lines[8]);
        EXPECT_TRUE(shown[QStringLiteral("JZBZ")].toBool());
        const QJsonArray voucherLines = shown[QStringLiteral("lines")].toArray();
        ASSERT_EQ(voucherLines.size(), 2);
        EXPECT_EQ(voucherLines[1][QStringLiteral("SJJE")].toString(), QStringLiteral("70.00"));
        EXPECT_EQ(voucherLines[1][QStringLiteral("YFJE")].toString(), QStringLiteral("20.00"));

        const QStringList as = {"--set", lines[0], "--user", "admin", "--password", "admin"};
        auto again = cli.run(as + QStringList{"post", "stock-in", "--voucher", "1"});
        EXPECT_EQ(again.code, 1);
        EXPECT_EQ(again.err, QStringLiteral("该单据已经记帐，不能重复记帐！\n"));
        // A code that names no material is refused, and nothing of the voucher is kept.
        again = cli.run(as + QStringList{"stock-in", "save", "--kind", "采购入库", "--date",
                                         "2026-02-06", "--supplier", "1", "--line", "1001001,1,1",
                                         "--line", "9999,1,1", "--yes"});
        EXPECT_EQ(again.code, 1);
        EXPECT_EQ(again.err, QStringLiteral("材料编号9999不存在，请重新选择！\n"));
        EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0) << mode;

        auto db = open(lines[0].toLongLong());
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 2);
        EXPECT_EQ(logTexts(*db).mid(4), (QStringList{"采购入库单填写", "入库单登账"}));
    }
}

TEST_F(CliScenario, IssuesAndReturnsRoundTripInBothModes)
{
    struct Expected
    {
        const char *mode;
        const char *issued;   // SJJE of the issue line once posted
        const char *returned; // THJE of the issue return
        const char *stock;    // KCJE at the end (3 in stock)
    };
    // Average: 28200 / 7 = 4028.57 a piece. First in first out: the opening 5 at 4000 and
    // one of the two receipt pieces left at 4100; the return comes back at 24100 / 6.
    for (const Expected &e : {Expected{"average", "24171.42", "8057.14", "12085.72"},
                              Expected{"fifo", "24100.00", "8033.33", "12133.33"}}) {
        SCOPED_TRACE(e.mode);
        Clock::setToday(QDate(2026, 1, 31));
        auto r = cli.batch(
            QStringLiteral(R"(set create --name 出库%1 --password pw --mode %1 --date 2026-01-01
catalogue import --library 3
supplier add --name 河北建材
unit add --code 01 --name 一号楼
opening add --material 1001001 --price 4000 --quantity 5
month-end --yes
)")
                .arg(QLatin1String(e.mode)),
            {"--user", "admin", "--password", "admin"});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList as = {"--set", r.lines().first(), "--user",
                                "admin", "--password",      "admin"};

        // A purchase return is made within the purchase's month.
        Clock::setToday(QDate(2026, 2, 10));
        r = cli.batch(
            QStringLiteral(
                R"(stock-in save --kind 采购入库 --date 2026-02-02 --supplier 1 --line 1001001,4100,3
post stock-in --all
stock-in-return save --kind 采购退货 --date 2026-02-03 --voucher 1 --line 1001001,1
post stock-in-return --all
issue save --kind 1 --date 2026-02-04 --unit 01 --site 基础 --line 1001001,6
post issue --all --kind 1
issue-return save --kind 1 --date 2026-02-05 --voucher 1 --line 1001001,2
post issue-return --all --kind 1
stock --json
voucher show issue --voucher 1 --json
voucher show issue-return --voucher 1 --json
)"),
            as);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QStringList lines = r.lines();
        ASSERT_EQ(lines.size(), 11) << r.out.toStdString();
        const QJsonObject stock = json(lines[8])[QStringLiteral("rows")].toArray()[0].toObject();
        EXPECT_EQ(stock[QStringLiteral("KCSL")].toString(), QStringLiteral("3.00"));
        EXPECT_EQ(stock[QStringLiteral("KCJE")].toString(), QLatin1String(e.stock));

        const QJsonObject issue = json(lines[9]);
        EXPECT_EQ(issue[QStringLiteral("LLDWBH")].toString(), QStringLiteral("01"));
        EXPECT_EQ(issue[QStringLiteral("SGBW")].toString(), QStringLiteral("基础"));
        const QJsonObject issueLine = issue[QStringLiteral("lines")].toArray()[0].toObject();
        EXPECT_EQ(issueLine[QStringLiteral("SJJE")].toString(), QLatin1String(e.issued));
        EXPECT_TRUE(issueLine[QStringLiteral("JZBZ")].toBool());
        EXPECT_TRUE(issueLine[QStringLiteral("THBZ")].toBool()) << "goods came back against it";

        const QJsonObject back = json(lines[10]);
        EXPECT_TRUE(back[QStringLiteral("JZBZ")].toBool());
        const QJsonObject backLine = back[QStringLiteral("lines")].toArray()[0].toObject();
        EXPECT_EQ(backLine[QStringLiteral("LLID")].toInteger(),
                  issueLine[QStringLiteral("ID")].toInteger());
        EXPECT_EQ(backLine[QStringLiteral("THSL")].toString(), QStringLiteral("2.00"));
        EXPECT_EQ(backLine[QStringLiteral("THJE")].toString(), QLatin1String(e.returned));

        // 6 issued, 2 back: 5 more is refused and nothing is written.
        auto over =
            cli.run(as + QStringList{"issue-return", "save", "--kind", "1", "--date", "2026-02-06",
                                     "--voucher", "1", "--line", "1001001,5"});
        EXPECT_EQ(over.code, 1);
        EXPECT_EQ(over.err, QStringLiteral("已经超过数量，请仔细输入\n"));
        // A material the voucher does not hold cannot come back on it.
        over = cli.run(as + QStringList{"issue-return", "save", "--kind", "1", "--date",
                                        "2026-02-06", "--voucher", "1", "--line", "7001002,1"});
        EXPECT_EQ(over.code, 1);
        EXPECT_EQ(over.err, QStringLiteral("该单据中没有材料7001002可退！\n"));
        EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0);

        // Only an unposted voucher can be deleted, and only after Yes.
        auto gone =
            cli.run(as + QStringList{"voucher", "delete", "issue", "--voucher", "1", "--yes"});
        EXPECT_EQ(gone.code, 1);
        EXPECT_EQ(gone.err, QStringLiteral("该单据已经记账，不允许修改！\n"));
        const QStringList second = {"issue",      "save",   "--kind", "1",      "--date",
                                    "2026-02-07", "--unit", "01",     "--line", "1001001,1"};
        ASSERT_EQ(cli.run(as + second).out, QStringLiteral("2\n"));
        gone = cli.run(as + QStringList{"voucher", "delete", "issue", "--voucher", "2"});
        EXPECT_EQ(gone.code, 1);
        EXPECT_TRUE(gone.err.startsWith(QStringLiteral("您确定要删除该票据吗？")))
            << gone.err.toStdString();
        gone = cli.run(as + QStringList{"voucher", "delete", "issue", "--voucher", "2", "--yes"});
        EXPECT_EQ(gone.code, 0) << gone.err.toStdString();
        EXPECT_EQ(cli.run(as + QStringList{"voucher", "show", "issue", "--voucher", "2"}).err,
                  QStringLiteral("该单据不存在，可能已被删除！\n"));

        // One line of an unposted voucher goes as on the posting screen; posted lines stay.
        const QStringList third = {"issue",  "save", "--kind", "1",         "--date", "2026-02-07",
                                   "--unit", "01",   "--line", "1001001,1", "--line", "1001001,2"};
        // The deleted voucher's number is free again: MAX(XTBH) + 1.
        ASSERT_EQ(cli.run(as + third).out, QStringLiteral("2\n"));
        const QJsonArray thirdLines =
            json(cli.run(as + QStringList{"--json", "voucher", "show", "issue", "--voucher", "2"})
                     .out)[QStringLiteral("lines")]
                .toArray();
        ASSERT_EQ(thirdLines.size(), 2);
        const QString firstLine = QString::number(thirdLines[0][QStringLiteral("ID")].toInteger());
        EXPECT_EQ(cli.run(as + QStringList{"voucher", "delete-line", "issue", "--line", firstLine,
                                           "--yes"})
                      .code,
                  0);
        gone =
            cli.run(as + QStringList{"voucher", "delete-line", "issue", "--line",
                                     QString::number(issueLine[QStringLiteral("ID")].toInteger()),
                                     "--yes"});
        EXPECT_EQ(gone.err, QStringLiteral("该记录已经记帐，不能删除！\n"));

        auto db = open(as[1].toLongLong());
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM TKD")).toInt(), 1);
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM LLD")).toInt(), 2);
        EXPECT_EQ(logTexts(*db).mid(5, 8),
                  (QStringList{"采购入库单填写", "入库单登账", "采购退货单填写", "入库退货单登账",
                               "领料出库单填写", "领料出库单登账", "领料出库退货单填写",
                               "领料出库退货单记帐"}));
    }
}

TEST_F(CliScenario, ProvisionalReceiptIsAppendedAtItsActualPriceOnce)
{
    auto r = cli.batch(
        QStringLiteral(R"(set create --name 暂估 --password pw --mode average --date 2026-01-01
catalogue import --library 3
supplier add --name 河北建材
opening add --material 1001001 --price 4000 --quantity 1
month-end --yes
stock-in save --kind 暂估入库 --date 2026-02-02 --supplier 1 --line 1001001,3900,2 --yes
post stock-in --all --kind 暂估入库
)"),
        {"--user", "admin", "--password", "admin"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList as = {"--set", r.lines().first(), "--user", "admin", "--password", "admin"};
    const QStringList append = {"stock-in", "append",  "--voucher", "1",    "--line-id",
                                "1",        "--price", "4100",      "--yes"};
    r = cli.run(as + append.mid(0, 8));
    EXPECT_EQ(r.code, 1) << "the question is answered No without --yes";
    r = cli.run(as + append);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("3\n")) << "reversal 2, actual line 3";
    // The provisional 7800 goes out, the actual 8200 comes in.
    EXPECT_EQ(cli.run(as + QStringList{"stock"}).out,
              QStringLiteral("1001001\t光圆钢筋\tHPB300 Φ6\t吨\t3.00\t12200.00\n"));
    r = cli.run(as + append);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("该记录已经追加！\n"));
    EXPECT_EQ(cli.run(as + QStringList{"check", "--strict"}).code, 0);
}

TEST_F(CliScenario, MasterDataIsChangedAndDeletedAsOnItsScreens)
{
    auto r = cli.batch(QStringLiteral(R"(set create --name 基础资料 --password pw --date 2026-01-01
catalogue import --library 3
supplier add --name 河北建材
supplier add --name 天津五金
supplier edit --code 1 --phone 0311-1234 --name "河北 建材"
unit add --code 01 --name 一号楼
unit add --code 02 --name 二号楼
unit edit --code 01 --contact 王建国
opening add --material 1001001 --price 4000 --quantity 5
month-end --yes
stock-in save --kind 采购入库 --date 2026-02-02 --supplier 1 --line 1001001,4100,1 --yes
issue save --kind 1 --date 2026-02-03 --unit 01 --line 1001001,1 --yes
)"),
                       {"--user", "admin", "--password", "admin"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList as = {"--set", r.lines().first(), "--user", "admin", "--password", "admin"};
    const auto run = [&](const QStringList &args) { return cli.run(as + args); };

    // What vouchers name stays; the question is answered No without --yes.
    r = run({"supplier", "delete", "--code", "1", "--yes"});
    EXPECT_EQ(r.err, QStringLiteral("这个供应商已经做过入库操作！\n不能删除！！！\n"));
    r = run({"supplier", "delete", "--code", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("你确实要删除这个供应商吗？")));
    EXPECT_EQ(run({"supplier", "delete", "--code", "2", "--yes"}).code, 0);
    EXPECT_EQ(run({"unit", "delete", "--code", "01"}).err,
              QStringLiteral("该单位已经做过业务不允许删除！\n"));
    EXPECT_EQ(run({"unit", "delete", "--code", "02"}).code, 0);
    EXPECT_EQ(run({"catalogue", "delete", "--code", "1001001", "--yes"}).err,
              QStringLiteral("该材料已经做过出入库，不允许删除！\n"));
    EXPECT_EQ(run({"catalogue", "delete", "--code", "7001002"}).code, 1);
    EXPECT_EQ(run({"catalogue", "delete", "--code", "7001002", "--yes"}).code, 0);
    EXPECT_EQ(run({"supplier", "edit", "--code", "9", "--name", "无"}).err,
              QStringLiteral("这个供应商已经不存在！\n"));

    auto db = open(as[1].toLongLong());
    const auto supplier = Suppliers(*db).find(QStringLiteral("1"));
    ASSERT_TRUE(supplier.has_value());
    EXPECT_EQ(supplier->mc, QStringLiteral("河北 建材"));
    EXPECT_EQ(supplier->lxdh, QStringLiteral("0311-1234"));
    EXPECT_FALSE(Suppliers(*db).find(QStringLiteral("2")).has_value());
    const auto unit = ConsumingUnits(*db).find(QStringLiteral("01"));
    ASSERT_TRUE(unit.has_value());
    EXPECT_EQ(unit->lxr, QStringLiteral("王建国"));
    EXPECT_EQ(unit->mc, QStringLiteral("一号楼")) << "fields not given stay";
    EXPECT_EQ(ConsumingUnits(*db).list().size(), 1);
    EXPECT_EQ(
        db->scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLBH = '7001002'")).toInt(),
        0);
}

TEST_F(CliScenario, DemoSetsPassTheCheckInBothModes)
{
    for (const char *mode : {"average", "fifo"}) {
        const auto made = cli.run({"--json", "demo", "--materials", "12", "--months", "3",
                                   "--lines", "30", "--mode", mode});
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        const QJsonObject o = json(made.lines().value(0));
        const QString bh = QString::number(o[QStringLiteral("BH")].toInteger());
        const QStringList as = {"--set", bh, "--user", "admin", "--password", "admin"};

        const auto checked = cli.run(as + QStringList{"check", "--strict"});
        EXPECT_EQ(checked.code, 0) << mode << checked.out.toStdString();
        const auto stock = cli.run(as + QStringList{"stock"});
        EXPECT_EQ(stock.lines().size(), 12) << mode;

        auto db = open(bh.toLongLong());
        EXPECT_GE(Suppliers(*db).list().size(), 5);
        EXPECT_GE(ConsumingUnits(*db).list().size(), 5);
        // The opening closing and two closed voucher months; the last month stays open.
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toInt(), 3);
        // --lines counts the lines in both directions; one of each is reversed today.
        EXPECT_EQ(o[QStringLiteral("reversals")].toInt(), 2) << mode;
        // And one purchase is delivered again straight to a site, posted.
        EXPECT_EQ(o[QStringLiteral("directDeliveries")].toInt(), 1) << mode;
        EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM RKD R JOIN LLD L "
                                            "ON L.ID = R.CKID WHERE L.ZJZC = 1 "
                                            "AND R.JZBZ = 1 AND L.JZBZ = 1"))
                      .toInt(),
                  1);
        for (const char *table : {"RKD", "LLD"}) {
            EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE JZBZ = 1 "
                                                "AND YSDJH <> '冲帐'")
                                     .arg(QLatin1String(table)))
                          .toInt(),
                      16);
            EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE YSDJH = '冲帐' "
                                                "AND CZRQ = '2026-01-31' AND CZBZ = 1")
                                     .arg(QLatin1String(table)))
                          .toInt(),
                      1);
        }
        EXPECT_GT(db->scalar(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZRQ > "
                                            "(SELECT MAX(YJSJ) FROM YJSJB)"))
                      .toInt(),
                  0);
    }
    const auto list = cli.run({"set", "list"});
    EXPECT_EQ(list.lines().size(), 2);
}

} // namespace
} // namespace varnock
