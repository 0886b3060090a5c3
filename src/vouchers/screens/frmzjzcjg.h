#pragma once

#include "vouchers/directvoucher.h"
#include "vouchers/screens/voucherlist.h"

namespace varnock {

class DirectVouchers;

// The direct-delivery finder: the vouchers of the current month, narrowed through the
// condition dialog. Returns the chosen voucher's system number.
class FrmZjzcjg : public VoucherList
{
    Q_OBJECT

public:
    FrmZjzcjg(const DirectVouchers &vouchers, QWidget *parent = nullptr);

    // Lists the vouchers that meet the conditions.
    void showConditions(const DirectConditions &conditions);

protected:
    void search() override;

private:
    static QStringList texts(const DirectListRow &r);

    const DirectVouchers &m_vouchers;
};

} // namespace varnock
