#include "vouchers/screens/frmthdcx.h"

#include "master/screens/frmgysxz.h"
#include "vouchers/stockinreturns.h"

namespace varnock {

FrmThdcx::FrmThdcx(const StockInReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmThdcx"), QStringLiteral("条件查询"), parent)
{
    using C = StockInReturnConditions;
    addPickedField(returns.kind().partnerCode, returns.kind().partnerName,
                   FrmGysxz::suppliers(returns.database(), this), &C::gysbh);
    addField(QStringLiteral("发票编号："), &C::fpbh);
    m_thdjh = addField(QStringLiteral("原始单据号："), &C::thdjh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&returns] { return returns.finderStart(); });
}

} // namespace varnock
