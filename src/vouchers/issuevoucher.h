#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of an issue voucher as the grid shows it, typed in the accounting unit or the
// conversion unit as stock-in lines are. The price is none under first in first out.
struct IssueLine : ConvertibleLine
{
    bool plannedPrice = false; // the material is carried at its planned price (JJFS)
    Decimal stockQuantity;     // KC when the material was taken, shown only
    Decimal stockAmount;
    QString bz;
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
