#pragma once

#include "reports/acrosssets.h"
#include "reports/materialledger.h"
#include "store/formats.h"

#include <QDate>
#include <QStringList>

#include <functional>
#include <utility>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QWidget;

namespace varnock {

class Database;
class IndexedButtonGroup;
class ReportTable;
class ReportWindow;

// What the stock report screens share: the list of consuming units, the category choosers and
// the windows their reports open in.
namespace StockReportParts {

// The consuming units "BH  MC", then "调拨合计" for every transfer out; several may be chosen.
QListWidget *unitList(Database &db, QWidget *parent);
// The codes chosen, from the top of the list ("调拨" for the transfers).
QStringList chosenUnits(const QListWidget *list);

// "一级材料：" offers the top-level categories, "二级材料：" the children of the one chosen; the
// first entry of each (empty) stands for all.
void fillCategories(Database &db, QComboBox *level1, QComboBox *level2);
QString chosenCode(const QComboBox *combo);

// The catalogue's categories as a tree ("TVLB") under the root "全部材料", which is chosen;
// each item holds its code.
QTreeWidget *categoryTree(Database &db, QWidget *parent);
// The code of the tree's chosen node; the root when none is chosen.
QString chosenNode(const QTreeWidget *tree);
// Fills `combo` with the materials below the tree's chosen node ("CLBH  CLMC  CLGG", holding
// the code), none of them chosen.
void fillMaterials(Database &db, const QTreeWidget *tree, QComboBox *combo);

// The first day of the current month, where every period starts.
QDate monthStart();

// A frame of captioned fields ("选择日期": "起始日期：" …).
QWidget *form(const QString &title, const QList<std::pair<QString, QWidget *>> &rows,
              QWidget *parent);
// A frame around one widget (the list of units or sets).
QWidget *frame(const QString &title, QWidget *inside, QWidget *parent);
// Lays a report screen out: its heading, the frames of its inputs on the left, `right` beside
// them, the buttons below; the first button runs `confirm`, the second closes the screen.
// F1 opens the reports' help.
void layOut(QWidget *screen, const QString &heading, const QList<QWidget *> &left, QWidget *right,
            IndexedButtonGroup *buttons, const std::function<void()> &confirm);
// A built report in its window; a report without rows says "没有记录！" and opens nothing.
ReportWindow *show(QWidget *from, const ReportTable &table, const QString &firm,
                   const Formats &formats);
// A report across account sets in its window, after naming the sets it could not read.
ReportWindow *show(QWidget *from, const AcrossSets::Result &result, const QString &firm,
                   const Formats &formats);

// The ledger of `materials` for the period in a report window, whose lines open their
// vouchers on a double click.
ReportWindow *openLedger(QWidget *from, Database &db, int mode, const Formats &formats,
                         const QStringList &materials, const QDate &start, const QDate &end);
// Opens the entry screen of the source's voucher family and shows the voucher there.
void openVoucher(QWidget *from, const MaterialLedger::Source &source);
// Runs the menu command of an entry screen and shows voucher `xtbh` there.
void openVoucher(QWidget *from, const QString &command, qint64 xtbh);

} // namespace StockReportParts

} // namespace varnock
