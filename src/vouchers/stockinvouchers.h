#pragma once

#include "store/formats.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinvoucher.h"
#include "vouchers/voucherbook.h"
#include "vouchers/voucherservice.h"

#include <optional>

namespace varnock {

// Stock-in vouchers of one kind: validation, the rows they store, loading, the finder's lists
// and the provisional append. Numbering, saving and deleting run through VoucherFamily.
class StockInVouchers : public VoucherFamily<StockInVoucher>
{
public:
    // What a line stores in RKD: accounting-unit figures rounded through the display formats.
    struct StoredFigures
    {
        Decimal sjdj;
        Decimal sjsl;
        Decimal sjje;
        Decimal yfje;
    };

    StockInVouchers(Database &db, const StockInKind &kind, int accountingMode,
                    const Formats &formats);

    const StockInKind &kind() const { return m_kind; }

    StoredFigures storedFigures(const StockInLine &line) const;

    // All lines of a voucher that were not reversed; nullopt when there are none.
    std::optional<StockInVoucher> load(qint64 xtbh) const;

    // The finder: this kind's vouchers of the current month (any year), or by conditions.
    QList<StockInListRow> currentMonth() const;
    QList<StockInListRow> find(const StockInConditions &conditions) const;
    // This kind's vouchers, one row each, that have lines meeting `conditions` (fields of RKD
    // as R).
    QList<StockInListRow> find(const FinderConditions &conditions) const;

    // The provisional append. checkAppend refuses before the screen asks its questions;
    // append checks again, writes the reversing line (M + 1, "冲帐") and the actual line
    // (M + 2, "追加") posted, marks the provisional line and corrects the stock, in one
    // transaction. Returns the actual line's system number.
    void checkAppend(qint64 lineId) const;
    qint64 append(const StockInVoucher &header, const StockInLine &line);

private:
    QList<Refusal> refusals(const StockInVoucher &voucher) const override;
    QList<Row> rows(const StockInVoucher &voucher, qint64 xtbh) const override;
    QString *documentNumber(StockInVoucher &voucher) const override { return &voucher.ysdjh; }

    StockInKind m_kind;
};

} // namespace varnock
