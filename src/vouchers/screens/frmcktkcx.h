#pragma once

#include "vouchers/issuereturn.h"
#include "vouchers/screens/voucherlist.h"

namespace varnock {

class IssueReturns;

// The issue-return finder ("条件查询"): this kind's returns of the current month, narrowed
// through the condition dialog. Returns the chosen voucher's system number.
class FrmCktkcx : public VoucherList
{
    Q_OBJECT

public:
    FrmCktkcx(const IssueReturns &returns, QWidget *parent = nullptr);

    void showConditions(const IssueReturnConditions &conditions);

protected:
    void search() override;

private:
    static QStringList texts(const IssueReturnListRow &r);

    const IssueReturns &m_returns;
};

} // namespace varnock
