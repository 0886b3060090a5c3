#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of a stock-in voucher as the grid shows it.
struct StockInLine : ConvertibleLine
{
    Decimal jhdj; // planned unit price
    Decimal paid; // 已付金额
    QString czzm; // remark (材质证明)
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
