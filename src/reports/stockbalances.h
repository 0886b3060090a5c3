#pragma once

#include "ledger/periodmovements.h"
#include "store/decimal.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <utility>

namespace varnock {

class Database;

// One issue column of the stock reports: issues of kind '1' to one consuming unit, or every
// transfer out (kind '2', any unit) for the column "调拨". Both net of their returns.
struct UnitColumn
{
    static const QString TransferCode; // "调拨"
    static const QString TransferName; // "调拨合计"

    QString code; // LLDW.BH, or TransferCode
    QString name; // LLDW.MC, or TransferName

    bool isTransfer() const { return code == TransferCode; }
    static UnitColumn transfers() { return {TransferCode, TransferName}; }
};

// A quantity and its amount.
struct Figure
{
    Decimal quantity;
    Decimal amount;

    bool isZero() const { return quantity.isZero() && amount.isZero(); }
    Figure &operator+=(const Figure &other)
    {
        quantity += other.quantity;
        amount += other.amount;
        return *this;
    }
    Figure &operator-=(const Figure &other)
    {
        quantity -= other.quantity;
        amount -= other.amount;
        return *this;
    }
    friend Figure operator+(Figure a, const Figure &b) { return a += b; }
    friend Figure operator-(Figure a, const Figure &b) { return a -= b; }
    friend bool operator==(const Figure &, const Figure &) = default;
};

// How one material (under first in first out: one material at one unit price) moved in a
// period, over posted movements only.
struct StockFigures
{
    static constexpr int UnitColumns = 3;

    Figure opening;                          // everything dated before the period
    Figure receipts;                         // stock-in lines less returns to suppliers
    std::array<Figure, UnitColumns> units{}; // the chosen unit columns, net of returns
    Figure issues;                           // kind '1' to any unit, net of returns
    Figure transfers;                        // kind '2', net of returns
    Figure counts;                           // count surpluses and deficits
    Decimal raised;                          // amount adjustments above zero
    Decimal lowered;                         // amount adjustments below zero (negative)

    // Opening + receipts − issues − transfers + counts + adjustments.
    Figure closing() const;
    // Nothing at all: the report leaves such a material out.
    bool isEmpty() const;
    StockFigures &operator+=(const StockFigures &other);
};

// The stock of every material at the start of a period and what moved it in the period,
// read from the books under the set's costing method:
//
// - receipts (RKD with a voucher number, no direct delivery) and returns to suppliers (THD),
//   issues (LLD with a voucher number, no direct delivery) and issue returns (TKD), all
//   posted; count differences (PYK) and amount adjustments (CLKVMT) as stored;
// - under moving average one row per material, issues at their posted amounts;
// - under first in first out one row per material and unit price: receipts, returns and
//   counts at their own prices, issues at the price of each layer they were drawn from,
//   adjustments without a price;
// - a planned-price material (JJFS) at quantity × JHDJ in every figure, under first in first
//   out at the one price JHDJ; adjustments do not change its value.
//
// The stock before a day starts from the latest closing on or before it (YJKCB, under first
// in first out XJXCYJKCB) and adds the movements dated after that closing; a closed period
// never changes, so this is the sum of the whole history. Without such a closing the opening
// balances (ZWCSH) and every movement before the day are read. Likewise the movements of a
// whole closed period inside the range asked for are read from its closing's sums (YJFSB),
// those of the rest from the lines.
class StockBalances
{
public:
    // The price a row is kept at; none under moving average and for adjustments.
    using Price = std::optional<qint64>; // Decimal::raw()
    using Key = std::pair<QString, Price>;

    enum class Opening {
        FromClosing, // the latest closing on or before the day, then the movements after it
        FromHistory, // the opening balances and every movement before the day
    };

    // How finely the rows are kept: under first in first out by material and unit price, or
    // (for a summary, which adds the prices of a material up anyway) one row per material
    // without a price, the same sums with far fewer rows.
    enum class Grain { AsKept, Material };

    StockBalances(Database &db, int accountingMode, Grain grain = Grain::AsKept);

    bool byPrice() const { return m_byPrice; }

    // The stock before `day`; of one material when `clbh` is given. Zero rows left out.
    std::map<Key, Figure> before(const QDate &day, const QString &clbh = {},
                                 Opening opening = Opening::FromClosing) const;
    // The opening stock and the movements from `from` to `to`, both included, with the
    // issues of `units` (at most three) in their columns; of one material when `clbh` is
    // given. Rows with nothing in them are left out.
    std::map<Key, StockFigures> period(const QDate &from, const QDate &to,
                                       const QList<UnitColumn> &units,
                                       const QString &clbh = {}) const;

    // JHDJ of the planned-price materials.
    const QHash<QString, Decimal> &plannedPrices() const { return m_planned; }

private:
    // Adds the stock rows of `sql` (a closing's or the opening balances').
    void addStock(const char *sql, const QVariantList &values, const QString &clbh,
                  std::map<Key, StockFigures> &into) const;
    // Adds the movements dated from `first` to `last` (both included) as their lines give them.
    void addScanned(const QString &first, const QString &last,
                    const PeriodMovements::Options &options, const QList<UnitColumn> &units,
                    std::map<Key, StockFigures> &into) const;
    // The same, each whole closed period inside the range read from its closing's sums.
    void addMovements(const QString &first, const QString &last,
                      const PeriodMovements::Options &options, const QList<UnitColumn> &units,
                      std::map<Key, StockFigures> &into) const;
    // The stock before `day` as the rows' opening figures.
    std::map<Key, StockFigures> openingRows(const QDate &day, const QString &clbh,
                                            Opening opening) const;
    // Planned-price materials at their planned price, empty rows dropped.
    void revalue(std::map<Key, StockFigures> &rows) const;

    Database &m_db;
    bool m_fifo;
    bool m_byPrice; // rows by unit price
    QHash<QString, Decimal> m_planned;
};

} // namespace varnock
