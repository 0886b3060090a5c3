#pragma once

#include "vouchers/screens/voucherlist.h"
#include "vouchers/stockinreturn.h"

namespace varnock {

class StockInReturns;

// The return finder: this kind's return vouchers of the current month, narrowed through the
// condition dialog. Returns the chosen voucher's system number.
class FrmDjcxth : public VoucherList
{
    Q_OBJECT

public:
    FrmDjcxth(const StockInReturns &returns, QWidget *parent = nullptr);

    // Lists the return vouchers that meet the conditions.
    void showConditions(const StockInReturnConditions &conditions);

protected:
    void search() override;

private:
    static QStringList texts(const StockInReturnListRow &r);

    const StockInReturns &m_returns;
};

} // namespace varnock
