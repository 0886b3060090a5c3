#pragma once

#include "store/decimal.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace varnock {

class Database;
class Query;

// What moved the stock of each material in a period, over the movements the stock balances
// count: receipts (RKD with a voucher number, no direct delivery) and returns to suppliers
// (THD), issues (LLD with a voucher number, no direct delivery) and issue returns (TKD), count
// differences (PYK) and amount adjustments (CLKVMT), the vouchers posted.
//
// Every statement gives rows (CLBH, price, kind, ZL, LLDWBH, quantity, amount) grouped by the
// first five. Under moving average the price is empty; under first in first out receipts,
// returns and counts carry their own price and issues the price of each layer their pieces
// were drawn from (a receipt or an opening balance). Adjustments carry no price and no
// quantity. The month-end stores these rows for the period it closes (YJFSB), so the same
// definition serves the closed periods and the open one.
class PeriodMovements
{
public:
    // As stored in YJFSB.LX.
    enum class Kind {
        Receipt = 1,
        Return = 2,      // to a supplier
        Issue = 3,       // kind '1' or a transfer out ('2'), told apart by ZL
        IssueReturn = 4, // of an issue or a transfer
        Count = 5,
        Raised = 6,  // adjustments above zero
        Lowered = 7, // adjustments below zero
    };

    struct Options
    {
        QString clbh; // one material; all when empty
        // The consuming units issue rows are told apart by; the issues to any other unit are
        // one row without a unit. Every unit when unset.
        std::optional<QStringList> units;
        bool movements = true;   // every kind but the adjustments
        bool adjustments = true; // Raised and Lowered
        // Only posted vouchers. A closed period held only posted vouchers when it closed.
        bool postedOnly = true;
    };

    struct Statement
    {
        QString sql;
        QVariantList values;
    };

    struct Row
    {
        QString clbh;
        std::optional<qint64> price; // Decimal::raw()
        Kind kind = Kind::Receipt;
        QString zl;
        QString lldwbh;
        Decimal quantity;
        Decimal amount;
    };

    // The same row with its texts as stored, valid until the next row: for readers of many
    // rows.
    struct RowView
    {
        QByteArrayView clbh;
        std::optional<qint64> price;
        Kind kind = Kind::Receipt;
        QByteArrayView zl;
        QByteArrayView lldwbh;
        Decimal quantity;
        Decimal amount;
    };

    // Before every date the books hold.
    static const QString Earliest;

    explicit PeriodMovements(bool byPrice);

    // The movements dated from `first` to `last`, both included ('yyyy-MM-dd').
    QList<Statement> dated(const QString &first, const QString &last, const Options &options) const;
    // The same rows as closing `yjid` stored them for its period.
    Statement closed(int yjid, const Options &options) const;
    // Writes the movements dated from `first` to `last` into YJFSB as closing `yjid`'s sums:
    // every unit told apart, rows whose quantity and amount are both zero left out.
    void store(Database &db, int yjid, const QString &first, const QString &last) const;

    // The current row of one of the statements above.
    static Row row(const Query &q);
    static RowView view(const Query &q);

private:
    bool m_byPrice;
};

} // namespace varnock
