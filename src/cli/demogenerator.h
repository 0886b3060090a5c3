#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>

namespace varnock {
class Database;
} // namespace varnock

namespace varnock::cli {

// Fills a freshly created account set with the books of a few months (or years) of a site
// store, through the same core operations the screens use: the library catalogue (plus coded
// synthetic materials when more are asked for than the library holds), suppliers, consuming
// units, opening balances, a first closing, then each month purchases and transfers in and
// requisitions and transfers out, saved and posted, every month but the last one closed on
// its last day.
//
// The same seed gives the same books. Materials are skewed: a fifth of them carry four fifths
// of the lines. Issues never take more than the generator's own running stock of a material,
// so every issue voucher posts. Writes are batched: `batchSize` vouchers share one outer
// transaction, which is what lets a million lines be written in minutes.
class DemoGenerator
{
public:
    // Runs one command-like step as its menu command: checks the right, writes the
    // operation-log record and runs `work` in one transaction.
    using Perform =
        std::function<void(const QString &menuCommand, const std::function<void()> &work)>;
    // `done` of `total` voucher lines written so far, and what is being written.
    using Progress = std::function<void(qint64 done, qint64 total, const QString &step)>;

    struct Options
    {
        qint64 materials = 60;
        int months = 3;
        qint64 stockInLines = 36; // purchases and transfers in, over all months
        qint64 issueLines = 36;   // requisitions and transfers out; 0 for none
        int units = 6;            // consuming units; beyond the six named ones they are numbered
        int mode = 2;             // 1 first in first out, otherwise moving average
        quint32 seed = 20261207u;
        int batchSize = 200; // vouchers per transaction
        int pageCacheMegabytes = 64; // of the file kept in memory while the books are written
        Progress progress;
    };

    struct Summary
    {
        qint64 materials = 0; // materials in the catalogue
        qint64 openingRows = 0;
        qint64 stockInVouchers = 0;
        qint64 stockInLines = 0;
        qint64 issueVouchers = 0;
        qint64 issueLines = 0;
        int closings = 0;
    };

    // The day of the first closing for books whose last voucher month is `today`'s: the last
    // day of the month before the first voucher month (today itself without voucher months).
    // The account set is created with the first of that month as its opening date.
    static QDate openingClosing(const QDate &today, int months);

    DemoGenerator(Database &db, const Formats &formats, const Options &options);

    // Writes the books into the account set, whose catalogue and books must still be empty.
    Summary run(const QDate &today, const Perform &perform);

private:
    struct Material
    {
        QString clbh;
        Decimal price; // the price receipts wander around
        bool planned = false;
        bool dear = false; // sold by the ton: smaller quantities
        Decimal stock;     // what the books hold now
    };

    void addSyntheticMaterials(qint64 wanted);
    void addCounterparties();
    void addOpeningBalances(qint64 wanted);
    void close(const QDate &day);
    // A lease with a return and a rent payment, and a plan of the busiest materials.
    void addLeasesAndPlans(const QDate &firstDay, const QDate &lastDay);

    void month(const QDate &start, const QDate &lastDay, qint64 stockInLines, qint64 issueLines);
    qint64 stockInBatch(const QDate &start, const QDate &lastDay, qint64 lines);
    qint64 issueBatch(const QDate &start, const QDate &lastDay, qint64 lines);
    // Runs `work` in one transaction; the first batch of each step of a month runs under its
    // menu command, so the operation log gets one record per month and step.
    void inSteps(const QStringList &commands, const std::function<void()> &work);

    int pickMaterial();
    int pickIssuable();
    QDate pickDay(const QDate &start, const QDate &lastDay);
    void report(const QString &step);

    Database &m_db;
    Formats m_formats;
    Options m_options;
    Perform m_perform;
    QRandomGenerator m_random;
    QList<Material> m_materials;
    QList<int> m_hot;  // the fifth of the materials that gets most of the lines
    QList<int> m_cold; // the others
    QStringList m_units;
    int m_supplierCount = 0;
    QStringList m_loggedThisMonth;
    Summary m_summary;
};

} // namespace varnock::cli
