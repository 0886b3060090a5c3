#pragma once

#include "ledger/posting.h"
#include "print/reporttable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// The material ledger (材料流水账): per material a block headed by its name, specification
// and unit, the stock carried over from before the period ("上期结转"), then every movement
// of the period in date order (receipts, returns to suppliers, issues, issue returns, count
// differences, amount adjustments; under first in first out an issue line per piece drawn
// from a layer), each with the running balance and its unit price.
//
// The carried-over stock is the stock before the start date, the same figure the stock
// reports open with, so the running balance ends where their closing does.
class MaterialLedger
{
public:
    static const QString Name;           // "材料流水账": title and workbook template
    static const QString DatesText;      // "终止日期要大于起始日期！"
    static const QString NoMaterialText; // "请选择系统设置的材料！"
    static const QString CarriedOver;    // "上期结转"

    // The voucher line a ledger line comes from, for opening the voucher.
    struct Source
    {
        Posting::Family family;
        QString zl; // the voucher's kind, which tells its screen
        qint64 xtbh = 0;
        qint64 lineId = 0;
    };

    struct Ledger
    {
        ReportTable table;
        // One per row of the table: the line's voucher, none for headers, carried-over stock,
        // count differences and adjustments.
        QList<std::optional<Source>> sources;
    };

    MaterialLedger(Database &db, int accountingMode);

    // The ledger of `materials` (codes, in the order given) from `from` to `to`. Refuses an
    // end before the start (DatesText) and an empty list (NoMaterialText).
    Ledger build(const QStringList &materials, const QDate &from, const QDate &to) const;

    // The materials below `category` (the root "0" for all) that moved between the dates or
    // carry stock into them, in the catalogue's order.
    QStringList materialsBelow(const QString &category, const QDate &from, const QDate &to) const;

    // The days of the closings, oldest first: a ledger may start the day after one.
    QList<QDate> closingDays() const;

private:
    Database &m_db;
    int m_mode;
};

} // namespace varnock
