#pragma once

#include "vouchers/stockinreturn.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class StockInReturns;

// The line grid of a return voucher: one row per line of the stock-in voucher. Only the
// return quantity is typed; the return amount follows it at the stock-in price. The return
// line's THD.ID travels in the hidden Id column.
class StockInReturnLineModel : public VoucherLineModel<StockInReturnLine>
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        Price,
        ReceivedQuantity,
        ReceivedAmount,
        ReturnedBefore,
        Quantity,
        Amount,
        PlannedAmount,
        PlannedPrice,
        Id,
        ColumnCount
    };

    explicit StockInReturnLineModel(const StockInReturns &returns, QObject *parent = nullptr);
};

} // namespace varnock
