#pragma once

#include "print/reporttable.h"

#include <QDate>

namespace varnock {

class Database;

// The reports of the stock count, the supplier arrears and the amount adjustments. Each fills
// its work table (KCPD_TEMP, PD_TEMP, GYSQK_TEMP) in one transaction, as the summaries over
// several account sets read them, and returns the rows as they are printed and exported.
namespace LedgerReports {

// How far the stock list sums up the catalogue.
enum class Level {
    First,  // "一级汇总": one row per top-level category
    Second, // "二级汇总": one row per second-level category
    Every,  // "全部材料": every material with stock, a subtotal per parent (" 小计") and per
            // grandparent (" 合计")
};

// "流动资产清点表": the stock by material at its book value (planned-price materials at
// quantity × JHDJ), unit price KCJE ÷ KCSL, and the total "全部材料 总计".
ReportTable stockList(Database &db, Level level);

// "盘点表": per material the book balance up to `end`, the balance after the counts, the
// surpluses and the deficits of the counts up to `end`; subtotals per parent and grandparent
// and "全部材料  总计". Rows that are zero throughout are left out.
ReportTable countResult(Database &db, const QDate &end);

// "供应商月度欠款报表": per supplier what was owed at the start of the period, the new debt, the
// payments, what is owed at its end and the write-offs in it, with the total row "总计" first.
// Refuses a start after the end ("起始日期不允许大于终止日期！").
ReportTable arrears(Database &db, const ReportPeriod &period);

// "数据处理填写": the amount adjustments dated in the period, by material, with their total.
ReportTable adjustments(Database &db, const ReportPeriod &period);

} // namespace LedgerReports

} // namespace varnock
