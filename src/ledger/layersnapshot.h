#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace varnock {

class Database;

// The first-in-first-out closing stock per material and unit price (XJXCYJKCB): receipts and
// opening balances at their own price, less returns to suppliers, less the pieces issued from
// each layer at that layer's price, plus issue returns and count differences.
//
// A closing keeps only the pairs whose quantity or amount is not zero; a pair that is absent
// holds nothing. Amounts are the exact sums of the movements. Each closing is built from the
// previous closing's pairs plus the movements dated after it up to the closing day, which
// gives the same pairs as regrouping the whole history. The first closing regroups the
// history, and so does a closing that follows one written when every pair ever seen was
// kept (its amounts rounded): rows once written are never changed.
class LayerSnapshot
{
public:
    struct Pair
    {
        QString clbh;
        QVariant price; // JCDJ as stored: a movement without a price groups under NULL
        Decimal quantity;
        Decimal amount;
    };

    struct Difference
    {
        QString clbh;
        QString what;
    };

    explicit LayerSnapshot(Database &db);

    // Writes the pairs of new closing `yjid` on `day`, before its YJSJB row is written.
    void write(int yjid, const QDate &day);
    // The whole history up to `day` regrouped: the pairs a closing on that day holds.
    QList<Pair> regrouped(const QDate &day) const;
    // The pairs stored for closing `yjid`, zero pairs left out, by material and price.
    QList<Pair> stored(int yjid) const;
    // Where the latest closing differs from the history regrouped at its day, one per pair. A
    // closing written when every pair was kept is compared at its amounts rounded to the
    // amount format, as it was written then; a closing that froze no stock (empty books) is
    // not compared.
    QList<Difference> latestDifferences(const Formats &formats) const;

private:
    bool keepsEveryPair(int yjid) const;

    Database &m_db;
};

} // namespace varnock
