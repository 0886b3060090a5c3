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

    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A typed quantity went beyond what was issued less what came back before.
    void overReturn(int row);

private:
    bool m_over = false; // the quantity just typed was too much and not kept
};

} // namespace varnock
