#pragma once

#include "store/formats.h"
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

    // The quantity cells take input only while editable.

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QString figureText(const StockInReturnLine &line, int column) const;

    const StockInReturns &m_returns;
    Formats m_formats;
};

} // namespace varnock
