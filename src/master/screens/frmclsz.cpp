#include "master/screens/frmclsz.h"

#include "master/cataloguetablemodel.h"
#include "master/screens/frmcladd.h"
#include "master/screens/frmclk.h"
#include "master/screens/frmladd.h"
#include "print/screens/reportwindow.h"
#include "shell/menutree.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace varnock {
namespace {

constexpr int CodeRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int MaterialRole = Qt::UserRole + 2;
// Materials live on level 3; the tree shows no deeper.
constexpr int Levels = 3;

QString treeText(const CatalogueRow &row, int level)
{
    return level >= Levels ? row.clmc + QLatin1Char(' ') + row.clgg : row.clmc;
}

} // namespace

FrmClsz::FrmClsz(Database &db, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_formats(formats)
    , m_catalogue(db)
    , m_tree(new QTreeWidget(this))
    , m_grid(new QTableView(this))
    , m_model(new CatalogueTableModel(this))
    , m_current(new QLabel(this))
    , m_popup(new QMenu(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("选择材料库"), QStringLiteral("打  印(&P)"),
                                        QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this))
    , m_selection(Catalogue::RootCode)
{
    setObjectName(QStringLiteral("FrmClsz"));
    setWindowTitle(QStringLiteral("材料信息设置"));
    Help::install(this, helpTopic());

    m_tree->setObjectName(QStringLiteral("TV"));
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setMinimumWidth(220);

    m_grid->setObjectName(QStringLiteral("DG"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {80, 120, 120, 60, 66, 76, 60, 60, 60};
    for (int c = 0; c < CatalogueTableModel::ColumnCount; ++c)
        m_grid->setColumnWidth(c, widths[c]);

    m_current->setObjectName(QStringLiteral("Label1"));
    auto *hint = new QLabel(QStringLiteral("单击右键，增加材料"), this);
    hint->setObjectName(QStringLiteral("Label2"));
    hint->setStyleSheet(QStringLiteral("color: #0000c0;"));

    // The tree's pop-up: entries named and captioned as in the main window's POPUP.
    m_popup->setObjectName(QStringLiteral("POPUP"));
    int separators = 0;
    for (const MenuTree::Entry &e : MenuTree::children(QStringLiteral("POPUP"))) {
        QAction *action = e.isSeparator() ? m_popup->addSeparator() : m_popup->addAction(e.caption);
        action->setObjectName(e.isSeparator() ? QStringLiteral("JG%1").arg(++separators) : e.name);
    }
    connect(popupAction(QStringLiteral("BJ")), &QAction::triggered, this, &FrmClsz::addHere);
    connect(popupAction(QStringLiteral("XJ")), &QAction::triggered, this, &FrmClsz::addBelow);
    connect(popupAction(QStringLiteral("SC")), &QAction::triggered, this, &FrmClsz::removeNode);
    connect(popupAction(QStringLiteral("SX")), &QAction::triggered, this, &FrmClsz::rebuildTree);

    auto *top = new QHBoxLayout;
    top->addWidget(m_current);
    top->addStretch();
    top->addWidget(hint);
    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addLayout(top);
    rightLayout->addWidget(m_grid, 1);
    rightLayout->addWidget(m_buttons);
    m_buttons->setAlignment(Qt::AlignCenter);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_tree);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 770});
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { selectNode(current); });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *it = m_tree->itemAt(pos);
        if (!it)
            return;
        preparePopup(it);
        m_popup->exec(m_tree->viewport()->mapToGlobal(pos));
    });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &FrmClsz::sortByColumn);
    connect(m_grid, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { openRow(index.row()); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Library) {
            openLibrary();
        } else if (index == Print) {
            ReportWindow::open(this, m_db, m_formats, QStringLiteral("CLJBXXB"));
        } else if (index == Exit) {
            ScreenParts::close(this);
        }
    });

    resize(1000, 560);
    rebuildTree();
}

QAction *FrmClsz::popupAction(const QString &name) const
{
    const QList<QAction *> actions = m_popup->actions();
    for (QAction *a : actions) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

QString FrmClsz::codeOf(const QTreeWidgetItem *item) const
{
    return item ? item->data(0, CodeRole).toString() : QString();
}

int FrmClsz::levelOf(const QTreeWidgetItem *item) const
{
    return item ? item->data(0, LevelRole).toInt() : 0;
}

QTreeWidgetItem *FrmClsz::item(const QString &clbh) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (codeOf(*it) == clbh)
            return *it;
    }
    return nullptr;
}

QTreeWidgetItem *FrmClsz::makeItem(const CatalogueRow &row, int level) const
{
    auto *it = new QTreeWidgetItem({treeText(row, level)});
    it->setData(0, CodeRole, row.clbh);
    it->setData(0, LevelRole, level);
    it->setData(0, MaterialRole, row.sfmj);
    return it;
}

void FrmClsz::rebuildTree()
{
    QList<CatalogueRow> rows;
    if (!runOperation(this, [&] { rows = m_catalogue.rows(Catalogue::RootCode); }))
        return;
    // Rows come in code order, so each parent's list is in code order too.
    QHash<QString, QList<CatalogueRow>> byParent;
    for (const CatalogueRow &r : rows)
        byParent[r.sjbh] << r;

    const QSignalBlocker blocker(m_tree);
    m_tree->clear();
    auto *root = new QTreeWidgetItem({Catalogue::RootName});
    root->setData(0, CodeRole, Catalogue::RootCode);
    root->setData(0, LevelRole, 0);
    m_tree->addTopLevelItem(root);
    const std::function<void(QTreeWidgetItem *, int)> fill = [&](QTreeWidgetItem *parent,
                                                                 int level) {
        for (const CatalogueRow &r : byParent.value(codeOf(parent))) {
            QTreeWidgetItem *child = makeItem(r, level);
            parent->addChild(child);
            if (level < Levels)
                fill(child, level + 1);
        }
    };
    fill(root, 1);
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    m_selection = Catalogue::RootCode;
    m_sort = Catalogue::Sort::Code;
    m_current->setText(QStringLiteral("当前分类：") + Catalogue::RootName);
    showGrid();
}

void FrmClsz::selectNode(QTreeWidgetItem *it)
{
    if (!it)
        return;
    if (m_tree->currentItem() != it) {
        m_tree->setCurrentItem(it); // comes back here through currentItemChanged
        return;
    }
    m_selection = codeOf(it);
    m_sort = Catalogue::Sort::Code;
    QString name = Catalogue::RootName;
    if (m_selection != Catalogue::RootCode) {
        runOperation(this, [&] {
            const auto row = m_catalogue.find(m_selection);
            name = row ? row->clmc : it->text(0);
        });
    }
    m_current->setText(QStringLiteral("当前分类：") + name);
    showGrid();
}

void FrmClsz::showGrid()
{
    QList<CatalogueRow> rows;
    runOperation(this, [&] { rows = m_catalogue.rows(m_selection, m_sort); });
    m_model->setRows(rows);
}

void FrmClsz::sortByColumn(int column)
{
    const auto sort = CatalogueTableModel::sortFor(column);
    if (!sort)
        return;
    m_sort = *sort;
    showGrid();
}

void FrmClsz::preparePopup(QTreeWidgetItem *it)
{
    if (m_tree->currentItem() != it)
        m_tree->setCurrentItem(it);
    const QStringList names = {QStringLiteral("BJ"), QStringLiteral("XJ"),  QStringLiteral("JG1"),
                               QStringLiteral("SC"), QStringLiteral("JG2"), QStringLiteral("SX")};
    for (const QString &n : names) {
        popupAction(n)->setVisible(true);
        popupAction(n)->setEnabled(true);
    }
    if (levelOf(it) == 0) {
        bool empty = false;
        runOperation(this, [&] { empty = m_catalogue.isEmpty(); });
        if (empty) {
            popupAction(QStringLiteral("BJ"))->setEnabled(false);
            popupAction(QStringLiteral("SC"))->setEnabled(false);
        } else {
            for (const char *n : {"BJ", "XJ", "JG1", "SC", "JG2"})
                popupAction(QLatin1String(n))->setVisible(false);
        }
        return;
    }
    if (it->data(0, MaterialRole).toBool())
        popupAction(QStringLiteral("XJ"))->setEnabled(false);
}

void FrmClsz::addHere()
{
    QTreeWidgetItem *it = m_tree->currentItem();
    if (!it || levelOf(it) == 0)
        return;
    const QString parentCode = codeOf(it->parent());
    std::optional<CatalogueRow> row;
    if (!runOperation(this, [&] { row = m_catalogue.find(codeOf(it)); }) || !row)
        return;
    if (row->sfmj)
        openMaterialEditor(parentCode, QString());
    else
        openCategoryEditor(parentCode, QString());
}

void FrmClsz::addBelow()
{
    QTreeWidgetItem *it = m_tree->currentItem();
    if (!it || it->data(0, MaterialRole).toBool())
        return;
    const int level = levelOf(it);
    if (level <= 1)
        openCategoryEditor(codeOf(it), QString());
    else
        openMaterialEditor(codeOf(it), QString());
}

template <typename Editor>
Editor *FrmClsz::makeEditor(const QString &parentCode, const QString &code)
{
    QString parentName;
    std::optional<CatalogueRow> row;
    QString proposal;
    if (!runOperation(this, [&] {
            parentName = m_catalogue.parentName(parentCode);
            if (code.isEmpty())
                proposal = m_catalogue.proposeCode(parentCode);
            else
                row = m_catalogue.find(code);
        })) {
        return nullptr;
    }
    auto *editor = new Editor(m_db, this);
    if (row)
        editor->startEdit(*row, parentName);
    else
        editor->startAdd(parentCode, parentName, proposal);
    connect(editor, &Editor::added, this, &FrmClsz::addNode);
    connect(editor, &Editor::changed, this, &FrmClsz::nodeChanged);
    return editor;
}

void FrmClsz::openCategoryEditor(const QString &parentCode, const QString &code)
{
    if (auto *editor = makeEditor<FrmLADD>(parentCode, code))
        showDialog(editor);
}

void FrmClsz::openMaterialEditor(const QString &parentCode, const QString &code)
{
    if (auto *editor = makeEditor<FrmCLADD>(parentCode, code)) {
        connect(editor, &FrmCLADD::removed, this, &FrmClsz::nodeRemoved);
        showDialog(editor);
    }
}

void FrmClsz::openRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const CatalogueRow r = m_model->rowAt(row);
    if (r.sfmj)
        openMaterialEditor(r.sjbh, r.clbh);
    else
        openCategoryEditor(r.sjbh, r.clbh);
}

void FrmClsz::openLibrary()
{
    auto *library = new FrmClk(m_db, this);
    connect(library, &FrmClk::imported, this, &FrmClsz::rebuildTree);
    showDialog(library);
}

void FrmClsz::showDialog(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(true);
    m_dialog = dialog;
    dialog->show();
}

void FrmClsz::removeNode()
{
    QTreeWidgetItem *it = m_tree->currentItem();
    if (!it || levelOf(it) == 0)
        return;
    const QString code = codeOf(it);
    bool removed = false;
    const auto ask = [this](const QString &q) { return Messages::ask(this, q, Catalogue::Title); };
    if (runOperation(this, [&] { removed = m_catalogue.remove(code, ask); }) && removed)
        nodeRemoved(code);
}

void FrmClsz::addNode(const CatalogueRow &row)
{
    QTreeWidgetItem *parent = item(row.sjbh);
    const int level = levelOf(parent) + 1;
    if (parent && level <= Levels) {
        int at = 0;
        while (at < parent->childCount() && codeOf(parent->child(at)) < row.clbh)
            ++at;
        parent->insertChild(at, makeItem(row, level));
        parent->setExpanded(true);
    }
    showGrid();
}

void FrmClsz::nodeChanged(const QString &clbh)
{
    if (QTreeWidgetItem *it = item(clbh)) {
        runOperation(this, [&] {
            if (const auto row = m_catalogue.find(clbh))
                it->setText(0, treeText(*row, levelOf(it)));
        });
    }
    showGrid();
}

void FrmClsz::nodeRemoved(const QString &clbh)
{
    QTreeWidgetItem *it = item(clbh);
    if (it) {
        QTreeWidgetItem *parent = it->parent();
        const bool wasSelected = m_tree->currentItem() == it;
        {
            const QSignalBlocker blocker(m_tree);
            delete it;
        }
        if (wasSelected && parent) {
            m_tree->setCurrentItem(parent);
            selectNode(parent);
            return;
        }
    }
    if (m_selection == clbh)
        m_selection = Catalogue::RootCode;
    showGrid();
}

} // namespace varnock
