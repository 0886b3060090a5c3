#pragma once

#include "ledger/postinggrid.h"
#include "store/errors.h"
#include "store/formats.h"

#include <QList>
#include <QString>

namespace varnock {

class Database;

// Posting turns saved vouchers into ledger entries: every line of one voucher becomes posted
// and its stock moves through the cost engine, all in one transaction. Four voucher families,
// each listed by kind: the stock-in kinds ("采购入库", …), the return kinds ("采购退货", …) and
// the issue kinds "1" (requisition) and "2" (transfer out) for issues and issue returns.
//
// Lines of direct deliveries (RKD.CKID set, LLD.ZJZC) are posted with their delivery, never
// here.
class Posting
{
public:
    enum class Family { StockIn, StockInReturn, Issue, IssueReturn };

    // What happened to one voucher of a "post all".
    struct Outcome
    {
        qint64 xtbh = 0;
        bool posted = false;
        // The refusal shown for a voucher left unposted.
        QString title;
        QString text;
        Refusal::Icon icon = Refusal::Icon::Exclamation;
    };

    struct Question
    {
        QString title;
        QString text;
        Refusal::Icon icon = Refusal::Icon::Question;
    };

    Posting(Database &db, int accountingMode, const Formats &formats);

    // Asked before either posting button acts.
    static Question confirmation();
    // Asked before a line is deleted; `row` is the line's 1-based row in the lower grid.
    static Question deleteQuestion(Family family, int row);

    // The unposted vouchers of a kind, in voucher-number order.
    QList<qint64> unpostedVouchers(Family family, const QString &kind) const;
    // The kinds whose list of unposted vouchers shows voucher `xtbh`.
    QStringList unpostedKinds(Family family, qint64 xtbh) const;
    // The upper grid: one row per unposted voucher of the kind, keyed by XTBH.
    PostingGrid voucherGrid(Family family, const QString &kind) const;
    // The lower grid: the lines of voucher `xtbh`, keyed by line ID; with `unreversedOnly`
    // only those not reversed, as the reversal screens offer them.
    PostingGrid lineGrid(Family family, qint64 xtbh, bool unreversedOnly = false) const;

    // Posts voucher `xtbh` of the kind. Throws Refusal (nothing changed) when stock would go
    // negative, when the voucher is gone or of another kind, or when it is already posted.
    void post(Family family, const QString &kind, qint64 xtbh);
    // Posts every unposted voucher of the kind in list order, each on its own: a refused
    // voucher stays unposted and the others are posted all the same.
    QList<Outcome> postAll(Family family, const QString &kind);

    // Deletes unposted line `lineId` and repairs the flags that pointed at it (reversal marks
    // CZBZ, pending-return marks THBZ). Refused while return lines still refer to the line.
    void deleteLine(Family family, qint64 lineId);

private:
    void checkUnposted(Family family, const QString &kind, qint64 xtbh) const;
    void clearReversalMarks(const QString &table, const QString &clbh);

    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
