#pragma once

#include "vouchers/issuereturn.h"
#include "widgets/conditionform.h"

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
};

} // namespace varnock
