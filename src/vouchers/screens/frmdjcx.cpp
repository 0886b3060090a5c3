#include "vouchers/screens/frmdjcx.h"

#include "master/screens/frmgysxz.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/datepicker.h"

#include <QLineEdit>

namespace varnock {

FrmDjcx::FrmDjcx(const StockInVouchers &vouchers, QWidget *parent)
    : ConditionForm(QStringLiteral("FrmDjcx"), QStringLiteral("条件查询"), parent)
{
    const StockInKind &kind = vouchers.kind();
    const bool transfer = kind.kind == StockInKind::TransferIn;
    m_gysbh = addPickedField(kind.partnerCode,
                             transfer ? kind.partnerName : QStringLiteral("供应商名称："),
                             [this, db = &vouchers.database()] {
                                 FrmGysxz picker(*db, this);
                                 return choiceOf(picker);
                             })
                  .code;
    m_fpbh = addField(QStringLiteral("发票编号："));
    m_ysdjh = addField(QStringLiteral("原始单据号："));
    m_zph = addField(QStringLiteral("支 票 号："));
    m_clbh = addField(QStringLiteral("材料编号："));
    addDates([&vouchers] { return vouchers.finderStart(); });
}

StockInConditions FrmDjcx::conditions() const
{
    StockInConditions c;
    c.gysbh = m_gysbh->text();
    c.fpbh = m_fpbh->text();
    c.ysdjh = m_ysdjh->text();
    c.zph = m_zph->text();
    c.clbh = m_clbh->text();
    c.from = startDate()->date();
    c.to = endDate()->date();
    return c;
}

} // namespace varnock
