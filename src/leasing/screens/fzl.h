#pragma once

#include "leasing/lease.h"
#include "vouchers/screens/voucherlist.h"

namespace varnock {

class Leases;

// The lease vouchers ("单据查询"), narrowed through Fchax; returns the chosen lease's number.
class Fzl : public VoucherList
{
    Q_OBJECT

public:
    Fzl(const Leases &leases, QWidget *parent = nullptr);

private:
    void search() override;
    static QStringList texts(const LeaseListRow &row);

    const Leases &m_leases;
};

} // namespace varnock
