#include "vouchers/screens/frmdjcxth.h"

#include "vouchers/screens/frmthdcx.h"
#include "vouchers/stockinreturns.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmDjcxth::FrmDjcxth(const StockInReturns &returns, QWidget *parent)
    : Picker<qint64>(parent, returns.kind().zl + QStringLiteral("凭单查询"))
    , m_returns(returns)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 9, this))
{
    setObjectName(QStringLiteral("FrmDjcxth"));
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("系统编号"), QStringLiteral("记账标志"), QStringLiteral("操作日期"),
         QStringLiteral("原始单据号"), QStringLiteral("供应商名称"), QStringLiteral("发票号"),
         QStringLiteral("支票号"), QStringLiteral("账类"), QStringLiteral("入库单号")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] {
        FrmThdcx dialog(m_returns, this);
        if (const std::optional<StockInReturnConditions> c = dialog.ask())
            showConditions(*c);
    });

    QList<StockInReturnListRow> rows;
    runOperation(this, [&] { rows = m_returns.currentMonth(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(3, 150);
    view()->setColumnWidth(4, 150);
    view()->setColumnWidth(8, 150);
    resize(900, 420);
}

void FrmDjcxth::showConditions(const StockInReturnConditions &conditions)
{
    QList<StockInReturnListRow> rows;
    if (runOperation(this, [&] { rows = m_returns.find(conditions); }))
        showRows(rows);
}

int FrmDjcxth::rowCount() const
{
    return m_model->rowCount();
}

void FrmDjcxth::showRows(const QList<StockInReturnListRow> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    for (const StockInReturnListRow &r : rows) {
        m_model->appendRow(
            {new QStandardItem(QString::number(r.xtbh)),
             new QStandardItem(r.posted ? QStringLiteral("已记账") : QStringLiteral("未记账")),
             new QStandardItem(r.czrq.toString(QStringLiteral("yyyy-MM-dd"))),
             new QStandardItem(r.thdjh), new QStandardItem(r.gysmc), new QStandardItem(r.fpbh),
             new QStandardItem(r.zph), new QStandardItem(r.zl), new QStandardItem(r.ysbh)});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

qint64 FrmDjcxth::valueAt(int row) const
{
    return m_rows.value(row).xtbh;
}

} // namespace varnock
