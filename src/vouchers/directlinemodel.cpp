#include "vouchers/directlinemodel.h"

#include "vouchers/directvouchers.h"

namespace varnock {

DirectLineModel::DirectLineModel(const DirectVouchers &vouchers, QObject *parent)
    : StockInLineModel(vouchers.receipts(), parent)
{}

QVariant DirectLineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == Remark)
        return QStringLiteral(" 材质证明");
    return StockInLineModel::headerData(section, orientation, role);
}

} // namespace varnock
