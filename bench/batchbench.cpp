#include "batchbench.h"

#include "benchset.h"

#include "cli/cli.h"
#include "store/database.h"
#include "store/inparts.h"
#include "store/largecache.h"
#include "store/query.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <optional>
#include <stdexcept>

namespace varnock::bench {

namespace {

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Times what it is given on the wall clock and on this thread's processor time. The disk is
// quiet when the clock starts: what earlier work left to write goes first, so that the system's
// writing it back on the other processor does not slow the timed work down.
template <typename Work> Timing timed(Work work)
{
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadSeconds();
    work();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            threadSeconds() - cpuStart};
}

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

} // namespace

int vouchersPerDay(BenchSet &set, int mode)
{
    Database &db = set.db(mode);
    const qint64 vouchers =
        db.scalar(QStringLiteral("SELECT (SELECT COUNT(DISTINCT XTBH) FROM RKD WHERE XTBH <> 0) + "
                                 "(SELECT COUNT(DISTINCT XTBH) FROM LLD WHERE XTBH <> 0)"))
            .toLongLong();
    const qint64 days = db.scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT CZRQ FROM RKD "
                                                 "WHERE XTBH <> 0 UNION SELECT CZRQ FROM LLD "
                                                 "WHERE XTBH <> 0)"))
                            .toLongLong();
    return days > 0 ? int(std::max<qint64>(2, vouchers / days)) : 2;
}

DayOfVouchers startOnly(BenchSet &set)
{
    DayOfVouchers out;
    out.file = QDir(set.folder()).filePath(QStringLiteral("start.txt"));
    QFile file(out.file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the batch file");
    file.write("voucher show stock-in --voucher 1\n");
    out.commands = 1;
    return out;
}

DayOfVouchers writeDayOfVouchers(BenchSet &set, int mode, const QDate &day, int vouchers,
                                 quint32 seed)
{
    Database &db = set.db(mode);
    qint64 stockIn =
        db.scalar(QStringLiteral("SELECT COALESCE(MAX(XTBH), 0) FROM RKD")).toLongLong();
    qint64 issue = db.scalar(QStringLiteral("SELECT COALESCE(MAX(XTBH), 0) FROM LLD")).toLongLong();
    const QStringList materials = set.stockedMaterials(mode, 400);
    if (materials.size() < 5)
        throw std::runtime_error("not enough materials in stock");
    QRandomGenerator random(seed);
    const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
    const auto linesOf = [&](int count, const auto &lineText) {
        QStringList used;
        QStringList words;
        while (used.size() < count) {
            const QString clbh = materials.at(random.bounded(int(materials.size())));
            if (used.contains(clbh))
                continue;
            used << clbh;
            words << QStringLiteral("--line") << lineText(clbh);
        }
        return words.join(QLatin1Char(' '));
    };

    QStringList script;
    QList<std::pair<bool, qint64>> saved;
    for (int v = 0; v < vouchers; ++v) {
        if (v % 2 == 0) {
            script << QStringLiteral("stock-in save --kind 采购入库 --date %1 --supplier 1 %2")
                          .arg(date, linesOf(random.bounded(1, 5), [&](const QString &clbh) {
                                   return QStringLiteral("%1,%2,%3")
                                       .arg(clbh)
                                       .arg(random.bounded(10, 500))
                                       .arg(random.bounded(1, 20));
                               }));
            script << QStringLiteral("post stock-in --voucher %1").arg(++stockIn);
            saved.append({true, stockIn});
        } else {
            script << QStringLiteral("issue save --kind 1 --date %1 --unit 01 %2")
                          .arg(date, linesOf(random.bounded(1, 6), [&](const QString &clbh) {
                                   return QStringLiteral("%1,%2").arg(clbh).arg(
                                       random.bounded(1, 4));
                               }));
            script << QStringLiteral("post issue --voucher %1").arg(++issue);
            saved.append({false, issue});
        }
    }
    DayOfVouchers out;
    out.file = QDir(set.folder()).filePath(QStringLiteral("day-%1-%2.txt").arg(mode).arg(seed));
    QFile file(out.file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the batch file");
    file.write((script.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    out.vouchers = vouchers;
    out.commands = int(script.size());
    out.saved = saved;
    return out;
}

Timing runBatch(BenchSet &set, int mode, const DayOfVouchers &day, bool atomic)
{
    set.release(mode);
    QStringList args = {QStringLiteral("--data-dir"), set.folder(),
                        QStringLiteral("--set"),      QString::number(BenchSet::setNumber(mode)),
                        QStringLiteral("--user"),     QStringLiteral("admin"),
                        QStringLiteral("--password"), QStringLiteral("admin"),
                        QStringLiteral("batch")};
    if (atomic)
        args << QStringLiteral("--atomic");
    args << day.file;
    QString printed;
    QString messages;
    QTextStream out(&printed);
    QTextStream err(&messages);
    int code = 0;
    const Timing t = timed([&] { code = cli::run(args, out, err); });
    if (code != cli::Done)
        throw std::runtime_error(messages.toStdString());
    return t;
}

Timing bareCommits(const QString &folder, int commits, bool warm)
{
    const QString path = QDir(folder).filePath(QStringLiteral("floor.db"));
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db, "open");
    check(sqlite3_exec(db,
                       "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; "
                       "CREATE TABLE IF NOT EXISTS T (ID INTEGER PRIMARY KEY, V INTEGER)",
                       nullptr, nullptr, nullptr),
          db, "setup");
    sqlite3_stmt *begin = nullptr;
    sqlite3_stmt *insert = nullptr;
    sqlite3_stmt *commit = nullptr;
    check(sqlite3_prepare_v2(db, "BEGIN IMMEDIATE", -1, &begin, nullptr), db, "prepare");
    check(sqlite3_prepare_v2(db, "INSERT INTO T (V) VALUES (?)", -1, &insert, nullptr), db,
          "prepare");
    check(sqlite3_prepare_v2(db, "COMMIT", -1, &commit, nullptr), db, "prepare");
    const auto run = [&](int count) {
        for (int i = 0; i < count; ++i) {
            check(sqlite3_step(begin), db, "begin");
            sqlite3_reset(begin);
            sqlite3_bind_int(insert, 1, i);
            check(sqlite3_step(insert), db, "insert");
            sqlite3_reset(insert);
            check(sqlite3_step(commit), db, "commit");
            sqlite3_reset(commit);
        }
    };
    if (warm)
        run(1200);
    const Timing t = timed([&] { run(commits); });
    sqlite3_finalize(begin);
    sqlite3_finalize(insert);
    sqlite3_finalize(commit);
    sqlite3_close(db);
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    return t;
}

} // namespace varnock::bench

namespace varnock::bench {

namespace {

// Binds a value as it was read.
void bind(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(stmt, index);
    } else if (value.typeId() == QMetaType::LongLong) {
        sqlite3_bind_int64(stmt, index, value.toLongLong());
    } else if (value.typeId() == QMetaType::Double) {
        sqlite3_bind_double(stmt, index, value.toDouble());
    } else {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

void run(sqlite3 *db, sqlite3_stmt *stmt)
{
    check(sqlite3_step(stmt), db, "step");
    sqlite3_reset(stmt);
}

// What one voucher wrote, read back after the batch.
struct Written
{
    bool stockIn = false;
    QList<QVariantList> lines; // every column but ID, in ID order
    QList<qint64> lineIds;
    QStringList materials;
    QList<QVariantList> pieces; // CLBH, CSHID, RKID, CKSL, SYSL and the line's place in `lines`
};

QStringList columnsOf(Database &db, const QString &table)
{
    QStringList columns;
    Query q =
        db.query(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {table});
    while (q.next()) {
        if (q.value(0).toString() != QLatin1String("ID"))
            columns << q.value(0).toString();
    }
    return columns;
}

Written writtenBy(Database &db, bool stockIn, qint64 xtbh, const QStringList &columns)
{
    const QString table = stockIn ? QStringLiteral("RKD") : QStringLiteral("LLD");
    Written w;
    w.stockIn = stockIn;
    Query q = db.query(QStringLiteral("SELECT ID, %1 FROM %2 WHERE XTBH = ? ORDER BY ID")
                           .arg(columns.join(QStringLiteral(", ")), table),
                       {xtbh});
    const qsizetype clbh = columns.indexOf(QStringLiteral("CLBH"));
    while (q.next()) {
        QVariantList row;
        for (qsizetype i = 0; i < columns.size(); ++i)
            row << q.value(int(i) + 1);
        w.lineIds << q.value(0).toLongLong();
        if (!w.materials.contains(row.at(clbh).toString()))
            w.materials << row.at(clbh).toString();
        w.lines << row;
    }
    if (stockIn)
        return w;
    Query p = db.query(QStringLiteral("SELECT X.CLBH, X.CSHID, X.RKID, X.CKSL, X.SYSL, X.CKID "
                                      "FROM LLD L JOIN XJXCSJB X ON X.CKID = L.ID "
                                      "WHERE L.XTBH = ? ORDER BY X.ID"),
                       {xtbh});
    while (p.next()) {
        w.pieces << QVariantList{p.value(0), p.value(1),
                                 p.value(2), p.value(3),
                                 p.value(4), w.lineIds.indexOf(p.value(5).toLongLong())};
    }
    return w;
}

} // namespace

Timing sameWritesBare(Database &db, const DayOfVouchers &day, bool atomic)
{
    const QStringList stockInColumns = columnsOf(db, QStringLiteral("RKD"));
    const QStringList issueColumns = columnsOf(db, QStringLiteral("LLD"));
    QList<Written> written;
    for (const auto &[stockIn, xtbh] : day.saved)
        written << writtenBy(db, stockIn, xtbh, stockIn ? stockInColumns : issueColumns);
    const auto last = [&db](const char *table) {
        return db
            .scalar(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM %1").arg(QLatin1String(table)))
            .toLongLong();
    };
    const qint64 lastStockIn = last("RKD");
    const qint64 lastIssue = last("LLD");
    const qint64 lastPiece = last("XJXCSJB");
    const qint64 lastLog = last("CZRZ");

    sqlite3 *handle = db.statements().connection();
    const auto prepare = [handle](const QString &sql) {
        sqlite3_stmt *stmt = nullptr;
        check(sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &stmt, nullptr), handle,
              "prepare");
        return stmt;
    };
    const auto insertOf = [&](const QString &table, const QStringList &columns) {
        return prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), placesOf(columns.size())));
    };
    sqlite3_stmt *begin = prepare(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_stmt *commit = prepare(QStringLiteral("COMMIT"));
    sqlite3_stmt *stockInLine = insertOf(QStringLiteral("RKD"), stockInColumns);
    sqlite3_stmt *issueLine = insertOf(QStringLiteral("LLD"), issueColumns);
    sqlite3_stmt *postStockIn = prepare(QStringLiteral("UPDATE RKD SET JZBZ = 1 WHERE ID = ?"));
    sqlite3_stmt *postIssue =
        prepare(QStringLiteral("UPDATE LLD SET JZBZ = 1, SJJE = SJJE WHERE ID = ?"));
    sqlite3_stmt *stock =
        prepare(QStringLiteral("UPDATE KC SET KCSL = KCSL, KCJE = KCJE WHERE CLBH = ?"));
    sqlite3_stmt *piece = prepare(QStringLiteral("INSERT INTO XJXCSJB (CLBH, CSHID, RKID, CKSL, "
                                                 "SYSL, CKID) VALUES (?, ?, ?, ?, ?, ?)"));
    sqlite3_stmt *log = prepare(QStringLiteral("INSERT INTO CZRZ (CZY, RQ, CZXX, \"TIME\") "
                                               "VALUES ('1', '2026-12-07', '入库单记帐', "
                                               "'10:00:00')"));
    const qsizetype stockInPosted = stockInColumns.indexOf(QStringLiteral("JZBZ"));
    const qsizetype issuePosted = issueColumns.indexOf(QStringLiteral("JZBZ"));

    std::optional<LargeCache> cache;
    if (atomic)
        cache.emplace(db, cli::AtomicBatchCacheMegabytes);
    const Timing t = timed([&] {
        if (atomic)
            run(handle, begin);
        for (const Written &w : std::as_const(written)) {
            // The save: the lines, unposted, and the command's log row.
            if (!atomic)
                run(handle, begin);
            sqlite3_stmt *insert = w.stockIn ? stockInLine : issueLine;
            const qsizetype posted = w.stockIn ? stockInPosted : issuePosted;
            QList<qint64> copies;
            for (const QVariantList &line : w.lines) {
                for (qsizetype i = 0; i < line.size(); ++i)
                    bind(insert, int(i) + 1, i == posted ? QVariant(qint64(0)) : line.at(i));
                run(handle, insert);
                copies << sqlite3_last_insert_rowid(handle);
            }
            run(handle, log);
            if (!atomic) {
                run(handle, commit);
                run(handle, begin);
            }
            // The posting: the lines' flag and amount, the materials' stock, the pieces, and
            // the command's log row.
            sqlite3_stmt *post = w.stockIn ? postStockIn : postIssue;
            for (const qint64 id : std::as_const(copies)) {
                sqlite3_bind_int64(post, 1, id);
                run(handle, post);
            }
            for (const QString &clbh : w.materials) {
                bind(stock, 1, clbh);
                run(handle, stock);
            }
            for (const QVariantList &p : w.pieces) {
                for (int i = 0; i < 5; ++i)
                    bind(piece, i + 1, p.at(i));
                sqlite3_bind_int64(piece, 6, copies.at(p.at(5).toLongLong()));
                run(handle, piece);
            }
            run(handle, log);
            if (!atomic)
                run(handle, commit);
        }
        if (atomic)
            run(handle, commit);
    });
    cache.reset();
    for (sqlite3_stmt *stmt :
         {begin, commit, stockInLine, issueLine, postStockIn, postIssue, stock, piece, log})
        sqlite3_finalize(stmt);

    Transaction tx(db);
    db.query(QStringLiteral("DELETE FROM RKD WHERE ID > ?"), {lastStockIn});
    db.query(QStringLiteral("DELETE FROM LLD WHERE ID > ?"), {lastIssue});
    db.query(QStringLiteral("DELETE FROM XJXCSJB WHERE ID > ?"), {lastPiece});
    db.query(QStringLiteral("DELETE FROM CZRZ WHERE ID > ?"), {lastLog});
    tx.commit();
    return t;
}

} // namespace varnock::bench
