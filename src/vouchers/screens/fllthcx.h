#pragma once

#include "vouchers/issuereturn.h"
#include "widgets/conditionform.h"

class QLineEdit;

namespace varnock {

class IssueReturns;

// The condition dialog ("条件查询") of the issue-return finder: empty fields add no condition;
// the dates run from the latest closing (or the first of the month) to today.
class Fllthcx : public ConditionForm<IssueReturnConditions>
{
    Q_OBJECT

public:
    Fllthcx(const IssueReturns &returns, QWidget *parent = nullptr);

    IssueReturnConditions conditions() const override;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *returnNumber() const { return m_thdjh; }
    QLineEdit *issueNumber() const { return m_ysbh; }

private:
    QLineEdit *m_lldwbh;
    QLineEdit *m_thdjh;
    QLineEdit *m_ysbh;
    QLineEdit *m_clbh;
};

} // namespace varnock
