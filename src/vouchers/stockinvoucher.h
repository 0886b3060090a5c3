#pragma once

#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of a stock-in voucher as the grid shows it. When `conversionUnit` is filled the
// quantity and the price are in the material's conversion unit; saving turns them into the
// accounting unit.
struct StockInLine
{
    qint64 id = 0; // RKD.ID; 0 for a line not stored yet
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;           // accounting unit
    QString conversionUnit; // the unit the figures are typed in; empty for the accounting unit
    QString materialHsdw;   // the material's conversion unit, offered by the cell
    double hsxs = 0;        // the material's conversion factor
    Decimal jhdj;           // planned unit price
    Decimal price;
    Decimal quantity;
    Decimal amount;
    Decimal paid; // 已付金额
    QString czzm; // remark (材质证明)

    bool hasMaterial() const { return !clbh.trimmed().isEmpty(); }
    bool inConversionUnit() const { return !conversionUnit.trimmed().isEmpty(); }
};

// The header, repeated on every RKD line, and the lines.
struct StockInVoucher
{
    qint64 xtbh = 0;
    QString ysdjh;
    QString gysbh;
    QString gysmc;
    QDate czrq;
    QString fpbh;
    QString zph;
    bool posted = false; // a stored voucher's JZBZ
    QList<StockInLine> lines;
};

// One voucher in the finder's list.
struct StockInListRow
{
    qint64 xtbh = 0;
    bool posted = false;
    QDate czrq;
    QString ysdjh;
    QString gysbh;
    QString gysmc;
    QString fpbh;
    QString zph;
    QString zl;
};

// The finder's conditions; empty texts add none. Dates are inclusive.
struct StockInConditions
{
    QString gysbh;
    QString fpbh;
    QString ysdjh;
    QString zph;
    QString clbh;
    QDate from;
    QDate to;
};

} // namespace varnock
