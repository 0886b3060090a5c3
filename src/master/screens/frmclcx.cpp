#include "master/screens/frmclcx.h"

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

FrmClcx::FrmClcx(Database &db, const Formats &formats, QWidget *parent)
    : Picker<MaterialLookup::Row>(parent, QStringLiteral("材料查询"))
    , m_db(db)
    , m_formats(formats)
    , m_condition(new QComboBox(this))
    , m_text(new QLineEdit(this))
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, 7, this))
{
    setObjectName(QStringLiteral("FrmClcx"));
    m_condition->setObjectName(QStringLiteral("Combo1"));
    m_condition->addItems({QStringLiteral("按编号查询"), QStringLiteral("按名称查询")});
    m_text->setObjectName(QStringLiteral("Text1"));
    m_search->setAutoDefault(false);
    buttons()->button(0)->setText(QStringLiteral("确 定(&Q)"));
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));

    auto *row = new QHBoxLayout;
    row->addWidget(m_condition);
    row->addWidget(m_text, 1);
    row->addWidget(m_search);
    contentLayout()->insertLayout(0, row);

    m_model->setHorizontalHeaderLabels(
        {QStringLiteral(" 材料编号"), QStringLiteral("  材 料 名 称"),
         QStringLiteral(" 材 料 规 格"), QStringLiteral("单 位"), QStringLiteral(" 计划单价"),
         QStringLiteral("库存单价"), QStringLiteral("库存数量")});
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { search(); });

    QList<MaterialLookup::Row> rows;
    runOperation(this, [&] { rows = MaterialLookup(m_db).search(); });
    showRows(rows);
    setModel(m_model);
    view()->setColumnWidth(0, 90);
    view()->setColumnWidth(1, 160);
    view()->setColumnWidth(2, 110);
    resize(720, 440);
}

void FrmClcx::search()
{
    const MaterialLookup::By by =
        m_condition->currentIndex() == 1 ? MaterialLookup::By::Name : MaterialLookup::By::Code;
    QList<MaterialLookup::Row> rows;
    if (runOperation(this, [&] { rows = MaterialLookup(m_db).search(by, m_text->text()); }))
        showRows(rows);
}

void FrmClcx::showRows(const QList<MaterialLookup::Row> &rows)
{
    m_rows = rows;
    m_model->setRowCount(0);
    auto number = [](const QString &text) {
        auto *item = new QStandardItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (const MaterialLookup::Row &r : rows) {
        const std::optional<Decimal> stockPrice = r.stockPrice();
        m_model->appendRow({new QStandardItem(r.clbh), new QStandardItem(r.clmc),
                            new QStandardItem(r.clgg), new QStandardItem(r.jzdw),
                            number(m_formats.amountText(r.jhdj)),
                            number(stockPrice ? m_formats.amountText(*stockPrice) : QString()),
                            number(m_formats.quantityText(r.kcsl))});
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

MaterialLookup::Row FrmClcx::valueAt(int row) const
{
    return m_rows.value(row);
}

} // namespace varnock
