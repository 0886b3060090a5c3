#include "vouchers/screens/frmzjzccx.h"

#include "master/screens/formlldwxzct.h"
#include "master/screens/frmgysxz.h"
#include "vouchers/directvouchers.h"
#include "widgets/datepicker.h"

#include <QLineEdit>

namespace varnock {

FrmZjzccx::FrmZjzccx(const DirectVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmZjzccx"), QStringLiteral("条件查询"), parent)
{
    Database *db = &vouchers.database();
    m_gysbh =
        addPickedField(QStringLiteral("供应商编号："), QStringLiteral("供应商名称："), [this, db] {
            FrmGysxz picker(*db, this);
            return choiceOf(picker);
        }).code;
    m_lldwbh = addPickedField(QStringLiteral("耗料单位编号："), QStringLiteral("耗料单位名称："),
                              [this, db] {
                                  FormLLDWXZCT picker(*db, FormLLDWXZCT::Mode::Units, this);
                                  return choiceOf(picker);
                              })
                   .code;
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&vouchers] { return vouchers.finderStart(); });
}

DirectConditions FrmZjzccx::conditions() const
{
    DirectConditions c;
    c.gysbh = m_gysbh->text();
    c.lldwbh = m_lldwbh->text();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
