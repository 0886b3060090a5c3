#include "master/screens/formlldwxzct.h"

#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FormLLDWXZCT::FormLLDWXZCT(Database &db, Mode mode, QWidget *parent)
    : Picker<Counterparty>(parent, QStringLiteral("单位选择"))
    , m_db(db)
    , m_mode(mode)
    , m_condition(new QComboBox(this))
    , m_value(new QComboBox(this))
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 5, this))
{
    setObjectName(QStringLiteral("FormLLDWXZCT"));
    m_condition->setObjectName(QStringLiteral("Combo1"));
    m_condition->addItems({QStringLiteral("无条件进行查询"), QStringLiteral("按单位编号查询"),
                           QStringLiteral("按单位名称查询")});
    m_value->setObjectName(QStringLiteral("Combo2"));
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumWidth(180);
    m_search->setAutoDefault(false);
    buttons()->button(0)->setText(QStringLiteral("确 认(&O)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));

    auto *row = new QHBoxLayout;
    row->addWidget(m_condition);
    row->addWidget(m_value, 1);
    row->addWidget(m_search);
    contentLayout()->insertLayout(0, row);

    m_model->setHorizontalHeaderLabels({QStringLiteral("单位编号"), QStringLiteral("单位名称"),
                                        QStringLiteral("   单  位  地  址"),
                                        QStringLiteral("联 系 人"), QStringLiteral("联系电话")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_condition, &QComboBox::currentIndexChanged, this, [this] { fillValues(); });
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_value->lineEdit(), &QLineEdit::returnPressed, this, [this] { search(); });

    fillValues();
    search();
    setModel(m_model);
    view()->setColumnWidth(1, 170);
    view()->setColumnWidth(2, 170);
    resize(660, 400);
}

CounterpartyPick FormLLDWXZCT::units(Database &db, QWidget *parent)
{
    return [&db, parent] { return FormLLDWXZCT(db, Mode::Units, parent).pick(); };
}

CounterpartySearch FormLLDWXZCT::condition() const
{
    switch (m_condition->currentIndex()) {
    case 1:
        return CounterpartySearch::ByCode;
    case 2:
        return CounterpartySearch::ByName;
    default:
        return CounterpartySearch::All;
    }
}

void FormLLDWXZCT::fillValues()
{
    QStringList values;
    const CounterpartySearch by = condition();
    runOperation(this, [&] {
        values =
            m_mode == Mode::Units ? ConsumingUnits(m_db).values(by) : Suppliers(m_db).values(by);
    });
    m_value->clear();
    m_value->addItems(values);
    m_value->setEnabled(by != CounterpartySearch::All);
    m_value->setCurrentIndex(-1);
    m_value->setEditText(QString());
}

void FormLLDWXZCT::search()
{
    const CounterpartySearch by = condition();
    const QString text = m_value->currentText();
    QList<Counterparty> rows;
    if (runOperation(this, [&] {
            rows = m_mode == Mode::Units ? ConsumingUnits(m_db).search(by, text)
                                         : Suppliers(m_db).search(by, text);
        }))
        showRows(rows);
}

void FormLLDWXZCT::showRows(const QList<Counterparty> &rows)
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

Counterparty FormLLDWXZCT::valueAt(int row) const
{
    return m_rows.value(row);
}

} // namespace varnock
