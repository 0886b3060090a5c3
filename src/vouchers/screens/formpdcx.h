#pragma once

#include "vouchers/issuevoucher.h"
#include "vouchers/screens/voucherlist.h"

#include <functional>

namespace varnock {

class IssueVouchers;

// The issue finder ("凭单查询"): this kind's vouchers of the current month, narrowed through
// the condition dialog. Returns the chosen voucher's system number.
class FormPDCX : public VoucherList
{
    Q_OBJECT

public:
    FormPDCX(const IssueVouchers &vouchers, QWidget *parent = nullptr);

    // Lists the vouchers that meet the conditions.
    void showConditions(const IssueConditions &conditions);

protected:
    void search() override;

private:
    void listRows(const std::function<QList<IssueListRow>()> &fetch);

    const IssueVouchers &m_vouchers;
};

} // namespace varnock
