#pragma once

#include "leasing/lease.h"
#include "print/reporttable.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Lease vouchers (ZLBIAO): tools and formwork rented from a supplier for a consuming unit.
// Leasing stands apart from the stock ledger: a lease is never posted and moves no stock.
// A voucher's lines are saved whole in one transaction; a line that goods came back against
// keeps its ID, its material and at least the quantity returned.
class Leases : public VoucherFamily<LeaseVoucher>
{
public:
    Leases(Database &db, const Formats &formats);

    // The names of a supplier and a consuming unit; nullopt when there is none.
    std::optional<QString> supplierName(const QString &gysbh) const;
    std::optional<QString> unitName(const QString &lldwbh) const;

    // A line's daily amount, quantity × rent, in the amount format.
    Decimal lineAmount(const LeaseLine &line) const;

    // A stored voucher with what came back against each line; nullopt when there is none.
    std::optional<LeaseVoucher> load(qint64 djbh) const;

    // The printed lease voucher: its number, supplier, unit and date in the title, the lines
    // and their total; an empty table when there is no such voucher.
    ReportTable slip(qint64 djbh) const;

    QList<LeaseListRow> all() const;
    QList<LeaseListRow> find(const LeaseConditions &conditions) const;

private:
    QList<Refusal> refusals(const LeaseVoucher &voucher) const override;
    QList<Row> rows(const LeaseVoucher &voucher, qint64 djbh) const override;
    void checkEdit(const LeaseVoucher &voucher) const override;
    void checkRemove(qint64 djbh) const override;
    QList<LeaseListRow> list(const FinderConditions &conditions) const;
};

} // namespace varnock
