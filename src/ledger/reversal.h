#pragma once

#include "ledger/operationstep.h"
#include "ledger/postinggrid.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// Reversal (冲帐) of one posted stock-in or issue line: the line is marked reversed (CZBZ), a
// posted mirror line with the next voucher number, document number "冲帐" and negated
// figures takes its effect back out of the books, and the line is never offered again. Each
// reversal is one transaction.
//
// The screens and the command line walk the steps of a reversal in order (refusals and the
// Yes/No questions), then call the reversal, which checks the refusals again inside its
// transaction.
class Reversal
{
public:
    // The mirror line written.
    struct Mirror
    {
        qint64 id = 0;
        qint64 xtbh = 0;
    };

    Reversal(Database &db, int accountingMode, const Formats &formats);

    // The document number of every mirror line.
    static QString reference() { return QStringLiteral("冲帐"); }

    // Posted stock-in vouchers of kind `zl` ("采购入库", …) that still have a line to reverse,
    // optionally only those dated in [from, to]. Direct deliveries are reversed with their
    // delivery. Refuses a start after the end ("起始日期不允许大于终止日期").
    PostingGrid stockInVouchers(const QString &zl, std::optional<QDate> from = {},
                                std::optional<QDate> to = {}) const;
    // Posted issue vouchers of kind `zl` ("1" requisition, "2" transfer out) dated in
    // [from, to] that still have a line to reverse.
    PostingGrid issueVouchers(const QString &zl, const QDate &from, const QDate &to) const;
    // The lines of a voucher that may still be reversed.
    PostingGrid stockInLines(qint64 xtbh) const;
    PostingGrid issueLines(qint64 xtbh) const;
    // The row (1-based) issue line `lineId` has among issueLines() of its voucher; 0 when it
    // is not offered there.
    int issueRow(qint64 lineId) const;

    // Reversing stock-in line `lineId` on `date`: the refusals and questions in order.
    QList<OperationStep> stockInSteps(qint64 lineId, const QDate &date) const;
    // Reversing issue line `lineId`, shown as row `row` (1-based) of the line grid.
    QList<OperationStep> issueSteps(qint64 lineId, const QDate &date, int row) const;

    // Marks the line reversed, writes its posted mirror line and takes the line's effect out
    // of KC (planned-price materials at quantity × JHDJ); throws the first refusal of the
    // steps instead, writing nothing.
    Mirror reverseStockInLine(qint64 lineId, const QDate &date);
    // As above for an issue line: its quantity and amount come back into KC and, under first
    // in first out, its pieces go back to their layers, where the next issue draws them.
    Mirror reverseIssueLine(qint64 lineId, const QDate &date);

    // Asked once an issue line is reversed: Yes opens the issue voucher screen.
    static OperationStep replacementQuestion();

private:
    struct Line;
    std::optional<Line> line(const QString &table, qint64 lineId) const;
    QList<OperationStep> steps(const QString &table, qint64 lineId, const QDate &date,
                               int row) const;

    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
