#include "vouchers/screens/frmthdcx.h"

#include "master/screens/frmgysxz.h"
#include "vouchers/stockinreturns.h"
#include "widgets/datepicker.h"

#include <QLineEdit>

namespace varnock {

FrmThdcx::FrmThdcx(const StockInReturns &returns, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmThdcx"), QStringLiteral("条件查询"), parent)
{
    m_gysbh = addPickedField(returns.kind().partnerCode, returns.kind().partnerName,
                             [this, db = &returns.database()] {
                                 FrmGysxz picker(*db, this);
                                 return choiceOf(picker);
                             })
                  .code;
    m_fpbh = addField(QStringLiteral("发票编号："));
    m_thdjh = addField(QStringLiteral("原始单据号："));
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&returns] { return returns.finderStart(); });
}

StockInReturnConditions FrmThdcx::conditions() const
{
    StockInReturnConditions c;
    c.gysbh = m_gysbh->text();
    c.fpbh = m_fpbh->text();
    c.thdjh = m_thdjh->text();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
