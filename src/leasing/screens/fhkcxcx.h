#pragma once

#include "leasing/leasepayments.h"
#include "widgets/conditionform.h"

namespace varnock {

class Database;

// The payment list's condition dialog ("还款查询"): supplier name, remark and dates.
class Fhkcxcx : public ConditionForm<LeasePayments::Conditions>
{
    Q_OBJECT

public:
    Fhkcxcx(Database &db, QWidget *parent = nullptr);
};

} // namespace varnock
