#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {
class Database;
}

namespace varnock::bench {

class BenchSet;

// A day's vouchers as the command line takes them: each voucher saved ("stock-in save",
// "issue save") and then posted ("post … --voucher"), as a clerk enters them one by one.
struct DayOfVouchers
{
    QString file;
    int vouchers = 0;
    int commands = 0;
    // The vouchers in the file's order: a stock-in voucher (true) or an issue voucher, and its
    // system number.
    QList<std::pair<bool, qint64>> saved;
};

// What one run took: wall clock and processor time of this thread, in seconds.
struct Timing
{
    double wall = 0;
    double cpu = 0;
};

// Writes `vouchers` vouchers dated `day` on the set of `mode` (half purchases of one to four
// lines, half requisitions of one to five), numbered on from the set's greatest numbers.
DayOfVouchers writeDayOfVouchers(BenchSet &set, int mode, const QDate &day, int vouchers,
                                 quint32 seed);

// A batch of one cheap command: what running the command line costs before any voucher
// (opening the account set, the operator's login with its deliberately slow password hash).
DayOfVouchers startOnly(BenchSet &set);

// The number of vouchers the books hold on an average day with vouchers.
int vouchersPerDay(BenchSet &set, int mode);

// Runs "varnock-cli batch [--atomic] FILE" in this process on the set of `mode`, which is
// released for it. Throws std::runtime_error when the batch fails.
Timing runBatch(BenchSet &set, int mode, const DayOfVouchers &day, bool atomic);

// The durable-commit floor: `commits` transactions of one inserted row each, by SQLite
// alone on a file of its own in `folder`, under WAL and synchronous=FULL. A new file's log
// grows with every commit until its first checkpoint (a thousand pages); `warm` times the
// commits after that, when the log is written over in place as it is in a file in use.
Timing bareCommits(const QString &folder, int commits, bool warm);

// The physical floor of a day's vouchers once `day` has run: the rows each of its vouchers wrote
// when it was saved and posted (its lines into RKD or LLD with their indexes, then their posted
// flag and amount, its materials' stock, under first in first out its allocation pieces, an
// operation-log row a command) written again by SQLite alone with statements prepared
// beforehand, a commit per command, or one for the whole day (`atomic`, under the page cache of
// "batch --atomic"). The copies are removed afterwards.
Timing sameWritesBare(Database &db, const DayOfVouchers &day, bool atomic);

} // namespace varnock::bench
