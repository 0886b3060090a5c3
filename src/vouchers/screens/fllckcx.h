#pragma once

#include "vouchers/issuereturn.h"
#include "widgets/conditionform.h"

class QLineEdit;

namespace varnock {

class IssueReturns;

// The condition dialog ("单据查询") of the list of issue vouchers to return against: empty
// fields add no condition; the dates run from the latest closing (or the first of the month)
// to today.
class FLLCKCX : public ConditionForm<ReturnableIssueConditions>
{
    Q_OBJECT

public:
    FLLCKCX(const IssueReturns &returns, QWidget *parent = nullptr);

    ReturnableIssueConditions conditions() const override;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *site() const { return m_sgbw; }

private:
    QLineEdit *m_lldwbh;
    QLineEdit *m_sgbw;
    QLineEdit *m_ysdjh;
    QLineEdit *m_dh;
    QLineEdit *m_clbh;
};

} // namespace varnock
