#include "vouchers/screens/frmzjzccx.h"

#include "master/screens/formlldwxzct.h"
#include "master/screens/frmgysxz.h"
#include "vouchers/directvouchers.h"

namespace varnock {

FrmZjzccx::FrmZjzccx(const DirectVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmZjzccx"), QStringLiteral("条件查询"), parent)
{
    using C = DirectConditions;
    addPickedField(QStringLiteral("供应商编号："), QStringLiteral("供应商名称："),
                   FrmGysxz::suppliers(vouchers.database(), this), &C::gysbh);
    addPickedField(QStringLiteral("耗料单位编号："), QStringLiteral("耗料单位名称："),
                   FormLLDWXZCT::units(vouchers.database(), this), &C::lldwbh);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&vouchers] { return vouchers.finderStart(); });
}

} // namespace varnock
