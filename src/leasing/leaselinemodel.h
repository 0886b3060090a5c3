#pragma once

#include "leasing/lease.h"
#include "master/materiallookup.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class LeaseReturns;
class Leases;

// The line grid of a lease voucher: a material from the picker or a typed code, the quantity,
// the rent per unit and day and the deposit typed; the amount follows. The line's ZLBIAO.ID
// travels in the hidden Id column.
class LeaseLineModel : public VoucherLineModel<LeaseLine>
{
    Q_OBJECT

public:
    enum Column {
        Id,
        Code,
        Name,
        Spec,
        Unit,
        Quantity,
        Rent,
        Deposit,
        Amount,
        Returned,
        ColumnCount
    };

    LeaseLineModel(const Leases &leases, QObject *parent = nullptr);

private:
    MaterialLookup m_materials;
};

// The line grid of a return: one row per lease line, only the quantity returned typed. A
// quantity beyond what is still out is not kept: overReturn() tells the screen.
class LeaseReturnLineModel : public VoucherLineModel<LeaseReturnLine>
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        Leased,
        Rent,
        Deposit,
        Remaining,
        RemainingAmount,
        Quantity,
        Amount,
        Id,
        ColumnCount
    };

    LeaseReturnLineModel(const LeaseReturns &returns, QObject *parent = nullptr);

    // The days rent runs to the return date; the amounts follow.
    void setRentDays(qint64 days);

    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void overReturn(int row);

private:
    const LeaseReturns &m_returns;
    qint64 m_days = 0;
    bool m_over = false;
};

} // namespace varnock
