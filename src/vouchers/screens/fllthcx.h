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

    QLineEdit *issueNumber() const { return m_ysbh; }

private:
    QLineEdit *m_ysbh;
};

} // namespace varnock
