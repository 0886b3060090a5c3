#pragma once

#include "vouchers/issuereturn.h"
#include "vouchers/screens/voucherlist.h"

namespace varnock {

class IssueReturns;

// The posted issue vouchers a return may be entered against ("领料出库单据" / "调拨出库单据"),
// narrowed through the condition dialog. Returns the chosen voucher's system number.
class FrmCkdcx : public VoucherList
{
    Q_OBJECT

public:
    FrmCkdcx(const IssueReturns &returns, QWidget *parent = nullptr);

    void showConditions(const ReturnableIssueConditions &conditions);

protected:
    void search() override;

private:
    static QStringList texts(const ReturnableIssueRow &r);

    const IssueReturns &m_returns;
};

} // namespace varnock
