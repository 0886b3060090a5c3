#pragma once

#include "master/materiallookup.h"
#include "vouchers/stockinvoucher.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class StockInVouchers;

// The line grid of a stock-in voucher. A material comes from the lookup or a typed code;
// typing the price or the quantity recomputes the amount, the planned amount follows the
// quantity. The line's RKD.ID travels in the hidden Id column.
class StockInLineModel : public VoucherLineModel<StockInLine>
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        ConversionUnit,
        PlannedPrice,
        Price,
        Quantity,
        PlannedAmount,
        Amount,
        Paid,
        Remark,
        Id,
        ColumnCount
    };

    StockInLineModel(const StockInVouchers &vouchers, QObject *parent = nullptr);

    // Puts a material into a line (the lookup's choice); figures already typed stay.
    bool setMaterial(int row, const MaterialLookup::Row &material);

private:
    static void take(StockInLine &line, const MaterialLookup::Row &material);

    MaterialLookup m_lookup;
};

} // namespace varnock
