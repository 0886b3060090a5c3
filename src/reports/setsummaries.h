#pragma once

#include "reports/acrosssets.h"
#include "reports/ledgerreports.h"
#include "reports/statistics.h"

namespace varnock {

class Database;

// The summaries over several account sets: each chosen set's own report, built on its file
// opened only to read, combined in the report table of the set that is open.
class SetSummaries
{
public:
    using Set = AcrossSets::Set;
    using Result = AcrossSets::Result;

    static const QString DatesText; // "起始日期不允许大于终止日期！"

    static const QString ArrearsName;        // "供应商月度欠款报表1"
    static const QString ArrearsTitle;       // "供应商欠款汇总表"
    static const QString SummaryName;        // "进销存汇总报表"
    static const QString SummaryTitle;       // "进销存汇总报表"
    static const QString CountName;          // "流动资产清点表1"
    static const QString CountTitle;         // "流动资产清点表"
    static const QString MovementsName;      // "材料出入库查询报表1"
    static const QString MovementsDatesText; // "起始日期不可大以终始日期"

    // `db` is the open account set, whose report tables are written.
    SetSummaries(Database &db, const DataFolder &folder);

    // The supplier arrears of every set (GYSQK_TEMP), one line per supplier name and main
    // products, so that a supplier known by the same name in several sets is one line; the
    // total "总计" first. Counts the stock-in lines that are posted and not reversed.
    Result arrears(const QList<Set> &sets, const ReportPeriod &period);
    // Each set's receipts-issues-balance summary under its own costing method (JXCHZ_TEMP),
    // rows per parent category with transfers out in a column of their own, each row under
    // its set's name (ZT); then "全部账套 总计".
    Result summary(const QList<Set> &sets, const ReportPeriod &period);
    // The stock of every set (KCPD_TEMP) at `level`: a material of the same code, name,
    // specification and unit in several sets is one line, its price the amount over the
    // quantity, ZT naming the sets that hold it; the sets' categories group the lines.
    Result count(const QList<Set> &sets, LedgerReports::Level level);
    // Each set's receipts or issues of the period at `level` under its own costing method
    // (KCPD_TEMP: the unit price in KCDJ, the quantity and amount in KCSL and KCJE), each row
    // under its set's name (ZT); then "全部账套 总计". `title` names the report.
    Result movements(const QList<Set> &sets, Movement movement, const ReportPeriod &period,
                     StatisticLevel level, const QString &title);

private:
    Database &m_db;
    DataFolder m_folder;
};

} // namespace varnock
