#pragma once

#include "vouchers/issuereturn.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class IssueReturns;

// The line grid of an issue return: one row per line of the issue voucher, only the
// returned quantity typed. A quantity that would take back more than the line has left is
// not kept: the cell is cleared and overReturn() tells the screen. The line's LLD.ID travels
// in the Id column.
class IssueReturnLineModel : public VoucherLineModel<IssueReturnLine>
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        Price,
        IssuedQuantity,
        IssuedAmount,
        ReturnedBefore,
        Quantity,
        Amount,
        Id,
        ColumnCount
    };

    IssueReturnLineModel(const IssueReturns &returns, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A typed quantity went beyond what was issued less what came back before.
    void overReturn(int row);

private:
    const IssueReturns &m_returns;
};

} // namespace varnock
