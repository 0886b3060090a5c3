#pragma once

#include "master/catalogue.h"
#include "store/formats.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace varnock {

class CatalogueTableModel;
class IndexedButtonGroup;

// "材料信息设置": the catalogue tree TV with its pop-up menu, and the grid DG of the
// selected node and its children. The editors open from the pop-up and from the grid.
class FrmClsz : public QWidget
{
    Q_OBJECT

public:
    enum Button { Library, Print, Exit };

    explicit FrmClsz(Database &db, const Formats &formats = {}, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("材料信息设置"); }

    QTreeWidget *tree() const { return m_tree; }
    QTableView *grid() const { return m_grid; }
    QMenu *popupMenu() const { return m_popup; }
    // BJ, XJ, SC, SX, JG1, JG2.
    QAction *popupAction(const QString &name) const;
    IndexedButtonGroup *buttons() const { return m_buttons; }
    // The editor or library screen opened last, while it is open.
    QDialog *openDialog() const { return m_dialog; }

    // The tree item of a code ("0" for the root); nullptr when it is not shown.
    QTreeWidgetItem *item(const QString &clbh) const;
    // Selects a node and shows it in the grid, as a click does.
    void selectNode(QTreeWidgetItem *item);
    // Shows or hides the pop-up entries for a node, as a right click does.
    void preparePopup(QTreeWidgetItem *item);
    // Re-runs the grid's selection ordered by a column, as a header click does.
    void sortByColumn(int column);
    // Opens the grid row's editor, as a double click does.
    void openRow(int row);

    // Rebuilds the tree from the database (load and "刷新").
    void rebuildTree();

private:
    void showGrid();
    void addHere();
    void addBelow();
    void removeNode();
    void openLibrary();
    void openCategoryEditor(const QString &parentCode, const QString &code);
    void openMaterialEditor(const QString &parentCode, const QString &code);
    // A category or material editor set up to add under parentCode (empty code) or to edit
    // code, wired to the tree; nullptr when the catalogue could not be read.
    template <typename Editor> Editor *makeEditor(const QString &parentCode, const QString &code);
    void showDialog(QDialog *dialog);
    void addNode(const CatalogueRow &row);
    void nodeChanged(const QString &clbh);
    void nodeRemoved(const QString &clbh);
    QTreeWidgetItem *makeItem(const CatalogueRow &row, int level) const;
    QString codeOf(const QTreeWidgetItem *item) const;
    int levelOf(const QTreeWidgetItem *item) const;

    Database &m_db;
    Formats m_formats;
    Catalogue m_catalogue;
    QTreeWidget *m_tree;
    QTableView *m_grid;
    CatalogueTableModel *m_model;
    QLabel *m_current;
    QMenu *m_popup;
    IndexedButtonGroup *m_buttons;
    QString m_selection;
    Catalogue::Sort m_sort = Catalogue::Sort::Code;
    QPointer<QDialog> m_dialog;
};

} // namespace varnock
