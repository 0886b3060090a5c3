#include "reports/screens/stockreportparts.h"

#include "ledger/screens/ledgerscreenparts.h"
#include "master/consumingunits.h"
#include "print/screens/reportwindow.h"
#include "print/voucherslip.h"
#include "reports/cataloguetree.h"
#include "reports/stockbalances.h"
#include "shell/commandmap.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "vouchers/screens/voucherentryscreen.h"
#include "vouchers/stockinreturnkind.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock::StockReportParts {

namespace {

// The menu command whose screen enters vouchers of the family and kind.
QString entryCommand(const MaterialLedger::Source &source)
{
    const bool transfer = source.zl.trimmed() == QLatin1String("2");
    QString screen;
    switch (source.family) {
    case Posting::Family::StockIn:
        for (const StockInKind &k : StockInKind::all()) {
            if (k.zl == source.zl.trimmed())
                screen = k.screen;
        }
        break;
    case Posting::Family::StockInReturn:
        for (const StockInReturnKind &k : StockInReturnKind::all()) {
            if (k.zl == source.zl.trimmed())
                screen = k.screen;
        }
        break;
    case Posting::Family::Issue:
        return transfer ? QStringLiteral("DBCKDTX") : QStringLiteral("LLDTX");
    case Posting::Family::IssueReturn:
        return transfer ? QStringLiteral("DBCKDTH") : QStringLiteral("LLDTH");
    }
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (!screen.isEmpty() && c.screen == screen)
            return c.name;
    }
    return {};
}

} // namespace

QListWidget *unitList(Database &db, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("ListBox1"));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    runOperation(parent, [&] {
        for (const ConsumingUnits::Unit &u : ConsumingUnits(db).list()) {
            auto *item = new QListWidgetItem(QStringLiteral("%1  %2").arg(u.bh, u.mc), list);
            item->setData(Qt::UserRole, u.bh);
        }
    });
    auto *transfers = new QListWidgetItem(UnitColumn::TransferName, list);
    transfers->setData(Qt::UserRole, UnitColumn::TransferCode);
    return list;
}

QStringList chosenUnits(const QListWidget *list)
{
    QStringList codes;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->isSelected())
            codes << list->item(i)->data(Qt::UserRole).toString();
    }
    return codes;
}

void fillCategories(Database &db, QComboBox *level1, QComboBox *level2)
{
    auto tree = std::make_shared<std::optional<CatalogueTree>>();
    runOperation(level1, [&] { tree->emplace(db); });
    const auto fill = [tree](QComboBox *combo, const QString &parent) {
        combo->clear();
        combo->addItem(QString(), QString());
        if (!*tree)
            return;
        for (const CatalogueTree::Node *n : (*tree)->children(parent))
            combo->addItem(QStringLiteral("%1  %2").arg(n->clbh, n->clmc), n->clbh);
    };
    fill(level1, CatalogueTree::Root);
    level2->clear();
    QObject::connect(level1, &QComboBox::currentIndexChanged, level2, [=] {
        const QString code = chosenCode(level1);
        if (code.isEmpty())
            level2->clear();
        else
            fill(level2, code);
    });
}

QString chosenCode(const QComboBox *combo)
{
    return combo->currentData().toString();
}

QTreeWidget *categoryTree(Database &db, QWidget *parent)
{
    auto *tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("TVLB"));
    tree->setHeaderHidden(true);
    auto *root = new QTreeWidgetItem(tree, {QStringLiteral("全部材料")});
    root->setData(0, Qt::UserRole, CatalogueTree::Root);
    runOperation(parent, [&] {
        const CatalogueTree catalogue(db);
        QHash<QString, QTreeWidgetItem *> items{{CatalogueTree::Root, root}};
        for (const CatalogueTree::Node *n : catalogue.categories()) {
            QTreeWidgetItem *parentItem = items.value(catalogue.parentOf(n->clbh), root);
            auto *item =
                new QTreeWidgetItem(parentItem, {QStringLiteral("%1  %2").arg(n->clbh, n->clmc)});
            item->setData(0, Qt::UserRole, n->clbh);
            items.insert(n->clbh, item);
        }
    });
    root->setExpanded(true);
    tree->setCurrentItem(root);
    return tree;
}

QString chosenNode(const QTreeWidget *tree)
{
    const QTreeWidgetItem *item = tree->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : CatalogueTree::Root;
}

void fillMaterials(Database &db, const QTreeWidget *tree, QComboBox *combo)
{
    const QString category = chosenNode(tree);
    combo->clear();
    runOperation(combo, [&] {
        const CatalogueTree catalogue(db);
        for (const CatalogueTree::Node *n : catalogue.leaves()) {
            if (catalogue.isUnder(n->clbh, category))
                combo->addItem(
                    QStringLiteral("%1  %2  %3").arg(n->clbh, n->clmc, n->clgg).trimmed(), n->clbh);
        }
    });
    combo->setCurrentIndex(-1);
}

QDate monthStart()
{
    const QDate today = Clock::today();
    return QDate(today.year(), today.month(), 1);
}

QWidget *form(const QString &title, const QList<std::pair<QString, QWidget *>> &rows,
              QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QFormLayout(box);
    for (const auto &[caption, field] : rows)
        layout->addRow(caption, field);
    return box;
}

QWidget *frame(const QString &title, QWidget *inside, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(inside);
    return box;
}

void layOut(QWidget *screen, const QString &heading, const QList<QWidget *> &left, QWidget *right,
            IndexedButtonGroup *buttons, const std::function<void()> &confirm)
{
    auto *title = new QLabel(heading, screen);
    ScreenParts::styleHeading(title);
    auto *inputs = new QVBoxLayout;
    for (QWidget *w : left)
        inputs->addWidget(w);
    inputs->addStretch();
    auto *body = new QHBoxLayout;
    body->addLayout(inputs, 1);
    body->addWidget(right, 1);
    buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(screen);
    layout->addWidget(title);
    layout->addLayout(body, 1);
    layout->addWidget(buttons);
    QObject::connect(buttons, &IndexedButtonGroup::clicked, screen, [screen, confirm](int index) {
        if (index == 0)
            confirm();
        else
            ScreenParts::close(screen);
    });
    Help::install(screen, QStringLiteral("统计报表"));
}

ReportWindow *show(QWidget *from, const ReportTable &table, const QString &firm,
                   const Formats &formats)
{
    if (table.isEmpty()) {
        Messages::inform(from, QStringLiteral("没有记录！"));
        return nullptr;
    }
    return ReportWindow::openTable(from, table, firm, formats);
}

ReportWindow *show(QWidget *from, const AcrossSets::Result &result, const QString &firm,
                   const Formats &formats)
{
    if (!result.unreadable.isEmpty())
        Messages::warn(from, AcrossSets::unreadableText(result.unreadable));
    return show(from, result.table, firm, formats);
}

ReportWindow *openLedger(QWidget *from, Database &db, int mode, const Formats &formats,
                         const QStringList &materials, const QDate &start, const QDate &end)
{
    MaterialLedger::Ledger ledger;
    QString firm;
    if (!runOperation(from, [&] {
            ledger = MaterialLedger(db, mode).build(materials, start, end);
            firm = VoucherSlips::firmName(db);
        }))
        return nullptr;
    ReportWindow *window = ReportWindow::openTable(from, ledger.table, firm, formats);
    window->setRowActivation([window, sources = ledger.sources](int row) {
        if (row >= 0 && row < sources.size() && sources.at(row))
            openVoucher(window, *sources.at(row));
    });
    return window;
}

void openVoucher(QWidget *from, const MaterialLedger::Source &source)
{
    openVoucher(from, entryCommand(source), source.xtbh);
}

void openVoucher(QWidget *from, const QString &command, qint64 xtbh)
{
    if (command.isEmpty() || !LedgerScreenParts::runCommand(from, command))
        return;
    auto *main = qobject_cast<MDIFrmMain *>(from->window());
    QMdiSubWindow *active = main ? main->mdiArea()->activeSubWindow() : nullptr;
    if (auto *screen = qobject_cast<VoucherEntryScreen *>(MDIFrmMain::screenOf(active)))
        screen->showVoucher(xtbh);
}

} // namespace varnock::StockReportParts
