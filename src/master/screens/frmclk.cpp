#include "master/screens/frmclk.h"

#include "master/cataloguetablemodel.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmClk::FrmClk(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_catalogue(db)
    , m_combo(new QComboBox(this))
    , m_grid(new QTableView(this))
    , m_model(new CatalogueTableModel(this))
    , m_import(new QPushButton(QStringLiteral("导入材料库(&R)"), this))
{
    setObjectName(QStringLiteral("FrmClk"));
    setWindowTitle(QStringLiteral("选择材料库"));
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->addItems(
        {QStringLiteral("材料库1"), QStringLiteral("材料库2"), QStringLiteral("材料库3")});
    m_combo->setCurrentIndex(-1);
    m_combo->setMinimumWidth(140);
    m_import->setObjectName(QStringLiteral("Command1"));
    m_import->setEnabled(false);

    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->hide();
    // The library list shows code, name, spec, unit, planned price, conversion unit, factor.
    m_grid->setColumnHidden(CatalogueTableModel::Jjfs, true);
    m_grid->setColumnHidden(CatalogueTableModel::Sfmj, true);
    m_grid->setColumnWidth(CatalogueTableModel::Clbh, 90);
    m_grid->setColumnWidth(CatalogueTableModel::Clmc, 150);
    m_grid->setColumnWidth(CatalogueTableModel::Clgg, 130);
    m_grid->setColumnWidth(CatalogueTableModel::Jzdw, 70);
    m_grid->setColumnWidth(CatalogueTableModel::Jhdj, 80);
    m_grid->setColumnWidth(CatalogueTableModel::Hsdw, 70);
    m_grid->setColumnWidth(CatalogueTableModel::Hsxs, 70);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("选择材料库："), this));
    top->addWidget(m_combo);
    top->addStretch();
    top->addWidget(m_import);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    connect(m_combo, &QComboBox::currentIndexChanged, this, &FrmClk::showLibrary);
    connect(m_import, &QPushButton::clicked, this, &FrmClk::importLibrary);
    resize(720, 480);
}

void FrmClk::showLibrary(int library)
{
    if (library < 0)
        return;
    QList<CatalogueRow> rows;
    runOperation(this, [&] { rows = m_catalogue.libraryRows(library); });
    m_model->setRows(rows);
    m_import->setEnabled(true);
}

void FrmClk::importLibrary()
{
    const int library = m_combo->currentIndex();
    if (library < 0)
        return;
    if (!Messages::ask(this, QStringLiteral("新的材料库将替换现有材料库，你确定进行吗？"),
                       Catalogue::Title)) {
        return;
    }
    if (!runOperation(this, [&] { m_catalogue.importLibrary(library); }))
        return;
    emit imported();
    Messages::inform(this, QStringLiteral("数据替换完毕！"), Catalogue::Title);
}

} // namespace varnock
