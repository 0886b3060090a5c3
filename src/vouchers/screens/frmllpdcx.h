#pragma once

#include "vouchers/issuevoucher.h"
#include "widgets/conditionform.h"

class QComboBox;

namespace varnock {

class IssueVouchers;

// The issue finder's condition dialog ("条件查询"): empty fields add no condition; the dates
// run from the latest closing (or the first of the month) to today.
class FrmLLpdcx : public ConditionForm<IssueConditions>
{
    Q_OBJECT

public:
    FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent = nullptr);

    QComboBox *site() const { return m_sgbw; }

private:
    QComboBox *m_sgbw;
};

} // namespace varnock
