#include "leasing/screens/fzl.h"

#include "leasing/leases.h"
#include "leasing/screens/fchax.h"

namespace varnock {

Fzl::Fzl(const Leases &leases, QWidget *parent)
    : VoucherList(QStringLiteral("Fzl"), QStringLiteral("单据查询"),
                  {QStringLiteral("租赁单据编号"), QStringLiteral("租用日期"),
                   QStringLiteral(" 供应商编号"), QStringLiteral(" 供应商名称"),
                   QStringLiteral("耗料单位编号"), QStringLiteral("耗料单位名称")},
                  parent)
    , m_leases(leases)
{
    list([this] { return m_leases.all(); }, texts);
    fitColumns({{3, 160}, {5, 160}});
    resize(760, 420);
}

void Fzl::search()
{
    Fchax dialog(m_leases.database(), m_leases.finderStart(), this);
    if (const std::optional<LeaseConditions> c = dialog.ask())
        list([&] { return m_leases.find(*c); }, texts);
}

QStringList Fzl::texts(const LeaseListRow &r)
{
    return {QString::number(r.xtbh), dateText(r.zlrq), r.gysbh, r.gysmc, r.lldwbh, r.lldwmc};
}

} // namespace varnock
