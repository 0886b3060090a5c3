#include "master/screens/frmgysxz.h"

#include "master/suppliers.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmGysxz::FrmGysxz(Database &db, QWidget *parent)
    : Picker<Counterparty>(parent, QStringLiteral("供应商选择"))
    , m_db(db)
    , m_condition(new QComboBox(this))
    , m_text(new QLineEdit(this))
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 5, this))
{
    setObjectName(QStringLiteral("FrmGysxz"));
    m_condition->setObjectName(QStringLiteral("Combo1"));
    m_condition->addItems({QStringLiteral("按编号查询"), QStringLiteral("按名称查询")});
    m_text->setObjectName(QStringLiteral("Text1"));
    m_search->setAutoDefault(false);
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("查询条件："), this));
    row->addWidget(m_condition);
    row->addWidget(m_text, 1);
    row->addWidget(m_search);
    contentLayout()->insertLayout(0, row);

    m_model->setHorizontalHeaderLabels({QStringLiteral(" 编 号"), QStringLiteral("   单位名称"),
                                        QStringLiteral("   地  址"), QStringLiteral("   联系人"),
                                        QStringLiteral("   电  话")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { search(); });

    QList<Counterparty> rows;
    runOperation(this, [&] { rows = Suppliers(m_db).search(CounterpartySearch::All, {}); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(0, 70);
    view()->setColumnWidth(1, 180);
    view()->setColumnWidth(2, 160);
    resize(640, 400);
}

CounterpartyPick FrmGysxz::suppliers(Database &db, QWidget *parent)
{
    return [&db, parent] { return FrmGysxz(db, parent).pick(); };
}

void FrmGysxz::search()
{
    const CounterpartySearch by =
        m_condition->currentIndex() == 1 ? CounterpartySearch::ByName : CounterpartySearch::ByCode;
    QList<Counterparty> rows;
    if (runOperation(this, [&] { rows = Suppliers(m_db).search(by, m_text->text()); }))
        showRows(rows);
}

void FrmGysxz::showRows(const QList<Counterparty> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    for (const Counterparty &c : rows) {
        m_model->appendRow({new QStandardItem(c.code), new QStandardItem(c.name),
                            new QStandardItem(c.address), new QStandardItem(c.contact),
                            new QStandardItem(c.phone)});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

Counterparty FrmGysxz::valueAt(int row) const
{
    return m_rows.value(row);
}

} // namespace varnock
