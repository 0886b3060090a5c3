#pragma once

#include "store/formats.h"
#include "vouchers/issuereturn.h"

#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// Issue returns of one kind ("1" requisition, "2" transfer out): goods a consuming unit or
// another site brings back against the lines of a posted issue voucher. Numbering, the
// closing checks, validation, saving with the issue lines' return marks (LLD.THBZ), loading,
// posting and the finders. Every operation that writes is one transaction; a refusal writes
// nothing.
class IssueReturns
{
public:
    IssueReturns(Database &db, const QString &zl, int accountingMode, const Formats &formats);

    const QString &kind() const { return m_zl; }
    bool isTransfer() const { return m_zl == QLatin1String("2"); }
    const Formats &formats() const { return m_formats; }
    Database &database() const { return m_db; }

    // Refuses ("请选做月结处理！！！") while no month has been closed.
    void checkCanOpen() const;
    std::optional<QDate> latestClosing() const;

    // MAX(XTBH) + 1 over every kind; 1 for an empty table.
    qint64 nextSystemNumber() const;
    // Today's date and "  1001" for the first return; afterwards today's date, a blank and
    // one more than the trailing digits of the greatest number so far.
    QString proposeDocumentNumber() const;

    // Posted issue vouchers of this kind, direct deliveries and reversals left out.
    QList<ReturnableIssueRow> returnableIssues() const;
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

    // Every message the save would refuse with, in order; empty when the voucher may be saved.
    // Checked against the stored issue lines, not the figures the voucher carries.
    QStringList validate(const IssueReturnVoucher &voucher) const;

    // Stores the returned lines under a fresh system number, marks their issue lines and
    // returns the number.
    qint64 saveNew(const IssueReturnVoucher &voucher);
    // Stores exactly what the voucher shows: returned lines updated or inserted, lines no
    // longer returned deleted and their issue lines unmarked when nothing else refers to them.
    void saveEdit(const IssueReturnVoucher &voucher);
    // Deletes an unposted voucher and the marks no other return line needs.
    void remove(qint64 xtbh);
    // Posts the voucher at once, as the posting screen does.
    void postNow(qint64 xtbh);

    // A saved voucher with every line of its issue voucher; nullopt when there is none.
    std::optional<IssueReturnVoucher> load(qint64 xtbh) const;
    bool isPosted(qint64 xtbh) const;

    // The finder: this kind's returns of the current month (any year), or by conditions.
    QList<IssueReturnListRow> currentMonth() const;
    QList<IssueReturnListRow> find(const IssueReturnConditions &conditions) const;
    // The condition dialogs' start date: the latest closing, or the first of this month.
    QDate finderStart() const;

private:
    struct IssueLine;

    QList<IssueLine> readIssueLines(const QString &where, const QVariant &key) const;
    QList<IssueLine> issueLines(qint64 issueXtbh) const;
    std::optional<IssueLine> issueLine(qint64 llid) const;
    IssueReturnLine lineFrom(const IssueLine &issue, qint64 exceptXtbh) const;
    Decimal priceOf(const IssueLine &issue) const;
    QList<ReturnableIssueRow> issueList(const QString &where, const QVariantList &values) const;
    QList<IssueReturnListRow> list(const QString &where, const QVariantList &values) const;
    void refuseIfInvalid(const IssueReturnVoucher &voucher) const;
    void insertLine(qint64 xtbh, const IssueReturnVoucher &v, const IssueReturnLine &line);
    void unmarkIfUnreferenced(qint64 llid);

    Database &m_db;
    QString m_zl;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
