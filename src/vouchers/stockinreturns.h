#pragma once

#include "store/formats.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinreturn.h"
#include "vouchers/stockinreturnkind.h"
#include "vouchers/stockinvoucher.h"

#include <QDate>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// Return vouchers against the stock-in vouchers of one kind: numbering, the vouchers a
// return may be made against, validation, saving, loading, deleting and the finder's lists.
// Every operation that writes is one transaction; a refusal writes nothing.
class StockInReturns
{
public:
    StockInReturns(Database &db, const StockInKind &stockInKind, int accountingMode,
                   const Formats &formats);

    const StockInReturnKind &kind() const { return m_kind; }
    const Formats &formats() const { return m_formats; }
    Database &database() const { return m_db; }

    // Refuses ("请选做月结处理！！！") while no month has been closed.
    void checkCanOpen() const;
    std::optional<QDate> latestClosing() const;

    // MAX(THD.XTBH) + 1 over every return kind; 1 for an empty table.
    qint64 nextSystemNumber() const;
    // Today's date, " - " and one more than the greatest running number of any return
    // document number, or " - 1001" when there is none.
    QString proposeDocumentNumber() const;

    // The stock-in vouchers a return may be made against: posted ones of the stock-in kind;
    // purchases only of the current month and not the stock-in half of a direct delivery.
    QList<StockInListRow> offerableStockIns() const;
    bool isOfferable(qint64 stockInXtbh) const;

    // The lines of a stock-in voucher (reversed ones left out) with what every earlier return
    // took back, posted or not, and nothing returned yet. Refuses "材料已做过出库,不能做退货,
    // 请先做退库" when an issue has drawn on one of them.
    QList<StockInReturnLine> linesForReturn(qint64 stockInXtbh) const;
    // A new return against a stock-in voucher: its header, proposed numbers, the date and
    // every line with the quantity left empty for the caller to fill. Refuses a voucher that
    // is not offered for returns.
    StockInReturnVoucher draft(qint64 stockInXtbh, const QDate &date) const;

    // Rounded return amount of a quantity at a stock-in price.
    Decimal amountOf(Decimal quantity, Decimal price) const;

    // Every message the save would refuse with, in order; empty when the voucher may be saved.
    QStringList validate(const StockInReturnVoucher &voucher) const;

    // Inserts the returned lines under a fresh system number, which it returns, and marks
    // their stock-in lines (THBZ).
    qint64 saveNew(const StockInReturnVoucher &voucher);
    // Stores exactly what the grid shows: returned lines updated or inserted, stored lines
    // whose quantity went or that are no longer given deleted. Refused for a posted voucher.
    void saveEdit(const StockInReturnVoucher &voucher);
    // Deletes an unposted return voucher ("该票据已经记账，请做冲帐处理！" when posted).
    void remove(qint64 xtbh);
    // The return with every line of its stock-in voucher beside it; nullopt when it is gone.
    std::optional<StockInReturnVoucher> load(qint64 xtbh) const;
    bool isPosted(qint64 xtbh) const;

    // The finder: this kind's returns of the current month (any year), or by conditions.
    QList<StockInReturnListRow> currentMonth() const;
    QList<StockInReturnListRow> find(const StockInReturnConditions &conditions) const;
    // The condition dialog's start date: the latest closing, or the first of this month.
    QDate finderStart() const;

private:
    struct Source;
    std::optional<Source> sourceOf(qint64 rkid) const;
    QList<StockInReturnLine> stockInLines(qint64 stockInXtbh, qint64 exceptReturn) const;
    void checkNotIssued(const QList<StockInReturnLine> &lines) const;
    QList<StockInReturnListRow> list(const QString &where, const QVariantList &values) const;
    void insertLine(qint64 xtbh, const QString &thdjh, const QDate &czrq, const Source &source,
                    Decimal quantity);
    void clearStaleReturnMarks(const QList<qint64> &rkids);

    Database &m_db;
    StockInReturnKind m_kind;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
