#include "ledger/screens/ledgerscreenparts.h"

#include "ledger/postinggridmodel.h"
#include "shell/menutree.h"
#include "shell/navigationrules.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/messages.h"

#include <QAction>
#include <QHeaderView>
#include <QTableView>

namespace varnock::LedgerScreenParts {

bool confirm(QWidget *parent, const QList<OperationStep> &steps)
{
    for (const OperationStep &step : steps) {
        if (step.isRefusal()) {
            Messages::show(parent, step.toRefusal());
            return false;
        }
        if (!Messages::ask(parent, step.text, step.title, step.icon))
            return false;
    }
    return true;
}

QTableView *gridView(PostingGridModel *model, const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setDefaultSectionSize(22);
    return view;
}

void fitColumns(QTableView *view)
{
    view->resizeColumnsToContents();
    for (int c = 0; c < view->model()->columnCount(); ++c)
        view->setColumnWidth(c, view->columnWidth(c) + 12);
}

bool runCommand(QWidget *from, const QString &command)
{
    auto *main = qobject_cast<MDIFrmMain *>(from ? from->window() : nullptr);
    QAction *action = main ? main->action(command) : nullptr;
    if (!action || !main->hasCommand(command))
        return false;
    // The operator's right may close a menu above the entry rather than the entry itself.
    bool allowed = action->isEnabled();
    for (const MenuTree::Entry *e = MenuTree::find(command); allowed && e && !e->parent.isEmpty();
         e = MenuTree::find(e->parent)) {
        if (const QAction *menu = main->action(e->parent))
            allowed = menu->isEnabled();
    }
    if (!allowed) {
        Messages::inform(from, NavigationRules::deniedText());
        return false;
    }
    action->trigger();
    return true;
}

} // namespace varnock::LedgerScreenParts
