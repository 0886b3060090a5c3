#include "plans/screens/fgccx.h"

#include "master/catalogue.h"
#include "plans/plans.h"
#include "print/paper/tablelayout.h"
#include "print/reporttablemodel.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

Fgccx::Fgccx(Database &db, const Formats &formats, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_formats(formats)
    , m_tree(new QTreeWidget(this))
    , m_material(new QComboBox(this))
    , m_remark(new QLineEdit(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查询 (&C)"), QStringLiteral("关闭 (&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("Fgccx"));
    setWindowTitle(QStringLiteral("工程材料计划单查询"));
    Help::install(this, helpTopic());
    m_tree->setObjectName(QStringLiteral("TVLB"));
    m_tree->setHeaderHidden(true);
    m_material->setObjectName(QStringLiteral("Combo1"));
    m_remark->setObjectName(QStringLiteral("TxtBz"));
    const QDate today = Clock::today();
    m_from->setDate(QDate(today.year(), today.month(), 1));
    m_to->setDate(today);

    auto *categories = new QGroupBox(QStringLiteral("选择材料类别"), this);
    (new QVBoxLayout(categories))->addWidget(m_tree);
    auto *materials = new QGroupBox(QStringLiteral("选择明细材料"), this);
    (new QVBoxLayout(materials))->addWidget(m_material);
    auto *remarks = new QGroupBox(QStringLiteral("备注选择"), this);
    (new QVBoxLayout(remarks))->addWidget(m_remark);
    auto *dates = new QGroupBox(QStringLiteral("选择日期"), this);
    auto *dateGrid = new QGridLayout(dates);
    dateGrid->addWidget(new QLabel(QStringLiteral("起始时间"), this), 0, 0);
    dateGrid->addWidget(m_from, 0, 1);
    dateGrid->addWidget(new QLabel(QStringLiteral("终止时间"), this), 1, 0);
    dateGrid->addWidget(m_to, 1, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(materials);
    right->addWidget(remarks);
    right->addWidget(dates);
    right->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(categories, 1);
    body->addLayout(right, 1);
    m_buttons->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_buttons);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { fillMaterials(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Query)
            query();
        else
            reject();
    });
    fillTree();
    resize(620, 440);
}

void Fgccx::fillTree()
{
    auto *root = new QTreeWidgetItem(m_tree, {Catalogue::RootName});
    root->setData(0, Qt::UserRole, Catalogue::RootCode);
    const Catalogue catalogue(m_db);
    // Only the categories: the materials are chosen in the list beside.
    std::function<void(QTreeWidgetItem *, const QString &)> add = [&](QTreeWidgetItem *parent,
                                                                      const QString &code) {
        for (const CatalogueRow &row : catalogue.children(code)) {
            if (row.sfmj)
                continue;
            auto *item = new QTreeWidgetItem(parent, {row.clbh + QLatin1Char(' ') + row.clmc});
            item->setData(0, Qt::UserRole, row.clbh);
            add(item, row.clbh);
        }
    };
    runOperation(this, [&] { add(root, Catalogue::RootCode); });
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
}

void Fgccx::fillMaterials()
{
    m_material->clear();
    m_material->addItem(QString(), QString());
    const QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    const QString code = item->data(0, Qt::UserRole).toString();
    if (code == Catalogue::RootCode)
        return;
    runOperation(this, [&] {
        for (const CatalogueRow &row : Catalogue(m_db).children(code)) {
            if (row.sfmj)
                m_material->addItem(
                    row.clbh + QLatin1Char(' ') + row.clmc + QLatin1Char(' ') + row.clgg, row.clbh);
        }
    });
}

void Fgccx::query()
{
    PlanConditions c;
    c.clbh = m_material->currentData().toString();
    c.bz = m_remark->text();
    if (const QTreeWidgetItem *item = m_tree->currentItem()) {
        const QString code = item->data(0, Qt::UserRole).toString();
        if (code != Catalogue::RootCode)
            c.category = code;
    }
    c.from = m_from->date();
    c.to = m_to->date();
    ReportTable table;
    QString firm;
    if (!runOperation(this, [&] {
            table = Plans::queryReport(Plans(m_db, m_formats).find(c));
            firm = VoucherSlips::firmName(m_db);
        }))
        return;
    Fgccljlcx result(table, firm, m_formats, this);
    result.exec();
}

Fgccljlcx::Fgccljlcx(const ReportTable &table, const QString &firm, const Formats &formats,
                     QWidget *parent)
    : QDialog(parent)
    , m_model(new ReportTableModel(formats, this))
    , m_view(new QTableView(this))
    , m_firm(firm)
    , m_formats(formats)
{
    setObjectName(QStringLiteral("Fgccljlcx"));
    setWindowTitle(QStringLiteral("按F2打印所有计划填写"));
    m_model->setTable(table);
    m_view->setObjectName(QStringLiteral("MFG"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->hide();
    m_view->resizeColumnsToContents();
    (new QVBoxLayout(this))->addWidget(m_view);
    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(f2, &QShortcut::activated, this, [this] { print(); });
    resize(1100, 480);
}

void Fgccljlcx::print()
{
    const ReportTable &table = m_model->table();
    Printing::preview(this, TableLayout::pageLayout(table, m_formats), table.name(),
                      [this](QPagedPaintDevice *device) {
                          TableLayout::print(device, m_model->table(), m_formats, m_firm);
                      });
}

} // namespace varnock
