#include "vouchers/screens/frmdjcxjg.h"

#include "vouchers/screens/frmdjcx.h"
#include "vouchers/stockinvouchers.h"

namespace varnock {

FrmDjcxjg::FrmDjcxjg(const StockInVouchers &vouchers, QWidget *parent)
    : FrmDjcxjg(vouchers, nullptr, parent)
{}

FrmDjcxjg::FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> &offered,
                     QWidget *parent)
    : FrmDjcxjg(vouchers, &offered, parent)
{}

FrmDjcxjg::FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> *offered,
                     QWidget *parent)
    : VoucherList(QStringLiteral("FrmDjcxjg"), vouchers.kind().zl + QStringLiteral("凭单查询"),
                  {QStringLiteral("系统编号"), QStringLiteral("记账标志"),
                   QStringLiteral("操作日期"), QStringLiteral("原始单据号"),
                   QStringLiteral("供应商名称"), QStringLiteral("发票号"), QStringLiteral("支票号"),
                   QStringLiteral("账类")},
                  parent)
    , m_vouchers(vouchers)
{
    if (offered) {
        m_offered.emplace();
        for (const StockInListRow &r : *offered)
            m_offered->insert(r.xtbh);
        showRows(*offered, texts);
    } else {
        list([this] { return m_vouchers.currentMonth(); }, texts);
    }
    fitColumns({{3, 150}, {4, 150}});
    resize(760, 420);
}

void FrmDjcxjg::search()
{
    FrmDjcx dialog(m_vouchers, this);
    if (const std::optional<StockInConditions> c = dialog.ask())
        showConditions(*c);
}

void FrmDjcxjg::showConditions(const StockInConditions &conditions)
{
    list(
        [&] {
            QList<StockInListRow> rows = m_vouchers.find(conditions);
            if (m_offered)
                rows.removeIf(
                    [this](const StockInListRow &r) { return !m_offered->contains(r.xtbh); });
            return rows;
        },
        texts);
}

QStringList FrmDjcxjg::texts(const StockInListRow &r)
{
    return {QString::number(r.xtbh),
            postedText(r.posted),
            dateText(r.czrq),
            r.ysdjh,
            r.gysmc,
            r.fpbh,
            r.zph,
            r.zl};
}

} // namespace varnock
