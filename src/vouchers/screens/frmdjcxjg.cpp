#include "vouchers/screens/frmdjcxjg.h"

#include "vouchers/screens/frmdjcx.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmDjcxjg::FrmDjcxjg(const StockInVouchers &vouchers, QWidget *parent)
    : Picker<qint64>(parent, vouchers.kind().zl + QStringLiteral("凭单查询"))
    , m_vouchers(vouchers)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 8, this))
{
    setObjectName(QStringLiteral("FrmDjcxjg"));
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    m_model->setHorizontalHeaderLabels({QStringLiteral("系统编号"), QStringLiteral("记账标志"),
                                        QStringLiteral("操作日期"), QStringLiteral("原始单据号"),
                                        QStringLiteral("供应商名称"), QStringLiteral("发票号"),
                                        QStringLiteral("支票号"), QStringLiteral("账类")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] {
        FrmDjcx dialog(m_vouchers, this);
        if (const std::optional<StockInConditions> c = dialog.ask())
            showConditions(*c);
    });

    QList<StockInListRow> rows;
    runOperation(this, [&] { rows = m_vouchers.currentMonth(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(3, 150);
    view()->setColumnWidth(4, 150);
    resize(760, 420);
}

FrmDjcxjg::FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> &offered,
                     QWidget *parent)
    : FrmDjcxjg(vouchers, parent)
{
    QSet<qint64> numbers;
    for (const StockInListRow &r : offered)
        numbers.insert(r.xtbh);
    m_offered = numbers;
    showRows(offered);
}

void FrmDjcxjg::showConditions(const StockInConditions &conditions)
{
    QList<StockInListRow> rows;
    if (runOperation(this, [&] { rows = m_vouchers.find(conditions); }))
        showOnlyOffered(rows);
}

void FrmDjcxjg::showOnlyOffered(QList<StockInListRow> rows)
{
    if (m_offered) {
        rows.removeIf([this](const StockInListRow &r) { return !m_offered->contains(r.xtbh); });
    }
    showRows(rows);
}

int FrmDjcxjg::rowCount() const
{
    return m_model->rowCount();
}

void FrmDjcxjg::showRows(const QList<StockInListRow> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    for (const StockInListRow &r : rows) {
        m_model->appendRow(
            {new QStandardItem(QString::number(r.xtbh)),
             new QStandardItem(r.posted ? QStringLiteral("已记账") : QStringLiteral("未记账")),
             new QStandardItem(r.czrq.toString(QStringLiteral("yyyy-MM-dd"))),
             new QStandardItem(r.ysdjh), new QStandardItem(r.gysmc), new QStandardItem(r.fpbh),
             new QStandardItem(r.zph), new QStandardItem(r.zl)});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

qint64 FrmDjcxjg::valueAt(int row) const
{
    return m_rows.value(row).xtbh;
}

} // namespace varnock
