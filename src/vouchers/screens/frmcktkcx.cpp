#include "vouchers/screens/frmcktkcx.h"

#include "vouchers/issuereturns.h"
#include "vouchers/screens/fllthcx.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmCktkcx::FrmCktkcx(const IssueReturns &returns, QWidget *parent)
    : Picker<qint64>(parent, QStringLiteral("条件查询"))
    , m_returns(returns)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 3, this))
{
    setObjectName(QStringLiteral("FrmCktkcx"));
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    m_model->setHorizontalHeaderLabels({QStringLiteral("原始单据号"),
                                        QStringLiteral("    领 料 单 位 名 称"),
                                        QStringLiteral("记账标志")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] {
        Fllthcx dialog(m_returns, this);
        if (const std::optional<IssueReturnConditions> c = dialog.ask())
            showConditions(*c);
    });

    QList<IssueReturnListRow> rows;
    runOperation(this, [&] { rows = m_returns.currentMonth(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(0, 170);
    view()->setColumnWidth(1, 200);
    resize(560, 400);
}

void FrmCktkcx::showConditions(const IssueReturnConditions &conditions)
{
    QList<IssueReturnListRow> rows;
    if (runOperation(this, [&] { rows = m_returns.find(conditions); }))
        showRows(rows);
}

int FrmCktkcx::rowCount() const
{
    return m_model->rowCount();
}

void FrmCktkcx::showRows(const QList<IssueReturnListRow> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    for (const IssueReturnListRow &r : rows) {
        m_model->appendRow(
            {new QStandardItem(r.thdjh), new QStandardItem(r.lldwmc),
             new QStandardItem(r.posted ? QStringLiteral("已记账") : QStringLiteral("未记账"))});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

qint64 FrmCktkcx::valueAt(int row) const
{
    return m_rows.value(row).xtbh;
}

} // namespace varnock
