#pragma once

#include "leasing/lease.h"
#include "vouchers/screens/voucherlist.h"

namespace varnock {

class LeaseReturns;

// The return vouchers ("还租查询"), narrowed through Fchax; returns the chosen return's number.
class ForHZCX : public VoucherList
{
    Q_OBJECT

public:
    ForHZCX(const LeaseReturns &returns, QWidget *parent = nullptr);

private:
    void search() override;
    static QStringList texts(const LeaseReturnListRow &row);

    const LeaseReturns &m_returns;
};

} // namespace varnock
