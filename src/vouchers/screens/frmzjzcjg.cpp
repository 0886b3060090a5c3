#include "vouchers/screens/frmzjzcjg.h"

#include "vouchers/directvouchers.h"
#include "vouchers/screens/frmzjzccx.h"

namespace varnock {

FrmZjzcjg::FrmZjzcjg(const DirectVouchers &vouchers, QWidget *parent)
    : VoucherList(QStringLiteral("FrmZjzcjg"), QStringLiteral("直进直出凭单查询"),
                  {QStringLiteral("系统编号"), QStringLiteral("记账标志"),
                   QStringLiteral("操作日期"), QStringLiteral("入库单号"),
                   QStringLiteral("供应商名称"), QStringLiteral("发票号"), QStringLiteral("支票号"),
                   QStringLiteral("出库单号"), QStringLiteral("耗料单位名称"),
                   QStringLiteral("施工部位"), QStringLiteral("栋号")},
                  parent)
    , m_vouchers(vouchers)
{
    list([this] { return m_vouchers.currentMonth(); }, texts);
    fitColumns({{3, 150}, {4, 150}, {7, 150}});
    resize(1000, 420);
}

void FrmZjzcjg::search()
{
    FrmZjzccx dialog(m_vouchers, this);
    if (const std::optional<DirectConditions> c = dialog.ask())
        showConditions(*c);
}

void FrmZjzcjg::showConditions(const DirectConditions &conditions)
{
    list([&] { return m_vouchers.find(conditions); }, texts);
}

QStringList FrmZjzcjg::texts(const DirectListRow &r)
{
    return {QString::number(r.xtbh),
            postedText(r.posted),
            dateText(r.czrq),
            r.ysdjh,
            r.gysmc,
            r.fpbh,
            r.zph,
            r.issueYsdjh,
            r.lldwmc,
            r.sgbw,
            r.dh};
}

} // namespace varnock
