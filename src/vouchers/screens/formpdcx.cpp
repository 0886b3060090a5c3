#include "vouchers/screens/formpdcx.h"

#include "vouchers/issuevouchers.h"
#include "vouchers/screens/frmllpdcx.h"

namespace varnock {

FormPDCX::FormPDCX(const IssueVouchers &vouchers, QWidget *parent)
    : VoucherList(QStringLiteral("FormPDCX"), QStringLiteral("凭单查询"),
                  {QStringLiteral("行号"), QStringLiteral("记帐"), QStringLiteral("单据编号"),
                   QStringLiteral("凭证编号"), QStringLiteral("操作日期"),
                   vouchers.zl() == IssueVouchers::TransferOut ? QStringLiteral("调拨单位")
                                                               : QStringLiteral("耗料单位"),
                   QStringLiteral("施工部位"), QStringLiteral("栋/楼号"),
                   QStringLiteral("耗料单位编号")},
                  parent)
    , m_vouchers(vouchers)
{
    listRows([this] { return m_vouchers.currentMonth(); });
    fitColumns({{2, 150}, {5, 150}});
    resize(860, 420);
}

void FormPDCX::search()
{
    FrmLLpdcx dialog(m_vouchers, this);
    if (const std::optional<IssueConditions> c = dialog.ask())
        showConditions(*c);
}

void FormPDCX::showConditions(const IssueConditions &conditions)
{
    listRows([&] { return m_vouchers.find(conditions); });
}

void FormPDCX::listRows(const std::function<QList<IssueListRow>()> &fetch)
{
    // The first column numbers the rows as listed.
    list(fetch, [number = 0](const IssueListRow &r) mutable {
        return QStringList{QString::number(++number),
                           postedText(r.posted),
                           r.ysdjh,
                           QString::number(r.xtbh),
                           dateText(r.czrq),
                           r.lldwmc,
                           r.sgbw,
                           r.dh,
                           r.lldwbh};
    });
}

} // namespace varnock
