#include "vouchers/screens/formclxzct.h"

#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
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

FormCLXZCT::FormCLXZCT(Database &db, const Formats &formats, QWidget *parent)
    : Picker<IssueMaterials::Row>(parent, QStringLiteral("出库材料选择"))
    , m_db(db)
    , m_formats(formats)
    , m_condition(new QComboBox(this))
    , m_value(new QComboBox(this))
    , m_search(new QPushButton(QStringLiteral("查询(&F)"), this))
    , m_model(new QStandardItemModel(0, 9, this))
{
    setObjectName(QStringLiteral("FormCLXZCT"));
    m_condition->setObjectName(QStringLiteral("Combo1"));
    m_condition->addItems({QStringLiteral("无条件进行查询"), QStringLiteral("按材料编号查询"),
                           QStringLiteral("按材料名称查询")});
    m_value->setObjectName(QStringLiteral("Combo2"));
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumWidth(180);
    m_search->setAutoDefault(false);
    buttons()->button(0)->setText(QStringLiteral("确 认(&O)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("查询条件："), this));
    row->addWidget(m_condition);
    row->addWidget(m_value, 1);
    row->addWidget(m_search);
    contentLayout()->insertLayout(0, row);

    m_model->setHorizontalHeaderLabels(
        {QStringLiteral("材料编号"), QStringLiteral("材料名称"), QStringLiteral("规格型号"),
         QStringLiteral("计量单位"), QStringLiteral("计划单价"), QStringLiteral("库存数量"),
         QStringLiteral("库存金额"), QStringLiteral("换算单位"), QStringLiteral("换算系数")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_condition, &QComboBox::currentIndexChanged, this, [this] { fillValues(); });
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_value->lineEdit(), &QLineEdit::returnPressed, this, [this] { search(); });

    fillValues();
    QList<IssueMaterials::Row> rows;
    runOperation(this, [&] { rows = IssueMaterials(m_db).inStock(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(0, 90);
    view()->setColumnWidth(1, 150);
    view()->setColumnWidth(2, 100);
    resize(860, 440);
}

IssueMaterials::By FormCLXZCT::condition() const
{
    switch (m_condition->currentIndex()) {
    case 1:
        return IssueMaterials::By::Code;
    case 2:
        return IssueMaterials::By::Name;
    default:
        return IssueMaterials::By::All;
    }
}

void FormCLXZCT::fillValues()
{
    const IssueMaterials::By by = condition();
    QStringList values;
    runOperation(this, [&] { values = IssueMaterials(m_db).values(by); });
    m_value->clear();
    m_value->addItems(values);
    m_value->setEnabled(by != IssueMaterials::By::All);
    m_value->setCurrentIndex(-1);
    m_value->setEditText(QString());
}

void FormCLXZCT::search()
{
    const IssueMaterials::By by = condition();
    const QString text = m_value->currentText();
    QList<IssueMaterials::Row> rows;
    if (runOperation(this, [&] { rows = IssueMaterials(m_db).search(by, text); }))
        showRows(rows);
}

int FormCLXZCT::rowCount() const
{
    return m_model->rowCount();
}

void FormCLXZCT::showRows(const QList<IssueMaterials::Row> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    auto number = [](const QString &text) {
        auto *item = new QStandardItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (const IssueMaterials::Row &r : rows) {
        m_model->appendRow(
            {new QStandardItem(r.clbh), new QStandardItem(r.clmc), new QStandardItem(r.clgg),
             new QStandardItem(r.jzdw), number(m_formats.amountText(r.jhdj)),
             number(m_formats.quantityText(r.kcsl)), number(m_formats.amountText(r.kcje)),
             new QStandardItem(r.hsdw), number(r.hsxs != 0 ? QString::number(r.hsxs) : QString())});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

bool FormCLXZCT::acceptRow(int row)
{
    if (row < 0)
        return false;
    if (!m_rows.value(row).mayBeIssued()) {
        Messages::warn(this, QStringLiteral("材料的库存数量小于或等于零！不能出库"),
                       QStringLiteral("提示窗口"));
        return false;
    }
    return true;
}

IssueMaterials::Row FormCLXZCT::valueAt(int row) const
{
    return m_rows.value(row);
}

} // namespace varnock
