#pragma once

#include "store/formats.h"
#include "vouchers/issuereturn.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Issue returns of one kind ("1" requisition, "2" transfer out): goods a consuming unit or
// another site brings back against the lines of a posted issue voucher. The issue vouchers a
// return may be made against, the returned figures, validation, the rows they store, loading,
// posting and the finders. Numbering, saving with the issue lines' return marks (LLD.THBZ)
// and deleting run through VoucherFamily.
class IssueReturns : public VoucherFamily<IssueReturnVoucher>
{
public:
    IssueReturns(Database &db, const QString &zl, int accountingMode, const Formats &formats);

    bool isTransfer() const { return zl() == QLatin1String("2"); }

    // Posted issue vouchers of this kind, direct deliveries and reversals left out.
    // With a material, only the vouchers that issued it.
    QList<ReturnableIssueRow> returnableIssues(const QString &clbh = QString()) const;
    QList<ReturnableIssueRow> findReturnableIssues(const ReturnableIssueConditions &c) const;

    // A new return against issue voucher `issueXtbh`: every line of the voucher with what was
    // returned before and nothing returned yet, and a proposed document number.
    IssueReturnVoucher draft(qint64 issueXtbh, const QDate &date) const;

    // Sets the quantity returned on a line and its amount. The amount is quantity × the
    // line's price; the line's last piece brings back exactly the rest of its issued amount.
    void setQuantity(IssueReturnLine &line, Decimal quantity) const;
    // Sets the quantity on the first line of material `clbh` that has none yet; false when
    // there is no such line.
    bool setQuantityOf(IssueReturnVoucher &voucher, const QString &clbh, Decimal quantity) const;
    // True when `quantity` would take more back than the line has left.
    static bool exceeds(const IssueReturnLine &line, Decimal quantity);

    // Posts the voucher at once, as the posting screen does.
    void postNow(qint64 xtbh);

    // A saved voucher with every line of its issue voucher; nullopt when there is none.
    std::optional<IssueReturnVoucher> load(qint64 xtbh) const;

    // The finder: this kind's returns of the current month (any year), or by conditions.
    QList<IssueReturnListRow> currentMonth() const;
    QList<IssueReturnListRow> find(const IssueReturnConditions &conditions) const;

private:
    struct IssueLine;

    QList<IssueLine> readIssueLines(const QString &where, const QVariant &key) const;
    QList<IssueLine> issueLines(qint64 issueXtbh) const;
    std::optional<IssueLine> issueLine(qint64 llid) const;
    IssueReturnLine lineFrom(const IssueLine &issue, qint64 exceptXtbh) const;
    Decimal priceOf(const IssueLine &issue) const;
    QList<ReturnableIssueRow> issueList(const FinderConditions &conditions) const;
    QList<IssueReturnListRow> list(const FinderConditions &conditions) const;

    // Checked against the stored issue lines, not the figures the voucher carries.
    QList<Refusal> refusals(const IssueReturnVoucher &voucher) const override;
    // Figures come from the stored issue line, whatever the caller computed.
    QList<Row> rows(const IssueReturnVoucher &voucher, qint64 xtbh) const override;
    QString *documentNumber(IssueReturnVoucher &voucher) const override { return &voucher.thdjh; }
};

} // namespace varnock
