#pragma once

#include "store/formats.h"
#include "vouchers/directvoucher.h"
#include "vouchers/stockinvouchers.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Direct-delivery vouchers: validation, the pairs of rows they store, loading and the
// finder's lists. The receipt side is the family's table (its numbers, its posted flag); the
// issue side follows it in the same transaction: written with it, changed with it, deleted
// with it. Neither side ever touches stock.
class DirectVouchers : public VoucherFamily<DirectVoucher>
{
public:
    DirectVouchers(Database &db, int accountingMode, const Formats &formats);

    // The purchase receipts the lines are entered as: their figures, checks and line grid.
    const StockInVouchers &receipts() const { return m_receipts; }

    // The issue side's document number a new voucher is offered, and those used before.
    QString proposeIssueDocumentNumber() const;
    QStringList issueDocumentNumbers() const;
    std::optional<QString> supplierName(const QString &gysbh) const;
    std::optional<QString> unitName(const QString &lldwbh) const;
    QStringList sites() const;
    QStringList buildings() const;

    // Asked before a new voucher is saved once stock-in lines exist: the books have moved,
    // and the opening balances can no longer be entered. nullopt while RKD holds no line.
    std::optional<QString> initialisationQuestion() const;

    // The lines of a voucher that were not reversed (with `withReversed`, every line);
    // nullopt when there are none.
    std::optional<DirectVoucher> load(qint64 xtbh, bool withReversed = false) const;

    // The finder: the vouchers of the current month (any year), or by conditions.
    QList<DirectListRow> currentMonth() const;
    QList<DirectListRow> find(const DirectConditions &conditions) const;

    // Deletes an unposted voucher, both sides of every line.
    void remove(qint64 xtbh) override;

private:
    QList<Refusal> refusals(const DirectVoucher &voucher) const override;
    QList<Row> rows(const DirectVoucher &voucher, qint64 xtbh) const override;
    void complete(DirectVoucher &voucher) const override;
    QList<DirectListRow> list(const FinderConditions &conditions) const;

    StockInVouchers m_receipts;
};

} // namespace varnock
