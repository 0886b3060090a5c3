#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QString>

namespace varnock {

class Database;

// Keeps the stock table KC and, under first in first out, the allocation records XJXCSJB.
// Every operation runs inside the caller's transaction and opens a savepoint of its own, so
// a refusal leaves nothing of the operation written even when the caller carries on.
//
// Mode 1 is first in first out; any other mode is moving weighted average. Planned-price
// materials (CLJBXXB.JJFS) move quantity × JHDJ in both modes, and their KCJE is written as
// KCSL × JHDJ after every movement.
//
// Lines without a voucher number (XTBH NULL or 0: count surpluses and deficits, returned
// goods under first in first out) carry cost layers and allocations only; their stock effect
// is booked by the count (PYK) or the issue return (TKD) that wrote them. Direct-delivery
// pairs (RKD.CKID set, LLD.ZJZC) never touch stock and are never cost layers.
class CostEngine
{
public:
    static constexpr int FirstInFirstOut = 1;
    static constexpr int MovingAverage = 2;

    struct IssuePrice
    {
        Decimal unitPrice;
        Decimal amount;
    };

    CostEngine(Database &db, int accountingMode, const Formats &formats);

    bool isFirstInFirstOut() const { return m_fifo; }

    // Adds every stock-in line of voucher `xtbh` (or the one line `rkdId`) to KC. Both modes.
    void addReceiptToStock(qint64 xtbh);
    void addReceiptLineToStock(qint64 rkdId);

    // Takes every line of stock-in return voucher `xtbh` (or the one line `thdId`) out of KC.
    // Refuses when stock, or under first in first out the returned receipt layer, would go
    // below zero.
    void removeReturnFromStock(qint64 xtbh);
    void removeReturnLineFromStock(qint64 thdId);

    // The moving-average price an issue line shows at entry: KCJE ÷ KCSL rounded to the
    // amount format (0 without stock), and quantity × that price. A planned-price material
    // is priced at JHDJ.
    IssuePrice priceIssueLine(const QString &clbh, Decimal quantity) const;
    // The same from what was read: whether the material is carried at its planned price
    // (`plannedPrice`), and its stock.
    static IssuePrice issuePrice(const Formats &formats, bool planned, Decimal plannedPrice,
                                 Decimal stockQuantity, Decimal stockAmount, Decimal quantity);

    // Takes every line of issue voucher `xtbh` out of KC. Moving average: the amounts stored
    // on the lines, except that a voucher emptying a material takes its whole amount (its last
    // line of that material absorbs the rounding rest). First in first out: each line is
    // allocated in ascending ID first, and exactly the allocated SJJE leaves KC.
    // Refuses ("出库数量已经超过库存数量,请做出入库！") a material without enough stock.
    void removeIssueVoucherFromStock(qint64 xtbh);
    // The same for one issue line (a count deficit).
    void removeIssueLineFromStock(qint64 lldId);

    // First in first out: draws `quantity` of `clbh` for issue line `lldId` from the cost
    // layers, starting at the material's newest piece, records each piece in XJXCSJB, rewrites
    // the line's SJJE and returns it. Refuses when the layers run out; nothing is written then.
    Decimal allocateIssueLine(qint64 lldId, const QString &clbh, Decimal quantity);

    // Issue reversal: writes mirror pieces (negative CKSL) of every piece of
    // `reversedLineId` against the reversing line `mirrorLineId`.
    void restoreIssueLinePieces(qint64 reversedLineId, qint64 mirrorLineId);
    // Issue reversal: books the posted mirror line `mirrorLineId` (negated SJSL and SJJE) of
    // `reversedLineId` into KC, which puts the reversed quantity and amount back, and under
    // first in first out restores the reversed line's pieces to their layers.
    void bookIssueReversal(qint64 reversedLineId, qint64 mirrorLineId);

    // Puts the lines of posted issue-return voucher `xtbh` back into stock at their own
    // quantity and amount (THSL, THJE; planned-price materials at THSL × JHDJ). Under first in
    // first out each line also becomes a new posted receipt layer dated today.
    void addIssueReturnToStock(qint64 xtbh);

private:
    struct Material;
    struct Stock;
    struct Layer;

    Material material(const QString &clbh) const;
    Stock stock(const QString &clbh) const;
    void writeStock(const QString &clbh, const Material &m, const Stock &stock);
    void addToStock(const QString &clbh, const Material &m, Decimal quantity, Decimal amount);
    Decimal valueOf(const Material &m, Decimal quantity, Decimal amount) const;

    void addReceiptLines(const QString &where, qint64 key);
    void removeReturnLines(const QString &where, qint64 key);
    void removeIssueLines(const QString &where, qint64 key);

    // Starts at `newestPiece` (0: none) and sets it to the newest piece written.
    Decimal allocate(qint64 lldId, const QString &clbh, Decimal quantity, const Material &m,
                     qint64 &newestPiece);
    Decimal remainingInLayer(const Layer &layer) const;
    bool takeFrom(const QString &clbh, const Layer &layer, Decimal available, qint64 lldId,
                  Decimal &q, Decimal &c);
    bool walkOpeningLayers(const QString &clbh, qint64 afterId, qint64 lldId, Decimal &q,
                           Decimal &c);
    bool walkReceiptLayers(const QString &clbh, qint64 afterId, qint64 lldId, Decimal &q,
                           Decimal &c);

    [[noreturn]] static void refuseIssue();
    [[noreturn]] static void refuseReturn();

    Database &m_db;
    Formats m_formats;
    bool m_fifo;
    // The piece takeFrom wrote last: after an allocation, the material's newest piece.
    qint64 m_lastPiece = 0;
};

} // namespace varnock
