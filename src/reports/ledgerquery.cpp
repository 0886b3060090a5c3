#include "reports/ledgerquery.h"

#include "ledger/costengine.h"
#include "reports/cataloguetree.h"
#include "reports/reportbuild.h"
#include "reports/stockbalances.h"
#include "store/database.h"
#include "store/errors.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace varnock {

const QString LedgerQuery::RefusalTitle = QStringLiteral("提示窗口");
const QString LedgerQuery::DatesText = QStringLiteral("起始日期应小于终止日期");
const QString LedgerQuery::NoKindText = QStringLiteral("请选择选择帐类");
const QString LedgerQuery::ResultTitle = QStringLiteral("账务信息-[按F2打印]");
const QString LedgerQuery::TotalText = QStringLiteral("合计：");
const QString LedgerQuery::NoRecordsText = QStringLiteral("没有记录!");
const QString LedgerQuery::PrintName = QStringLiteral("cx");
const QString LedgerQuery::PrintTitle = QStringLiteral("信息查询结果");
const QString LedgerQuery::CarriedOver = QStringLiteral("上期结转");

namespace {

using Column = ReportTable::Column;
using Family = Posting::Family;

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString Posted = QStringLiteral("已记帐");
const QString Unposted = QStringLiteral("未记帐");

// Every statement selects the same columns, in this order.
enum Field {
    JZBZ,
    CLBH,
    CLMC,
    CLGG,
    JZDW,
    DJH,
    ZL,
    JHDJ,
    JJFS,
    SJDJ,
    SJSL,
    SJJE,
    YFJE,
    PARTNER,
    SGBW,
    DH,
    RQ,
    ID,
    XTBH,
    DIRECT,
    PIECE,    // a piece of an issue line: its amount is its quantity at its layer's price
    ISSUEDJH, // a direct delivery's issue number, shown after the receipt's
    UNIT,     // a direct delivery's consuming unit, shown after the supplier
};

#define MATERIAL_COLUMNS(t) t ".CLBH, C.CLMC, C.CLGG, C.JZDW"
#define CATALOGUE(t) " LEFT JOIN CLJBXXB C ON C.CLBH = " t ".CLBH"

// Lines without a voucher number are the layers and pieces of counts and issue returns.
const char *const ReceiptLines = "SELECT R.JZBZ, " MATERIAL_COLUMNS(
    "R") ", R.YSDJH, R.ZL, C.JHDJ, C.JJFS, R.SJDJ, R.SJSL, "
         "R.SJJE, R.YFJE, G.MC, NULL, NULL, R.CZRQ, R.ID, R.XTBH, "
         "CASE WHEN COALESCE(R.CKID, 0) <> 0 THEN 1 ELSE 0 END, 0, NULL, NULL "
         "FROM RKD R" CATALOGUE("R") " LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                     "WHERE COALESCE(R.XTBH, 0) <> 0";
const char *const ReturnLines = "SELECT T.JZBZ, " MATERIAL_COLUMNS(
    "T") ", T.THDJH, T.ZL, C.JHDJ, C.JJFS, T.THDJ, T.THSL, "
         "T.THJE, NULL, G.MC, NULL, NULL, T.CZRQ, T.ID, T.XTBH, 0, 0, NULL, NULL "
         "FROM THD T" CATALOGUE("T") " LEFT JOIN GYS G ON G.BH = T.GYSBH WHERE 1 = 1";
const char *const IssueLines = "SELECT L.JZBZ, " MATERIAL_COLUMNS(
    "L") ", L.YSDJH, L.ZL, C.JHDJ, C.JJFS, L.SJDJ, L.SJSL, "
         "L.SJJE, NULL, U.MC, L.SGBW, L.DH, L.CZRQ, L.ID, L.XTBH, L.ZJZC, 0, NULL, NULL "
         "FROM LLD L" CATALOGUE("L") " LEFT JOIN LLDW U ON U.BH = L.LLDWBH "
                                     "WHERE COALESCE(L.XTBH, 0) <> 0";
// Under first in first out: one row per piece drawn, at the price of the receipt or opening
// layer it came from; a line without pieces (not yet posted) as it stands.
const char *const IssuePieces = "SELECT L.JZBZ, " MATERIAL_COLUMNS(
    "L") ", L.YSDJH, L.ZL, C.JHDJ, C.JJFS, "
         "CASE WHEN X.ID IS NULL THEN L.SJDJ ELSE COALESCE(R.SJDJ, Z.KCDJ) END, "
         "CASE WHEN X.ID IS NULL THEN L.SJSL ELSE X.CKSL END, L.SJJE, NULL, U.MC, L.SGBW, L.DH, "
         "L.CZRQ, L.ID, L.XTBH, L.ZJZC, CASE WHEN X.ID IS NULL THEN 0 ELSE 1 END, NULL, NULL "
         "FROM LLD L LEFT JOIN XJXCSJB X ON X.CKID = L.ID AND X.CKSL <> 0 "
         "LEFT JOIN RKD R ON R.ID = X.RKID LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID" CATALOGUE(
             "L") " LEFT JOIN LLDW U ON U.BH = L.LLDWBH WHERE COALESCE(L.XTBH, 0) <> 0";
const char *const IssueReturnLines = "SELECT T.JZBZ, " MATERIAL_COLUMNS(
    "T") ", T.THDJH, T.ZL, C.JHDJ, C.JJFS, T.THDJ, T.THSL, "
         "T.THJE, NULL, U.MC, NULL, NULL, T.CZRQ, T.ID, T.XTBH, 0, 0, NULL, NULL "
         "FROM TKD T" CATALOGUE("T") " LEFT JOIN LLDW U ON U.BH = T.LLDWBH WHERE 1 = 1";
const char *const OpeningLines =
    "SELECT 1, " MATERIAL_COLUMNS("Z") ", NULL, NULL, C.JHDJ, C.JJFS, Z.KCDJ, Z.KCSL, Z.KCJE, "
                                       "NULL, NULL, NULL, NULL, NULL, Z.ID, NULL, 0, 0, NULL, NULL "
                                       "FROM ZWCSH Z" CATALOGUE("Z") " WHERE 1 = 1";
const char *const CountLines =
    "SELECT 1, " MATERIAL_COLUMNS("P") ", NULL, NULL, C.JHDJ, C.JJFS, P.PDDJ, P.PDSL, P.PDJE, "
                                       "NULL, NULL, NULL, NULL, P.RQ, NULL, NULL, 0, 0, NULL, NULL "
                                       "FROM PYK P" CATALOGUE("P") " WHERE 1 = 1";
// A lease and its return move no stock: they stay at their own prices.
const char *const LeaseLines = "SELECT NULL, " MATERIAL_COLUMNS(
    "Z") ", Z.DJBH, NULL, C.JHDJ, 0, Z.DJ, Z.ZLSL, Z.YAJIN, "
         "NULL, U.MC, NULL, NULL, Z.ZLRQ, Z.ID, Z.DJBH, 0, 0, NULL, NULL "
         "FROM ZLBIAO Z" CATALOGUE("Z") " LEFT JOIN LLDW U ON U.BH = Z.LLDWBH WHERE 1 = 1";
const char *const LeaseReturnLines = "SELECT NULL, " MATERIAL_COLUMNS(
    "H") ", H.DJBH, NULL, C.JHDJ, 0, H.DJ, H.HZSL, H.HZJE, "
         "NULL, U.MC, NULL, NULL, H.HZRQ, H.ID, H.DJBH, 0, 0, NULL, NULL "
         "FROM ZLHZ H" CATALOGUE("H") " LEFT JOIN LLDW U ON U.BH = H.LLDWBH WHERE 1 = 1";
const char *const DirectLines = "SELECT R.JZBZ, " MATERIAL_COLUMNS(
    "R") ", R.YSDJH, R.ZL, C.JHDJ, C.JJFS, R.SJDJ, R.SJSL, "
         "R.SJJE, R.YFJE, G.MC, L.SGBW, L.DH, R.CZRQ, R.ID, R.XTBH, 1, 0, L.YSDJH, U.MC "
         "FROM RKD R JOIN LLD L ON L.ID = R.CKID" CATALOGUE(
             "R") " LEFT JOIN GYS G ON G.BH = R.GYSBH LEFT JOIN LLDW U ON U.BH = L.LLDWBH "
                  "WHERE COALESCE(R.XTBH, 0) <> 0";

QList<Column> resultColumns()
{
    return {{QStringLiteral("HH"), QStringLiteral("行    号"), Column::Text},
            {QStringLiteral("JZBZ"), QStringLiteral("记账标志"), Column::Text},
            {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
            {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
            {QStringLiteral("JLDW"), QStringLiteral("计量单位"), Column::Text},
            {QStringLiteral("DJH"), QStringLiteral("单据编号"), Column::Text},
            {QStringLiteral("ZLXX"), QStringLiteral("帐类信息"), Column::Text},
            {QStringLiteral("JHDJ"), QStringLiteral("计划单价"), Column::Price},
            {QStringLiteral("SJDJ"), QStringLiteral("实际单价"), Column::Price},
            {QStringLiteral("SJSL"), QStringLiteral("数    量"), Column::Quantity},
            {QStringLiteral("JHJE"), QStringLiteral("计划金额"), Column::Amount},
            {QStringLiteral("SJJE"), QStringLiteral("实际金额"), Column::Amount},
            {QStringLiteral("YFJE"), QStringLiteral("已付金额"), Column::Amount},
            {QStringLiteral("GYS"), QStringLiteral("供应商/耗料单位"), Column::Text},
            {QStringLiteral("SGBW"), QStringLiteral("施工部位"), Column::Text},
            {QStringLiteral("DH"), QStringLiteral("栋/楼号"), Column::Text},
            {QStringLiteral("RQ"), QStringLiteral("日    期"), Column::Text},
            {QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
            {QStringLiteral("ID"), QStringLiteral("id"), Column::Integer}};
}

// The fields of the printed result, as CX_TEMP holds them; the first is not printed.
const QStringList PrintFields = {
    QStringLiteral("JZBZ"), QStringLiteral("CLMC"), QStringLiteral("CLGG"), QStringLiteral("JLDW"),
    QStringLiteral("DJH"),  QStringLiteral("ZLXX"), QStringLiteral("JHDJ"), QStringLiteral("SJDJ"),
    QStringLiteral("SJSL"), QStringLiteral("JHJE"), QStringLiteral("SJJE"), QStringLiteral("YFJE"),
    QStringLiteral("GYS"),  QStringLiteral("SGBW"), QStringLiteral("DH"),   QStringLiteral("RQ")};

// The figures a total adds up.
const QStringList TotalFields = {QStringLiteral("SJSL"), QStringLiteral("JHJE"),
                                 QStringLiteral("SJJE"), QStringLiteral("YFJE")};

QString issueText(const QString &zl)
{
    return zl.trimmed() == QLatin1String("2") ? QStringLiteral("调拨出库")
                                              : QStringLiteral("领料出库");
}

QString issueReturnText(const QString &zl)
{
    return zl.trimmed() == QLatin1String("2") ? QStringLiteral("调拨退库")
                                              : QStringLiteral("领料退货");
}

} // namespace

namespace {

using Source = LedgerQuery::Source;

// One statement of the query and the columns its conditions compare; a condition the source
// does not carry is left out.
struct SourceQuery
{
    const char *sql;
    const char *order;
    std::optional<Family> family;
    const char *date = nullptr;
    const char *number = nullptr;
    const char *supplier = nullptr;
    const char *material = nullptr;
    const char *site = nullptr;
    const char *building = nullptr;
    const char *unit = nullptr;
    bool numberIsWhole = false; // lease vouchers are numbered
    bool stock = true;          // moves stock: a planned-price material at its planned price
    // The kind's text from the line's ZL; the condition query shows the kind's own.
    QString (*kindText)(const QString &zl) = nullptr;
    const char *postedText = nullptr; // shown whatever JZBZ says
};

// A row of the result before it is numbered.
struct Line
{
    QString jzbz;
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    QString djh;
    QString zlxx;
    QVariant jhdj;
    QVariant sjdj;
    Decimal sjsl;
    QVariant sjje;
    QVariant yfje;
    QString partner;
    QString sgbw;
    QString dh;
    QString rq;
    QVariant id;
    std::optional<Source> source;
};

QString keep(const QString &zl)
{
    return zl;
}

SourceQuery receipts()
{
    SourceQuery s{ReceiptLines, "R.CZRQ, R.ID", Family::StockIn};
    s.date = "R.CZRQ";
    s.number = "R.YSDJH";
    s.supplier = "R.GYSBH";
    s.material = "R.CLBH";
    s.kindText = keep;
    return s;
}

SourceQuery returns()
{
    SourceQuery s{ReturnLines, "T.CZRQ, T.ID", Family::StockInReturn};
    s.date = "T.CZRQ";
    s.number = "T.THDJH";
    s.supplier = "T.GYSBH";
    s.material = "T.CLBH";
    s.kindText = keep;
    return s;
}

SourceQuery issues(bool fifo)
{
    SourceQuery s{fifo ? IssuePieces : IssueLines, fifo ? "L.CZRQ, L.ID, X.ID" : "L.CZRQ, L.ID",
                  Family::Issue};
    s.date = "L.CZRQ";
    s.number = "L.YSDJH";
    s.unit = "L.LLDWBH";
    s.material = "L.CLBH";
    s.site = "L.SGBW";
    s.building = "L.DH";
    s.kindText = issueText;
    return s;
}

SourceQuery issueReturns()
{
    SourceQuery s{IssueReturnLines, "T.CZRQ, T.ID", Family::IssueReturn};
    s.date = "T.CZRQ";
    s.number = "T.THDJH";
    s.unit = "T.LLDWBH";
    s.material = "T.CLBH";
    s.kindText = issueReturnText;
    return s;
}

SourceQuery sourceOf(LedgerQuery::Kind kind, bool fifo)
{
    using K = LedgerQuery::Kind;
    switch (kind) {
    case K::Opening: {
        SourceQuery s{OpeningLines, "Z.ID", std::nullopt};
        s.material = "Z.CLBH";
        return s;
    }
    case K::Purchase:
    case K::TransferIn:
    case K::Provisional:
    case K::ClientSupplied:
        return receipts();
    case K::PurchaseReturn:
    case K::TransferReturn:
    case K::ProvisionalReturn:
    case K::ClientReturn:
        return returns();
    case K::Count: {
        SourceQuery s{CountLines, "P.RQ, P.CLBH", std::nullopt};
        s.date = "P.RQ";
        s.material = "P.CLBH";
        return s;
    }
    case K::Requisition:
    case K::TransferOut:
        return issues(fifo);
    case K::RequisitionReturn:
    case K::TransferOutReturn:
        return issueReturns();
    case K::Lease:
    case K::LeaseReturn: {
        const bool lease = kind == K::Lease;
        SourceQuery s{lease ? LeaseLines : LeaseReturnLines,
                      lease ? "Z.ZLRQ, Z.ID" : "H.HZRQ, H.ID", std::nullopt};
        s.date = lease ? "Z.ZLRQ" : "H.HZRQ";
        s.number = lease ? "Z.DJBH" : "H.DJBH";
        s.supplier = lease ? "Z.GYSBH" : "H.GYSBH";
        s.material = lease ? "Z.CLBH" : "H.CLBH";
        s.numberIsWhole = true;
        s.stock = false;
        s.postedText = lease ? "" : "已记账";
        return s;
    }
    case K::Direct: {
        SourceQuery s{DirectLines, "R.CZRQ, R.ID", Family::StockIn};
        s.date = "R.CZRQ";
        s.number = "R.YSDJH";
        s.supplier = "R.GYSBH";
        s.material = "R.CLBH";
        s.site = "L.SGBW";
        s.building = "L.DH";
        s.unit = "L.LLDWBH";
        return s;
    }
    }
    return receipts();
}

// The ZL a kind's lines carry; empty for kinds of a table of their own.
QString zlOf(LedgerQuery::Kind kind)
{
    using K = LedgerQuery::Kind;
    switch (kind) {
    case K::Purchase:
    case K::TransferIn:
    case K::Provisional:
    case K::ClientSupplied:
    case K::PurchaseReturn:
    case K::TransferReturn:
    case K::ProvisionalReturn:
        return LedgerQuery::kindTexts().at(kind);
    case K::ClientReturn:
        return QStringLiteral("甲供退货");
    case K::Requisition:
    case K::RequisitionReturn:
        return QStringLiteral("1");
    case K::TransferOut:
    case K::TransferOutReturn:
        return QStringLiteral("2");
    default:
        return {};
    }
}

// The kind as its rows show it.
QString shownText(LedgerQuery::Kind kind)
{
    switch (kind) {
    case LedgerQuery::RequisitionReturn:
        return QStringLiteral("领料退货");
    case LedgerQuery::Direct:
        return QStringLiteral("直近直出");
    default:
        return LedgerQuery::kindTexts().at(kind);
    }
}

QString zlColumn(LedgerQuery::Kind kind)
{
    switch (kind) {
    case LedgerQuery::Purchase:
    case LedgerQuery::TransferIn:
    case LedgerQuery::Provisional:
    case LedgerQuery::ClientSupplied:
        return QStringLiteral("R.ZL");
    case LedgerQuery::Requisition:
    case LedgerQuery::TransferOut:
        return QStringLiteral("L.ZL");
    default:
        return QStringLiteral("T.ZL");
    }
}

QList<Line> readLines(Database &db, const Formats &formats, const SourceQuery &source,
                      const QString &where, const QVariantList &values)
{
    QList<Line> lines;
    Query q = db.query(QLatin1String(source.sql) + where + QStringLiteral(" ORDER BY ") +
                           QLatin1String(source.order),
                       values);
    while (q.next()) {
        Line l;
        const QVariant posted = q.value(JZBZ);
        l.jzbz = source.postedText     ? QString::fromUtf8(source.postedText)
                 : posted.toInt() != 0 ? Posted
                                       : Unposted;
        l.clbh = q.value(CLBH).toString();
        l.clmc = q.value(CLMC).toString();
        l.clgg = q.value(CLGG).toString();
        l.jzdw = q.value(JZDW).toString();
        l.djh = q.value(DJH).toString();
        const QString zl = q.value(ZL).toString();
        if (source.kindText)
            l.zlxx = source.kindText(zl);
        l.jhdj = ReportTable::figureOrEmpty(q.value(JHDJ));
        l.sjdj = ReportTable::figureOrEmpty(q.value(SJDJ));
        l.sjsl = Decimal::fromVariant(q.value(SJSL));
        l.sjje = ReportTable::figureOrEmpty(q.value(SJJE));
        l.yfje = ReportTable::figureOrEmpty(q.value(YFJE));
        l.partner = q.value(PARTNER).toString();
        l.sgbw = q.value(SGBW).toString();
        l.dh = q.value(DH).toString();
        l.rq = q.value(RQ).toString();
        l.id = q.value(ID);
        if (q.value(PIECE).toInt() != 0)
            l.sjje =
                ReportTable::figure(formats.amountAt(l.sjsl, Decimal::fromVariant(q.value(SJDJ))));
        if (source.stock && q.value(JJFS).toInt() != 0) {
            const Decimal planned = Decimal::fromVariant(q.value(JHDJ));
            l.sjdj = ReportTable::figure(planned);
            l.sjje = ReportTable::figure(formats.amountAt(l.sjsl, planned));
        }
        if (!q.value(ISSUEDJH).isNull())
            l.djh += QLatin1Char('/') + q.value(ISSUEDJH).toString();
        if (!q.value(UNIT).isNull())
            l.partner += QLatin1Char('/') + q.value(UNIT).toString();
        if (source.family) {
            const bool direct = q.value(DIRECT).toInt() != 0;
            // The issue half of a direct delivery is found by its line when it is opened.
            const bool issueHalf = direct && *source.family == Family::Issue;
            l.source = Source{*source.family, zl, issueHalf ? 0 : q.value(XTBH).toLongLong(),
                              q.value(ID).toLongLong(), direct};
        }
        lines << l;
    }
    return lines;
}

// The stock carried into the period, per material (under first in first out per material and
// unit price), in the catalogue's order.
QList<Line> carriedOver(Database &db, int mode, const Formats &formats,
                        const QStringList &materials, const QDate &from)
{
    struct Material
    {
        QString clmc;
        QString clgg;
        QString jzdw;
        QVariant jhdj;
    };
    QHash<QString, Material> catalogue;
    Query q = db.query(QStringLiteral("SELECT CLBH, CLMC, CLGG, JZDW, JHDJ FROM CLJBXXB"));
    while (q.next())
        catalogue.insert(q.value(0).toString(),
                         {q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                          ReportTable::figureOrEmpty(q.value(4))});
    q.finish();

    const StockBalances balances(db, mode);
    const std::map<StockBalances::Key, Figure> before =
        balances.before(from, materials.size() == 1 ? materials.first() : QString());
    const QSet<QString> chosen(materials.cbegin(), materials.cend());
    const CatalogueTree tree(db);
    QList<std::pair<StockBalances::Key, Figure>> rows;
    for (const auto &entry : before) {
        if (materials.isEmpty() || chosen.contains(entry.first.first))
            rows.append(entry);
    }
    std::stable_sort(rows.begin(), rows.end(), [&tree](const auto &a, const auto &b) {
        return tree.rank(a.first.first) < tree.rank(b.first.first);
    });

    QList<Line> lines;
    for (const auto &[key, figure] : std::as_const(rows)) {
        const Material m = catalogue.value(key.first);
        Line l;
        l.jzbz = Posted;
        l.clbh = key.first;
        l.clmc = m.clmc;
        l.clgg = m.clgg;
        l.jzdw = m.jzdw;
        l.zlxx = LedgerQuery::CarriedOver;
        l.jhdj = m.jhdj;
        const auto planned = balances.plannedPrices().constFind(key.first);
        if (planned != balances.plannedPrices().cend())
            l.sjdj = ReportTable::figure(*planned);
        else if (key.second)
            l.sjdj = ReportTable::figure(Decimal::fromRaw(*key.second));
        else if (!figure.quantity.isZero())
            l.sjdj = ReportTable::figure(formats.roundAmount(figure.amount / figure.quantity));
        l.sjsl = figure.quantity;
        l.sjje = ReportTable::figure(figure.amount);
        l.rq = from.toString(DateFormat);
        lines << l;
    }
    return lines;
}

// The rows numbered, then their total.
LedgerQuery::Result collect(const Formats &formats, const QList<Line> &lines)
{
    LedgerQuery::Result result{
        ReportTable(LedgerQuery::ResultTitle, LedgerQuery::ResultTitle, resultColumns()), {}};
    Decimal quantity;
    Decimal planned;
    Decimal actual;
    Decimal paid;
    int number = 0;
    for (const Line &l : lines) {
        const Decimal plannedAmount =
            formats.amountAt(l.sjsl, Decimal::fromRaw(l.jhdj.toLongLong()));
        quantity += l.sjsl;
        planned += plannedAmount;
        actual += Decimal::fromRaw(l.sjje.toLongLong());
        paid += Decimal::fromRaw(l.yfje.toLongLong());
        result.table.addRow({QString::number(++number), l.jzbz, l.clmc, l.clgg, l.jzdw, l.djh,
                             l.zlxx, l.jhdj, l.sjdj, ReportTable::figure(l.sjsl),
                             l.jhdj.isNull() ? QVariant() : ReportTable::figure(plannedAmount),
                             l.sjje, l.yfje, l.partner, l.sgbw, l.dh, l.rq, l.clbh,
                             l.id.isNull() ? QVariant() : QVariant(l.id.toLongLong())});
        result.sources << l.source;
    }
    QVariantList total(result.table.columnCount());
    total[0] = LedgerQuery::TotalText;
    total[result.table.columnOf(QStringLiteral("SJSL"))] = ReportTable::figure(quantity);
    total[result.table.columnOf(QStringLiteral("JHJE"))] = ReportTable::figure(planned);
    total[result.table.columnOf(QStringLiteral("SJJE"))] = ReportTable::figure(actual);
    total[result.table.columnOf(QStringLiteral("YFJE"))] = ReportTable::figure(paid);
    result.table.addRow(total, ReportTable::RowStyle::Total);
    result.sources << std::nullopt;
    return result;
}

} // namespace

QStringList LedgerQuery::kindTexts()
{
    return {QStringLiteral("初始化结存"), QStringLiteral("采购入库"), QStringLiteral("调拨入库"),
            QStringLiteral("暂估入库"),   QStringLiteral("甲方供给"), QStringLiteral("采购退货"),
            QStringLiteral("调拨退货"),   QStringLiteral("暂估退货"), QStringLiteral("供给退货"),
            QStringLiteral("盘赢/亏"),    QStringLiteral("领料出库"), QStringLiteral("调拨出库"),
            QStringLiteral("领料退库"),   QStringLiteral("调拨退库"), QStringLiteral("租赁"),
            QStringLiteral("还租"),       QStringLiteral("直进直出")};
}

std::optional<LedgerQuery::Kind> LedgerQuery::kindOf(const QString &textOrPosition)
{
    const QString wanted = textOrPosition.trimmed();
    const int at = int(kindTexts().indexOf(wanted));
    if (at >= 0)
        return Kind(at);
    bool whole = false;
    const int position = wanted.toInt(&whole);
    if (whole && position >= 0 && position < KindCount)
        return Kind(position);
    return std::nullopt;
}

bool LedgerQuery::numbersStockIn(Kind kind)
{
    return (kind >= Purchase && kind <= ClientSupplied) || kind == Direct;
}

LedgerQuery::LedgerQuery(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

LedgerQuery::Result LedgerQuery::conditions(const Conditions &c) const
{
    if (c.from > c.to)
        throw Refusal(RefusalTitle, DatesText);
    if (!c.kind)
        throw Refusal(RefusalTitle, NoKindText);
    const Kind kind = *c.kind;
    const SourceQuery source = sourceOf(kind, m_mode == CostEngine::FirstInFirstOut);

    QString where;
    QVariantList values;
    const QString zl = zlOf(kind);
    if (!zl.isEmpty()) {
        where += QStringLiteral(" AND ") + zlColumn(kind) + QStringLiteral(" = ?");
        values << zl;
    }
    if (source.date) {
        where += QStringLiteral(" AND ") + QLatin1String(source.date) +
                 QStringLiteral(" BETWEEN ? AND ?");
        values << c.from.toString(DateFormat) << c.to.toString(DateFormat);
    }
    const auto condition = [&](const char *column, const QString &value) {
        const QString wanted = value.trimmed();
        if (!column || wanted.isEmpty())
            return;
        where += QStringLiteral(" AND ") + QLatin1String(column) + QStringLiteral(" = ?");
        values << wanted;
    };
    if (source.numberIsWhole && !c.number.trimmed().isEmpty()) {
        bool whole = false;
        const qint64 number = c.number.trimmed().toLongLong(&whole);
        // A number that is not one names no voucher.
        if (whole) {
            where +=
                QStringLiteral(" AND ") + QLatin1String(source.number) + QStringLiteral(" = ?");
            values << number;
        } else {
            where += QStringLiteral(" AND 1 = 0");
        }
    } else {
        condition(source.number, c.number);
    }
    condition(source.supplier, c.supplier);
    condition(source.material, c.material);
    condition("C.CLMC", c.name);
    condition("C.CLGG", c.spec);
    condition(source.site, c.site);
    condition(source.building, c.building);
    condition(source.unit, c.unit);

    const ReadSnapshot snapshot(m_db);
    QList<Line> lines = readLines(m_db, m_formats, source, where, values);
    const QString text = shownText(kind);
    for (Line &l : lines)
        l.zlxx = text;
    Result result = collect(m_formats, lines);
    if (source.date)
        result.table.setPeriod(ReportPeriod{c.from, c.to});
    return result;
}

LedgerQuery::Result LedgerQuery::items(const std::optional<QStringList> &materials,
                                       const QDate &from, const QDate &to) const
{
    if (from > to)
        throw Refusal(RefusalTitle, DatesText);
    const bool fifo = m_mode == CostEngine::FirstInFirstOut;
    const QStringList chosen = materials.value_or(QStringList());
    const bool one = materials && chosen.size() == 1;
    const QSet<QString> wanted(chosen.cbegin(), chosen.cend());

    const ReadSnapshot snapshot(m_db);
    QList<Line> lines;
    if (!materials || !chosen.isEmpty())
        lines = carriedOver(m_db, m_mode, m_formats, chosen, from);
    for (const SourceQuery &source : {receipts(), returns(), issues(fifo), issueReturns()}) {
        if (materials && chosen.isEmpty())
            break;
        QString where = QStringLiteral(" AND ") + QLatin1String(source.date) +
                        QStringLiteral(" BETWEEN ? AND ?");
        QVariantList values{from.toString(DateFormat), to.toString(DateFormat)};
        if (one) {
            where +=
                QStringLiteral(" AND ") + QLatin1String(source.material) + QStringLiteral(" = ?");
            values << chosen.first();
        }
        for (Line &l : readLines(m_db, m_formats, source, where, values)) {
            if (!materials || one || wanted.contains(l.clbh))
                lines << std::move(l);
        }
    }
    Result result = collect(m_formats, lines);
    result.table.setPeriod(ReportPeriod{from, to});
    return result;
}

QStringList LedgerQuery::materialsOf(const QString &node) const
{
    const CatalogueTree tree(m_db);
    if (const CatalogueTree::Node *n = tree.find(node); n && n->leaf)
        return {n->clbh};
    QStringList codes;
    for (const CatalogueTree::Node *leaf : tree.leaves()) {
        if (tree.isUnder(leaf->clbh, node.isEmpty() ? CatalogueTree::Root : node))
            codes << leaf->clbh;
    }
    return codes;
}

QStringList LedgerQuery::sites() const
{
    QStringList list;
    Query q = m_db.query(QStringLiteral("SELECT DISTINCT SGBW FROM LLD WHERE SGBW IS NOT NULL "
                                        "AND SGBW <> '' ORDER BY SGBW"));
    while (q.next())
        list << q.value(0).toString();
    return list;
}

QStringList LedgerQuery::buildings() const
{
    QStringList list;
    Query q = m_db.query(QStringLiteral("SELECT DISTINCT DH FROM LLD WHERE DH IS NOT NULL "
                                        "AND DH <> '' ORDER BY DH"));
    while (q.next())
        list << q.value(0).toString();
    return list;
}

qint64 LedgerQuery::directVoucher(qint64 lldId) const
{
    return m_db.scalar(QStringLiteral("SELECT MIN(XTBH) FROM RKD WHERE CKID = ?"), {lldId})
        .toLongLong();
}

bool LedgerQuery::hasRecords(const ReportTable &result)
{
    for (int r = 0; r < result.rowCount(); ++r) {
        if (result.style(r) == ReportTable::RowStyle::Detail)
            return true;
    }
    return false;
}

ReportTable LedgerQuery::printTable(const ReportTable &result) const
{
    QList<Column> columns;
    for (const QString &field : PrintFields)
        columns << result.columns().at(result.columnOf(field));
    ReportTable work(PrintName, PrintTitle, columns);
    for (int r = 0; r < result.rowCount(); ++r) {
        if (result.style(r) != ReportTable::RowStyle::Detail)
            continue;
        QVariantList cells;
        for (const QString &field : PrintFields)
            cells << result.value(r, result.columnOf(field));
        work.addRow(cells);
    }
    ReportBuild build(m_db);
    build.fill(QStringLiteral("CX_TEMP"), work);
    build.commit();

    ReportTable printed(PrintName, PrintTitle, columns.mid(1));
    if (result.period())
        printed.setPeriod(*result.period());
    QVariantList total(printed.columnCount());
    for (const QString &field : TotalFields)
        total[printed.columnOf(field)] = ReportTable::figure(Decimal());
    for (int r = 0; r < work.rowCount(); ++r) {
        QVariantList cells;
        for (int c = 1; c < work.columnCount(); ++c)
            cells << work.value(r, c);
        printed.addRow(cells);
        for (const QString &field : TotalFields) {
            const int c = printed.columnOf(field);
            total[c] = ReportTable::figure(Decimal::fromRaw(total.at(c).toLongLong()) +
                                           work.figureAt(r, c + 1));
        }
    }
    total[0] = TotalText;
    printed.addRow(total, ReportTable::RowStyle::Total);
    return printed;
}

} // namespace varnock
