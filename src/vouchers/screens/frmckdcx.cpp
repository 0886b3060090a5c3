#include "vouchers/screens/frmckdcx.h"

#include "vouchers/issuereturns.h"
#include "vouchers/screens/fllckcx.h"

namespace varnock {

FrmCkdcx::FrmCkdcx(const IssueReturns &returns, QWidget *parent)
    : VoucherList(
          QStringLiteral("FrmCkdcx"),
          returns.isTransfer() ? QStringLiteral("调拨出库单据") : QStringLiteral("领料出库单据"),
          {QStringLiteral("单据编号"), QStringLiteral("单位名称"), QStringLiteral("操作日期"),
           QStringLiteral("施工部位"), QStringLiteral("栋/楼号"), QStringLiteral("系统编号"),
           QStringLiteral("单位编号")},
          parent)
    , m_returns(returns)
{
    list([this] { return m_returns.returnableIssues(); }, texts);
    fitColumns({{0, 150}, {1, 150}});
    resize(800, 420);
}

void FrmCkdcx::search()
{
    FLLCKCX dialog(m_returns, this);
    if (const std::optional<ReturnableIssueConditions> c = dialog.ask())
        showConditions(*c);
}

void FrmCkdcx::showConditions(const ReturnableIssueConditions &conditions)
{
    list([&] { return m_returns.findReturnableIssues(conditions); }, texts);
}

QStringList FrmCkdcx::texts(const ReturnableIssueRow &r)
{
    return {r.ysdjh, r.lldwmc, dateText(r.czrq), r.sgbw, r.dh, QString::number(r.xtbh), r.lldwbh};
}

} // namespace varnock
