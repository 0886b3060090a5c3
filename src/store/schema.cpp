#include "store/schema.h"

#include "store/database.h"
#include "store/documentnumbers.h"
#include "store/errors.h"

#include <QDir>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

namespace varnock {

namespace {

// Column types: figures (quantities, prices, amounts) are INTEGER ten-thousandths, dates TEXT
// 'yyyy-MM-dd', flags INTEGER 0/1, voucher numbers and line references INTEGER, codes and
// names TEXT. Line counters use AUTOINCREMENT because other rows keep their ids: a deleted
// line's id must never come back on a new line.
#define COUNTER "ID INTEGER PRIMARY KEY AUTOINCREMENT"
#define FLAG " INTEGER NOT NULL DEFAULT 0"

// The material libraries have exactly the catalogue's columns: the import copies them over.
#define CATALOGUE_COLUMNS                                                                          \
    "CLBH TEXT NOT NULL PRIMARY KEY, SJBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, HSDW TEXT, "      \
    "HSXS REAL, JHDJ INTEGER, JHSL INTEGER, JJFS" FLAG ", SFMJ" FLAG ", CRKBZ" FLAG

#define PERIOD_COLUMNS                                                                             \
    "SYSL INTEGER, SYJE INTEGER, RKSL INTEGER, RKJE INTEGER, LLSL INTEGER, LLJE INTEGER, "         \
    "LLSL1 INTEGER, LLSL2 INTEGER, LLSL3 INTEGER, LLJE1 INTEGER, LLJE2 INTEGER, "                  \
    "LLJE3 INTEGER, BYSL INTEGER, BYJE INTEGER"

#define SLIP_COLUMNS                                                                               \
    "CLBH TEXT, CLMC TEXT, CLGG TEXT, XTBH INTEGER, JZDW TEXT, YSDJH TEXT, JZRQ TEXT, "            \
    "CLZM TEXT, SJDJ INTEGER, SJSL INTEGER, SJJE INTEGER, YFJE INTEGER, ZL TEXT, "                 \
    "GYSMC TEXT, SGBW TEXT, YS INTEGER, KVMTMC TEXT"

struct Table
{
    const char *name;
    const char *columns;
    // Stored in the order of its primary key, without a rowid beside it: the key is the one
    // index such a table needs.
    bool keyOrdered = false;
};

const Table accountSetTables[] = {
    // Catalogue and master data
    {"CLJBXXB", CATALOGUE_COLUMNS},
    {"CLJBXXB0", CATALOGUE_COLUMNS},
    {"CLJBXXB1", CATALOGUE_COLUMNS},
    {"CLJBXXB2", CATALOGUE_COLUMNS},
    {"GYS", "BH TEXT NOT NULL PRIMARY KEY, MC TEXT, ZCDD TEXT, ZCBH TEXT, FR TEXT, DZ TEXT, "
            "YZBM TEXT, LXDH TEXT, KHYH TEXT, KHZH TEXT, ZGCP TEXT, BZ TEXT, CSQK INTEGER"},
    {"LLDW", "BH TEXT NOT NULL PRIMARY KEY, MC TEXT, DZ TEXT, LXR TEXT, DH TEXT, BZ TEXT"},
    {"YHZL", "GSMC TEXT, DZ TEXT, FR TEXT, DH TEXT, YB TEXT, DRIVER TEXT, DIR TEXT"},
    {"BBXX", "BM TEXT NOT NULL PRIMARY KEY, BT TEXT"},
    {"ZTMS", "MS INTEGER NOT NULL CHECK (MS IN (1, 2))"},

    // Vouchers
    {"RKD", COUNTER ", XTBH INTEGER, YSDJH TEXT, GYSBH TEXT, CZRQ TEXT, FPBH TEXT, ZPH TEXT, "
                    "ZL TEXT, CLBH TEXT, SJDJ INTEGER, SJSL INTEGER, SJJE INTEGER, YFJE INTEGER, "
                    "CZZM TEXT, JZBZ" FLAG ", CZBZ" FLAG ", THBZ" FLAG ", ZJBZ" FLAG
                    ", CKBH INTEGER, CKID INTEGER, BZBZ" FLAG ", YSXH INTEGER"},
    {"THD", COUNTER ", XTBH INTEGER, YSBH TEXT, THDJH TEXT, GYSBH TEXT, CZRQ TEXT, FPBH TEXT, "
                    "ZL TEXT, CLBH TEXT, THDJ INTEGER, THSL INTEGER, THJE INTEGER, RKID INTEGER, "
                    "JZBZ" FLAG ", THXH INTEGER"},
    {"LLD", COUNTER ", XTBH INTEGER, YSDJH TEXT, LLDWBH TEXT, CZRQ TEXT, SGBW TEXT, DH TEXT, "
                    "CLBH TEXT, SJDJ INTEGER, SJSL INTEGER, SJJE INTEGER, BZ TEXT, ZL TEXT, "
                    "JZBZ" FLAG ", CZBZ" FLAG ", HSBZ" FLAG ", BZBZ" FLAG ", THBZ" FLAG
                    ", ZJZC" FLAG ", YSXH INTEGER"},
    {"TKD", COUNTER ", XTBH INTEGER, YSBH TEXT, THDJH TEXT, LLDWBH TEXT, CZRQ TEXT, CLBH TEXT, "
                    "THDJ INTEGER, THSL INTEGER, THJE INTEGER, LLID INTEGER, ZL TEXT, "
                    "JZBZ" FLAG ", CZBZ" FLAG ", THXH INTEGER"},

    // Stock and costing. KC figures are never NULL: SQL arithmetic on a NULL stock would
    // silently give NULL.
    // SJID, first in first out only: where the material's last issue stopped, its newest piece
    // drawn from a layer (XJXCSJB.ID; mirror pieces and the pieces of direct deliveries are
    // never one); NULL before its first issue.
    {"KC", "CLBH TEXT NOT NULL PRIMARY KEY, KCSL INTEGER NOT NULL DEFAULT 0, "
           "KCJE INTEGER NOT NULL DEFAULT 0, SJID INTEGER"},
    {"ZWCSH", COUNTER ", CLBH TEXT, KCSL INTEGER, KCJE INTEGER, KCDJ INTEGER"},
    {"XJXCSJB", COUNTER ", CLBH TEXT, RKID INTEGER, CSHID INTEGER, CKID INTEGER, CKSL INTEGER, "
                        "SYSL INTEGER"},
    // FSBZ: the closing's movement sums are in YJFSB; LJBZ: its running totals are in LJXHB.
    {"YJSJB", "YJID INTEGER PRIMARY KEY, YJSJ TEXT, FSBZ" FLAG ", LJBZ" FLAG},
    {"YJKCB", "YJID INTEGER, CLBH TEXT, JCSL INTEGER, JCJE INTEGER"},
    // A closing's rows are read by closing, or by closing and material: XH numbers the rows of
    // one material in one closing, so that the two lead a key of their own.
    {"XJXCYJKCB",
     "YJID INTEGER NOT NULL, CLBH TEXT NOT NULL, JCDJ INTEGER, JCSL INTEGER, JCJE INTEGER, "
     "XH INTEGER NOT NULL, PRIMARY KEY (YJID, CLBH, XH)",
     true},
    // What moved in the period a closing sealed (the day after the previous closing up to its
    // own day), one row per material, unit price (first in first out only: a receipt's,
    // return's or count's own, an issue piece's layer's; NULL otherwise), kind of movement LX
    // (1 receipts, 2 returns to suppliers, 3 issues and transfers out, 4 their returns,
    // 5 count differences, 6 and 7 amount adjustments above and below zero), issue kind ZL and
    // consuming unit LLDWBH (issues and their returns only): the summed quantity FSSL and
    // amount FSJE of the posted movements. Rows whose both sums are zero are left out. XH
    // numbers the rows of one material in one closing, as in XJXCYJKCB.
    {"YJFSB",
     "YJID INTEGER NOT NULL, CLBH TEXT NOT NULL, FSDJ INTEGER, LX INTEGER, ZL TEXT, "
     "LLDWBH TEXT, FSSL INTEGER, FSJE INTEGER, XH INTEGER NOT NULL, PRIMARY KEY (YJID, CLBH, XH)",
     true},
    // Every issue up to and including a closing's day ("累计消耗"), one row per material: the
    // summed quantity LJSL and amount LJJE of the posted issue lines of any kind but a transfer
    // out, direct deliveries included, less their returns, as the consumption statistic counts
    // them. Amounts are as booked, a planned-price material's not yet valued at plan. Each
    // closing's rows are the previous closing's plus what its own period issued; rows whose
    // both sums are zero are left out.
    {"LJXHB",
     "YJID INTEGER NOT NULL, CLBH TEXT NOT NULL, LJSL INTEGER, LJJE INTEGER, "
     "PRIMARY KEY (YJID, CLBH)",
     true},
    {"PYK", "CLBH TEXT, RQ TEXT, PDSL INTEGER, PDJE INTEGER, PDDJ INTEGER"},
    // GCXM: the project ("工程项目") the adjustment was entered for.
    {"CLKVMT", COUNTER ", CLBH TEXT, CZRQ TEXT, JE INTEGER, BZ TEXT, GCXM TEXT"},
    {"CLJH", COUNTER ", CLBH TEXT, CZRQ TEXT, SL INTEGER, BZ TEXT, SJDD TEXT"},

    // Leasing and payments
    {"ZLBIAO",
     COUNTER ", DJBH INTEGER, CLBH TEXT, GYSBH TEXT, LLDWBH TEXT, ZLRQ TEXT, ZLSL INTEGER, "
             "DJ INTEGER, YAJIN INTEGER, JE INTEGER"},
    {"ZLHZ", COUNTER ", DJBH INTEGER, ZLDJBH INTEGER, ZLID INTEGER, CLBH TEXT, GYSBH TEXT, "
                     "LLDWBH TEXT, HZRQ TEXT, HZSL INTEGER, DJ INTEGER, HZJE INTEGER"},
    {"ZLHK", COUNTER ", GYSBH TEXT, HZJE INTEGER, HZRQ TEXT, BZ TEXT"},
    {"FQFSAVE", COUNTER ", GYSBH TEXT, JE INTEGER, ZPH TEXT, BZ TEXT, RQ TEXT"},
    {"HZCL", COUNTER ", GYSBH TEXT, JE INTEGER, ZPH TEXT, BZ TEXT, RQ TEXT"},

    // Operators and log
    {"CZY", "BH INTEGER PRIMARY KEY, CZY TEXT, DH TEXT, PASS TEXT"},
    {"CZYQX", "BH INTEGER PRIMARY KEY, RKYW" FLAG ", CKYW" FLAG ", CLSZ" FLAG ", GYSSZ" FLAG
              ", LLDWSZ" FLAG ", XTSZ" FLAG ", CZYSZ" FLAG ", CXBB" FLAG ", YJCL" FLAG ", QXJZ" FLAG
              ", GYSHK" FLAG ", DZCL" FLAG ", CZCL" FLAG ", ZJZC" FLAG},
    {"CZRZ", COUNTER ", CZY TEXT, RQ TEXT, CZXX TEXT, \"TIME\" TEXT"},

    // Report work tables: emptied and refilled by each build, no lasting data.
    {"JXCHZ_TEMP", "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, " PERIOD_COLUMNS
                   ", ZT TEXT, YJE INTEGER, KJE INTEGER"},
    {"JXCMX_TEMP", "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, DJ INTEGER, " PERIOD_COLUMNS
                   ", YJE INTEGER, KJE INTEGER"},
    {"CRZ_TEMP",
     "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, DJ INTEGER, SYSL INTEGER, SYJE INTEGER, "
     "BYSLR INTEGER, BYJER INTEGER, BYSLC INTEGER, BYJEC INTEGER, BYSLZ INTEGER, "
     "BYJEZ INTEGER, YJE INTEGER, KJE INTEGER, ZT TEXT"},
    {"KCPD_TEMP", "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, KCSL INTEGER, KCJE INTEGER, "
                  "KCDJ INTEGER, ZT TEXT"},
    {"PD_TEMP",
     "CLBH TEXT, CLMC TEXT, CLGG TEXT, DW TEXT, DJ INTEGER, ZMSL INTEGER, ZMJE INTEGER, "
     "QDSL INTEGER, QDJE INTEGER, PYSL INTEGER, PYJE INTEGER, PKSL INTEGER, PKJE INTEGER"},
    {"GYSQK_TEMP", "GYSBH TEXT, GYSMC TEXT, ZGCP TEXT, SYJE INTEGER, BYQK INTEGER, BYHK INTEGER, "
                   "BYJE INTEGER, HZ INTEGER"},
    {"GYSGH_TEMP",
     "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, DJ INTEGER, SL INTEGER, JE INTEGER, "
     "SL1 INTEGER, SL2 INTEGER, SL3 INTEGER, SL4 INTEGER, SL5 INTEGER, "
     "JE1 INTEGER, JE2 INTEGER, JE3 INTEGER, JE4 INTEGER, JE5 INTEGER"},
    {"RKCX_TEMP", "CLBH TEXT, CLMC TEXT, SJSL INTEGER, SJJE INTEGER, CLGG TEXT, JZDW TEXT, "
                  "DJ INTEGER"},
    {"XHTJ_TEMP", "CLBH TEXT, CLMC TEXT, BYSL INTEGER, BYJE INTEGER, LJSL INTEGER, LJJE INTEGER"},
    {"JHSLB_TEMP",
     "CLBH TEXT, CLMC TEXT, CLGG TEXT, DW TEXT, JHSL INTEGER, CKSL INTEGER, SL INTEGER, "
     "BFB INTEGER"},
    {"ZL_TEMP", "CLBH TEXT, CLMC TEXT, CLGG TEXT, JZDW TEXT, GYSBH TEXT, LLDWBH TEXT, KSRQ TEXT, "
                "JSRQ TEXT, TS INTEGER, ZJSL INTEGER, JSSL INTEGER, DJ INTEGER, JE INTEGER"},
    {"CX_TEMP", "JZBZ TEXT, CLMC TEXT, CLGG TEXT, JLDW TEXT, DJH TEXT, ZLXX TEXT, JHDJ INTEGER, "
                "SJDJ INTEGER, SJSL INTEGER, JHJE INTEGER, SJJE INTEGER, YFJE INTEGER, GYS TEXT, "
                "SGBW TEXT, DH TEXT, RQ TEXT"},
    {"DY_TEMP", SLIP_COLUMNS},
    {"DY1_TEMP", SLIP_COLUMNS},
    {"DY2_TEMP", SLIP_COLUMNS},
};

const Table masterOnlyTables[] = {
    {"ZTXX", "BH INTEGER PRIMARY KEY, ZTMC TEXT NOT NULL UNIQUE, JZRQ TEXT, PASS TEXT"},
};

struct Index
{
    const char *name;
    const char *table;
    const char *columns;
    bool unique = false;
    const char *where = nullptr; // a partial index: only the rows that meet it
};

const Index accountSetIndexes[] = {
    {"CLJBXXB_SJBH", "CLJBXXB", "SJBH"},
    // A new material is checked against the catalogue for the same name and specification.
    {"CLJBXXB_CLMC", "CLJBXXB", "CLMC, CLGG"},
    // ZTMS holds at most one row: every row has the same key.
    {"ZTMS_ONE_ROW", "ZTMS", "(MS IS NOT NULL)", true},

    {"RKD_CLBH", "RKD", "CLBH, CZRQ"},
    // First in first out walks a material's receipt layers in ID order from a given layer on.
    {"RKD_CLBH_ID", "RKD", "CLBH, ID"},
    {"RKD_XTBH", "RKD", "XTBH"},
    // A new voucher's document number runs on from the greatest of the same month number.
    {"RKD_MONTH_YSDJH", "RKD", "SUBSTR(CZRQ, 6, 2), YSDJH"},
    {"RKD_MONTH_YSXH", "RKD", "SUBSTR(CZRQ, 6, 2), YSXH"},
    {"RKD_CZRQ", "RKD", "CZRQ"},
    // The unposted lines only: a few at any time, however many are posted. A line leaves the
    // index when it is posted instead of moving inside a big one.
    {"RKD_UNPOSTED", "RKD", "ZL, XTBH", false, "JZBZ = 0"},
    // The direct deliveries only: the statistics read them beside a closed period's sums,
    // which leave them out.
    {"RKD_DIRECT", "RKD", "CZRQ", false, "CKID <> 0"},
    {"THD_CLBH", "THD", "CLBH, CZRQ"},
    {"THD_XTBH", "THD", "XTBH"},
    {"THD_CZRQ", "THD", "CZRQ"},
    {"THD_RKID", "THD", "RKID"},
    // A new return's number runs on from the greatest running number ever.
    {"THD_NUMBERS", "THD", "THXH"},
    {"THD_UNPOSTED", "THD", "ZL, XTBH", false, "JZBZ = 0"},
    {"LLD_CLBH", "LLD", "CLBH, CZRQ"},
    {"LLD_XTBH", "LLD", "XTBH"},
    {"LLD_MONTH_YSDJH", "LLD", "SUBSTR(CZRQ, 6, 2), YSDJH"},
    {"LLD_MONTH_YSXH", "LLD", "SUBSTR(CZRQ, 6, 2), YSXH"},
    {"LLD_CZRQ", "LLD", "CZRQ"},
    {"LLD_UNPOSTED", "LLD", "ZL, XTBH", false, "JZBZ = 0"},
    {"LLD_DIRECT", "LLD", "CZRQ", false, "ZJZC <> 0"},
    {"TKD_CLBH", "TKD", "CLBH, CZRQ"},
    {"TKD_XTBH", "TKD", "XTBH"},
    {"TKD_CZRQ", "TKD", "CZRQ"},
    {"TKD_LLID", "TKD", "LLID"},
    {"TKD_NUMBERS", "TKD", "THXH"},
    {"TKD_UNPOSTED", "TKD", "ZL, XTBH", false, "JZBZ = 0"},

    {"ZWCSH_CLBH", "ZWCSH", "CLBH"},
    // A piece comes either from a receipt layer (RKID) or from an opening layer (CSHID).
    {"XJXCSJB_RKID", "XJXCSJB", "RKID", false, "RKID IS NOT NULL"},
    // Only the pieces drawn from opening layers have one.
    {"XJXCSJB_CSHID", "XJXCSJB", "CSHID", false, "CSHID IS NOT NULL"},
    {"XJXCSJB_CKID", "XJXCSJB", "CKID"},
    {"YJKCB_YJID", "YJKCB", "YJID, CLBH"},
    {"PYK_CLBH_RQ", "PYK", "CLBH, RQ"},
    // A closing reads the count rows dated since the previous closing.
    {"PYK_RQ", "PYK", "RQ"},
    {"CLKVMT_CLBH_CZRQ", "CLKVMT", "CLBH, CZRQ"},
    // The period reports read a month's adjustments of every material.
    {"CLKVMT_CZRQ", "CLKVMT", "CZRQ"},
    {"CLJH_CZRQ", "CLJH", "CZRQ, CLBH"},
    {"CZRZ_RQ", "CZRZ", "RQ"},

    {"ZLBIAO_DJBH", "ZLBIAO", "DJBH"},
    {"ZLHZ_DJBH", "ZLHZ", "DJBH"},
    {"ZLHZ_ZLID", "ZLHZ", "ZLID"},
    {"ZLHK_GYSBH", "ZLHK", "GYSBH"},
    {"FQFSAVE_GYSBH", "FQFSAVE", "GYSBH, RQ"},
    {"HZCL_GYSBH", "HZCL", "GYSBH, RQ"},
};

#undef COUNTER
#undef FLAG
#undef CATALOGUE_COLUMNS
#undef PERIOD_COLUMNS
#undef SLIP_COLUMNS

void createTable(const Database &db, const Table &t)
{
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)%3")
                .arg(QLatin1String(t.name), QLatin1String(t.columns),
                     t.keyOrdered ? QStringLiteral(" WITHOUT ROWID") : QString()));
}

template <std::size_t N> void createTables(const Database &db, const Table (&tables)[N])
{
    for (const Table &t : tables)
        createTable(db, t);
}

// A table added by a later version.
void createAccountSetTable(const Database &db, const char *name)
{
    for (const Table &t : accountSetTables) {
        if (qstrcmp(t.name, name) == 0)
            createTable(db, t);
    }
}

// Indexes of earlier versions that the ones above replace.
const char *const retiredIndexes[] = {"RKD_ZL_JZBZ", "RKD_JZBZ",    "THD_ZL_JZBZ", "LLD_ZL_JZBZ",
                                      "LLD_JZBZ",    "TKD_ZL_JZBZ", "XJXCSJB_CLBH"};

template <std::size_t N> void createIndexes(const Database &db, const Index (&indexes)[N])
{
    for (const Index &i : indexes) {
        db.exec(QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)%5")
                    .arg(i.unique ? QStringLiteral("UNIQUE ") : QString(), QLatin1String(i.name),
                         QLatin1String(i.table), QLatin1String(i.columns),
                         i.where ? QStringLiteral(" WHERE ") + QLatin1String(i.where) : QString()));
    }
}

// The copy is either empty or the running number of the document number: a statement that
// changes the number and not its copy empties the copy, which is then read from the number
// itself.
void createRunningNumberTriggers(const Database &db)
{
    for (const DocumentNumbers::RunningCopy &copy : DocumentNumbers::runningCopies()) {
        db.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_%3 AFTER UPDATE OF %2 ON %1 "
                               "FOR EACH ROW WHEN NEW.%2 IS NOT OLD.%2 "
                               "AND NEW.%3 IS OLD.%3 "
                               "BEGIN UPDATE %1 SET %3 = NULL WHERE ID = NEW.ID; END")
                    .arg(QLatin1String(copy.table), QLatin1String(copy.numberColumn),
                         QLatin1String(copy.copyColumn)));
    }
}

// Version 4 added YSXH to the stock-in and issue lines, version 9 THXH to the returns: each
// line of an older file gets the running number of its document number, read and written
// along the key a slice at a time (a file may hold a million lines).
void addRunningNumbers(const Database &db, int version)
{
    for (const DocumentNumbers::RunningCopy &copy : DocumentNumbers::runningCopies()) {
        if (version >= (copy.monthly ? 4 : 9))
            continue;
        const QString table = QLatin1String(copy.table);
        const QString column = QLatin1String(copy.copyColumn);
        if (!db.connection().record(table).contains(column))
            db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER").arg(table, column));
        const QString slice =
            QStringLiteral("SELECT ID, %2 FROM %1 WHERE ID > ? ORDER BY ID LIMIT 5000")
                .arg(table, QLatin1String(copy.numberColumn));
        const QString update =
            QStringLiteral("UPDATE %1 SET %2 = ? WHERE ID = ?").arg(table, column);
        qint64 after = 0;
        for (;;) {
            QList<std::pair<qint64, QVariant>> lines;
            QSqlQuery q = db.exec(slice, {after});
            while (q.next())
                lines.append({q.value(0).toLongLong(), q.value(1)});
            q.finish();
            if (lines.isEmpty())
                break;
            for (const auto &[id, number] : std::as_const(lines))
                db.query(update, {copy.of(number), id});
            after = lines.last().first;
        }
    }
}

// Before version 12 the closings' stock by unit price and movement sums were kept in rowid order
// beside an index of closing and material. Each is copied into its key-ordered table, its rows
// of one material in one closing numbered in the order they were written.
void keyClosingRows(const Database &db, const char *name, const char *columns)
{
    const QString table = QLatin1String(name);
    if (!db.tableExists(table) || db.connection().record(table).contains(QStringLiteral("XH")))
        return;
    const QString earlier = table + QStringLiteral("_UNKEYED");
    db.exec(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(table, earlier));
    createAccountSetTable(db, name);
    db.exec(QStringLiteral("INSERT INTO %1 (%3, XH) SELECT %3, ROW_NUMBER() OVER ("
                           "PARTITION BY YJID, CLBH ORDER BY ROWID) AS N FROM %2 "
                           "ORDER BY YJID, CLBH, N")
                .arg(table, earlier, QLatin1String(columns)));
    db.exec(QStringLiteral("DROP TABLE %1").arg(earlier));
}

void createAccountSetObjects(const Database &db)
{
    createTables(db, accountSetTables);
    createIndexes(db, accountSetIndexes);
    createRunningNumberTriggers(db);
}

} // namespace

void Schema::createAccountSet(Database &db)
{
    Transaction tx(db);
    createAccountSetObjects(db);
    db.setUserVersion(Version);
    tx.commit();
}

void Schema::upgrade(Database &db)
{
    const int version = db.userVersion();
    const QString file = QDir::toNativeSeparators(db.filePath());
    if (version > Version) {
        throw Refusal(QStringLiteral("提示"),
                      QStringLiteral("数据文件%1由较新版本的程序建立（文件版本%2，本程序只能打开"
                                     "版本%3及以前的文件）。\n请使用新版本的程序打开它。")
                          .arg(file)
                          .arg(version)
                          .arg(Version),
                      Refusal::Icon::Critical);
    }
    if (version <= 0) {
        throw StoreError(QStringLiteral("不是本系统的数据文件：%1\n请选择正确的文件，或从备份中"
                                        "恢复该文件。")
                             .arg(file));
    }
    if (version == Version || db.isReadOnly())
        return;
    Transaction tx(db);
    addRunningNumbers(db, version);
    createRunningNumberTriggers(db);
    // From versions 1 to 9: the closings' movement sums, filled when the set is next opened
    // for its business (its closings are unmarked until then).
    createAccountSetTable(db, "YJFSB");
    if (!db.connection().record(QStringLiteral("YJSJB")).contains(QStringLiteral("FSBZ")))
        db.exec(QStringLiteral("ALTER TABLE YJSJB ADD COLUMN FSBZ INTEGER NOT NULL DEFAULT 0"));
    // From versions 1 to 12: the closings' running totals of the issues, empty. A closing
    // without them stays unmarked and is read as before; the next closing computes its own.
    createAccountSetTable(db, "LJXHB");
    if (!db.connection().record(QStringLiteral("YJSJB")).contains(QStringLiteral("LJBZ")))
        db.exec(QStringLiteral("ALTER TABLE YJSJB ADD COLUMN LJBZ INTEGER NOT NULL DEFAULT 0"));
    // From versions 1 to 11: the pieces' index of receipt layers leaves out those of opening
    // layers; the closings' rows in the order of their key.
    if (version < 12)
        db.exec(QStringLiteral("DROP INDEX IF EXISTS XJXCSJB_RKID"));
    keyClosingRows(db, "XJXCYJKCB", "YJID, CLBH, JCDJ, JCSL, JCJE");
    // From versions 1 to 13: each material's newest piece, found once among its pieces as the
    // allocation used to find it, in the same transaction as the column, so that no issue is
    // ever allocated without it.
    if (!db.connection().record(QStringLiteral("KC")).contains(QStringLiteral("SJID"))) {
        db.exec(QStringLiteral("ALTER TABLE KC ADD COLUMN SJID INTEGER"));
        db.exec(QStringLiteral("UPDATE KC SET SJID = N.SJID FROM (SELECT X.CLBH AS CLBH, "
                               "MAX(X.ID) AS SJID FROM XJXCSJB X LEFT JOIN RKD R ON R.ID = X.RKID "
                               "WHERE X.CKSL >= 0 AND (X.RKID IS NULL OR R.CKID IS NULL "
                               "OR R.CKID = 0) GROUP BY X.CLBH) AS N WHERE N.CLBH = KC.CLBH"));
    }
    keyClosingRows(db, "YJFSB", "YJID, CLBH, FSDJ, LX, ZL, LLDWBH, FSSL, FSJE");
    // From versions 1 and 2: the indexes; CREATE INDEX IF NOT EXISTS keeps any a file already
    // has. The indexes of unposted lines replace those of the posted flag.
    createIndexes(db, accountSetIndexes);
    for (const char *name : retiredIndexes)
        db.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(name)));
    // From versions 1 to 4: the project of an amount adjustment.
    if (!db.connection().record(QStringLiteral("CLKVMT")).contains(QStringLiteral("GCXM")))
        db.exec(QStringLiteral("ALTER TABLE CLKVMT ADD COLUMN GCXM TEXT"));
    // From versions 1 to 6: the specification, unit and unit price of a statistic's row.
    for (const char *column : {"CLGG TEXT", "JZDW TEXT", "DJ INTEGER"}) {
        const QString definition = QLatin1String(column);
        if (!db.connection()
                 .record(QStringLiteral("RKCX_TEMP"))
                 .contains(definition.section(' ', 0, 0)))
            db.exec(QStringLiteral("ALTER TABLE RKCX_TEMP ADD COLUMN %1").arg(definition));
    }
    db.setUserVersion(Version);
    tx.commit();
}

void Schema::createMaster(Database &db)
{
    Transaction tx(db);
    createAccountSetObjects(db);
    createTables(db, masterOnlyTables);
    db.setUserVersion(Version);
    tx.commit();
}

QStringList Schema::missingAccountSetTables(const Database &db)
{
    QStringList missing;
    for (const Table &t : accountSetTables) {
        const QString name = QLatin1String(t.name);
        if (!db.tableExists(name))
            missing << name;
    }
    return missing;
}

} // namespace varnock
