#pragma once

#include "leasing/lease.h"
#include "widgets/conditionform.h"

namespace varnock {

class Database;

// The lease finders' condition dialog ("条件查询"): supplier, consuming unit, material and the
// dates; empty fields add no condition.
class Fchax : public ConditionForm<LeaseConditions>
{
    Q_OBJECT

public:
    Fchax(Database &db, const QDate &start, QWidget *parent = nullptr);
};

} // namespace varnock
