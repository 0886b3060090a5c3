#include "vouchers/screens/frmdjcx.h"

#include "master/screens/frmgysxz.h"
#include "vouchers/stockinvouchers.h"

namespace varnock {

FrmDjcx::FrmDjcx(const StockInVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmDjcx"), QStringLiteral("条件查询"), parent)
{
    using C = StockInConditions;
    const StockInKind &kind = vouchers.kind();
    const bool transfer = kind.kind == StockInKind::TransferIn;
    m_gysbh = addPickedField(kind.partnerCode,
                             transfer ? kind.partnerName : QStringLiteral("供应商名称："),
                             FrmGysxz::suppliers(vouchers.database(), this), &C::gysbh)
                  .code;
    addField(QStringLiteral("发票编号："), &C::fpbh);
    addField(QStringLiteral("原始单据号："), &C::ysdjh);
    addField(QStringLiteral("支 票 号："), &C::zph);
    addField(QStringLiteral("材料编号："), &C::clbh);
    addDates([&vouchers] { return vouchers.finderStart(); });
}

} // namespace varnock
