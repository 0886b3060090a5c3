#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"
#include "support/testaccountset.h"

#include <QDir>
#include <QSet>
#include <QSqlRecord>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace varnock;
using varnock::test::TestAccountSet;

namespace {

// The data model, typed from the description of the tables (not from the schema code).
const std::map<QString, QStringList> &expectedTables()
{
    static const std::map<QString, QStringList> tables = [] {
        const QStringList catalogue = {"CLBH", "SJBH", "CLMC", "CLGG", "JZDW", "HSDW",
                                       "HSXS", "JHDJ", "JHSL", "JJFS", "SFMJ", "CRKBZ"};
        const QStringList period = {"SYSL",  "SYJE",  "RKSL",  "RKJE",  "LLSL",  "LLJE", "LLSL1",
                                    "LLSL2", "LLSL3", "LLJE1", "LLJE2", "LLJE3", "BYSL", "BYJE"};
        const QStringList slip = {"CLBH", "CLMC",  "CLGG", "XTBH",  "JZDW", "YSDJH",
                                  "JZRQ", "CLZM",  "SJDJ", "SJSL",  "SJJE", "YFJE",
                                  "ZL",   "GYSMC", "YS",   "KVMTMC"};
        std::map<QString, QStringList> t;
        t["CLJBXXB"] = catalogue;
        t["CLJBXXB0"] = catalogue;
        t["CLJBXXB1"] = catalogue;
        t["CLJBXXB2"] = catalogue;
        t["RKD"] = {"ID",   "XTBH", "YSDJH", "GYSBH", "CZRQ", "FPBH", "ZPH",  "ZL",
                    "CLBH", "SJDJ", "SJSL",  "SJJE",  "YFJE", "CZZM", "JZBZ", "CZBZ",
                    "THBZ", "ZJBZ", "CKBH",  "CKID",  "BZBZ", "YSXH"};
        t["THD"] = {"ID",   "XTBH", "YSBH", "THDJH", "GYSBH", "CZRQ", "FPBH", "ZL",
                    "CLBH", "THDJ", "THSL", "THJE",  "RKID",  "JZBZ", "THXH"};
        t["LLD"] = {"ID",   "XTBH", "YSDJH", "LLDWBH", "CZRQ", "SGBW", "DH",
                    "CLBH", "SJDJ", "SJSL",  "SJJE",   "BZ",   "ZL",   "JZBZ",
                    "CZBZ", "HSBZ", "BZBZ",  "THBZ",   "ZJZC", "YSXH"};
        t["TKD"] = {"ID",   "XTBH", "YSBH", "THDJH", "LLDWBH", "CZRQ", "CLBH", "THDJ",
                    "THSL", "THJE", "LLID", "ZL",    "JZBZ",   "CZBZ", "THXH"};
        t["GYS"] = {"BH",   "MC",   "ZCDD", "ZCBH", "FR", "DZ",  "YZBM",
                    "LXDH", "KHYH", "KHZH", "ZGCP", "BZ", "CSQK"};
        t["LLDW"] = {"BH", "MC", "DZ", "LXR", "DH", "BZ"};
        t["KC"] = {"CLBH", "KCSL", "KCJE", "SJID"};
        t["ZWCSH"] = {"ID", "CLBH", "KCSL", "KCJE", "KCDJ"};
        t["XJXCSJB"] = {"ID", "CLBH", "RKID", "CSHID", "CKID", "CKSL", "SYSL"};
        t["YJSJB"] = {"YJID", "YJSJ", "FSBZ", "LJBZ"};
        t["YJKCB"] = {"YJID", "CLBH", "JCSL", "JCJE"};
        t["XJXCYJKCB"] = {"YJID", "CLBH", "JCDJ", "JCSL", "JCJE", "XH"};
        t["YJFSB"] = {"YJID", "CLBH", "FSDJ", "LX", "ZL", "LLDWBH", "FSSL", "FSJE", "XH"};
        t["LJXHB"] = {"YJID", "CLBH", "LJSL", "LJJE"};
        t["CZRZ"] = {"ID", "CZY", "RQ", "CZXX", "TIME"};
        t["CZY"] = {"BH", "CZY", "DH", "PASS"};
        t["CZYQX"] = {"BH",   "RKYW", "CKYW", "CLSZ",  "GYSSZ", "LLDWSZ", "XTSZ", "CZYSZ",
                      "CXBB", "YJCL", "QXJZ", "GYSHK", "DZCL",  "CZCL",   "ZJZC"};
        t["PYK"] = {"CLBH", "RQ", "PDSL", "PDJE", "PDDJ"};
        t["CLKVMT"] = {"ID", "CLBH", "CZRQ", "JE", "BZ", "GCXM"};
        t["CLJH"] = {"ID", "CLBH", "CZRQ", "SL", "BZ", "SJDD"};
        t["ZLBIAO"] = {"ID",   "DJBH", "CLBH", "GYSBH", "LLDWBH",
                       "ZLRQ", "ZLSL", "DJ",   "YAJIN", "JE"};
        t["ZLHZ"] = {"ID",     "DJBH", "ZLDJBH", "ZLID", "CLBH", "GYSBH",
                     "LLDWBH", "HZRQ", "HZSL",   "DJ",   "HZJE"};
        t["ZLHK"] = {"ID", "GYSBH", "HZJE", "HZRQ", "BZ"};
        t["FQFSAVE"] = {"ID", "GYSBH", "JE", "ZPH", "BZ", "RQ"};
        t["HZCL"] = {"ID", "GYSBH", "JE", "ZPH", "BZ", "RQ"};
        t["YHZL"] = {"GSMC", "DZ", "FR", "DH", "YB", "DRIVER", "DIR"};
        t["ZTMS"] = {"MS"};
        t["JXCHZ_TEMP"] = QStringList{"CLBH", "CLMC"} + period + QStringList{"ZT", "YJE", "KJE"};
        t["JXCMX_TEMP"] =
            QStringList{"CLBH", "CLMC", "CLGG", "JZDW", "DJ"} + period + QStringList{"YJE", "KJE"};
        t["CRZ_TEMP"] = {"CLBH",  "CLMC",  "CLGG",  "JZDW",  "DJ",    "SYSL", "SYJE", "BYSLR",
                         "BYJER", "BYSLC", "BYJEC", "BYSLZ", "BYJEZ", "YJE",  "KJE",  "ZT"};
        t["KCPD_TEMP"] = {"CLBH", "CLMC", "CLGG", "JZDW", "KCSL", "KCJE", "KCDJ", "ZT"};
        t["PD_TEMP"] = {"CLBH", "CLMC", "CLGG", "DW",   "DJ",   "ZMSL", "ZMJE",
                        "QDSL", "QDJE", "PYSL", "PYJE", "PKSL", "PKJE"};
        t["GYSQK_TEMP"] = {"GYSBH", "GYSMC", "ZGCP", "SYJE", "BYQK", "BYHK", "BYJE", "HZ"};
        t["GYSGH_TEMP"] = {"CLBH", "CLMC", "CLGG", "JZDW", "DJ",  "SL",  "JE",  "SL1", "SL2",
                           "SL3",  "SL4",  "SL5",  "JE1",  "JE2", "JE3", "JE4", "JE5"};
        t["RKCX_TEMP"] = {"CLBH", "CLMC", "CLGG", "JZDW", "DJ", "SJSL", "SJJE"};
        t["XHTJ_TEMP"] = {"CLBH", "CLMC", "BYSL", "BYJE", "LJSL", "LJJE"};
        t["JHSLB_TEMP"] = {"CLBH", "CLMC", "CLGG", "DW", "JHSL", "CKSL", "SL", "BFB"};
        t["ZL_TEMP"] = {"CLBH", "CLMC", "CLGG", "JZDW", "GYSBH", "LLDWBH", "KSRQ",
                        "JSRQ", "TS",   "ZJSL", "JSSL", "DJ",    "JE"};
        t["CX_TEMP"] = {"JZBZ", "CLMC", "CLGG", "JLDW", "DJH", "ZLXX", "JHDJ", "SJDJ",
                        "SJSL", "JHJE", "SJJE", "YFJE", "GYS", "SGBW", "DH",   "RQ"};
        t["DY_TEMP"] = slip;
        t["DY1_TEMP"] = slip;
        t["DY2_TEMP"] = slip;
        return t;
    }();
    return tables;
}

// Tables whose columns must be exactly the listed ones; the work and slip tables may carry
// more (the builders that fill them may need a column or two of their own).
bool mustMatchExactly(const QString &table)
{
    return !table.endsWith(QStringLiteral("_TEMP"));
}

struct Column
{
    QString type;
    bool notNull = false;
    bool primaryKey = false;
    QVariant defaultValue;
};

std::map<QString, Column> columns(const Database &db, const QString &table)
{
    std::map<QString, Column> result;
    QSqlQuery q = db.exec(QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk "
                                         "FROM pragma_table_info(?)"),
                          {table});
    while (q.next()) {
        result[q.value(0).toString().toUpper()] = {q.value(1).toString().toUpper(),
                                                   q.value(2).toInt() != 0, q.value(4).toInt() != 0,
                                                   q.value(3)};
    }
    return result;
}

QString queryPlan(const Database &db, const QString &sql, const QVariantList &values)
{
    QStringList details;
    QSqlQuery q = db.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql, values);
    while (q.next())
        details << q.value(3).toString();
    return details.join(QLatin1Char('\n'));
}

qint64 insertLine(const Database &db)
{
    db.exec(QStringLiteral("INSERT INTO RKD (XTBH, CLBH) VALUES (1, '1001001')"));
    return db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
}

} // namespace

TEST(Schema, AccountSetHasEveryTableWithItsFields)
{
    TestAccountSet set;
    for (const auto &[table, expected] : expectedTables()) {
        SCOPED_TRACE(table.toStdString());
        ASSERT_TRUE(set.db().tableExists(table));
        const auto actual = columns(set.db(), table);
        for (const QString &field : expected)
            EXPECT_TRUE(actual.count(field)) << "missing field " << field.toStdString();
        if (mustMatchExactly(table)) {
            EXPECT_EQ(actual.size(), std::size_t(expected.size()));
        }
    }
    EXPECT_FALSE(set.db().tableExists(QStringLiteral("ZTXX")));
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
}

TEST(Schema, FieldTypesFollowTheStorageRules)
{
    TestAccountSet set;
    const Database &db = set.db();

    // Figures are exact integers of ten-thousandths, never floating point.
    const std::map<QString, QStringList> figures = {
        {"RKD", {"SJDJ", "SJSL", "SJJE", "YFJE", "XTBH", "CKBH", "CKID"}},
        {"THD", {"THDJ", "THSL", "THJE", "RKID", "XTBH"}},
        {"LLD", {"SJDJ", "SJSL", "SJJE", "XTBH"}},
        {"TKD", {"THDJ", "THSL", "THJE", "LLID", "XTBH"}},
        {"KC", {"KCSL", "KCJE"}},
        {"ZWCSH", {"KCSL", "KCJE", "KCDJ"}},
        {"XJXCSJB", {"RKID", "CSHID", "CKID", "CKSL", "SYSL"}},
        {"GYS", {"CSQK"}},
        {"CLJBXXB", {"JHDJ", "JHSL"}},
        {"ZLBIAO", {"DJBH", "ZLSL", "DJ", "YAJIN", "JE"}},
        {"ZLHZ", {"DJBH", "ZLDJBH", "ZLID", "HZSL", "DJ", "HZJE"}},
        {"JXCMX_TEMP", {"DJ", "SYSL", "SYJE", "LLJE3", "BYJE", "YJE", "KJE"}},
        {"GYSQK_TEMP", {"SYJE", "BYQK", "BYHK", "BYJE", "HZ"}},
        {"DY_TEMP", {"XTBH", "SJDJ", "SJSL", "SJJE"}},
    };
    for (const auto &[table, fields] : figures) {
        const auto actual = columns(db, table);
        for (const QString &f : fields)
            EXPECT_EQ(actual.at(f).type, "INTEGER")
                << table.toStdString() << "." << f.toStdString();
    }
    EXPECT_EQ(columns(db, "CLJBXXB").at("HSXS").type, "REAL");

    // Codes, names and dates are text.
    EXPECT_EQ(columns(db, "CLJBXXB").at("CLBH").type, "TEXT");
    EXPECT_EQ(columns(db, "RKD").at("CZRQ").type, "TEXT");
    EXPECT_EQ(columns(db, "CZRZ").at("TIME").type, "TEXT");

    // Flags are never NULL, so "JZBZ = 0" finds every unposted line.
    for (const char *f : {"JZBZ", "CZBZ", "THBZ", "ZJBZ", "BZBZ"}) {
        const Column c = columns(db, "RKD").at(f);
        EXPECT_EQ(c.type, "INTEGER");
        EXPECT_TRUE(c.notNull) << f;
        EXPECT_EQ(c.defaultValue.toString(), "0");
    }
    db.exec(QStringLiteral("INSERT INTO LLD (CLBH) VALUES ('1')"));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM LLD WHERE JZBZ = 0 AND CZBZ = 0 AND THBZ = 0 "
                        "AND HSBZ = 0 AND BZBZ = 0 AND ZJZC = 0")
                  .toInt(),
              1);

    // Keys.
    EXPECT_TRUE(columns(db, "CLJBXXB").at("CLBH").primaryKey);
    EXPECT_TRUE(columns(db, "GYS").at("BH").primaryKey);
    EXPECT_TRUE(columns(db, "LLDW").at("BH").primaryKey);
    EXPECT_TRUE(columns(db, "KC").at("CLBH").primaryKey);
    EXPECT_TRUE(columns(db, "CZY").at("BH").primaryKey);
    EXPECT_TRUE(columns(db, "CZYQX").at("BH").primaryKey);
    EXPECT_TRUE(columns(db, "YJSJB").at("YJID").primaryKey);
}

TEST(Schema, CodesAreKeysComparedAsPlainText)
{
    TestAccountSet set;
    set.addMaterial("1001001", QStringLiteral("螺纹钢"), "1001");
    EXPECT_THROW(set.addMaterial("1001001", QStringLiteral("重复"), "1001"), StoreError);
    // Different case and padding are different codes.
    set.addSupplier("a1", QStringLiteral("甲"));
    EXPECT_NO_THROW(set.addSupplier("A1", QStringLiteral("乙")));
    EXPECT_THROW(set.addSupplier("a1", QStringLiteral("丙")), StoreError);
    EXPECT_EQ(set.db().scalar("SELECT COUNT(*) FROM GYS WHERE BH = ?", {"A1"}).toInt(), 1);
    // A code is never NULL.
    EXPECT_THROW(set.db().exec("INSERT INTO KC (CLBH) VALUES (NULL)"), StoreError);
    // Codes sort as text: "10" before "2".
    set.addCategory("2", QStringLiteral("二"));
    set.addCategory("10", QStringLiteral("十"));
    EXPECT_EQ(set.db().scalar("SELECT MIN(CLBH) FROM CLJBXXB WHERE SJBH = '0'").toString(), "10");
}

TEST(Schema, MasterHoldsTheAccountSetListAndTheTemplate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Database master(QDir(dir.path()).filePath("kvmt.db"), Database::Access::Create);
    Schema::createMaster(master);

    EXPECT_TRUE(master.tableExists("ZTXX"));
    for (const auto &[table, fields] : expectedTables())
        EXPECT_TRUE(master.tableExists(table)) << table.toStdString();
    const auto ztxx = columns(master, "ZTXX");
    EXPECT_EQ(ztxx.size(), 4u);
    for (const char *f : {"BH", "ZTMC", "JZRQ", "PASS"})
        EXPECT_TRUE(ztxx.count(f)) << f;
    EXPECT_TRUE(ztxx.at("BH").primaryKey);
    EXPECT_EQ(master.userVersion(), Schema::Version);

    master.exec("INSERT INTO ZTXX (BH, ZTMC, JZRQ, PASS) VALUES (2026001, ?, '2026-01-05', 'x')",
                {QStringLiteral("一号工地")});
    EXPECT_THROW(master.exec("INSERT INTO ZTXX (BH, ZTMC) VALUES (2026002, ?)",
                             {QStringLiteral("一号工地")}),
                 StoreError);
    EXPECT_THROW(master.exec("INSERT INTO ZTXX (BH, ZTMC) VALUES (2026001, 'b')"), StoreError);
}

TEST(Schema, CreatingTwiceKeepsTheData)
{
    TestAccountSet set;
    set.addMaterial("1001001", QStringLiteral("水泥"), "1001");
    Schema::createAccountSet(set.db());
    Schema::createMaster(set.db());
    EXPECT_EQ(set.db().scalar("SELECT CLMC FROM CLJBXXB WHERE CLBH = '1001001'").toString(),
              QStringLiteral("水泥"));
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
}

TEST(Schema, ConnectionRunsInWalWithFullSync)
{
    TestAccountSet set;
    EXPECT_EQ(set.db().scalar("PRAGMA journal_mode").toString().toLower(), "wal");
    EXPECT_EQ(set.db().scalar("PRAGMA synchronous").toInt(), 2);

    // A second connection on the same file sees committed work.
    set.addUnit("01", QStringLiteral("一工区"));
    Database other(set.filePath());
    EXPECT_EQ(other.scalar("SELECT MC FROM LLDW WHERE BH = '01'").toString(),
              QStringLiteral("一工区"));
}

TEST(Schema, LineIdsAreNeverReused)
{
    TestAccountSet set;
    const Database &db = set.db();
    const qint64 first = insertLine(db);
    const qint64 second = insertLine(db);
    EXPECT_GT(second, first);
    db.exec("DELETE FROM RKD WHERE ID = ?", {second});
    const qint64 third = insertLine(db);
    EXPECT_GT(third, second);
    db.exec("DELETE FROM RKD");
    EXPECT_GT(insertLine(db), third);

    for (const char *table : {"THD", "LLD", "TKD", "ZWCSH", "XJXCSJB", "CZRZ", "CLKVMT", "CLJH",
                              "ZLBIAO", "ZLHZ", "ZLHK", "FQFSAVE", "HZCL"}) {
        SCOPED_TRACE(table);
        db.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
        db.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
        const qint64 top =
            db.scalar(QStringLiteral("SELECT MAX(ID) FROM %1").arg(table)).toLongLong();
        db.exec(QStringLiteral("DELETE FROM %1").arg(table));
        db.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
        EXPECT_GT(db.scalar(QStringLiteral("SELECT MAX(ID) FROM %1").arg(table)).toLongLong(), top);
    }
}

TEST(Schema, FiguresAndLongNumbersRoundTripExactly)
{
    TestAccountSet set;
    const Database &db = set.db();
    // Voucher numbers beyond 32-bit, an amount with four decimals, a huge amount.
    const qint64 xtbh = 5'000'000'000LL;
    const Decimal price = Decimal::fromRaw(123'4567);
    const Decimal amount = Decimal::fromRaw(900'000'000'000'000'0001LL);
    db.exec("INSERT INTO RKD (XTBH, SJDJ, SJJE, CZRQ) VALUES (?, ?, ?, ?)",
            {xtbh, price.toVariant(), amount.toVariant(), QDate(2026, 2, 28)});
    QSqlQuery q = db.exec("SELECT XTBH, SJDJ, SJJE, CZRQ, typeof(SJJE) FROM RKD");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), xtbh);
    EXPECT_EQ(Decimal::fromVariant(q.value(1)), price);
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), amount);
    EXPECT_EQ(q.value(3).toString(), "2026-02-28");
    EXPECT_EQ(q.value(4).toString(), "integer");
    // MAX over no rows is NULL: the first voucher number is computed from it.
    db.exec("DELETE FROM RKD");
    EXPECT_TRUE(db.scalar("SELECT MAX(XTBH) FROM RKD").isNull());
}

TEST(Schema, UserTextRoundTripsAndLikeMatchesLiterally)
{
    TestAccountSet set;
    const QString odd = QStringLiteral("O'Brien \"钢\" 50%_off \\ 螺纹钢Φ12");
    set.addMaterial("1001001", odd, "1001");
    set.addMaterial("1001002", QStringLiteral("50X off"), "1001");
    set.addMaterial("1001003", QStringLiteral("50%Aoff"), "1001");
    const Database &db = set.db();
    EXPECT_EQ(db.scalar("SELECT CLMC FROM CLJBXXB WHERE CLBH = '1001001'").toString(), odd);
    EXPECT_EQ(db.scalar("SELECT CLBH FROM CLJBXXB WHERE CLMC = ?", {odd}).toString(), "1001001");

    const auto likeCount = [&](const QString &prefix) {
        return db
            .scalar("SELECT COUNT(*) FROM CLJBXXB WHERE CLMC LIKE ? ESCAPE '\\'",
                    {Database::likeEscaped(prefix) + "%"})
            .toInt();
    };
    // Unescaped, "50%_" would match all three names.
    EXPECT_EQ(likeCount(QStringLiteral("O'Brien \"钢\" 50%_")), 1);
    EXPECT_EQ(likeCount(QStringLiteral("50%")), 1);
    EXPECT_EQ(likeCount(QStringLiteral("50_")), 0);
    EXPECT_EQ(likeCount(QStringLiteral("O'Brien \"钢\" 50%_off \\ 螺")), 1);
    EXPECT_EQ(likeCount(QString()), 3);
}

TEST(Schema, AccountingModeHoldsOneValidRow)
{
    TestAccountSet set;
    const Database &db = set.db();
    EXPECT_TRUE(db.scalar("SELECT MS FROM ZTMS").isNull());
    set.setMode(1);
    set.setMode(2);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM ZTMS").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT MS FROM ZTMS").toInt(), 2);
    EXPECT_THROW(db.exec("INSERT INTO ZTMS (MS) VALUES (1)"), StoreError);
    EXPECT_THROW(set.setMode(3), StoreError);
    EXPECT_EQ(db.scalar("SELECT MS FROM ZTMS").toInt(), 2);
}

TEST(Schema, TransactionsRollBackAndSavepointsNest)
{
    TestAccountSet set;
    Database &db = set.db();
    const auto units = [&] { return db.scalar("SELECT COUNT(*) FROM LLDW").toInt(); };

    {
        Transaction tx(db);
        set.addUnit("01", "a");
    }
    EXPECT_EQ(units(), 0);

    {
        Transaction outer(db);
        set.addUnit("01", "a");
        {
            Transaction inner(db);
            set.addUnit("02", "b");
            // not committed: only the inner work goes
        }
        try {
            Transaction inner(db);
            set.addUnit("03", "c");
            set.addUnit("01", "duplicate");
            inner.commit();
        } catch (const StoreError &) {
        }
        {
            Transaction inner(db);
            set.addUnit("04", "d");
            inner.commit();
        }
        outer.commit();
    }
    QStringList codes;
    QSqlQuery q = db.exec("SELECT BH FROM LLDW ORDER BY BH");
    while (q.next())
        codes << q.value(0).toString();
    EXPECT_EQ(codes, QStringList({"01", "04"}));

    // A committed inner savepoint is still undone by the outer rollback.
    {
        Transaction outer(db);
        {
            Transaction inner(db);
            set.addUnit("05", "e");
            inner.commit();
        }
    }
    EXPECT_EQ(units(), 2);

    // The connection is usable for a new transaction afterwards.
    {
        Transaction tx(db);
        set.addUnit("06", "f");
        tx.commit();
    }
    EXPECT_EQ(units(), 3);
}

TEST(Schema, AnAllOrNothingTransactionKeepsEverythingOrNothing)
{
    TestAccountSet set;
    Database &db = set.db();
    const auto codes = [&] {
        QStringList found;
        QSqlQuery q = db.exec("SELECT BH FROM LLDW ORDER BY BH");
        while (q.next())
            found << q.value(0).toString();
        return found;
    };

    // The operations inside commit: all of them are kept.
    {
        Transaction whole(db, Transaction::Kind::AllOrNothing);
        for (const char *code : {"01", "02"}) {
            Transaction operation(db);
            set.addUnit(code, "a");
            operation.commit();
        }
        EXPECT_FALSE(whole.spoiled());
        whole.commit();
    }
    EXPECT_EQ(codes(), QStringList({"01", "02"}));

    // One that writes nothing and leaves without committing spoils nothing.
    {
        Transaction whole(db, Transaction::Kind::AllOrNothing);
        {
            Transaction operation(db);
            db.scalar("SELECT COUNT(*) FROM LLDW");
        }
        {
            Transaction operation(db);
            set.addUnit("08", "g");
            operation.commit();
        }
        EXPECT_FALSE(whole.spoiled());
        whole.commit();
    }
    EXPECT_EQ(codes(), QStringList({"01", "02", "08"}));

    // One fails half way and its caller goes on: there is nothing to undo it to, so the whole
    // refuses to commit and goes, the operations before and after it included.
    {
        Transaction whole(db, Transaction::Kind::AllOrNothing);
        {
            Transaction operation(db);
            set.addUnit("03", "b");
            operation.commit();
        }
        try {
            Transaction operation(db);
            set.addUnit("04", "c");
            set.addUnit("01", "duplicate");
            operation.commit();
        } catch (const StoreError &) {
        }
        {
            Transaction operation(db);
            set.addUnit("05", "d");
            operation.commit();
        }
        EXPECT_TRUE(whole.spoiled());
        EXPECT_THROW(whole.commit(), StoreError);
    }
    EXPECT_EQ(codes(), QStringList({"01", "02", "08"}));

    // Afterwards transactions nest as savepoints again: an inner failure undoes its own part.
    {
        Transaction outer(db);
        set.addUnit("06", "e");
        {
            Transaction inner(db);
            set.addUnit("07", "f");
        }
        outer.commit();
    }
    EXPECT_EQ(codes(), QStringList({"01", "02", "06", "08"}));
}

TEST(Schema, CommonLookupsUseAnIndex)
{
    TestAccountSet set;
    const Database &db = set.db();
    const QVariantList code = {QStringLiteral("1001001")};
    const QVariantList number = {qint64(7)};
    const struct
    {
        QString sql;
        QVariantList values;
    } lookups[] = {
        {"SELECT SJSL FROM RKD WHERE CLBH = ?", code},
        {"SELECT * FROM RKD WHERE XTBH = ?", number},
        {"SELECT * FROM LLD WHERE CLBH = ? AND CZRQ BETWEEN '2026-01-01' AND '2026-01-31'", code},
        {"SELECT * FROM LLD WHERE XTBH = ?", number},
        {"SELECT * FROM THD WHERE RKID = ?", number},
        {"SELECT * FROM TKD WHERE LLID = ?", number},
        {"SELECT * FROM TKD WHERE CZRQ >= '2026-01-01'", {}},
        {"SELECT DISTINCT XTBH FROM RKD WHERE ZL = ? AND JZBZ = 0", {QStringLiteral("采购入库")}},
        {"SELECT DISTINCT XTBH FROM LLD WHERE JZBZ = 0", {}},
        {"SELECT * FROM XJXCSJB WHERE CKID = ?", number},
        {"SELECT * FROM XJXCSJB WHERE RKID = ?", number},
        {"SELECT * FROM XJXCSJB WHERE CSHID = ?", number},
        {"SELECT * FROM CLJBXXB WHERE SJBH = ?", code},
        {"SELECT * FROM YJKCB WHERE YJID = ?", number},
        {"SELECT * FROM XJXCYJKCB WHERE YJID = ?", number},
        {"SELECT * FROM YJFSB WHERE YJID = ? AND CLBH = ?", {1, code.first()}},
        {"SELECT * FROM LJXHB WHERE YJID = ?", number},
        {"SELECT * FROM PYK WHERE CLBH = ? AND RQ > '2026-01-01'", code},
        {"SELECT * FROM CLKVMT WHERE CLBH = ?", code},
        {"SELECT * FROM CZRZ WHERE RQ = '2026-01-01'", {}},
        {"SELECT * FROM ZLHZ WHERE DJBH = ?", number},
        {"SELECT * FROM FQFSAVE WHERE GYSBH = ?", code},
        {"SELECT * FROM HZCL WHERE GYSBH = ?", code},
    };
    for (const auto &lookup : lookups) {
        const QString plan = queryPlan(db, lookup.sql, lookup.values);
        EXPECT_TRUE(plan.contains("USING INDEX") || plan.contains("USING COVERING INDEX") ||
                    plan.contains("USING PRIMARY KEY"))
            << lookup.sql.toStdString() << "\n"
            << plan.toStdString();
    }
}

TEST(SchemaVersions, AFileOfANewerVersionIsRefusedUnchanged)
{
    TestAccountSet set;
    set.db().exec("CREATE TABLE LATER (A INTEGER)");
    set.db().setUserVersion(Schema::Version + 1);
    for (const Database::Access access :
         {Database::Access::ReadWrite, Database::Access::ReadOnly}) {
        Database db(set.filePath(), access);
        try {
            Schema::upgrade(db);
            FAIL() << "a newer file was opened";
        } catch (const Refusal &refusal) {
            EXPECT_TRUE(refusal.text.contains(set.filePath())) << refusal.text.toStdString();
            EXPECT_TRUE(refusal.text.contains(QString::number(Schema::Version + 1)));
            EXPECT_TRUE(refusal.text.contains(QString::number(Schema::Version)));
        }
        EXPECT_EQ(db.userVersion(), Schema::Version + 1);
    }
}

TEST(SchemaVersions, AnOlderFileIsUpgradedInOneStepUnlessOnlyRead)
{
    TestAccountSet set;
    const QString count = "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = ?";
    set.db().exec("DROP INDEX RKD_CLBH_ID");
    set.db().setUserVersion(1);

    Database reader(set.filePath(), Database::Access::ReadOnly);
    Schema::upgrade(reader);
    EXPECT_EQ(reader.userVersion(), 1);

    Schema::upgrade(set.db());
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
    EXPECT_EQ(set.db().scalar(count, {"RKD_CLBH_ID"}).toInt(), 1);
}

TEST(SchemaVersions, AVersionTwoFileGetsTheIndexesOfUnpostedLinesInsteadOfThePostedFlag)
{
    TestAccountSet set;
    const QString count = "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = ?";
    set.db().exec("DROP INDEX RKD_UNPOSTED");
    set.db().exec("CREATE INDEX RKD_ZL_JZBZ ON RKD (ZL, JZBZ, XTBH)");
    set.db().exec("CREATE INDEX RKD_JZBZ ON RKD (JZBZ, XTBH)");
    set.db().setUserVersion(2);

    Schema::upgrade(set.db());
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
    EXPECT_EQ(set.db().scalar(count, {"RKD_UNPOSTED"}).toInt(), 1);
    EXPECT_EQ(set.db().scalar(count, {"RKD_ZL_JZBZ"}).toInt(), 0);
    EXPECT_EQ(set.db().scalar(count, {"RKD_JZBZ"}).toInt(), 0);
    EXPECT_EQ(set.db().scalar(count, {"PYK_RQ"}).toInt(), 1);
}

TEST(SchemaVersions, AVersionFourFileGetsTheProjectOfItsAdjustments)
{
    TestAccountSet set;
    set.db().exec("DROP TABLE CLKVMT");
    set.db().exec("CREATE TABLE CLKVMT (ID INTEGER PRIMARY KEY, CLBH TEXT, CZRQ TEXT, "
                  "JE INTEGER, BZ TEXT)");
    set.db().exec("INSERT INTO CLKVMT (CLBH, CZRQ, JE) VALUES ('1001', '2026-02-01', 10)");
    set.db().setUserVersion(4);

    Schema::upgrade(set.db());
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
    EXPECT_EQ(set.db().scalar("SELECT COUNT(*) FROM CLKVMT WHERE GCXM IS NULL").toInt(), 1);
}

TEST(SchemaVersions, AVersionSixFileGetsTheColumnsOfTheStatisticsRows)
{
    TestAccountSet set;
    set.db().exec("DROP TABLE RKCX_TEMP");
    set.db().exec("CREATE TABLE RKCX_TEMP (CLBH TEXT, CLMC TEXT, SJSL INTEGER, SJJE INTEGER)");
    set.db().setUserVersion(6);

    Schema::upgrade(set.db());
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
    set.db().exec("INSERT INTO RKCX_TEMP (CLBH, CLGG, JZDW, DJ) VALUES ('1', 'a', 't', 5)");
    EXPECT_EQ(set.db().scalar("SELECT DJ FROM RKCX_TEMP").toInt(), 5);
}

TEST(SchemaVersions, AVersionNineFileGetsTheClosingSumsWithItsClosingsUnmarked)
{
    TestAccountSet set;
    set.db().exec("DROP TABLE YJFSB");
    set.db().exec("DROP TABLE YJSJB");
    set.db().exec("CREATE TABLE YJSJB (YJID INTEGER PRIMARY KEY, YJSJ TEXT)");
    set.db().exec("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-01-31')");
    set.db().setUserVersion(9);

    Schema::upgrade(set.db());
    EXPECT_EQ(set.db().userVersion(), Schema::Version);
    EXPECT_TRUE(set.db().tableExists("YJFSB"));
    EXPECT_EQ(set.db().scalar("SELECT FSBZ FROM YJSJB WHERE YJID = 1").toInt(), 0);
}

TEST(SchemaVersions, AVersionTwelveFileGetsTheRunningTotalsEmptyWithItsClosingsUnmarked)
{
    TestAccountSet set;
    Database &db = set.db();
    db.exec("DROP TABLE LJXHB");
    db.exec("ALTER TABLE YJSJB DROP COLUMN LJBZ");
    db.exec("INSERT INTO YJSJB (YJID, YJSJ, FSBZ) VALUES (1, '2026-01-31', 1)");
    db.setUserVersion(12);

    Schema::upgrade(db);
    EXPECT_EQ(db.userVersion(), Schema::Version);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM LJXHB").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT LJBZ FROM YJSJB WHERE YJID = 1").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT FSBZ FROM YJSJB WHERE YJID = 1").toInt(), 1);
    // One row per closing and material.
    db.exec("INSERT INTO LJXHB VALUES (1, '1001', 10000, 5000)");
    EXPECT_THROW(db.exec("INSERT INTO LJXHB VALUES (1, '1001', 10000, 5000)"), StoreError);
}

TEST(SchemaVersions, AVersionThirteenFileFindsEachMaterialsNewestPieceOnce)
{
    TestAccountSet set;
    Database &db = set.db();
    db.exec("ALTER TABLE KC DROP COLUMN SJID");
    db.exec("CREATE INDEX XJXCSJB_CLBH ON XJXCSJB (CLBH)");
    db.exec("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES ('1001', 10000, 100), ('1002', 0, 0), "
            "('1003', 10000, 100), ('1004', 10000, 100)");
    // 1001: two pieces from a receipt, a mirror piece and a direct delivery's piece after
    // them; 1002: a piece of an opening layer; 1003: a mirror piece alone; 1004: none.
    db.exec("INSERT INTO RKD (ID, CLBH, CKID) VALUES (1, '1001', 0), (2, '1001', 7), "
            "(3, '1003', NULL)");
    db.exec("INSERT INTO XJXCSJB (ID, CLBH, RKID, CSHID, CKID, CKSL, SYSL) VALUES "
            "(1, '1001', 1, NULL, 11, 20000, 30000), (2, '1001', 1, NULL, 12, 10000, 20000), "
            "(3, '1001', 1, NULL, 13, -10000, 30000), (4, '1001', 2, NULL, 14, 50000, 0), "
            "(5, '1002', NULL, 1, 15, 10000, 0), (6, '1003', 3, NULL, 16, -10000, 10000)");
    db.setUserVersion(13);

    Schema::upgrade(db);
    EXPECT_EQ(db.userVersion(), Schema::Version);
    QStringList newest;
    QSqlQuery q = db.exec("SELECT CLBH, COALESCE(SJID, 0) FROM KC ORDER BY CLBH");
    while (q.next())
        newest << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString();
    EXPECT_EQ(newest, QStringList({"1001 2", "1002 5", "1003 0", "1004 0"}));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM sqlite_master WHERE name = 'XJXCSJB_CLBH'").toInt(),
              0);
}

TEST(SchemaVersions, AVersionElevenFileKeepsItsClosingRowsInTheOrderOfTheirKey)
{
    TestAccountSet set;
    Database &db = set.db();
    db.exec("DROP TABLE XJXCYJKCB");
    db.exec("DROP TABLE YJFSB");
    db.exec("CREATE TABLE XJXCYJKCB (YJID INTEGER, CLBH TEXT, JCDJ INTEGER, JCSL INTEGER, "
            "JCJE INTEGER)");
    db.exec("CREATE INDEX XJXCYJKCB_YJID ON XJXCYJKCB (YJID, CLBH)");
    db.exec("CREATE TABLE YJFSB (YJID INTEGER, CLBH TEXT, FSDJ INTEGER, LX INTEGER, ZL TEXT, "
            "LLDWBH TEXT, FSSL INTEGER, FSJE INTEGER)");
    db.exec("CREATE INDEX YJFSB_YJID ON YJFSB (YJID, CLBH)");
    db.exec("DROP INDEX XJXCSJB_RKID");
    db.exec("CREATE INDEX XJXCSJB_RKID ON XJXCSJB (RKID)");
    // Written closing by closing; a material's pairs need not come in price order, and a price
    // may be missing.
    db.exec("INSERT INTO XJXCYJKCB VALUES (1, '1002', 500, 10000, 5000), "
            "(1, '1001', 300, 20000, 6000), (1, '1001', 200, 10000, 2000), "
            "(1, '1001', NULL, 0, 0), (2, '1001', 300, 10000, 3000)");
    db.exec("INSERT INTO YJFSB VALUES (1, '1001', NULL, 1, NULL, NULL, 30000, 9000), "
            "(1, '1001', NULL, 3, '1', '01', 10000, 3000), "
            "(1, '1001', NULL, 3, '1', '02', 10000, 3000), "
            "(1, '1002', NULL, 1, NULL, NULL, 10000, 5000)");
    db.setUserVersion(11);

    Schema::upgrade(db);
    EXPECT_EQ(db.userVersion(), Schema::Version);
    const auto rows = [&](const QString &sql) {
        QStringList out;
        QSqlQuery q = db.exec(sql);
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            out << values.join(QLatin1Char(' '));
        }
        return out;
    };
    EXPECT_EQ(
        rows("SELECT YJID, CLBH, XH, JCDJ, JCSL, JCJE FROM XJXCYJKCB "
             "ORDER BY YJID, CLBH, XH"),
        QStringList({"1 1001 1 300 20000 6000", "1 1001 2 200 10000 2000", "1 1001 3 NULL 0 0",
                     "1 1002 1 500 10000 5000", "2 1001 1 300 10000 3000"}));
    EXPECT_EQ(rows("SELECT YJID, CLBH, XH, LX, ZL, LLDWBH, FSSL FROM YJFSB "
                   "ORDER BY YJID, CLBH, XH"),
              QStringList({"1 1001 1 1 NULL NULL 30000", "1 1001 2 3 1 01 10000",
                           "1 1001 3 3 1 02 10000", "1 1002 1 1 NULL NULL 10000"}));
    // The key is the only index; nothing of the earlier tables is left.
    EXPECT_EQ(rows("SELECT name FROM sqlite_master WHERE tbl_name LIKE 'XJXCYJKCB%' "
                   "OR tbl_name LIKE 'YJFSB%' ORDER BY name"),
              QStringList({"XJXCYJKCB", "YJFSB"}));
    for (const char *table : {"XJXCYJKCB", "YJFSB"}) {
        const QString plan = queryPlan(
            db, QStringLiteral("SELECT * FROM %1 WHERE YJID = 1 AND CLBH = '1001'").arg(table), {});
        EXPECT_TRUE(plan.contains("USING PRIMARY KEY (YJID=? AND CLBH=?)")) << plan.toStdString();
    }
    // Pieces of opening layers stay out of the index of receipt layers.
    EXPECT_TRUE(db.scalar("SELECT sql FROM sqlite_master WHERE name = 'XJXCSJB_RKID'")
                    .toString()
                    .contains("WHERE RKID IS NOT NULL"));
    // A closing row needs its closing and material.
    EXPECT_THROW(db.exec("INSERT INTO YJFSB (YJID, CLBH, LX, XH) VALUES (3, NULL, 1, 1)"),
                 StoreError);
}

TEST(SchemaVersions, AFileWithoutAVersionIsNoneOfOurs)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath("other.db");
    {
        Database other(path, Database::Access::Create);
        other.exec("CREATE TABLE NOTES (TEXT TEXT)");
    }
    Database db(path);
    try {
        Schema::upgrade(db);
        FAIL() << "a file of another program was taken for an account set";
    } catch (const StoreError &error) {
        EXPECT_TRUE(error.text.contains(QStringLiteral("不是本系统的数据文件")));
        EXPECT_TRUE(error.text.contains(path));
    }
    EXPECT_EQ(db.userVersion(), 0);
}
