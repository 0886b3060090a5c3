#pragma once

#include "print/reporttable.h"
#include "reports/statisticmovements.h"
#include "reports/statisticrows.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// What a period statistic is asked for.
struct StatisticRequest
{
    QDate from;
    QDate to;
    StatisticLevel level = StatisticLevel::Materials;
};

// The counterparties whose columns stand side by side in a statistic.
enum class StatisticParty {
    Units,     // issues per consuming unit
    Suppliers, // receipts per supplier
};

// The period statistics of the store: receipts, issues and transfers per material or category,
// issues per consuming unit and receipts per supplier side by side, the consumption of the
// period and to date, and the statistics between two month-ends. Every figure is over posted
// lines, net of returns (see StatisticMovements); under moving average a material's unit price
// is its amount ÷ quantity (0 when the quantity is 0), a planned-price material's its JHDJ;
// under first in first out a material has a row per unit price.
//
// Each build reads the books in one transaction and, unless the set is open only to read,
// leaves its rows in its report table (RKCX_TEMP, GYSGH_TEMP, XHTJ_TEMP, JXCHZ_TEMP) as well.
// Every refusal comes before anything is read or written.
class Statistics
{
public:
    static const QString ReceiptsName;     // "CLrKCXBB"
    static const QString ReceiptsTitle;    // "入库查询报表"
    static const QString IssuesName;       // "CLcKCXBB"
    static const QString IssuesTitle;      // "领料查询报表"
    static const QString TransfersName;    // "CLDBBB"
    static const QString TransfersTitle;   // "调拨报表"
    static const QString ByUnitName;       // "lldwll"
    static const QString ByUnitTitle;      // "领料单位领料情况"
    static const QString BySupplierName;   // "GYSGH"
    static const QString BySupplierTitle;  // "供应商供货情况"
    static const QString ConsumptionName;  // "xhtj"
    static const QString ConsumptionTitle; // "物资消耗统计表"
    static const QString QuarterlyName;    // "jdclb"
    static const QString QuarterlyTitle;   // "季度材料统计表"
    static const QString BalanceName;      // "clzcz"
    static const QString BalanceTitle;     // "材料收 支 存资金平衡表"

    static const QString AllEntries; // "全部": every consuming unit or supplier
    static const int MaxEntries = 5;
    static const QString WarningTitle;      // "警告"
    static const QString DatesText;         // "起始日期不能大于终止日期"
    static const QString NoEntryText;       // "请选择耗料单位！"
    static const QString TooManyText;       // "您至多只能选5个单位！"
    static const QString InvalidPeriodText; // "请选择有效的时间段"

    Statistics(Database &db, int accountingMode);

    // The receipts, issues or transfers of the period at the request's level: under "全部材料"
    // a row per material (and price) with a row per parent, per top-level category and the
    // grand total; under "二级材料" and "一级材料" the categories' rows and the grand total.
    // Refuses a start after the end (DatesText).
    ReportTable movement(Movement movement, const StatisticRequest &request);
    // The same, read without writing anything: for any set's books, open only to read or not.
    ReportTable movementTable(Movement movement, const StatisticRequest &request) const;

    // Per material (category) the issues to each of the chosen consuming units, or the
    // receipts from each of the chosen suppliers, side by side, and of all of them together;
    // AllEntries stands for every one. Refuses no entry (NoEntryText), more than MaxEntries
    // (TooManyText), a code that is not a unit or supplier, and a start after the end.
    ReportTable byParty(StatisticParty party, const StatisticRequest &request,
                        const QStringList &codes);

    // Per parent category the issues of the period and to date (everything up to its end),
    // with a total per top-level category and "全部材料 总计". Refuses a start after the end.
    ReportTable consumption(const QDate &from, const QDate &to);

    // The month-end dates (YJSJB), earliest first: the ends a statistic between month-ends is
    // chosen from.
    static QList<QDate> closings(Database &db);
    // The period after the month-end `start` up to and including the month-end `end`.
    // Refuses a date that is no month-end, or the same one twice (InvalidPeriodText), and a
    // start after the end (DatesText).
    static ReportPeriod betweenClosings(Database &db, const QDate &start, const QDate &end);
    // Per parent category the receipts between two month-ends, with a total per top-level
    // category and "全部材料  总计".
    ReportTable quarterly(const QDate &start, const QDate &end);
    // The receipts-issues-balance summary (per parent category) between two month-ends.
    ReportTable fundsBalance(const QDate &start, const QDate &end);

private:
    Database &m_db;
    int m_mode;
};

} // namespace varnock
