#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of a return voucher as the grid shows it: a line of the stock-in voucher returned
// against, what it received, what other returns already took back, and what goes back now.
// A zero quantity means the line is not returned.
struct StockInReturnLine : MaterialLine
{
    qint64 rkid = 0;          // RKD.ID of the stock-in line
    Decimal jhdj;             // planned unit price
    Decimal price;            // the stock-in unit price, which the return takes (THDJ)
    Decimal receivedQuantity; // RKD.SJSL
    Decimal receivedAmount;   // RKD.SJJE
    Decimal returnedBefore;   // THSL of every other return voucher against the line
    Decimal quantity;         // THSL
    Decimal amount;           // THJE = THSL × THDJ

    bool isReturned() const { return !quantity.isZero(); }
};

// The header, repeated on every THD line, and the lines.
struct StockInReturnVoucher
{
    qint64 xtbh = 0;
    qint64 stockInXtbh = 0; // RKD.XTBH of the voucher returned against
    QString thdjh;          // the return's document number
    QString ysbh;           // the stock-in voucher's document number
    QString gysbh;
    QString gysmc;
    QString fpbh;
    QString zph; // shown from the stock-in voucher; THD does not keep it
    QDate czrq;
    bool posted = false;
    QList<StockInReturnLine> lines;
};

// One return voucher in the finder's list.
struct StockInReturnListRow
{
    qint64 xtbh = 0;
    bool posted = false;
    QDate czrq;
    QString thdjh;
    QString ysbh;
    QString gysbh;
    QString gysmc;
    QString fpbh;
    QString zph;
    QString zl;
};

// The return finder's conditions; empty texts add none. Dates are inclusive.
struct StockInReturnConditions
{
    QString gysbh;
    QString fpbh;
    QString thdjh;
    QString clbh;
    QDate from;
    QDate to;
};

} // namespace varnock
