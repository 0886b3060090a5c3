#include "vouchers/screens/frmdjcxth.h"

#include "vouchers/screens/frmthdcx.h"
#include "vouchers/stockinreturns.h"

namespace varnock {

FrmDjcxth::FrmDjcxth(const StockInReturns &returns, QWidget *parent)
    : VoucherList(QStringLiteral("FrmDjcxth"), returns.kind().zl + QStringLiteral("凭单查询"),
                  {QStringLiteral("系统编号"), QStringLiteral("记账标志"),
                   QStringLiteral("操作日期"), QStringLiteral("原始单据号"),
                   QStringLiteral("供应商名称"), QStringLiteral("发票号"), QStringLiteral("支票号"),
                   QStringLiteral("账类"), QStringLiteral("入库单号")},
                  parent)
    , m_returns(returns)
{
    list([this] { return m_returns.currentMonth(); }, texts);
    fitColumns({{3, 150}, {4, 150}, {8, 150}});
    resize(900, 420);
}

void FrmDjcxth::search()
{
    FrmThdcx dialog(m_returns, this);
    if (const std::optional<StockInReturnConditions> c = dialog.ask())
        showConditions(*c);
}

void FrmDjcxth::showConditions(const StockInReturnConditions &conditions)
{
    list([&] { return m_returns.find(conditions); }, texts);
}

QStringList FrmDjcxth::texts(const StockInReturnListRow &r)
{
    return {QString::number(r.xtbh),
            postedText(r.posted),
            dateText(r.czrq),
            r.thdjh,
            r.gysmc,
            r.fpbh,
            r.zph,
            r.zl,
            r.ysbh};
}

} // namespace varnock
