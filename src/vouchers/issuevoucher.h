#pragma once

#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of an issue voucher as the grid shows it. When `conversionUnit` is filled the
// quantity and the price are in the material's conversion unit; saving turns them into the
// accounting unit, as stock-in lines do.
struct IssueLine
{
    qint64 id = 0; // LLD.ID; 0 for a line not stored yet
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;              // accounting unit
    QString conversionUnit;    // the unit the figures are typed in; empty for the accounting unit
    QString materialHsdw;      // the material's conversion unit, offered by the cell
    double hsxs = 0;           // the material's conversion factor
    bool plannedPrice = false; // the material is carried at its planned price (JJFS)
    Decimal price;             // as shown; none under first in first out
    Decimal quantity;
    Decimal amount;
    Decimal stockQuantity; // KC when the material was taken, shown only
    Decimal stockAmount;
    QString bz;

    bool hasMaterial() const { return !clbh.trimmed().isEmpty(); }
    bool inConversionUnit() const { return !conversionUnit.trimmed().isEmpty(); }
};

// The header, repeated on every LLD line, and the lines.
struct IssueVoucher
{
    qint64 xtbh = 0;
    QString ysdjh;
    QString lldwbh;
    QString lldwmc;
    QDate czrq;
    QString sgbw;
    QString dh;
    bool posted = false; // a stored voucher's JZBZ
    QList<IssueLine> lines;
};

// One voucher in the finder's list.
struct IssueListRow
{
    qint64 xtbh = 0;
    bool posted = false;
    QString ysdjh;
    QDate czrq;
    QString lldwbh;
    QString lldwmc;
    QString sgbw;
    QString dh;
};

// The finder's conditions; empty texts add none. Dates are inclusive.
struct IssueConditions
{
    QString lldwbh;
    QString sgbw;
    QString ysdjh;
    QString dh;
    QString clbh;
    QDate from;
    QDate to;
};

} // namespace varnock
