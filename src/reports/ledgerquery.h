#pragma once

#include "ledger/posting.h"
#include "print/reporttable.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// The ledger queries: every line of one kind of movement that matches the conditions typed
// (账务条件查询), or every movement of chosen materials (品名查询), one row each as the
// result window "账务信息" shows them, then a "合计：" row.
//
// Conditions are compared whole ('='), so a quote, '%' or '_' finds exactly itself. Lines
// without a voucher number (the layers and pieces a count or an issue return leaves) are not
// vouchers and stay out. Under first in first out a posted issue line is listed once per
// layer it was drawn from, at that layer's price; a planned-price material is listed at its
// planned price.
class LedgerQuery
{
public:
    // The kinds in the order the condition query offers them.
    enum Kind {
        Opening,
        Purchase,
        TransferIn,
        Provisional,
        ClientSupplied,
        PurchaseReturn,
        TransferReturn,
        ProvisionalReturn,
        ClientReturn,
        Count,
        Requisition,
        TransferOut,
        RequisitionReturn,
        TransferOutReturn,
        Lease,
        LeaseReturn,
        Direct,
    };
    static constexpr int KindCount = Direct + 1;

    static const QString RefusalTitle;  // "提示窗口"
    static const QString DatesText;     // "起始日期应小于终止日期"
    static const QString NoKindText;    // "请选择选择帐类"
    static const QString ResultTitle;   // "账务信息-[按F2打印]"
    static const QString TotalText;     // "合计："
    static const QString NoRecordsText; // "没有记录!"
    static const QString PrintName;     // "cx": the printed report and its workbook template
    static const QString PrintTitle;    // "信息查询结果"
    static const QString CarriedOver;   // "上期结转"

    // "初始化结存", "采购入库", … "直进直出".
    static QStringList kindTexts();
    // A kind by its text or its position ("采购入库" or "1"); nullopt for neither.
    static std::optional<Kind> kindOf(const QString &textOrPosition);
    // Whether the kind's document number is the stock-in number ("入库编号").
    static bool numbersStockIn(Kind kind);

    struct Conditions
    {
        std::optional<Kind> kind;
        QDate from;
        QDate to;
        // Empty fields add no condition; a field a kind does not carry is not used.
        QString supplier; // GYS.BH
        QString material; // CLBH
        QString name;     // CLMC
        QString spec;     // CLGG
        QString site;     // SGBW
        QString number;   // the document number (lease vouchers: their number)
        QString unit;     // LLDW.BH
        QString building; // DH
    };

    // The voucher a row comes from, for opening it.
    struct Source
    {
        Posting::Family family;
        QString zl;
        qint64 xtbh = 0;
        qint64 lineId = 0;
        // Half of a direct delivery: the delivery screen shows it. An issue half carries the
        // issue line; directVoucher() finds the delivery's number.
        bool direct = false;
    };

    struct Result
    {
        ReportTable table; // the rows, then "合计："
        // One per row of the table; none for rows without a voucher and for the total.
        QList<std::optional<Source>> sources;
    };

    LedgerQuery(Database &db, int accountingMode, const Formats &formats);

    // The condition query. Refuses an end before the start (DatesText) and no kind
    // (NoKindText) before reading anything.
    Result conditions(const Conditions &c) const;

    // The item query over `materials` (codes; nullopt: every material): the stock carried into
    // the period, then the receipts, returns to suppliers, issues and issue returns dated
    // from `from` to `to`.
    Result items(const std::optional<QStringList> &materials, const QDate &from,
                 const QDate &to) const;
    // The materials of a catalogue node: itself when it is a material, else the materials
    // below it (through the tree); every material for the root.
    QStringList materialsOf(const QString &node) const;

    // The construction sites and buildings the issue vouchers name, for the choice lists.
    QStringList sites() const;
    QStringList buildings() const;

    // The system number of the direct delivery whose issue half is line `lldId`; 0 when none.
    qint64 directVoucher(qint64 lldId) const;

    // The printed and exported result: writes the data rows of `result` into CX_TEMP (in
    // their order) and returns them as the report "cx" with a "合计：" row. Nothing is
    // written when the set is open only to read.
    ReportTable printTable(const ReportTable &result) const;
    // Whether the result holds any row besides its total.
    static bool hasRecords(const ReportTable &result);

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
};

} // namespace varnock
