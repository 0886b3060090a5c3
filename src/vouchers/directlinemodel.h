#pragma once

#include "vouchers/stockinlinemodel.h"

namespace varnock {

class DirectVouchers;

// The line grid of a direct delivery: the stock-in grid of its receipts, the remark column
// being the material certificate.
class DirectLineModel : public StockInLineModel
{
    Q_OBJECT

public:
    DirectLineModel(const DirectVouchers &vouchers, QObject *parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
};

} // namespace varnock
