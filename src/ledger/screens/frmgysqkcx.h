#pragma once

#include "ledger/supplierpayments.h"
#include "widgets/conditionform.h"

namespace varnock {

// The payment finder's conditions ("条件查询"): supplier, cheque number, remark and the dates,
// from the first of the month to today. Empty fields add no condition.
class FrmGysqkcx : public ConditionForm<SupplierPayments::Filter>
{
    Q_OBJECT

public:
    FrmGysqkcx(Database &db, QWidget *parent = nullptr);
};

} // namespace varnock
