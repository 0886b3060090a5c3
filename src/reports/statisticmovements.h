#pragma once

#include "reports/stockbalances.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <functional>
#include <map>
#include <optional>

namespace varnock {

class Database;

// What a statistic counts: posted lines only, each net of its returns.
enum class Movement {
    Receipts,     // stock-in lines with a voucher number, less returns to suppliers
    Issues,       // issue lines of kind '1' (any kind but a transfer), less their returns
    TransfersOut, // issue lines of kind '2', less their returns
    TransfersIn,  // stock-in lines of kind "调拨入库", less returns of kind "调拨退货"
};

// The movements the statistics are made of, read from the books of one account set. Nothing
// is written: the set may be open only to read. A whole closed period is read from its
// closing's movement sums where they hold what a statistic tells apart (the issues, and the
// receipts per material), with the direct deliveries beside them from their lines; the rest
// from the lines.
//
// Under first in first out an issue is valued piece by piece at the price of the layer it was
// drawn from (the receipt's SJDJ or the opening balance's KCDJ), as the stock reports value it;
// returns at THDJ. A planned-price material (JJFS) moves at quantity × JHDJ, under first in
// first out at the one price JHDJ. Direct deliveries count on both sides: the supplier supplied
// them and the unit consumed them.
class StatisticMovements
{
public:
    using Key = StockBalances::Key;
    using Price = StockBalances::Price;

    StatisticMovements(Database &db, int accountingMode);

    bool byPrice() const { return m_fifo; }

    // The movement dated from `from` to `to`, both included (a null `from`: from the first day
    // of the books), per material; with `layers` under first in first out per material and
    // unit price. Rows that come to nothing in quantity and amount are left out. The issues
    // from the first day on start from the running totals of the latest closing that keeps
    // them (IssueTotals) when no layer price is asked for.
    std::map<Key, Figure> perMaterial(Movement movement, const QDate &from, const QDate &to,
                                      bool layers) const;
    // Every issue (Movement::Issues) up to and including `day` per material, amounts as booked:
    // a planned-price material's not yet at plan. Read as perMaterial() reads it, or with
    // `fromLines` from the lines alone. Rows that come to nothing are left out.
    std::map<QString, Figure> issuesToDate(const QDate &day, bool fromLines = false) const;
    // The issues of closing `yjid`'s period, dated from `first` to `last` ('yyyy-MM-dd'): its
    // movement sums and the direct deliveries beside them, as booked.
    std::map<QString, Figure> closedIssues(int yjid, const QString &first,
                                           const QString &last) const;
    // The same per counterparty and material: the consuming unit (LLDWBH) of issues and
    // transfers out, the supplier (GYSBH) of receipts and transfers in.
    std::map<QString, std::map<QString, Figure>> perParty(Movement movement, const QDate &from,
                                                          const QDate &to) const;

    // JHDJ of the planned-price materials, read when first asked for.
    const QHash<QString, Decimal> &plannedPrices() const;

private:
    struct Moved
    {
        QString clbh;
        Price price;
        QString party;
        Figure figure;
    };
    using Sink = std::function<void(const Moved &)>;
    // What a reading tells apart beside the material.
    struct Detail
    {
        bool prices = false;  // the unit price, under first in first out
        bool parties = false; // the counterparty
    };

    // Hands every grouped row of the movement to `add`, returns negated: each whole closed
    // period from its closing's sums where they hold what is asked for, the rest from the
    // lines.
    void read(Movement movement, const QDate &from, const QDate &to, const Detail &detail,
              const Sink &add) const;
    // The rows of the lines dated from `first` to `last`; with `directOnly` only those of
    // direct deliveries, which the closings' sums leave out.
    void readLines(Movement movement, const QString &first, const QString &last,
                   const Detail &detail, bool directOnly, const Sink &add) const;
    // The rows of closing `yjid`'s sums.
    void readSums(Movement movement, int yjid, const Detail &detail, const Sink &add) const;
    void run(const QString &sql, const QVariantList &values, bool isReturn, const Sink &add) const;
    // Every issue up to and including `to`: the running totals of the latest closing on or
    // before it that keeps them, then the issues after that closing; all of them read when no
    // closing keeps totals.
    void readIssuesToDate(const QDate &to, const Detail &detail, const Sink &add) const;
    // A material's figure at its planned price where it has one.
    Figure valued(const QString &clbh, Figure f) const;

    Database &m_db;
    bool m_fifo;
    mutable std::optional<QHash<QString, Decimal>> m_planned;
};

} // namespace varnock
