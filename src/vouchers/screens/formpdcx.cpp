#include "vouchers/screens/formpdcx.h"

#include "vouchers/issuevouchers.h"
#include "vouchers/screens/frmllpdcx.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FormPDCX::FormPDCX(const IssueVouchers &vouchers, QWidget *parent)
    : Picker<qint64>(parent, QStringLiteral("凭单查询"))
    , m_vouchers(vouchers)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 9, this))
{
    setObjectName(QStringLiteral("FormPDCX"));
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    const QString unit = vouchers.zl() == IssueVouchers::TransferOut ? QStringLiteral("调拨单位")
                                                                     : QStringLiteral("耗料单位");
    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("行号"), QStringLiteral("记帐"), QStringLiteral("单据编号"),
         QStringLiteral("凭证编号"), QStringLiteral("操作日期"), unit, QStringLiteral("施工部位"),
         QStringLiteral("栋/楼号"), QStringLiteral("耗料单位编号")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] {
        FrmLLpdcx dialog(m_vouchers, this);
        if (const std::optional<IssueConditions> c = dialog.ask())
            showConditions(*c);
    });

    QList<IssueListRow> rows;
    runOperation(this, [&] { rows = m_vouchers.currentMonth(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(2, 150);
    view()->setColumnWidth(5, 150);
    resize(860, 420);
}

void FormPDCX::showConditions(const IssueConditions &conditions)
{
    QList<IssueListRow> rows;
    if (runOperation(this, [&] { rows = m_vouchers.find(conditions); }))
        showRows(rows);
}

int FormPDCX::rowCount() const
{
    return m_model->rowCount();
}

void FormPDCX::showRows(const QList<IssueListRow> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    int number = 0;
    for (const IssueListRow &r : rows) {
        m_model->appendRow(
            {new QStandardItem(QString::number(++number)),
             new QStandardItem(r.posted ? QStringLiteral("已记账") : QStringLiteral("未记账")),
             new QStandardItem(r.ysdjh), new QStandardItem(QString::number(r.xtbh)),
             new QStandardItem(r.czrq.toString(QStringLiteral("yyyy-MM-dd"))),
             new QStandardItem(r.lldwmc), new QStandardItem(r.sgbw), new QStandardItem(r.dh),
             new QStandardItem(r.lldwbh)});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

qint64 FormPDCX::valueAt(int row) const
{
    return m_rows.value(row).xtbh;
}

} // namespace varnock
