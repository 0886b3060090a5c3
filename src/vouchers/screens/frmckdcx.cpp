#include "vouchers/screens/frmckdcx.h"

#include "vouchers/issuereturns.h"
#include "vouchers/screens/fllckcx.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmCkdcx::FrmCkdcx(const IssueReturns &returns, QWidget *parent)
    : Picker<qint64>(parent, returns.isTransfer() ? QStringLiteral("调拨出库单据")
                                                  : QStringLiteral("领料出库单据"))
    , m_returns(returns)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 7, this))
{
    setObjectName(QStringLiteral("FrmCkdcx"));
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    m_model->setHorizontalHeaderLabels({QStringLiteral("单据编号"), QStringLiteral("单位名称"),
                                        QStringLiteral("操作日期"), QStringLiteral("施工部位"),
                                        QStringLiteral("栋/楼号"), QStringLiteral("系统编号"),
                                        QStringLiteral("单位编号")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] {
        FLLCKCX dialog(m_returns, this);
        if (const std::optional<ReturnableIssueConditions> c = dialog.ask())
            showConditions(*c);
    });

    QList<ReturnableIssueRow> rows;
    runOperation(this, [&] { rows = m_returns.returnableIssues(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(0, 150);
    view()->setColumnWidth(1, 150);
    resize(800, 420);
}

void FrmCkdcx::showConditions(const ReturnableIssueConditions &conditions)
{
    QList<ReturnableIssueRow> rows;
    if (runOperation(this, [&] { rows = m_returns.findReturnableIssues(conditions); }))
        showRows(rows);
}

int FrmCkdcx::rowCount() const
{
    return m_model->rowCount();
}

void FrmCkdcx::showRows(const QList<ReturnableIssueRow> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    for (const ReturnableIssueRow &r : rows) {
        m_model->appendRow({new QStandardItem(r.ysdjh), new QStandardItem(r.lldwmc),
                            new QStandardItem(r.czrq.toString(QStringLiteral("yyyy-MM-dd"))),
                            new QStandardItem(r.sgbw), new QStandardItem(r.dh),
                            new QStandardItem(QString::number(r.xtbh)),
                            new QStandardItem(r.lldwbh)});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

qint64 FrmCkdcx::valueAt(int row) const
{
    return m_rows.value(row).xtbh;
}

} // namespace varnock
