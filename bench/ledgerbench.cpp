// Ledger benchmarks over a synthetic account set: baselines (a keyed lookup, a full scan of
// the movement rows, a write transaction) and the posting, first-in-first-out and closing
// paths measured on the same file in the same process, with their ratios to the goals.

#include "batchbench.h"
#include "benchset.h"

#include "ledger/closingsums.h"
#include "ledger/issuetotals.h"
#include "ledger/monthend.h"
#include "ledger/periodmovements.h"
#include "reports/materialledger.h"
#include "reports/multisetreport.h"
#include "reports/setsummaries.h"
#include "reports/statistics.h"
#include "reports/stockreport.h"
#include "shell/accountsetsession.h"
#include "store/database.h"
#include "store/errors.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnock::bench {
namespace {

using Clock_ = std::chrono::steady_clock;

std::unique_ptr<BenchSet> s_set;
// Seconds per iteration of each run (wall clock and processor time), and extra figures, for
// the summary at the end. The machine may be shared: processor time is what the code itself
// costs, the wall clock adds waiting for the disk and for other programs.
std::map<std::string, double> s_seconds;
std::map<std::string, double> s_cpuSeconds;
std::map<std::string, double> s_figures;
double s_peak = 0;

std::string modeName(int mode)
{
    return mode == 1 ? "fifo" : "average";
}

double secondsSince(Clock_::time_point start)
{
    return std::chrono::duration<double>(Clock_::now() - start).count();
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

sqlite3 *handleOf(Database &db)
{
    return *static_cast<sqlite3 *const *>(db.connection().driver()->handle().constData());
}

// Times one timed section: wall clock for the benchmark, processor time and the statements
// run for the summary.
class Section
{
public:
    Section(benchmark::State &state, Database &db)
        : m_state(state)
        , m_handle(handleOf(db))
        , m_start(Clock_::now())
        , m_cpuStart(threadCpuSeconds())
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, &Section::statement,
                         nullptr);
    }
    ~Section()
    {
        m_state.SetIterationTime(secondsSince(m_start));
        s_sectionCpu += threadCpuSeconds() - m_cpuStart;
        sqlite3_trace_v2(m_handle, 0, nullptr, nullptr);
    }
    Section(const Section &) = delete;
    Section &operator=(const Section &) = delete;

    static double s_sectionCpu;
    static qint64 s_statements;
    // When set: every statement of the section that gave rows, with its values in its text.
    static std::vector<std::string> *s_reads;
    static bool s_profile;
    static std::map<std::string, std::pair<qint64, double>> s_statementTimes;

private:
    static int statement(unsigned type, void *, void *stmt, void *x)
    {
        if (type == SQLITE_TRACE_STMT) {
            ++s_statements;
            auto *run = static_cast<sqlite3_stmt *>(stmt);
            if (s_reads && sqlite3_stmt_readonly(run) && sqlite3_column_count(run) > 0) {
                char *sql = sqlite3_expanded_sql(run);
                s_reads->push_back(sql);
                sqlite3_free(sql);
            }
        } else if (s_profile) {
            // VARNOCK_BENCH_PROFILE: nanoseconds per statement text, printed at the end.
            auto &entry = s_statementTimes[sqlite3_sql(static_cast<sqlite3_stmt *>(stmt))];
            entry.first += 1;
            entry.second += double(*static_cast<sqlite3_int64 *>(x));
        }
        return 0;
    }

    benchmark::State &m_state;
    sqlite3 *m_handle;
    Clock_::time_point m_start;
    double m_cpuStart;
};
double Section::s_sectionCpu = 0;
qint64 Section::s_statements = 0;
std::vector<std::string> *Section::s_reads = nullptr;
bool Section::s_profile = qEnvironmentVariableIsSet("VARNOCK_BENCH_PROFILE");
std::map<std::string, std::pair<qint64, double>> Section::s_statementTimes;

void printStatementTimes()
{
    std::vector<std::pair<double, std::string>> rows;
    for (const auto &[sql, t] : Section::s_statementTimes)
        rows.push_back({t.second, std::to_string(t.first) + "x " + sql});
    std::sort(rows.rbegin(), rows.rend());
    for (size_t i = 0; i < rows.size() && i < 25; ++i)
        std::printf("%10.1f ms  %s\n", rows[i].first / 1e6, rows[i].second.c_str());
}

void noteCpu(benchmark::State &state, const std::string &key)
{
    const double n = double(state.iterations());
    const double perIteration = Section::s_sectionCpu / n;
    state.counters["statements"] = double(Section::s_statements) / n;
    s_figures["statements/" + key] = double(Section::s_statements) / n;
    Section::s_sectionCpu = 0;
    Section::s_statements = 0;
    s_cpuSeconds[key] = perIteration;
    state.counters["cpu_ms"] = perIteration * 1e3;
}

void notePeak(benchmark::State &state)
{
    const double peak = BenchSet::peakMegabytes();
    state.counters["peak_MB"] = peak;
    s_peak = std::max(s_peak, peak);
}

// ---- baselines ------------------------------------------------------------------------------

// One keyed lookup of a stock-in line by its ID, through the program's statement path: the
// connection's statement cache. `fresh`: prepared afresh each time, as every statement was
// before the cache.
void pointLookup(benchmark::State &state, int mode, bool fresh)
{
    Database &db = s_set->db(mode);
    const qint64 maxId = db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();
    const QString sql = QStringLiteral("SELECT SJSL, SJJE FROM RKD WHERE ID = ?");
    QRandomGenerator random(7);
    for (auto _ : state) {
        const qint64 id = random.bounded(qint64(1), maxId + 1);
        if (fresh) {
            QSqlQuery q = db.exec(sql, {id});
            benchmark::DoNotOptimize(q.next());
        } else {
            Query q = db.query(sql, {id});
            benchmark::DoNotOptimize(q.next());
        }
    }
    notePeak(state);
}

// One pass over every movement row, summing quantity and amount.
void fullScan(benchmark::State &state, int mode)
{
    Database &db = s_set->db(mode);
    qint64 rows = 0;
    for (auto _ : state) {
        Query q = db.query(QStringLiteral(
            "SELECT COUNT(*), SUM(S), SUM(J) FROM ("
            "SELECT SJSL AS S, SJJE AS J FROM RKD UNION ALL SELECT SJSL, SJJE FROM LLD "
            "UNION ALL SELECT THSL, THJE FROM THD UNION ALL SELECT THSL, THJE FROM TKD "
            "UNION ALL SELECT CKSL, SYSL FROM XJXCSJB)"));
        q.next();
        rows = q.value(0).toLongLong();
    }
    state.counters["rows"] = double(rows);
    notePeak(state);
}

// The smallest durable write: one row rewritten and committed (WAL, synchronous=FULL).
void commitOneRow(benchmark::State &state, int mode)
{
    Database &db = s_set->db(mode);
    const QString clbh = db.scalar(QStringLiteral("SELECT MIN(CLBH) FROM KC")).toString();
    for (auto _ : state) {
        Transaction tx(db);
        db.query(QStringLiteral("UPDATE KC SET KCSL = KCSL WHERE CLBH = ?"), {clbh});
        tx.commit();
    }
    notePeak(state);
}

// A write transaction that writes nothing.
void commitEmpty(benchmark::State &state, int mode)
{
    Database &db = s_set->db(mode);
    for (auto _ : state) {
        Transaction tx(db);
        tx.commit();
    }
    notePeak(state);
}

// ---- posting --------------------------------------------------------------------------------

void step(sqlite3 *handle, sqlite3_stmt *stmt)
{
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(handle));
    sqlite3_reset(stmt);
}

sqlite3_stmt *prepare(sqlite3 *handle, const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(handle));
    return stmt;
}

// The floor of first-in-first-out issue posting: what the posting of each of `vouchers` wrote
// (its allocation pieces, its lines' amounts, its materials' stock), written again by SQLite
// alone, each voucher in a transaction of its own, with statements prepared beforehand. The
// copies of the pieces are removed afterwards.
Timing sameWritesBare(Database &db, const QList<qint64> &vouchers)
{
    struct Piece
    {
        QString clbh;
        QVariant rkid, cshid;
        qint64 ckid;
        qint64 cksl, sysl;
    };
    struct Written
    {
        QList<Piece> pieces;
        QList<qint64> lines;
        QStringList materials;
    };
    QList<Written> written;
    for (const qint64 xtbh : vouchers) {
        Written w;
        Query q = db.query(QStringLiteral("SELECT L.ID, L.CLBH, X.CLBH, X.RKID, X.CSHID, X.CKID, "
                                          "X.CKSL, X.SYSL FROM LLD L "
                                          "JOIN XJXCSJB X ON X.CKID = L.ID WHERE L.XTBH = ? "
                                          "ORDER BY X.ID"),
                           {xtbh});
        while (q.next()) {
            w.pieces.append({q.value(2).toString(), q.value(3), q.value(4), q.value(5).toLongLong(),
                             q.value(6).toLongLong(), q.value(7).toLongLong()});
            if (!w.lines.contains(q.value(0).toLongLong()))
                w.lines.append(q.value(0).toLongLong());
            if (!w.materials.contains(q.value(1).toString()))
                w.materials.append(q.value(1).toString());
        }
        written.append(w);
    }
    sqlite3 *handle = handleOf(db);
    const qint64 lastPiece = db.scalar(QStringLiteral("SELECT MAX(ID) FROM XJXCSJB")).toLongLong();
    sqlite3_stmt *begin = prepare(handle, "BEGIN IMMEDIATE");
    sqlite3_stmt *commit = prepare(handle, "COMMIT");
    sqlite3_stmt *piece = prepare(handle, "INSERT INTO XJXCSJB (CLBH, CSHID, RKID, CKID, CKSL, "
                                          "SYSL) VALUES (?, ?, ?, ?, ?, ?)");
    sqlite3_stmt *line = prepare(handle, "UPDATE LLD SET SJJE = SJJE WHERE ID = ?");
    sqlite3_stmt *stock = prepare(handle, "UPDATE KC SET KCSL = KCSL, KCJE = KCJE WHERE CLBH = ?");
    const auto bindId = [](sqlite3_stmt *stmt, int i, const QVariant &id) {
        if (id.isNull())
            sqlite3_bind_null(stmt, i);
        else
            sqlite3_bind_int64(stmt, i, id.toLongLong());
    };
    Timing total{0, 0};
    for (const Written &w : std::as_const(written)) {
        QList<QByteArray> codes;
        for (const Piece &p : w.pieces)
            codes.append(p.clbh.toUtf8());
        QList<QByteArray> materials;
        for (const QString &clbh : w.materials)
            materials.append(clbh.toUtf8());
        const auto start = Clock_::now();
        const double cpuStart = threadCpuSeconds();
        step(handle, begin);
        for (qsizetype i = 0; i < w.pieces.size(); ++i) {
            const Piece &p = w.pieces.at(i);
            sqlite3_bind_text(piece, 1, codes.at(i).constData(), int(codes.at(i).size()),
                              SQLITE_STATIC);
            bindId(piece, 2, p.cshid);
            bindId(piece, 3, p.rkid);
            sqlite3_bind_int64(piece, 4, p.ckid);
            sqlite3_bind_int64(piece, 5, p.cksl);
            sqlite3_bind_int64(piece, 6, p.sysl);
            step(handle, piece);
        }
        for (const qint64 id : w.lines) {
            sqlite3_bind_int64(line, 1, id);
            step(handle, line);
        }
        for (const QByteArray &clbh : std::as_const(materials)) {
            sqlite3_bind_text(stock, 1, clbh.constData(), int(clbh.size()), SQLITE_STATIC);
            step(handle, stock);
        }
        step(handle, commit);
        total.wall += secondsSince(start);
        total.cpu += threadCpuSeconds() - cpuStart;
    }
    for (sqlite3_stmt *stmt : {begin, commit, piece, line, stock})
        sqlite3_finalize(stmt);
    Transaction tx(db);
    db.query(QStringLiteral("DELETE FROM XJXCSJB WHERE ID > ?"), {lastPiece});
    tx.commit();
    return total;
}

// Saves a 20-line voucher (not timed) and posts it (timed), over and over.
void postVoucher(benchmark::State &state, int mode, bool issue, const std::string &key)
{
    Database &db = s_set->db(mode);
    const Formats formats = s_set->formats(mode);
    const QStringList materials = s_set->stockedMaterials(mode, 400);
    if (materials.size() < 20) {
        state.SkipWithError("not enough materials in stock");
        return;
    }
    QRandomGenerator random(11);
    const QDate day = s_set->openDay(mode);
    QList<qint64> posted;
    for (auto _ : state) {
        QList<Vouchers::Line> lines;
        QStringList used;
        while (lines.size() < 20) {
            const QString clbh = materials.at(random.bounded(materials.size()));
            if (used.contains(clbh))
                continue;
            used.append(clbh);
            lines.append({clbh, Decimal::fromInt(random.bounded(1, 10)),
                          Decimal::fromInt(random.bounded(10, 500))});
        }
        const qint64 xtbh = issue ? Vouchers::saveIssue(db, mode, formats, day, lines)
                                  : Vouchers::saveStockIn(db, mode, formats, day, lines);
        Section timed(state, db);
        Vouchers::post(db, mode, formats, issue, xtbh);
        posted.append(xtbh);
    }
    noteCpu(state, key);
    if (issue && mode == 1) {
        const Timing floor = sameWritesBare(db, posted);
        s_figures["floor/" + key] = floor.wall / double(posted.size());
        s_figures["floor_cpu/" + key] = floor.cpu / double(posted.size());
    }
    notePeak(state);
}

// ---- first in first out ---------------------------------------------------------------------

// A material with `earlier` receipt layers already issued and a few hundred ahead; each
// iteration posts a one-line issue of 3 from layers of 5, so every other line crosses into the
// next layer.
void fifoIssue(benchmark::State &state, int earlier, const std::string &key)
{
    const int mode = 1;
    Database &db = s_set->db(mode);
    const Formats formats = s_set->formats(mode);
    const QDate day = s_set->openDay(mode);
    const int ahead = int(state.max_iterations) * 3 / 5 + 20;
    const auto setupStart = Clock_::now();
    const QString clbh = Vouchers::addMaterial(db, QStringLiteral("基准材料%1").arg(earlier));
    QRandomGenerator random(13);
    for (int written = 0; written < earlier + ahead;) {
        QList<Vouchers::Line> lines;
        for (int i = 0; i < 20 && written < earlier + ahead; ++i, ++written)
            lines.append({clbh, Decimal::fromInt(5), Decimal::fromInt(random.bounded(9, 12))});
        Vouchers::post(db, mode, formats, false,
                       Vouchers::saveStockIn(db, mode, formats, day, lines));
    }
    Vouchers::post(db, mode, formats, true,
                   Vouchers::saveIssue(db, mode, formats, day,
                                       {{clbh, Decimal::fromInt(5 * earlier), Decimal()}}));
    state.counters["setup_s"] = secondsSince(setupStart);

    for (auto _ : state) {
        const qint64 xtbh =
            Vouchers::saveIssue(db, mode, formats, day, {{clbh, Decimal::fromInt(3), Decimal()}});
        Section timed(state, db);
        Vouchers::post(db, mode, formats, true, xtbh);
    }
    noteCpu(state, key);
    notePeak(state);
}

// ---- a day's vouchers through the command line ----------------------------------------------

// A day's vouchers through "varnock-cli batch", each command (a save, a post) in its own
// transaction, against the floor of as many one-row commits by SQLite alone; or through
// "batch --atomic", the whole day in one transaction. What the command line costs before
// the first voucher (opening the set, the login's password hash) is timed on its own and
// left out.
void dayOfVouchers(benchmark::State &state, int mode, bool atomic, const std::string &key)
{
    const int vouchers = vouchersPerDay(*s_set, mode);
    const QDate day = s_set->openDay(mode);
    const DayOfVouchers start = startOnly(*s_set);
    double floorWall = 0;
    double floorCpu = 0;
    double warmWall = 0;
    double startWall = 0;
    Timing same;
    int commands = 0;
    quint32 seed = atomic ? 1000 : 1;
    for (auto _ : state) {
        const DayOfVouchers file = writeDayOfVouchers(*s_set, mode, day, vouchers, ++seed);
        commands += file.commands;
        const Timing opened = runBatch(*s_set, mode, start, atomic);
        const Timing batch = runBatch(*s_set, mode, file, atomic);
        state.SetIterationTime(batch.wall - opened.wall);
        Section::s_sectionCpu += batch.cpu - opened.cpu;
        startWall += opened.wall;
        const Timing writes = sameWritesBare(s_set->db(mode), file, atomic);
        same.wall += writes.wall;
        same.cpu += writes.cpu;
        if (!atomic) {
            const Timing floor = bareCommits(s_set->folder(), file.commands, false);
            floorWall += floor.wall;
            floorCpu += floor.cpu;
            warmWall += bareCommits(s_set->folder(), file.commands, true).wall;
        }
    }
    noteCpu(state, key);
    const double n = double(state.iterations());
    state.counters["vouchers"] = vouchers;
    state.counters["commands"] = double(commands) / n;
    state.counters["start_ms"] = startWall / n * 1e3;
    s_figures["vouchers/" + key] = vouchers;
    s_figures["commands/" + key] = double(commands) / n;
    s_figures["start/" + key] = startWall / n;
    s_figures["same/" + key] = same.wall / n;
    s_figures["same_cpu/" + key] = same.cpu / n;
    if (!atomic) {
        s_figures["floor/" + key] = floorWall / n;
        s_figures["floor_cpu/" + key] = floorCpu / n;
        s_figures["floor_warm/" + key] = warmWall / n;
        state.counters["floor_ms_a_commit"] = floorWall / double(commands) * 1e3;
    }
    notePeak(state);
}

// ---- period reports -------------------------------------------------------------------------

// The report of a period that starts `monthsBack` months before today's month and runs for
// `months` months, with the transfers and two units in their columns.
StockReportRequest reportPeriod(Database &db, int monthsBack, int months)
{
    const QDate today = BenchSet::today();
    const QDate from = QDate(today.year(), today.month(), 1).addMonths(-monthsBack);
    const QStringList units{UnitColumn::TransferCode,
                            db.scalar(QStringLiteral("SELECT MIN(BH) FROM LLDW")).toString(),
                            db.scalar(QStringLiteral("SELECT MAX(BH) FROM LLDW")).toString()};
    return {from, from.addMonths(months).addDays(-1), StockReport::unitColumns(db, units), {}, {}};
}

// The voucher months of the books: the first closing precedes them, the current one is open.
int voucherMonths(Database &db)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toInt();
}

// The periods a report benchmark builds: one month of the books (the first voucher month, a
// middle one, the last closed one in turn), the last closed month, or every voucher month.
enum class Periods { AnyMonth, LastMonth, All };

// The reading floor of a report build: every statement it read rows from, run again by SQLite
// alone, every column of every row fetched as the program fetches it.
Timing readsBare(sqlite3 *handle, const std::vector<std::string> &reads)
{
    const auto start = Clock_::now();
    const double cpuStart = threadCpuSeconds();
    qint64 fetched = 0;
    for (const std::string &sql : reads) {
        sqlite3_stmt *stmt = prepare(handle, sql.c_str());
        const int columns = sqlite3_column_count(stmt);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                fetched += sqlite3_column_int64(stmt, c);
            }
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(handle));
    }
    benchmark::DoNotOptimize(fetched);
    return {secondsSince(start), threadCpuSeconds() - cpuStart};
}

// The writing floor of a report build: its rows written into its report table by SQLite
// alone, the table emptied first, through inserts of as many rows as 999 values allow,
// prepared beforehand, in one committed transaction.
Timing writesBare(sqlite3 *handle, const QString &temp, const ReportTable &table)
{
    const int columns = table.columnCount();
    // The cells are bound straight from the table, each text encoded once beforehand: the
    // floor holds no copy of the rows, so that it adds nothing to the peak memory of the run.
    std::vector<QByteArray> texts;
    texts.reserve(size_t(table.texts().size()));
    for (const QString &text : table.texts())
        texts.push_back(text.toUtf8());
    QStringList fields;
    for (const ReportTable::Column &c : table.columns())
        fields << c.field;
    const QString row =
        QLatin1Char('(') + QStringList(columns, QStringLiteral("?")).join(u',') + QLatin1Char(')');
    const int perStatement = std::max(1, 999 / columns);
    const auto insertOf = [&](int rows) {
        const QString sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(temp, fields.join(QLatin1Char(','))) +
            QStringList(rows, row).join(u',');
        return prepare(handle, sql.toUtf8().constData());
    };
    const int rest = table.rowCount() % perStatement;
    sqlite3_stmt *full = insertOf(perStatement);
    sqlite3_stmt *last = rest > 0 ? insertOf(rest) : nullptr;
    sqlite3_stmt *begin = prepare(handle, "BEGIN IMMEDIATE");
    sqlite3_stmt *empty = prepare(handle, ("DELETE FROM " + temp.toStdString()).c_str());
    sqlite3_stmt *commit = prepare(handle, "COMMIT");

    const auto start = Clock_::now();
    const double cpuStart = threadCpuSeconds();
    step(handle, begin);
    step(handle, empty);
    for (int first = 0; first < table.rowCount(); first += perStatement) {
        sqlite3_stmt *insert = table.rowCount() - first >= perStatement ? full : last;
        const size_t end = size_t(std::min(table.rowCount(), first + perStatement)) * columns;
        int place = 1;
        for (size_t i = size_t(first) * columns; i < end; ++i, ++place) {
            const int r = int(i / size_t(columns));
            const int c = int(i % size_t(columns));
            if (table.isNullAt(r, c)) {
                sqlite3_bind_null(insert, place);
            } else if (table.columns().at(c).kind == ReportTable::Column::Text) {
                const QByteArray &text = texts[size_t(table.textIdAt(r, c))];
                sqlite3_bind_text(insert, place, text.isNull() ? "" : text.constData(),
                                  int(text.size()), SQLITE_STATIC);
            } else {
                sqlite3_bind_int64(insert, place, table.integerAt(r, c));
            }
        }
        step(handle, insert);
    }
    step(handle, commit);
    const Timing t{secondsSince(start), threadCpuSeconds() - cpuStart};
    for (sqlite3_stmt *stmt : {full, last, begin, empty, commit})
        sqlite3_finalize(stmt);
    return t;
}

// The detail (or the summary) of one period, as the report screen builds it: the report table
// is written in the build's transaction.
void stockReport(benchmark::State &state, int mode, bool summary, Periods kind,
                 const std::string &key)
{
    Database &db = s_set->db(mode);
    const int months = voucherMonths(db);
    QList<int> back{1};
    if (kind == Periods::AnyMonth)
        back = {months - 1, std::max(1, months / 2), 1};
    else if (kind == Periods::All)
        back = {months - 1};
    int i = 0;
    qint64 rows = 0;
    Timing reads{0, 0};
    Timing writes{0, 0};
    for (auto _ : state) {
        const StockReportRequest request =
            reportPeriod(db, back.at(i++ % back.size()), kind == Periods::All ? months : 1);
        StockReport report(db, mode);
        std::vector<std::string> read;
        std::optional<ReportTable> table;
        {
            Section::s_reads = &read;
            Section timed(state, db);
            table.emplace(summary ? report.summary(request) : report.detail(request));
        }
        Section::s_reads = nullptr;
        rows = table->rowCount();
        // The floor: the same reads and writes by SQLite alone, outside the timed section.
        const Timing r = readsBare(handleOf(db), read);
        const Timing w = writesBare(
            handleOf(db), summary ? QStringLiteral("JXCHZ_TEMP") : QStringLiteral("JXCMX_TEMP"),
            *table);
        reads = {reads.wall + r.wall, reads.cpu + r.cpu};
        writes = {writes.wall + w.wall, writes.cpu + w.cpu};
    }
    const double n = double(state.iterations());
    s_figures["report_reads/" + key] = reads.wall / n;
    s_figures["report_reads_cpu/" + key] = reads.cpu / n;
    s_figures["report_writes/" + key] = writes.wall / n;
    s_figures["report_writes_cpu/" + key] = writes.cpu / n;
    state.counters["rows"] = double(rows);
    noteCpu(state, key);
    notePeak(state);
}

// The period statistics measured: receipts, issues and transfers out and in per material, issues
// of five units and receipts of every supplier side by side, consumption of the month and to date.
enum class Statistic {
    Receipts,
    Issues,
    TransfersOut,
    TransfersIn,
    ByUnit,
    BySupplier,
    Consumption
};

// The rows the consumption statistic reads, read by SQLite alone along the same index: the
// running totals of the latest closing before the period, then the issue sums of each closing
// after it up to the period's end and the issue lines of any days between them. Returns the
// wall clock and processor seconds.
Timing consumptionFloor(Database &db, const QDate &from, const QDate &to)
{
    const auto start = Clock_::now();
    const double cpuStart = threadCpuSeconds();
    const QString before = from.addDays(-1).toString(Qt::ISODate);
    QString first = PeriodMovements::Earliest;
    if (const std::optional<IssueTotals::Closing> base = IssueTotals::latest(db, before)) {
        Query q = db.query(QStringLiteral("SELECT COUNT(*), SUM(LJSL), SUM(LJJE) FROM LJXHB "
                                          "WHERE YJID = ?"),
                           {base->yjid});
        q.next();
        benchmark::DoNotOptimize(q.value(1));
        first = QDate::fromString(base->day, Qt::ISODate).addDays(1).toString(Qt::ISODate);
    }
    const std::pair<QString, QString> ranges[] = {
        {first, before}, {from.toString(Qt::ISODate), to.toString(Qt::ISODate)}};
    for (const auto &[rangeFirst, rangeLast] : ranges) {
        if (rangeFirst > rangeLast)
            continue;
        for (const ClosingSums::Span &span : ClosingSums::spans(db, rangeFirst, rangeLast)) {
            Query q = span.yjid ? db.query(QStringLiteral("SELECT COUNT(*), SUM(FSSL), SUM(FSJE) "
                                                          "FROM YJFSB WHERE YJID = ? "
                                                          "AND LX IN (3, 4)"),
                                           {*span.yjid})
                                : db.query(QStringLiteral("SELECT COUNT(*), SUM(SJSL), SUM(SJJE) "
                                                          "FROM LLD WHERE CZRQ BETWEEN ? AND ?"),
                                           {span.first, span.last});
            q.next();
            benchmark::DoNotOptimize(q.value(1));
        }
    }
    return {secondsSince(start), threadCpuSeconds() - cpuStart};
}

// One month's statistic as its screen builds it (report table written), for the first voucher
// month, a middle one and the last closed one in turn. `fromLines`: the closings' sums set
// aside for the build, so that the month is read from its lines as the open month is.
void statistic(benchmark::State &state, int mode, Statistic kind, bool fromLines,
               const std::string &key)
{
    Database &db = s_set->db(mode);
    const int months = voucherMonths(db);
    const QList<int> back{months - 1, std::max(1, months / 2), 1};
    QStringList units;
    {
        Query q = db.query(QStringLiteral("SELECT BH FROM LLDW ORDER BY BH LIMIT 5"));
        while (q.next())
            units << q.value(0).toString();
    }
    int i = 0;
    qint64 rows = 0;
    Timing floor{0, 0};
    for (auto _ : state) {
        const StockReportRequest period = reportPeriod(db, back.at(i++ % back.size()), 1);
        const StatisticRequest request{period.from, period.to, StatisticLevel::Materials};
        Statistics statistics(db, mode);
        std::optional<Transaction> unmarked;
        if (fromLines) {
            unmarked.emplace(db);
            db.exec(QStringLiteral("UPDATE YJSJB SET FSBZ = 0"));
        }
        {
            Section timed(state, db);
            switch (kind) {
            case Statistic::Receipts:
                rows = statistics.movement(Movement::Receipts, request).rowCount();
                break;
            case Statistic::Issues:
                rows = statistics.movement(Movement::Issues, request).rowCount();
                break;
            case Statistic::TransfersOut:
                rows = statistics.movement(Movement::TransfersOut, request).rowCount();
                break;
            case Statistic::TransfersIn:
                rows = statistics.movement(Movement::TransfersIn, request).rowCount();
                break;
            case Statistic::ByUnit:
                rows = statistics.byParty(StatisticParty::Units, request, units).rowCount();
                break;
            case Statistic::BySupplier:
                rows =
                    statistics.byParty(StatisticParty::Suppliers, request, {Statistics::AllEntries})
                        .rowCount();
                break;
            case Statistic::Consumption:
                rows = statistics.consumption(request.from, request.to).rowCount();
                break;
            }
        }
        if (kind == Statistic::Consumption && !fromLines) {
            const Timing t = consumptionFloor(db, request.from, request.to);
            floor.wall += t.wall;
            floor.cpu += t.cpu;
        }
    }
    if (floor.cpu > 0) {
        s_figures["floor/" + key] = floor.wall / double(state.iterations());
        s_figures["floor_cpu/" + key] = floor.cpu / double(state.iterations());
    }
    state.counters["rows"] = double(rows);
    noteCpu(state, key);
    notePeak(state);
}

// The material ledger of the busiest material over the last twelve months.
void materialLedger(benchmark::State &state, int mode, const std::string &key)
{
    Database &db = s_set->db(mode);
    const QString clbh = s_set->stockedMaterials(mode, 1).value(0);
    const StockReportRequest request = reportPeriod(db, 11, 12);
    qint64 rows = 0;
    for (auto _ : state) {
        MaterialLedger ledger(db, mode);
        Section timed(state, db);
        rows = ledger.build({clbh}, request.from, request.to).table.rowCount();
    }
    state.counters["rows"] = double(rows);
    noteCpu(state, key);
    notePeak(state);
}

// Ten sets across sets: the set's own file listed ten times, each opened on a connection of
// its own, for the last closed month.
void multiSet(benchmark::State &state, int mode, const std::string &key)
{
    Database &db = s_set->db(mode);
    const StockReportRequest request = reportPeriod(db, 1, 1);
    const QList<MultiSetReport::Set> sets(10, {BenchSet::setNumber(mode), QStringLiteral("基准")});
    for (auto _ : state) {
        MultiSetReport report(db, DataFolder(s_set->folder()));
        Section timed(state, db);
        benchmark::DoNotOptimize(report.build(sets, request.from, request.to).table.rowCount());
    }
    noteCpu(state, key);
    notePeak(state);
}

// The summaries across account sets measured: the receipts-issues-balance summary, the
// supplier arrears, the count of the stock and the receipts per material.
enum class SetReport { Summary, Arrears, Count, Receipts };

// A summary across account sets for the last closed month, over `count` sets: the set's own
// file listed `count` times, each opened on a connection of its own. One set is the single
// report that ten are compared with.
void setSummary(benchmark::State &state, int mode, SetReport kind, int count,
                const std::string &key)
{
    Database &db = s_set->db(mode);
    const StockReportRequest request = reportPeriod(db, 1, 1);
    const ReportPeriod period{request.from, request.to};
    const QList<SetSummaries::Set> sets(count, {BenchSet::setNumber(mode), QStringLiteral("基准")});
    qint64 rows = 0;
    for (auto _ : state) {
        SetSummaries summaries(db, DataFolder(s_set->folder()));
        Section timed(state, db);
        switch (kind) {
        case SetReport::Summary:
            rows = summaries.summary(sets, period).table.rowCount();
            break;
        case SetReport::Arrears:
            rows = summaries.arrears(sets, period).table.rowCount();
            break;
        case SetReport::Count:
            rows = summaries.count(sets, LedgerReports::Level::Every).table.rowCount();
            break;
        case SetReport::Receipts:
            rows = summaries
                       .movements(sets, Movement::Receipts, period, StatisticLevel::Materials,
                                  QStringLiteral("材料入库查询报表"))
                       .table.rowCount();
            break;
        }
    }
    state.counters["rows"] = double(rows);
    noteCpu(state, key);
    notePeak(state);
}

// ---- month-end ------------------------------------------------------------------------------

// Closes the month on the following days; the steps' progress reports time the snapshots.
void monthEnd(benchmark::State &state, int mode, const std::string &key)
{
    Database &db = s_set->db(mode);
    MonthEnd closing(db, mode, s_set->formats(mode));
    QDate day = s_set->openDay(mode).addDays(1);
    // Wall clock and processor time of the two snapshots.
    double layerSnapshot[2] = {0, 0};
    double materialSnapshot[2] = {0, 0};
    // And wall clock of the period's movement sums.
    double sums = 0;
    for (auto _ : state) {
        Clock_::time_point layersStart{}, layersEnd{}, sumsStart{}, materialStart{};
        double layersCpu = 0;
        double layersEndCpu = 0;
        double materialCpu = 0;
        Section timed(state, db);
        closing.close(day, [&](int done, int total, const QString &step) {
            const auto now = Clock_::now();
            const double cpu = threadCpuSeconds();
            if (step == QStringLiteral("先进先出结存")) {
                layersStart = now;
                layersCpu = cpu;
            } else if (step == QStringLiteral("月结记录")) {
                layersEnd = now;
                layersEndCpu = cpu;
            } else if (step == QStringLiteral("本月发生")) {
                sumsStart = now;
            } else if (step == QStringLiteral("月末库存")) {
                sums += std::chrono::duration<double>(now - sumsStart).count();
                materialStart = now;
                materialCpu = cpu;
            } else if (done == total) {
                materialSnapshot[0] += std::chrono::duration<double>(now - materialStart).count();
                materialSnapshot[1] += cpu - materialCpu;
            }
        });
        if (mode == 1) {
            layerSnapshot[0] += std::chrono::duration<double>(layersEnd - layersStart).count();
            layerSnapshot[1] += layersEndCpu - layersCpu;
        }
        day = day.addDays(1);
    }
    noteCpu(state, key);
    if (mode == 1) {
        // The floor of the layer snapshot: as many rows as the latest closing holds written by
        // SQLite alone, copied from that closing.
        sqlite3 *handle = handleOf(db);
        Transaction tx(db);
        const auto start = Clock_::now();
        const double cpuStart = threadCpuSeconds();
        if (sqlite3_exec(handle,
                         "INSERT INTO XJXCYJKCB (YJID, CLBH, JCDJ, JCSL, JCJE, XH) "
                         "SELECT -1, CLBH, JCDJ, JCSL, JCJE, XH FROM XJXCYJKCB "
                         "WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)",
                         nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(handle));
        s_figures["layer_floor/" + modeName(mode)] = secondsSince(start);
        s_figures["layer_floor_cpu/" + modeName(mode)] = threadCpuSeconds() - cpuStart;
        s_figures["layer_rows/" + modeName(mode)] = double(sqlite3_changes(handle));
    }
    const double n = double(state.iterations());
    state.counters["material_snapshot_ms"] = materialSnapshot[0] / n * 1000.0;
    state.counters["sums_ms"] = sums / n * 1000.0;
    s_figures["material_snapshot/" + modeName(mode)] = materialSnapshot[0] / n;
    s_figures["material_snapshot_cpu/" + modeName(mode)] = materialSnapshot[1] / n;
    if (mode == 1) {
        state.counters["layer_snapshot_ms"] = layerSnapshot[0] / n * 1000.0;
        s_figures["layer_snapshot/" + modeName(mode)] = layerSnapshot[0] / n;
        s_figures["layer_snapshot_cpu/" + modeName(mode)] = layerSnapshot[1] / n;
    }
    notePeak(state);
}

// ---- reporting ------------------------------------------------------------------------------

class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (!run.error_occurred && run.iterations > 0) {
                const double n = double(run.iterations);
                const std::string key =
                    run.benchmark_name().substr(0, run.benchmark_name().find("/iterations"));
                s_seconds[key] = run.real_accumulated_time / n;
                if (!s_cpuSeconds.count(key))
                    s_cpuSeconds[key] = run.cpu_accumulated_time / n;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double figure(const std::map<std::string, double> &map, const std::string &key)
{
    const auto it = map.find(key);
    return it == map.end() ? -1 : it->second;
}

void printGoal(const std::string &what, double value, double limit, const char *unit)
{
    if (value < 0 || limit <= 0)
        return;
    std::printf("  %-50s %10.3f %-3s limit %10.3f  ratio %5.2f  %s\n", what.c_str(), value, unit,
                limit, value / limit, value <= limit ? "met" : "MISSED");
}

// A report's floor (its reads and its writes by SQLite alone) beside its figure and its limit.
void printReportFloor(const std::string &key, const std::map<std::string, double> &t, double limit,
                      const char *clock)
{
    const std::string cpu = std::string(clock) == "processor time" ? "_cpu/" : "/";
    const double reads = figure(s_figures, "report_reads" + cpu + key);
    const double writes = figure(s_figures, "report_writes" + cpu + key);
    const double report = figure(t, key);
    if (reads < 0 || writes < 0 || report <= 0)
        return;
    std::printf("    floor: its reads %.1f ms + its rows written %.1f ms by SQLite alone = %.1f ms;"
                " report / floor %.2f, limit / floor %.2f\n",
                reads * 1e3, writes * 1e3, (reads + writes) * 1e3, report / (reads + writes),
                limit / (reads + writes));
}

// The goals, once on the wall clock and once on processor time.
void printGoals(const std::string &m, const std::map<std::string, double> &t, const char *clock)
{
    const double point = figure(t, "B_point/" + m);
    const double scan = figure(t, "B_scan/" + m);
    const double commit = figure(t, "B_commit/" + m);
    std::printf("\n%s, %s: B_point %.1f us (prepared each time %.1f us), B_scan %.3f s, "
                "B_commit %.3f ms (empty %.3f ms)\n",
                m.c_str(), clock, point * 1e6, figure(t, "B_point_fresh/" + m) * 1e6, scan,
                commit * 1e3, figure(t, "B_commit_empty/" + m) * 1e3);
    for (const char *family : {"PostStockIn20", "PostIssue20"}) {
        const double voucher = figure(t, std::string(family) + "/" + m);
        if (voucher < 0)
            continue;
        std::printf("  %s: %.3f ms a voucher, %.1f us a line, %.0f statements a voucher\n", family,
                    voucher * 1e3, voucher / 20 * 1e6,
                    figure(s_figures, std::string("statements/") + family + "/" + m));
        printGoal(std::string(family) + " a line <= 15 x B_point", voucher / 20 * 1e6,
                  15 * point * 1e6, "us");
        printGoal(std::string(family) + " a voucher <= B_commit + 300 x B_point", voucher * 1e3,
                  (commit + 300 * point) * 1e3, "ms");
        const double floor = figure(s_figures, (&t == &s_seconds ? "floor/" : "floor_cpu/") +
                                                   std::string(family) + "/" + m);
        if (floor > 0) {
            std::printf("  the same writes by SQLite alone (pieces, line amounts, stock, one "
                        "commit): %.1f us a line; posting / floor %.2f\n",
                        floor / 20 * 1e6, voucher / floor);
        }
    }
    const double few = figure(t, "FifoIssue/layers:10");
    const double many = figure(t, "FifoIssue/layers:10000");
    if (m == "fifo" && few > 0 && many > 0) {
        std::printf("  FIFO issue line: %.3f ms with 10 earlier layers, %.3f ms with 10,000\n",
                    few * 1e3, many * 1e3);
        printGoal("FIFO line, 10,000 layers <= 1.5 x 10 layers", many * 1e3, 1.5 * few * 1e3, "ms");
    }
    printGoal("month-end <= 4 x B_scan", figure(t, "MonthEnd/" + m), 4 * scan, "s");
    const double month = figure(t, "ReportMonth/" + m);
    printGoal("a one-month detail <= 0.5 x B_scan", month, 0.5 * scan, "s");
    printReportFloor("ReportMonth/" + m, t, 0.5 * scan, clock);
    printGoal("a one-month summary <= 0.5 x B_scan", figure(t, "ReportSummaryMonth/" + m),
              0.5 * scan, "s");
    printReportFloor("ReportSummaryMonth/" + m, t, 0.5 * scan, clock);
    for (const char *name :
         {"StatisticReceipts", "StatisticIssues", "StatisticTransfersOut", "StatisticTransfersIn",
          "StatisticByUnit", "StatisticBySupplier", "StatisticConsumption",
          "StatisticReceiptsFromLines", "StatisticIssuesFromLines"}) {
        printGoal(std::string("a one-month ") + name + " <= 0.5 x B_scan",
                  figure(t, std::string(name) + "/" + m), 0.5 * scan, "s");
    }
    const double consumption = figure(t, "StatisticConsumption/" + m);
    const double consumptionRows = figure(s_figures, (&t == &s_seconds ? "floor/" : "floor_cpu/") +
                                                         std::string("StatisticConsumption/") + m);
    if (consumption > 0 && consumptionRows > 0) {
        std::printf("  the consumption's rows read by SQLite alone: %.3f s (%.2f x B_scan); "
                    "consumption / floor %.2f\n",
                    consumptionRows, consumptionRows / scan, consumption / consumptionRows);
    }
    printGoal("every voucher month's detail (24 in the full books) <= 3 x B_scan",
              figure(t, "Report24/" + m), 3 * scan, "s");
    printReportFloor("Report24/" + m, t, 3 * scan, clock);
    printGoal("a busy material's ledger over a year <= 50 ms",
              figure(t, "MaterialLedger/" + m) * 1e3, 50, "ms");
    const double single = figure(t, "ReportLastMonth/" + m);
    printGoal("ten sets across sets <= 1.2 x ten single reports", figure(t, "MultiSet10/" + m),
              single > 0 ? 12 * single : -1, "s");
    for (const char *name : {"SetSummary", "SetArrears", "SetCount", "SetReceipts"}) {
        const double one = figure(t, std::string(name) + "One/" + m);
        printGoal(std::string("ten sets <= 1.2 x ten of one, ") + name,
                  figure(t, std::string(name) + "10/" + m), one > 0 ? 12 * one : -1, "s");
    }

    const std::string durable = "DayOfVouchers/" + m;
    const double commands = figure(s_figures, "commands/" + durable);
    const double day = figure(t, durable);
    const double floor = figure(s_figures, (&t == &s_seconds ? "floor/" : "floor_cpu/") + durable);
    if (commands > 0 && day > 0 && floor > 0) {
        std::printf("  a day's vouchers (%.0f) through batch: %.3f ms a command in its own "
                    "transaction, the floor %.3f ms a one-row commit, floor / command %.2f "
                    "(the command line's start, %.0f ms wall, left out)\n",
                    figure(s_figures, "vouchers/" + durable), day / commands * 1e3,
                    floor / commands * 1e3, floor / day,
                    figure(s_figures, "start/" + durable) * 1e3);
        printGoal("a command <= 2 x a bare one-row commit", day / commands * 1e3,
                  2 * floor / commands * 1e3, "ms");
        const double same = figure(s_figures, (&t == &s_seconds ? "same/" : "same_cpu/") + durable);
        if (same > 0) {
            std::printf("  the same writes by SQLite alone, a commit a command: %.3f ms a "
                        "command, that floor / command %.2f\n",
                        same / commands * 1e3, same / day);
        }
        const double warm = figure(s_figures, "floor_warm/" + durable);
        if (&t == &s_seconds && warm > 0) {
            std::printf("  the floor once its log is written over in place: %.3f ms a commit, "
                        "floor / command %.2f\n",
                        warm / commands * 1e3, warm / day);
        }
    }
    const std::string atomic = "DayOfVouchersAtomic/" + m;
    const double vouchers = figure(s_figures, "vouchers/" + atomic);
    const double whole = figure(t, atomic);
    if (vouchers > 0 && whole > 0) {
        std::printf("  the same through batch --atomic: %.0f vouchers a second saved and posted\n",
                    vouchers / whole);
        printGoal("batch --atomic, a voucher <= 1/5000 s", whole / vouchers * 1e6, 200, "us");
        const double same = figure(s_figures, (&t == &s_seconds ? "same/" : "same_cpu/") + atomic);
        if (same > 0) {
            std::printf("  the same writes by SQLite alone in one transaction: %.0f vouchers a "
                        "second, that floor / voucher %.2f\n",
                        vouchers / same, same / whole);
        }
    }
}

void printSummary(const BenchConfig &config)
{
    std::printf("\nBooks: %s\n", qPrintable(config.describe()));
    if (!s_set->summary().isEmpty())
        std::printf("Made: %s\n", qPrintable(s_set->summary()));
    if (s_set->generationSeconds() > 0)
        std::printf("Generation: %.0f s, peak %.0f MB\n", s_set->generationSeconds(),
                    s_set->generationPeakMegabytes());
    for (int mode : config.modes) {
        const std::string m = modeName(mode);
        printGoals(m, s_seconds, "wall clock");
        printGoals(m, s_cpuSeconds, "processor time");
        for (const char *clock : {"", "_cpu"}) {
            const double layers =
                figure(s_figures, "layer_snapshot" + std::string(clock) + "/" + m);
            const double material =
                figure(s_figures, "material_snapshot" + std::string(clock) + "/" + m);
            if (layers >= 0 && material > 0) {
                std::printf("\n");
                printGoal(std::string("FIFO layer snapshot <= 2 x per-material snapshot") +
                              (*clock ? " (processor)" : " (wall)"),
                          layers * 1e3, 2 * material * 1e3, "ms");
                const double floor =
                    figure(s_figures, "layer_floor" + std::string(clock) + "/" + m);
                if (floor > 0) {
                    std::printf("  the floor: the latest closing's %.0f rows copied by SQLite "
                                "alone %.1f ms (%.1f x the per-material snapshot); layer snapshot "
                                "/ floor %.2f\n",
                                figure(s_figures, "layer_rows/" + m), floor * 1e3, floor / material,
                                layers / floor);
                }
            }
        }
    }
    const double average = s_set->fileMegabytes(2);
    const double fifo = s_set->fileMegabytes(1);
    if (average > 0 && fifo > 0) {
        std::printf("\nFiles: moving average %.0f MB, first in first out %.0f MB\n", average, fifo);
        printGoal("FIFO file <= 1.5 x moving-average file", fifo, 1.5 * average, "MB");
    }
    for (int mode : config.modes)
        std::printf("%s", qPrintable(s_set->largestObjects(mode, 8)));
    std::printf("\n");
    printGoal("peak memory of the benchmark runs", s_peak, 200, "MB");
    if (s_set->generationSeconds() > 0)
        printGoal("peak memory making the books", s_set->generationPeakMegabytes(), 200, "MB");
}

void registerAll(const BenchConfig &config)
{
    for (int mode : config.modes) {
        const std::string m = modeName(mode);
        benchmark::RegisterBenchmark(("B_point/" + m).c_str(), pointLookup, mode, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("B_point_fresh/" + m).c_str(), pointLookup, mode, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("B_scan/" + m).c_str(), fullScan, mode)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("B_commit/" + m).c_str(), commitOneRow, mode)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("B_commit_empty/" + m).c_str(), commitEmpty, mode)
            ->Unit(benchmark::kMillisecond);
        for (const bool issue : {false, true}) {
            const std::string key = (issue ? "PostIssue20/" : "PostStockIn20/") + m;
            benchmark::RegisterBenchmark(key.c_str(), postVoucher, mode, issue, key)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(200);
        }
        if (mode == 1) {
            for (int layers : {10, 10000}) {
                const std::string key = "FifoIssue/layers:" + std::to_string(layers);
                benchmark::RegisterBenchmark(key.c_str(), fifoIssue, layers, key)
                    ->Unit(benchmark::kMillisecond)
                    ->UseManualTime()
                    ->Iterations(400);
            }
        }
        const auto report = [&](const std::string &name, auto... args) {
            const std::string key = name + "/" + m;
            return benchmark::RegisterBenchmark(key.c_str(), args..., key)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime();
        };
        report("ReportMonth", stockReport, mode, false, Periods::AnyMonth)->Iterations(6);
        report("ReportSummaryMonth", stockReport, mode, true, Periods::AnyMonth)->Iterations(6);
        report("StatisticReceipts", statistic, mode, Statistic::Receipts, false)->Iterations(6);
        report("StatisticIssues", statistic, mode, Statistic::Issues, false)->Iterations(6);
        report("StatisticTransfersOut", statistic, mode, Statistic::TransfersOut, false)
            ->Iterations(6);
        report("StatisticTransfersIn", statistic, mode, Statistic::TransfersIn, false)
            ->Iterations(6);
        report("StatisticByUnit", statistic, mode, Statistic::ByUnit, false)->Iterations(6);
        report("StatisticBySupplier", statistic, mode, Statistic::BySupplier, false)->Iterations(6);
        report("StatisticConsumption", statistic, mode, Statistic::Consumption, false)
            ->Iterations(6);
        report("StatisticReceiptsFromLines", statistic, mode, Statistic::Receipts, true)
            ->Iterations(6);
        report("StatisticIssuesFromLines", statistic, mode, Statistic::Issues, true)->Iterations(6);
        report("Report24", stockReport, mode, false, Periods::All)->Iterations(2);
        report("MaterialLedger", materialLedger, mode)->Iterations(20);
        report("ReportLastMonth", stockReport, mode, false, Periods::LastMonth)->Iterations(3);
        report("MultiSet10", multiSet, mode)->Iterations(2);
        for (const auto &[name, kind] :
             {std::pair{"SetSummary", SetReport::Summary},
              std::pair{"SetArrears", SetReport::Arrears}, std::pair{"SetCount", SetReport::Count},
              std::pair{"SetReceipts", SetReport::Receipts}}) {
            report(std::string(name) + "One", setSummary, mode, kind, 1)->Iterations(3);
            report(std::string(name) + "10", setSummary, mode, kind, 10)->Iterations(2);
        }
        for (const bool atomic : {false, true}) {
            const std::string key = (atomic ? "DayOfVouchersAtomic/" : "DayOfVouchers/") + m;
            benchmark::RegisterBenchmark(key.c_str(), dayOfVouchers, mode, atomic, key)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(2);
        }
        // Last: a closing seals the month the vouchers above are dated in.
        const std::string key = "MonthEnd/" + m;
        benchmark::RegisterBenchmark(key.c_str(), monthEnd, mode, key)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(2);
    }
}

} // namespace
} // namespace varnock::bench

int main(int argc, char **argv)
{
    using namespace varnock::bench;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const BenchConfig config = BenchConfig::fromEnvironment();
    std::fprintf(stderr, "bench: books %s\n", qPrintable(config.describe()));
    try {
        s_set = std::make_unique<BenchSet>(config);
        registerAll(config);
        CollectingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        printSummary(config);
        if (Section::s_profile)
            printStatementTimes();
    } catch (const varnock::Refusal &r) {
        std::fprintf(stderr, "bench: refused: %s\n", qPrintable(r.text));
        return 1;
    } catch (const varnock::StoreError &e) {
        std::fprintf(stderr, "bench: store error: %s\n", qPrintable(e.text));
        return 3;
    }
    s_set.reset();
    benchmark::Shutdown();
    return 0;
}
