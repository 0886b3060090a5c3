#pragma once

#include "vouchers/voucherline.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

// One line of a lease voucher (ZLBIAO): what is rented, how many, the rent per unit and day,
// the deposit, and what came back against it so far.
struct LeaseLine : MaterialLine
{
    Decimal quantity; // ZLSL
    Decimal rent;     // DJ, per unit and day
    Decimal deposit;  // YAJIN
    Decimal amount;   // JE: the line's rent for one day, quantity × rent
    Decimal returned; // every return line against it, shown only
};

// A lease voucher: its number (DJBH, 64-bit) is the system number every line shares.
struct LeaseVoucher
{
    qint64 xtbh = 0; // DJBH; 0 until saved
    QString gysbh;
    QString gysmc;
    QString lldwbh;
    QString lldwmc;
    QDate czrq;          // ZLRQ
    bool posted = false; // leases are never posted
    QList<LeaseLine> lines;
};

// One lease voucher in the finder's list.
struct LeaseListRow
{
    qint64 xtbh = 0; // DJBH
    QDate zlrq;
    QString gysbh;
    QString gysmc;
    QString lldwbh;
    QString lldwmc;
};

// The finder's conditions; empty texts add none. Dates are inclusive.
struct LeaseConditions
{
    QString gysbh;
    QString lldwbh;
    QString clbh;
    QDate from;
    QDate to;
};

// One line of a return voucher (ZLHZ): the lease line it returns against, what is still out
// and what comes back now. A zero quantity means the line is not returned.
struct LeaseReturnLine : MaterialLine
{
    qint64 zlid = 0;        // ZLBIAO.ID
    Decimal leased;         // ZLSL
    Decimal rent;           // DJ
    Decimal deposit;        // YAJIN
    Decimal returnedBefore; // every other return line of the lease line
    Decimal quantity;       // HZSL
    Decimal amount;         // HZJE: the returned pieces' rent from the lease to the return

    bool isReturned() const { return quantity > Decimal(); }
    // Still out before this return.
    Decimal remaining() const { return leased - returnedBefore; }
};

struct LeaseReturnVoucher
{
    qint64 xtbh = 0;   // DJBH of ZLHZ; 0 until saved
    qint64 zldjbh = 0; // the lease voucher returned against
    QDate leaseDate;   // its ZLRQ
    QString gysbh;
    QString gysmc;
    QString lldwbh;
    QString lldwmc;
    QDate czrq;          // HZRQ
    bool posted = false; // returns are never posted
    QList<LeaseReturnLine> lines;

    // The rent days from the lease to the return, both counted: a return on the lease's own
    // day is one day. 0 without both dates or for a return dated before the lease.
    qint64 rentDays() const
    {
        if (!leaseDate.isValid() || !czrq.isValid() || czrq < leaseDate)
            return 0;
        return leaseDate.daysTo(czrq) + 1;
    }
};

// One return voucher in its finder.
struct LeaseReturnListRow
{
    QDate hzrq;
    qint64 xtbh = 0; // DJBH
    qint64 zldjbh = 0;
    QString gysbh;
    QString gysmc;
    QString lldwbh;
    QString lldwmc;
};

} // namespace varnock
