#pragma once

#include "store/formats.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinreturn.h"
#include "vouchers/stockinreturnkind.h"
#include "vouchers/stockinvoucher.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Return vouchers against the stock-in vouchers of one kind: the vouchers a return may be
// made against, validation, the rows they store, loading and the finder's lists. Numbering,
// saving, the stock-in lines' return marks and deleting run through VoucherFamily.
class StockInReturns : public VoucherFamily<StockInReturnVoucher>
{
public:
    StockInReturns(Database &db, const StockInKind &stockInKind, int accountingMode,
                   const Formats &formats);

    const StockInReturnKind &kind() const { return m_kind; }

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

    // The return with every line of its stock-in voucher beside it; nullopt when it is gone.
    std::optional<StockInReturnVoucher> load(qint64 xtbh) const;

    // The finder: this kind's returns of the current month (any year), or by conditions.
    QList<StockInReturnListRow> currentMonth() const;
    QList<StockInReturnListRow> find(const StockInReturnConditions &conditions) const;

private:
    struct Source;
    std::optional<Source> sourceOf(qint64 rkid) const;
    QList<StockInReturnLine> stockInLines(qint64 stockInXtbh, qint64 exceptReturn) const;
    void checkNotIssued(const QList<StockInReturnLine> &lines) const;
    QList<StockInReturnListRow> list(const FinderConditions &conditions) const;

    QList<Refusal> refusals(const StockInReturnVoucher &voucher) const override;
    QList<Row> rows(const StockInReturnVoucher &voucher, qint64 xtbh) const override;
    QString *documentNumber(StockInReturnVoucher &voucher) const override { return &voucher.thdjh; }
    // A return saved without a number of its own keeps the one it has, or takes a new one.
    void complete(StockInReturnVoucher &voucher) const override;

    StockInReturnKind m_kind;
};

} // namespace varnock
