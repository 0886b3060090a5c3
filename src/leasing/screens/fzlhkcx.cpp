#include "leasing/screens/fzlhkcx.h"

#include "leasing/screens/fhkcxcx.h"
#include "shell/screens/frmma.h"
#include "vouchers/voucherbook.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

Fzlhkcx::Fzlhkcx(Database &db, const Formats &formats, int operatorNumber, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_payments(db, formats)
    , m_formats(formats)
    , m_operator(operatorNumber)
    , m_model(new QStandardItemModel(0, 5, this))
    , m_view(new QTableView(this))
    , m_buttons(new IndexedButtonGroup(
          {QStringLiteral("查 询(&F)"), QStringLiteral("删 除(&D)"), QStringLiteral("退 出(&X)")},
          Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("Fzlhkcx"));
    setWindowTitle(QStringLiteral("租赁还款查询"));
    m_model->setHorizontalHeaderLabels({QStringLiteral("供应商编号"), QStringLiteral("供应商名称"),
                                        QStringLiteral("还款日期"), QStringLiteral("还款金额"),
                                        QStringLiteral("摘      要")});
    m_view->setObjectName(QStringLiteral("MFG"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_buttons->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_buttons);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Search)
            search();
        else if (index == Delete)
            deleteCurrent();
        else
            reject();
    });
    list({});
    m_view->setColumnWidth(1, 180);
    resize(720, 420);
}

int Fzlhkcx::rowCount() const
{
    return m_model->rowCount();
}

void Fzlhkcx::list(const LeasePayments::Conditions &conditions)
{
    QList<LeasePayments::Payment> rows;
    if (!runOperation(this, [&] { rows = m_payments.list(conditions); }))
        return;
    m_conditions = conditions;
    m_ids.clear();
    m_model->setRowCount(0);
    for (const LeasePayments::Payment &p : rows) {
        auto *amount = new QStandardItem(m_formats.amountText(p.hzje));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->appendRow({new QStandardItem(p.gysbh), new QStandardItem(p.gysmc),
                            new QStandardItem(VoucherBook::dateText(p.hzrq)), amount,
                            new QStandardItem(p.bz)});
        m_ids.append(p.id);
    }
    if (!rows.isEmpty())
        m_view->selectRow(0);
}

void Fzlhkcx::search()
{
    Fhkcxcx dialog(m_db, this);
    if (const std::optional<LeasePayments::Conditions> c = dialog.ask())
        list(*c);
}

void Fzlhkcx::deleteCurrent()
{
    const int row = m_view->currentIndex().isValid() ? m_view->currentIndex().row() : -1;
    if (row < 0 || row >= m_ids.size())
        return;
    if (!Messages::ask(this, QStringLiteral("您确定要删除该笔还款吗？")))
        return;
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return;
    if (runOperation(this, [&] { m_payments.remove(m_ids.at(row), m_operator, typed); }))
        list(m_conditions);
}

} // namespace varnock
