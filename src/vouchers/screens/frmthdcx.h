#pragma once

#include "vouchers/stockinreturn.h"
#include "widgets/conditionform.h"

class QLineEdit;

namespace varnock {

class StockInReturns;

// The return finder's condition dialog ("条件查询"): empty fields add no condition; the dates
// run from the latest closing (or the first of the month) to today.
class FrmThdcx : public ConditionForm<StockInReturnConditions>
{
    Q_OBJECT

public:
    FrmThdcx(const StockInReturns &returns, QWidget *parent = nullptr);

    QLineEdit *documentNumber() const { return m_thdjh; }

private:
    QLineEdit *m_thdjh;
};

} // namespace varnock
