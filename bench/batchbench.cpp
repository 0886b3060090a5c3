#include "batchbench.h"

#include "benchset.h"

#include "cli/cli.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <sqlite3.h>

#include <chrono>
#include <ctime>
#include <stdexcept>

namespace varnock::bench {

namespace {

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Times what it is given on the wall clock and on this thread's processor time.
template <typename Work> Timing timed(Work work)
{
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
        } else {
            script << QStringLiteral("issue save --kind 1 --date %1 --unit 01 %2")
                          .arg(date, linesOf(random.bounded(1, 6), [&](const QString &clbh) {
                                   return QStringLiteral("%1,%2").arg(clbh).arg(
                                       random.bounded(1, 4));
                               }));
            script << QStringLiteral("post issue --voucher %1").arg(++issue);
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
