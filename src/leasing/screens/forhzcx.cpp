#include "leasing/screens/forhzcx.h"

#include "leasing/leasereturns.h"
#include "leasing/screens/fchax.h"

namespace varnock {

ForHZCX::ForHZCX(const LeaseReturns &returns, QWidget *parent)
    : VoucherList(QStringLiteral("ForHZCX"), QStringLiteral("还租查询"),
                  {QStringLiteral("还租日期"), QStringLiteral("还租单据编号"),
                   QStringLiteral("租赁单据编号"), QStringLiteral("供应商编号"),
                   QStringLiteral("供应商名称"), QStringLiteral("耗料单位编号"),
                   QStringLiteral("耗料单位名称")},
                  parent)
    , m_returns(returns)
{
    list([this] { return m_returns.all(); }, texts);
    fitColumns({{4, 160}, {6, 160}});
    resize(820, 420);
}

void ForHZCX::search()
{
    Fchax dialog(m_returns.database(), m_returns.finderStart(), this);
    if (const std::optional<LeaseConditions> c = dialog.ask())
        list([&] { return m_returns.find(*c); }, texts);
}

QStringList ForHZCX::texts(const LeaseReturnListRow &r)
{
    return {dateText(r.hzrq),
            QString::number(r.xtbh),
            QString::number(r.zldjbh),
            r.gysbh,
            r.gysmc,
            r.lldwbh,
            r.lldwmc};
}

} // namespace varnock
