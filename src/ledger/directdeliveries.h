#pragma once

#include "ledger/operationstep.h"
#include "ledger/posting.h"
#include "ledger/postinggrid.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QVariantList>

namespace varnock {

class Database;

// Posting and reversal of direct deliveries, whose receipt and issue rows (RKD.CKID =
// LLD.ID, LLD.ZJZC) never touch stock: posting sets both sides' posted flags and, under first
// in first out, allocates each receipt wholly to its own issue; reversal marks both sides of
// every line not yet reversed and writes posted mirror pairs with negated figures. Vouchers
// are known by their receipt side's system number. Each operation is one transaction.
class DirectDeliveries
{
public:
    // The mirror voucher a reversal wrote: its receipt and issue system numbers.
    struct Mirror
    {
        qint64 xtbh = 0;
        qint64 issueXtbh = 0;
        int lines = 0;
    };

    DirectDeliveries(Database &db, int accountingMode, const Formats &formats);

    // The posting window: unposted vouchers, and the lines of one keyed by RKD.ID.
    PostingGrid unpostedVouchers() const;
    PostingGrid lines(qint64 xtbh) const;
    static OperationStep postQuestion();
    // Posts voucher `xtbh`; refused when it is gone or already posted.
    void post(qint64 xtbh);
    // Posts every unposted voucher, going on past a refused one.
    QList<Posting::Outcome> postAll();
    static OperationStep deleteLineQuestion();
    // Deletes both rows of an unposted line (its RKD.ID).
    void deleteLine(qint64 rkdId);

    // The reversal window: posted vouchers dated in [from, to] with a line not yet reversed.
    PostingGrid postedVouchers(const QDate &from, const QDate &to) const;
    // Reversing voucher `xtbh` on `date`: the refusals and the question, in order.
    QList<OperationStep> reversalSteps(qint64 xtbh, const QDate &date) const;
    // Reverses every line not yet reversed; throws the first refusal of the steps instead.
    Mirror reverse(qint64 xtbh, const QDate &date);
    // Asked once a voucher is reversed: Yes opens the entry screen for a corrected voucher.
    static OperationStep replacementQuestion();

    // Under first in first out, gives the mirror lines of reversals that a version before 13
    // wrote without pieces their pieces, in one transaction; returns how many it wrote. Without
    // them the reversed delivery still counted as issued wherever issues are read piece by
    // piece.
    int restoreMirrorPieces();

private:
    // Each receipt of the pairs `condition` picks (over RKD R and LLD L) allocated wholly to
    // its own issue, under first in first out.
    void writePieces(const QString &condition, const QVariantList &values);

    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
