#pragma once

#include "vouchers/stockinvoucher.h"
#include "widgets/conditionform.h"

class QLineEdit;

namespace varnock {

class StockInVouchers;

// The stock-in finder's condition dialog ("条件查询"): empty fields add no condition; the
// dates run from the latest closing (or the first of the month) to today.
class FrmDjcx : public ConditionForm<StockInConditions>
{
    Q_OBJECT

public:
    FrmDjcx(const StockInVouchers &vouchers, QWidget *parent = nullptr);

    QLineEdit *supplierCode() const { return m_gysbh; }

private:
    QLineEdit *m_gysbh;
};

} // namespace varnock
