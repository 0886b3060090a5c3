#pragma once

#include "leasing/lease.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Return vouchers (ZLHZ): rented items brought back against the lines of one lease voucher.
// Nothing comes back beyond what is still out, and nothing before the day it was leased.
class LeaseReturns : public VoucherFamily<LeaseReturnVoucher>
{
public:
    static const QString OverReturnText; // "数据入录错误,请重新输入"

    LeaseReturns(Database &db, const Formats &formats);

    // A new return against lease voucher `zldjbh`, dated `date`: every line of the lease with
    // what came back before and nothing returned yet; nullopt when there is no such lease.
    std::optional<LeaseReturnVoucher> draft(qint64 zldjbh, const QDate &date) const;

    // Sets the quantity coming back on a line and its amount: the quantity × rent × the rent
    // days. False, leaving the line, when it is more than is still out.
    bool setQuantity(LeaseReturnLine &line, Decimal quantity, qint64 rentDays) const;
    // The amounts again for another return date.
    void setDate(LeaseReturnVoucher &voucher, const QDate &date) const;
    // The rent so far of what is still out before this return.
    Decimal remainingAmount(const LeaseReturnLine &line, qint64 rentDays) const;

    // A saved return with every line of its lease; nullopt when there is none.
    std::optional<LeaseReturnVoucher> load(qint64 djbh) const;

    QList<LeaseReturnListRow> all() const;
    QList<LeaseReturnListRow> find(const LeaseConditions &conditions) const;

private:
    std::optional<LeaseReturnVoucher> withLeaseLines(qint64 zldjbh, qint64 exceptDjbh) const;
    Decimal amountOf(Decimal quantity, Decimal rent, qint64 rentDays) const;
    QList<LeaseReturnListRow> list(const FinderConditions &conditions) const;

    // Checked against the stored lease lines, not the figures the voucher carries.
    QList<Refusal> refusals(const LeaseReturnVoucher &voucher) const override;
    QList<Row> rows(const LeaseReturnVoucher &voucher, qint64 djbh) const override;
};

} // namespace varnock
