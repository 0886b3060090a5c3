#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// Opening balances (ZWCSH) and the stock they put into KC. Under moving average (mode 2) a
// material opens with one row; under first in first out (mode 1) with one row per unit price,
// each an opening cost layer, KC holding the sums. Prices and amounts are kept through the
// amount format, quantities through the quantity format. A planned-price material (JJFS)
// enters KC at its quantity × JHDJ; its ZWCSH rows keep what the site paid.
class OpeningBalances
{
public:
    struct Row
    {
        qint64 id = 0;
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        bool jjfs = false;
        Decimal jhdj; // planned unit price
        Decimal kcdj; // unit price
        Decimal kcsl; // quantity
        Decimal kcje; // amount
    };

    // The figures as typed; a missing one is an empty cell.
    struct Figures
    {
        std::optional<Decimal> price;
        std::optional<Decimal> quantity;
        std::optional<Decimal> amount;
    };

    struct NewRow
    {
        QString clbh;
        Figures figures;
    };

    static const QString Title;        // "提示"
    static const QString ClosedText;   // "已经做过业务不允许再做初始化！！！"
    static const QString EmptyFigures; // "具体数据不允许为空！"

    // `mode` 1 = first in first out; anything else is moving average.
    OpeningBalances(Database &db, int mode, const Formats &formats);

    bool isFirstInFirstOut() const { return m_fifo; }
    const Formats &formats() const { return m_formats; }

    QList<Row> rows() const;
    // Sum of all opening amounts.
    Decimal total() const;
    // True once a month-end closing exists: the opening balances are then fixed, because
    // closings and the first-in-first-out layers already build on them.
    bool isClosed() const;

    // Saves the new rows in order, all or none: the first refused row undoes the others, so
    // the same grid can be corrected and saved again. Throws Refusal.
    void add(const QList<NewRow> &rows);
    // New figures for a saved row; KC moves by the difference only.
    void update(qint64 id, const Figures &figures);
    // A screen's whole save: the new rows, then the changed ones, in one transaction.
    void save(const QList<NewRow> &rows, const QList<QPair<qint64, Figures>> &changes);
    // Mode 1 takes the row's figures out of KC; mode 2 removes the material's KC row.
    void remove(qint64 id);

    // What the grid shows while typing: amount = price × quantity, or price = amount ÷
    // quantity (none while the quantity is zero), each through the display formats.
    Decimal amountFor(Decimal price, Decimal quantity) const;
    std::optional<Decimal> priceFor(Decimal amount, Decimal quantity) const;
    // What `quantity` of a planned-price material at `jhdj` is worth in stock.
    Decimal plannedValue(Decimal quantity, Decimal jhdj) const
    {
        return m_formats.amountAt(quantity, jhdj);
    }

private:
    struct Checked
    {
        Decimal price;
        Decimal quantity;
        Decimal amount;
    };
    Checked checked(const Figures &figures) const;
    void refuseWhenClosed() const;
    void refuseDuplicate(const QString &clbh, Decimal price, qint64 exceptId) const;
    void addToStock(const QString &clbh, Decimal quantity, Decimal amount);

    Database &m_db;
    bool m_fifo;
    Formats m_formats;
};

} // namespace varnock
