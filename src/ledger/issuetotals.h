#pragma once

#include "store/decimal.h"

#include <QList>
#include <QString>

#include <map>
#include <optional>
#include <utility>

namespace varnock {

class Database;

// The running totals of the issues, kept by the month-end beside each closing's movement sums
// (LJXHB): per material, every issue up to and including the closing's day as the consumption
// statistic counts it (issues of any kind but a transfer out, direct deliveries included, less
// their returns), amounts as booked. The statistic's to-date column then starts from one
// closing's rows instead of from the sums of every closed period.
//
// A closing whose totals are stored is marked in YJSJB.LJBZ. Closings made before the totals
// were kept are unmarked and stay so: whatever reads to such a day reads as it did before. A
// closing's totals are the previous closing's plus what its own period issued (its movement
// sums and the direct deliveries beside them); a closing whose previous one has none reads
// every issue up to its day once, as the statistic reads it.
class IssueTotals
{
public:
    // Quantity and amount per material (CLBH).
    using Totals = std::map<QString, std::pair<Decimal, Decimal>>;

    struct Closing
    {
        int yjid = 0;
        QString day; // 'yyyy-MM-dd'
    };

    struct Difference
    {
        QString clbh;
        QString what;
    };

    IssueTotals(Database &db, int accountingMode);

    // Whether the file keeps running totals at all (a file of an older version opened
    // read-only does not).
    static bool kept(const Database &db);
    // The latest closing dated on or before `day` ('yyyy-MM-dd') whose totals are stored.
    static std::optional<Closing> latest(const Database &db, const QString &day);
    // The stored totals of closing `yjid`.
    static Totals of(const Database &db, int yjid);

    // Stores the totals of closing `yjid`, whose YJSJB row and movement sums are written, and
    // marks it.
    void write(int yjid);
    // Where the latest closing's totals differ from every issue up to its day regrouped from
    // the lines, one per material.
    QList<Difference> latestDifferences() const;

private:
    Database &m_db;
    int m_mode;
};

} // namespace varnock
