#pragma once

#include "vouchers/directvoucher.h"
#include "widgets/conditionform.h"

namespace varnock {

class DirectVouchers;

// The direct-delivery finder's condition dialog ("条件查询"): supplier, consuming unit,
// material and the dates; empty fields add no condition.
class FrmZjzccx : public ConditionForm<DirectConditions>
{
    Q_OBJECT

public:
    FrmZjzccx(const DirectVouchers &vouchers, QWidget *parent = nullptr);
};

} // namespace varnock
