#include "vouchers/screens/frmcktkcx.h"

#include "vouchers/issuereturns.h"
#include "vouchers/screens/fllthcx.h"

namespace varnock {

FrmCktkcx::FrmCktkcx(const IssueReturns &returns, QWidget *parent)
    : VoucherList(QStringLiteral("FrmCktkcx"), QStringLiteral("条件查询"),
                  {QStringLiteral("原始单据号"), QStringLiteral("    领 料 单 位 名 称"),
                   QStringLiteral("记账标志")},
                  parent)
    , m_returns(returns)
{
    list([this] { return m_returns.currentMonth(); }, texts);
    fitColumns({{0, 170}, {1, 200}});
    resize(560, 400);
}

void FrmCktkcx::search()
{
    Fllthcx dialog(m_returns, this);
    if (const std::optional<IssueReturnConditions> c = dialog.ask())
        showConditions(*c);
}

void FrmCktkcx::showConditions(const IssueReturnConditions &conditions)
{
    list([&] { return m_returns.find(conditions); }, texts);
}

QStringList FrmCktkcx::texts(const IssueReturnListRow &r)
{
    return {r.thdjh, r.lldwmc, postedText(r.posted)};
}

} // namespace varnock
