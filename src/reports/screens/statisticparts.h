#pragma once

#include "reports/statistics.h"
#include "store/formats.h"

#include <QDate>
#include <QStringList>

#include <functional>
#include <optional>

class QGroupBox;
class QWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// What the statistics screens share: a frame of options of which one is chosen, and the way
// a built statistic opens.
namespace StatisticParts {

// The frame "选择日期": "起始日期：" (DTPicker1, from the first day of the month) and
// "终止日期：" (DTPicker2).
QWidget *dates(DatePicker *from, DatePicker *to, QWidget *parent);
// "确 定(&Q)" and "退 出(&X)".
IndexedButtonGroup *buttons(QWidget *parent);

// A frame of option buttons ("Option1", "Option2", …), the first one chosen.
QGroupBox *options(const QString &title, const QStringList &texts, QWidget *parent);
// The place of the chosen option; `choose` chooses one.
int chosen(const QGroupBox *box);
void choose(QGroupBox *box, int index);

// The levels in the order their options are offered: all materials, the second level, the
// first level.
StatisticLevel levelAt(int index);

// Where a double click on a material's row leads: its ledger over the statistic's period.
struct LedgerLink
{
    int mode = 2;
    QDate from;
    QDate to;
};

// The ledger link of a statistic whose rows are materials; none for categories.
std::optional<LedgerLink> ledgerOf(int mode, const StatisticRequest &request);

// Builds the statistic and opens it in a report window; nullptr when it was refused or came
// out empty ("没有记录！"). With `ledger` the rows of materials open their ledgers.
ReportWindow *open(QWidget *from, Database &db, const Formats &formats,
                   const std::function<ReportTable()> &build,
                   const std::optional<LedgerLink> &ledger = std::nullopt);

} // namespace StatisticParts

} // namespace varnock
