#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// What moved in each closed period, stored by the month-end beside its closing stock (YJFSB):
// the rows of PeriodMovements for the movements dated after the previous closing's day up to
// and including the closing's own day, every consuming unit told apart. A closed period never
// changes, so the reports read a whole closed period from here instead of from its lines.
//
// A closing whose sums are stored is marked in YJSJB.FSBZ; a period in which nothing moved has
// no rows but is marked all the same. Closings made before the sums were kept are unmarked
// (and files of that time have no YJFSB at all): they are read from their lines until the file
// is next opened for writing, which fills them.
class ClosingSums
{
public:
    struct Closing
    {
        int yjid = 0;
        QString first; // the day after the previous closing; PeriodMovements::Earliest
        QString last;  // the closing's own day
        bool summed = false;
    };

    // Days read one way: a whole closed period from its sums, or days from their lines.
    struct Span
    {
        QString first;
        QString last;
        std::optional<int> yjid; // the closing whose sums hold the span; none: the lines
    };

    struct Difference
    {
        QString clbh;
        QString what;
    };

    ClosingSums(Database &db, int accountingMode);

    // Whether the file keeps closing sums at all (a file of an older version opened read-only
    // does not).
    static bool kept(const Database &db);
    // Every closing, oldest first, with the period it closed.
    static QList<Closing> closings(const Database &db);
    // The days from `first` to `last` ('yyyy-MM-dd', both included) in order, cut into the
    // whole closed periods inside them whose sums are stored and the days between those.
    static QList<Span> spans(const Database &db, const QString &first, const QString &last);

    // Stores the sums of closing `yjid`, whose YJSJB row is written, and marks it.
    void write(int yjid);
    // Stores the sums of every unmarked closing; returns how many. One transaction.
    int fillMissing();
    // Where the latest closing's sums differ from the movements of its period regrouped, one
    // per row. Lines unposted since the closing (cancel posting unposts those dated on the
    // closing day) count as they did when it closed.
    QList<Difference> latestDifferences() const;

private:
    void write(const Closing &closing);

    Database &m_db;
    bool m_fifo;
};

} // namespace varnock
