#pragma once

#include "print/reporttable.h"
#include "reports/stockbalances.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class CatalogueTree;
class Database;

// What a receipts-issues-balance report is asked for.
struct StockReportRequest
{
    QDate from;
    QDate to;
    QList<UnitColumn> units; // at most three issue columns
    QString level1;          // a top-level category: only the materials below it
    QString level2;          // a category below it: only the materials below that one
};

// The monthly receipts-issues-balance reports: per material (under first in first out per
// material and unit price) the opening stock, the receipts, the issues to up to three chosen
// consuming units or transfers, all issues, the amount adjustments and the closing stock, each
// in quantity and amount; with subtotals per parent category, totals per top-level category
// and a grand total. Every row balances: opening + receipts − issues − transfers + count
// differences + adjustments = closing.
//
// A build reads the books in one transaction and, unless the set is open only to read, leaves
// its rows in the report table (JXCMX_TEMP, JXCHZ_TEMP) as well.
class StockReport
{
public:
    static const QString DetailName;   // "JXCMX": the detail's template
    static const QString DetailTitle;  // "材料收支存明细报表"
    static const QString SummaryName;  // "JXCHZ"
    static const QString SummaryTitle; // "材料进销存汇总报表"

    static const QString DetailDatesText;  // "起始时间不允许大于终止时间！"
    static const QString SummaryDatesText; // "请选择时间段！"
    static const QString TooManyUnitsText; // "您至多只能选3个领料单位！"

    StockReport(Database &db, int accountingMode);

    // The issue columns of the chosen consuming-unit codes, in order, "调拨" for transfers.
    // Refuses a code that is not a consuming unit; a report refuses more than three.
    static QList<UnitColumn> unitColumns(Database &db, const QStringList &codes);

    // One row per material (per material and unit price under first in first out) below
    // the chosen category; subtotal rows per parent, total rows per top-level category and
    // "全部材料 总计". Refuses a start after the end (DetailDatesText), then more than three
    // unit columns (TooManyUnitsText).
    ReportTable detail(const StockReportRequest &request);
    // One row per parent category of materials, a 合计 row per top-level category and, under
    // moving average, "全部材料 总计". Refuses as the detail does (SummaryDatesText).
    ReportTable summary(const StockReportRequest &request);

    // The columns of the two reports; the unit columns are headed by the units' names.
    static QList<ReportTable::Column> detailColumns(const QList<UnitColumn> &units);
    static QList<ReportTable::Column> summaryColumns(const QList<UnitColumn> &units);

private:
    ReportTable build(const StockReportRequest &request, bool detail);

    Database &m_db;
    int m_mode;
};

} // namespace varnock
