#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace varnock {
class AccountSetSession;
class Database;
} // namespace varnock

namespace varnock::bench {

// The size of the synthetic books, from the environment:
//   VARNOCK_BENCH_SIZE       full (default: 10,000 materials, 1,000,000 lines, 24 months)
//                            or small (1,000 materials, 20,000 lines, 3 months)
//   VARNOCK_BENCH_MATERIALS, VARNOCK_BENCH_LINES, VARNOCK_BENCH_MONTHS   override one figure
//   VARNOCK_BENCH_MODES      average,fifo (default both)
//   VARNOCK_BENCH_CACHE      a folder: the books of each mode are made there once and copied
//                            from it by later runs with the same figures
struct BenchConfig
{
    qint64 materials = 10000;
    qint64 lines = 1000000; // stock-in and issue lines together
    int months = 24;
    QList<int> modes = {2, 1};
    QString cache;
    int batchSize = 200;

    static BenchConfig fromEnvironment();
    QString describe() const;
    // What the account set of one mode was made with (the cache's marker).
    QString describe(int mode) const;
};

// The account sets the benchmarks measure: one per accounting mode in one data folder (set 1
// moving average, set 2 first in first out), made by the demo generator or copied from the
// cache into a temporary folder, so that every run starts from the same books.
class BenchSet
{
public:
    explicit BenchSet(const BenchConfig &config);
    ~BenchSet();

    bool has(int mode) const;
    // The open account set of a mode, opened again when it was released.
    AccountSetSession &session(int mode);
    // Closes the account set of a mode, so that another program (the command line) may open it.
    void release(int mode);
    QString folder() const { return m_work.path(); }
    static qint64 setNumber(int mode);
    Database &db(int mode);
    Formats formats(int mode);

    // The day the books were made for: the last voucher month is its month.
    static QDate today();
    // A day on which new vouchers may be dated: after the latest closing, never before today.
    QDate openDay(int mode);
    // Materials with plenty in stock, busiest first.
    QStringList stockedMaterials(int mode, int count);

    // Peak resident memory of the process, in megabytes.
    static double peakMegabytes();
    // The size of the set's file as made (before the benchmarks write to it), in megabytes.
    double fileMegabytes(int mode) const { return m_fileMegabytes.value(mode, -1); }
    // The biggest tables and indexes of the set's file, one line each.
    QString largestObjects(int mode, int count);
    double generationSeconds() const { return m_generationSeconds; }
    double generationPeakMegabytes() const { return m_generationPeak; }
    QString summary() const { return m_summary; }

private:
    void generate(const QString &folder, const QList<int> &modes);
    void copyTree(const QString &from, const QString &to);

    BenchConfig m_config;
    QTemporaryDir m_work;
    std::unique_ptr<Database> m_master;
    std::map<int, std::unique_ptr<AccountSetSession>> m_sessions;
    QMap<int, double> m_fileMegabytes;
    double m_generationSeconds = 0;
    double m_generationPeak = 0;
    QString m_summary;
};

// What the benchmarks write on top of the books, through the same core operations.
namespace Vouchers {

struct Line
{
    QString clbh;
    Decimal quantity;
    Decimal price;
};

// Saves a purchase voucher and returns its system number (unposted).
qint64 saveStockIn(Database &db, int mode, const Formats &formats, const QDate &day,
                   const QList<Line> &lines);
// Saves a requisition priced as the entry screen prices it and returns its system number.
qint64 saveIssue(Database &db, int mode, const Formats &formats, const QDate &day,
                 const QList<Line> &lines);
void post(Database &db, int mode, const Formats &formats, bool issue, qint64 xtbh);
// A new material under the first category that has materials.
QString addMaterial(Database &db, const QString &name);

} // namespace Vouchers

} // namespace varnock::bench
