#pragma once

#include "print/reporttable.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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

// The stock of the materials with a quantity and the catalogue that groups them.
struct StockHoldings
{
    struct Item
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        Decimal quantity;
        Decimal amount;   // planned-price materials at quantity × JHDJ
        QStringList sets; // the account sets that hold it, in a summary across sets
    };
    struct Node
    {
        QString parent;
        QString name;
    };

    QList<Item> items; // by code
    QHash<QString, Node> catalogue;
};

// What the stock list counts in one account set, read in one state of the books.
StockHoldings stockHoldings(Database &db);

// "流动资产清点表": the stock by material at its book value (planned-price materials at
// quantity × JHDJ), unit price KCJE ÷ KCSL, and the total "全部材料 总计"; left in KCPD_TEMP
// unless the set is open only to read.
ReportTable stockList(Database &db, Level level);
// The stock list of `holdings` as the report `name`; with `withSets` a last column "账套" (ZT)
// names the sets that hold each material.
ReportTable stockList(const StockHoldings &holdings, Level level, const QString &name,
                      bool withSets);

// "盘点表": per material the book balance up to `end`, the balance after the counts, the
// surpluses and the deficits of the counts up to `end`; subtotals per parent and grandparent
// and "全部材料  总计". Rows that are zero throughout are left out.
ReportTable countResult(Database &db, const QDate &end);

// One supplier's arrears over a period.
struct ArrearsRow
{
    QString gysbh;
    QString gysmc;
    QString zgcp;
    Decimal syje; // owed at the start
    Decimal byqk; // new debt in the period
    Decimal byhk; // paid in the period
    Decimal byje; // owed at the end
    Decimal hz;   // written off in the period

    // Nothing owed, new or paid: a write-off alone does not keep a supplier in the report.
    bool isEmpty() const;
    ArrearsRow &operator+=(const ArrearsRow &other);
};

// Which stock-in lines make debt and carry payments.
enum class ArrearsLines {
    Numbered, // posted lines with a voucher number: the report of one account set
    Standing, // posted lines that are not reversed (the reversed line and its mirror both
              // carry CZBZ): the summary across account sets
};

// Every supplier's arrears, ordered by code; only reads.
QList<ArrearsRow> arrearsRows(Database &db, const ReportPeriod &period, ArrearsLines lines);

// The refusal of a period that starts after its end: "起始日期不允许大于终止日期！".
extern const QString ArrearsDatesText;

// "供应商月度欠款报表": per supplier what was owed at the start of the period, the new debt, the
// payments, what is owed at its end and the write-offs in it, with the total row "总计" first.
// Refuses a start after the end (ArrearsDatesText).
ReportTable arrears(Database &db, const ReportPeriod &period);
// The columns of the arrears reports.
QList<ReportTable::Column> arrearsColumns();

// "数据处理填写": the amount adjustments dated in the period, by material, with their total.
ReportTable adjustments(Database &db, const ReportPeriod &period);

} // namespace LedgerReports

} // namespace varnock
