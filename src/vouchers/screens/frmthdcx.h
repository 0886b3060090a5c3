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

    StockInReturnConditions conditions() const override;

    QLineEdit *supplierCode() const { return m_gysbh; }
    QLineEdit *documentNumber() const { return m_thdjh; }

private:
    QLineEdit *m_gysbh;
    QLineEdit *m_fpbh;
    QLineEdit *m_thdjh;
    QLineEdit *m_clbh;
};

} // namespace varnock
