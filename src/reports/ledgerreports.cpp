#include "reports/ledgerreports.h"

#include "reports/reportbuild.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <vector>

namespace varnock::LedgerReports {

namespace {

using Column = ReportTable::Column;
using Style = ReportTable::RowStyle;

QHash<QString, StockHoldings::Node> catalogueOf(Database &db)
{
    QHash<QString, StockHoldings::Node> nodes;
    QSqlQuery q = db.exec(QStringLiteral("SELECT CLBH, SJBH, CLMC FROM CLJBXXB"));
    while (q.next())
        nodes.insert(q.value(0).toString(), {q.value(1).toString(), q.value(2).toString()});
    return nodes;
}

// The catalogue tree: each node's parent and name.
class Tree
{
public:
    explicit Tree(QHash<QString, StockHoldings::Node> nodes)
        : m_nodes(std::move(nodes))
    {}

    // The parent node; empty at the top of the tree.
    QString parent(const QString &code) const
    {
        const QString p = m_nodes.value(code).parent;
        return m_nodes.contains(p) ? p : QString();
    }
    QString name(const QString &code) const { return m_nodes.value(code).name; }
    // The node's ancestors from the top of the tree down, the node itself last.
    QStringList chain(const QString &code) const
    {
        QStringList codes;
        for (QString c = code; m_nodes.contains(c) && !codes.contains(c); c = parent(c))
            codes.prepend(c);
        return codes;
    }

private:
    QHash<QString, StockHoldings::Node> m_nodes;
};

// A material's row before it is grouped.
struct Detail
{
    QString clbh;
    QVariantList cells;
};

// Adds the details ordered by their grandparent, parent and own code, with a subtotal row per
// parent (" 小计") and per grandparent (" 合计") and the total `totalName`, summing the figure
// columns `sums`. Column 0 holds the code and column 1 the name.
void addGrouped(ReportTable &table, const Tree &tree, QList<Detail> details, const QList<int> &sums,
                const QString &totalName)
{
    if (details.isEmpty())
        return;
    const auto key = [&tree](const Detail &d) {
        const QString parent = tree.parent(d.clbh);
        return QStringList{tree.parent(parent), parent, d.clbh};
    };
    std::stable_sort(details.begin(), details.end(),
                     [&key](const Detail &a, const Detail &b) { return key(a) < key(b); });
    struct Group
    {
        QString code;
        QList<Decimal> sums;
    };
    const int columns = table.columnCount();
    const auto groupRow = [&](const Group &g, const QString &name, Style style) {
        QVariantList cells(columns);
        cells[0] = g.code;
        cells[1] = name;
        for (int i = 0; i < sums.size(); ++i)
            cells[sums[i]] = ReportTable::figure(g.sums[i]);
        table.addRow(cells, style);
    };
    const auto add = [&sums](Group &g, const Detail &d) {
        if (g.sums.isEmpty())
            g.sums = QList<Decimal>(sums.size());
        for (int i = 0; i < sums.size(); ++i)
            g.sums[i] += Decimal::fromRaw(d.cells.value(sums[i]).toLongLong());
    };
    Group parent;
    Group grandparent;
    Group total{QStringLiteral("0"), {}};
    const auto close = [&](Group &g, const QString &suffix, Style style) {
        if (!g.code.isEmpty() && !g.sums.isEmpty())
            groupRow(g, tree.name(g.code) + suffix, style);
        g = Group{};
    };
    for (const Detail &d : std::as_const(details)) {
        const QStringList k = key(d);
        if (parent.code != k[1])
            close(parent, QStringLiteral(" 小计"), Style::Subtotal);
        if (grandparent.code != k[0])
            close(grandparent, QStringLiteral(" 合计"), Style::Total);
        parent.code = k[1];
        grandparent.code = k[0];
        add(parent, d);
        add(grandparent, d);
        add(total, d);
        table.addRow(d.cells);
    }
    close(parent, QStringLiteral(" 小计"), Style::Subtotal);
    close(grandparent, QStringLiteral(" 合计"), Style::Total);
    groupRow(total, totalName, Style::Total);
}

Decimal unitPrice(Decimal quantity, Decimal amount)
{
    return quantity.isZero() ? Decimal() : amount / quantity;
}

QVariant figure(Decimal value)
{
    return ReportTable::figure(value);
}

} // namespace

StockHoldings stockHoldings(Database &db)
{
    const ReadSnapshot snapshot(db);
    StockHoldings holdings;
    holdings.catalogue = catalogueOf(db);
    QSqlQuery q = db.exec(QStringLiteral("SELECT K.CLBH, C.CLMC, C.CLGG, C.JZDW, K.KCSL, "
                                         "CASE WHEN C.JJFS <> 0 THEN SMUL(K.KCSL, C.JHDJ, 4) "
                                         "ELSE K.KCJE END "
                                         "FROM KC K JOIN CLJBXXB C ON C.CLBH = K.CLBH "
                                         "WHERE K.KCSL <> 0 ORDER BY K.CLBH"));
    while (q.next()) {
        holdings.items.append({q.value(0).toString(),
                               q.value(1).toString(),
                               q.value(2).toString(),
                               q.value(3).toString(),
                               Decimal::fromVariant(q.value(4)),
                               Decimal::fromVariant(q.value(5)),
                               {}});
    }
    return holdings;
}

ReportTable stockList(const StockHoldings &holdings, Level level, const QString &name,
                      bool withSets)
{
    QList<Column> columns{{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                          {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                          {QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text},
                          {QStringLiteral("JZDW"), QStringLiteral("计量单位"), Column::Text},
                          {QStringLiteral("KCDJ"), QStringLiteral("库存单价"), Column::Price},
                          {QStringLiteral("KCSL"), QStringLiteral("库存数量"), Column::Quantity},
                          {QStringLiteral("KCJE"), QStringLiteral("库存金额"), Column::Amount}};
    if (withSets)
        columns.append({QStringLiteral("ZT"), QStringLiteral("账套"), Column::Text});
    ReportTable table(name, QStringLiteral("流动资产清点表"), columns);
    const Tree tree(holdings.catalogue);
    QList<Detail> details;
    for (const StockHoldings::Item &i : holdings.items) {
        QVariantList cells{i.clbh,
                           i.clmc,
                           i.clgg,
                           i.jzdw,
                           figure(unitPrice(i.quantity, i.amount)),
                           figure(i.quantity),
                           figure(i.amount)};
        if (withSets)
            cells << i.sets.join(QStringLiteral("、"));
        details.append({i.clbh, cells});
    }
    if (level == Level::Every) {
        addGrouped(table, tree, details, {6}, QStringLiteral("全部材料 总计"));
    } else if (!details.isEmpty()) {
        // One row per category of the level, each under the categories above it.
        const int depth = level == Level::First ? 1 : 2;
        QMap<QStringList, Decimal> sums;
        Decimal total;
        for (const Detail &d : std::as_const(details)) {
            const QStringList chain = tree.chain(d.clbh);
            const Decimal amount = Decimal::fromRaw(d.cells.value(6).toLongLong());
            total += amount;
            if (chain.size() > depth)
                sums[chain.mid(0, depth)] += amount;
        }
        const QString suffix =
            level == Level::First ? QStringLiteral(" 合计") : QStringLiteral(" 小计");
        for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
            const QString code = it.key().last();
            table.addRow({code, tree.name(code) + suffix, {}, {}, {}, {}, figure(*it)},
                         Style::Subtotal);
        }
        table.addRow(
            {QStringLiteral("0"), QStringLiteral("全部材料 总计"), {}, {}, {}, {}, figure(total)},
            Style::Total);
    }
    return table;
}

ReportTable stockList(Database &db, Level level)
{
    ReportBuild build(db);
    const ReportTable table =
        stockList(stockHoldings(db), level, QStringLiteral("流动资产清点表"), false);
    build.fill(QStringLiteral("KCPD_TEMP"), table);
    build.commit();
    return table;
}

ReportTable countResult(Database &db, const QDate &end)
{
    ReportTable table(QStringLiteral("盘点表"), QStringLiteral("盘点表"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text},
                       {QStringLiteral("DW"), QStringLiteral("计量单位"), Column::Text},
                       {QStringLiteral("DJ"), QStringLiteral("平均单价"), Column::Price},
                       {QStringLiteral("ZMSL"), QStringLiteral("账面数量"), Column::Quantity},
                       {QStringLiteral("ZMJE"), QStringLiteral("账面金额"), Column::Amount},
                       {QStringLiteral("QDSL"), QStringLiteral("清点数量"), Column::Quantity},
                       {QStringLiteral("QDJE"), QStringLiteral("清点金额"), Column::Amount},
                       {QStringLiteral("PYSL"), QStringLiteral("盘盈数量"), Column::Quantity},
                       {QStringLiteral("PYJE"), QStringLiteral("盘盈金额"), Column::Amount},
                       {QStringLiteral("PKSL"), QStringLiteral("盘亏数量"), Column::Quantity},
                       {QStringLiteral("PKJE"), QStringLiteral("盘亏金额"), Column::Amount}});
    table.setPeriod({QDate(), end});
    const QString day = VoucherBook::dateText(end);
    // The movements up to the day, one row (CLBH, what, quantity, amount) each: B book,
    // P surplus, K deficit. Planned-price materials move at quantity × JHDJ; lines without a
    // voucher number are booked through their count rows, direct deliveries never rest in
    // the store.
    const QString valued = QStringLiteral("CASE WHEN C.JJFS <> 0 THEN SMUL(%1, C.JHDJ, 4) "
                                          "ELSE %2 END");
    const QString sql =
        QStringLiteral(
            "SELECT M.CLBH, M.W, SUM(M.SL), SUM(M.JE) FROM ("
            "SELECT Z.CLBH, 'B' AS W, Z.KCSL AS SL, %1 AS JE FROM ZWCSH Z "
            "LEFT JOIN CLJBXXB C ON C.CLBH = Z.CLBH "
            "UNION ALL SELECT R.CLBH, 'B', R.SJSL, %2 FROM RKD R "
            "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH WHERE R.JZBZ <> 0 "
            "AND COALESCE(R.XTBH, 0) <> 0 AND COALESCE(R.CKID, 0) = 0 AND R.CZRQ <= ? "
            "UNION ALL SELECT T.CLBH, 'B', -T.THSL, -(%3) FROM THD T "
            "LEFT JOIN CLJBXXB C ON C.CLBH = T.CLBH WHERE T.JZBZ <> 0 AND T.CZRQ <= ? "
            "UNION ALL SELECT L.CLBH, 'B', -L.SJSL, -(%4) FROM LLD L "
            "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH WHERE L.JZBZ <> 0 AND L.ZJZC = 0 "
            "AND COALESCE(L.XTBH, 0) <> 0 AND L.CZRQ <= ? "
            "UNION ALL SELECT T.CLBH, 'B', T.THSL, %5 FROM TKD T "
            "LEFT JOIN CLJBXXB C ON C.CLBH = T.CLBH WHERE T.JZBZ <> 0 AND T.CZRQ <= ? "
            "UNION ALL SELECT CLBH, 'B', 0, JE FROM CLKVMT WHERE CZRQ <= ? "
            "UNION ALL SELECT CLBH, CASE WHEN PDSL > 0 THEN 'P' ELSE 'K' END, PDSL, PDJE "
            "FROM PYK WHERE RQ <= ?) AS M GROUP BY M.CLBH, M.W")
            .arg(valued.arg(QStringLiteral("Z.KCSL"), QStringLiteral("Z.KCJE")),
                 valued.arg(QStringLiteral("R.SJSL"), QStringLiteral("R.SJJE")),
                 valued.arg(QStringLiteral("T.THSL"), QStringLiteral("T.THJE")),
                 valued.arg(QStringLiteral("L.SJSL"), QStringLiteral("L.SJJE")),
                 valued.arg(QStringLiteral("T.THSL"), QStringLiteral("T.THJE")));
    struct Figures
    {
        Decimal bookQuantity, bookAmount, surplusQuantity, surplusAmount, deficitQuantity,
            deficitAmount;
    };
    QMap<QString, Figures> figures;
    Transaction tx(db);
    QSqlQuery q = db.exec(sql, {day, day, day, day, day, day});
    while (q.next()) {
        Figures &f = figures[q.value(0).toString().trimmed()];
        const QString what = q.value(1).toString();
        const Decimal quantity = Decimal::fromVariant(q.value(2));
        const Decimal amount = Decimal::fromVariant(q.value(3));
        if (what == QLatin1String("B")) {
            f.bookQuantity += quantity;
            f.bookAmount += amount;
        } else if (what == QLatin1String("P")) {
            f.surplusQuantity += quantity;
            f.surplusAmount += amount;
        } else {
            f.deficitQuantity += quantity;
            f.deficitAmount += amount;
        }
    }
    q.finish();

    // The average of the distinct receipt and opening unit prices (the planned price for a
    // planned-price material).
    QHash<QString, Decimal> prices;
    QSqlQuery p = db.exec(QStringLiteral(
        "SELECT A.CLBH, AVG(A.DJ) FROM (SELECT DISTINCT X.CLBH, X.DJ FROM ("
        "SELECT R.CLBH, CASE WHEN C.JJFS <> 0 THEN C.JHDJ ELSE R.SJDJ END AS DJ FROM RKD R "
        "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH WHERE R.JZBZ <> 0 "
        "AND COALESCE(R.XTBH, 0) <> 0 AND COALESCE(R.CKID, 0) = 0 "
        "UNION ALL SELECT Z.CLBH, CASE WHEN C.JJFS <> 0 THEN C.JHDJ ELSE Z.KCDJ END FROM ZWCSH Z "
        "LEFT JOIN CLJBXXB C ON C.CLBH = Z.CLBH) AS X) AS A GROUP BY A.CLBH"));
    while (p.next())
        prices.insert(p.value(0).toString(), Decimal::fromRaw(std::llround(p.value(1).toDouble())));
    p.finish();

    QList<Detail> details;
    QSqlQuery m = db.exec(QStringLiteral("SELECT CLBH, CLMC, CLGG, JZDW FROM CLJBXXB"));
    QHash<QString, QVariantList> names;
    while (m.next())
        names.insert(m.value(0).toString(), {m.value(1), m.value(2), m.value(3)});
    m.finish();
    for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
        const Figures &f = *it;
        const Decimal countedQuantity = f.bookQuantity + f.surplusQuantity + f.deficitQuantity;
        const Decimal countedAmount = f.bookAmount + f.surplusAmount + f.deficitAmount;
        const QList<Decimal> all = {f.bookQuantity,    f.bookAmount,      countedQuantity,
                                    countedAmount,     f.surplusQuantity, f.surplusAmount,
                                    f.deficitQuantity, f.deficitAmount};
        if (std::all_of(all.cbegin(), all.cend(), [](Decimal d) { return d.isZero(); }))
            continue;
        const QVariantList name = names.value(it.key(), {QString(), QString(), QString()});
        QVariantList cells{it.key(), name[0], name[1], name[2], figure(prices.value(it.key()))};
        for (Decimal d : all)
            cells << figure(d);
        details.append({it.key(), cells});
    }
    addGrouped(table, Tree(catalogueOf(db)), details, {5, 6, 7, 8, 9, 10, 11, 12},
               QStringLiteral("全部材料  总计"));
    ReportBuild::write(db, QStringLiteral("PD_TEMP"), table);
    tx.commit();
    return table;
}

const QString ArrearsDatesText = QStringLiteral("起始日期不允许大于终止日期！");

bool ArrearsRow::isEmpty() const
{
    return syje.isZero() && byje.isZero() && byqk.isZero() && byhk.isZero();
}

ArrearsRow &ArrearsRow::operator+=(const ArrearsRow &other)
{
    syje += other.syje;
    byqk += other.byqk;
    byhk += other.byhk;
    byje += other.byje;
    hz += other.hz;
    return *this;
}

QList<ReportTable::Column> arrearsColumns()
{
    return {{QStringLiteral("GYSMC"), QStringLiteral("供应商名称"), Column::Text},
            {QStringLiteral("ZGCP"), QStringLiteral("主供产品"), Column::Text},
            {QStringLiteral("SYJE"), QStringLiteral("期初欠款"), Column::Amount},
            {QStringLiteral("BYQK"), QStringLiteral("本期欠款"), Column::Amount},
            {QStringLiteral("BYHK"), QStringLiteral("本期还款"), Column::Amount},
            {QStringLiteral("BYJE"), QStringLiteral("期末欠款"), Column::Amount},
            {QStringLiteral("HZ"), QStringLiteral("坏帐处理"), Column::Amount}};
}

namespace {

// One supplier's movements of one kind, summed before the period, up to its end and inside it.
struct Spans
{
    Decimal before;
    Decimal toEnd;
    Decimal within;
};

// Per supplier (GYSBH), each of `amounts` of the rows of `rows` ("TABLE WHERE …") summed over
// the three spans of `date`: each table is read once for every supplier together.
QHash<QString, std::vector<Spans>> spansOf(Database &db, const QStringList &amounts,
                                           const QString &date, const QString &rows,
                                           const ReportPeriod &period)
{
    const QString from = VoucherBook::dateText(period.from);
    const QString to = VoucherBook::dateText(period.to);
    QStringList sums;
    QVariantList values;
    for (const QString &amount : amounts) {
        sums << QStringLiteral("SUM(CASE WHEN %1 < ? THEN %2 ELSE 0 END), "
                               "SUM(CASE WHEN %1 <= ? THEN %2 ELSE 0 END), "
                               "SUM(CASE WHEN %1 BETWEEN ? AND ? THEN %2 ELSE 0 END)")
                    .arg(date, amount);
        values << from << to << from << to;
    }
    QHash<QString, std::vector<Spans>> out;
    Query q = db.query(QStringLiteral("SELECT GYSBH, %1 FROM %2 GROUP BY GYSBH")
                           .arg(sums.join(QStringLiteral(", ")), rows),
                       values);
    while (q.next()) {
        std::vector<Spans> spans;
        for (int i = 0; i < amounts.size(); ++i) {
            spans.push_back({Decimal::fromVariant(q.value(1 + 3 * i)),
                             Decimal::fromVariant(q.value(2 + 3 * i)),
                             Decimal::fromVariant(q.value(3 + 3 * i))});
        }
        out.insert(q.value(0).toString(), spans);
    }
    return out;
}

// The spans of amount `i` of a supplier without rows are all zero.
Spans spansAt(const QHash<QString, std::vector<Spans>> &all, const QString &gysbh, size_t i)
{
    const auto it = all.constFind(gysbh);
    return it == all.cend() ? Spans{} : it->at(i);
}

} // namespace

QList<ArrearsRow> arrearsRows(Database &db, const ReportPeriod &period, ArrearsLines lines)
{
    // The stock-in lines that make debt (SJJE less what was paid with them, YFJE); what was paid
    // with them counts among the payments.
    const QString debt =
        QStringLiteral("RKD WHERE ZL IN ('采购入库', '暂估入库') AND JZBZ <> 0 AND %1")
            .arg(lines == ArrearsLines::Numbered ? QStringLiteral("COALESCE(XTBH, 0) <> 0")
                                                 : QStringLiteral("CZBZ = 0"));
    enum { Owed, Received, PaidOnReceipt };
    const auto receipts = spansOf(db,
                                  {QStringLiteral("SJJE - COALESCE(YFJE, 0)"),
                                   QStringLiteral("SJJE"), QStringLiteral("COALESCE(YFJE, 0)")},
                                  QStringLiteral("CZRQ"), debt, period);
    const auto returns =
        spansOf(db, {QStringLiteral("THJE")}, QStringLiteral("CZRQ"),
                QStringLiteral("THD WHERE ZL IN ('采购退货', '暂估退货') AND JZBZ <> 0"), period);
    const auto payments = spansOf(db, {QStringLiteral("JE")}, QStringLiteral("RQ"),
                                  QStringLiteral("FQFSAVE"), period);
    const auto writeOffs =
        spansOf(db, {QStringLiteral("JE")}, QStringLiteral("RQ"), QStringLiteral("HZCL"), period);

    QList<ArrearsRow> rows;
    Query q =
        db.query(QStringLiteral("SELECT BH, MC, ZGCP, COALESCE(CSQK, 0) FROM GYS ORDER BY BH"));
    while (q.next()) {
        const QString bh = q.value(0).toString();
        const Decimal opening = Decimal::fromVariant(q.value(3));
        const Spans owed = spansAt(receipts, bh, Owed);
        const Spans returned = spansAt(returns, bh, 0);
        const Spans paid = spansAt(payments, bh, 0);
        const Spans writtenOff = spansAt(writeOffs, bh, 0);
        rows.append({bh, q.value(1).toString(), q.value(2).toString(),
                     opening + owed.before - returned.before - paid.before - writtenOff.before,
                     spansAt(receipts, bh, Received).within - returned.within,
                     paid.within + spansAt(receipts, bh, PaidOnReceipt).within,
                     opening + owed.toEnd - returned.toEnd - paid.toEnd - writtenOff.toEnd,
                     writtenOff.within});
    }
    return rows;
}

ReportTable arrears(Database &db, const ReportPeriod &period)
{
    if (period.from > period.to)
        throw Refusal(QStringLiteral("提示"), ArrearsDatesText);
    ReportTable table(QStringLiteral("供应商月度欠款报表"), QStringLiteral("供应商欠款报表"),
                      arrearsColumns());
    table.setPeriod(period);
    Transaction tx(db);
    const QList<ArrearsRow> rows = arrearsRows(db, period, ArrearsLines::Numbered);
    // The total counts every supplier's write-offs, also of the suppliers left out below.
    ArrearsRow total{{}, QStringLiteral("总计"), {}, {}, {}, {}, {}, {}};
    for (const ArrearsRow &r : rows)
        total += r;
    db.exec(QStringLiteral("DELETE FROM GYSQK_TEMP"));
    const QString insert =
        QStringLiteral("INSERT INTO GYSQK_TEMP (GYSBH, GYSMC, ZGCP, SYJE, BYQK, BYHK, BYJE, HZ) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    const auto add = [&](const ArrearsRow &r, Style style) {
        table.addRow({r.gysmc, r.zgcp.isNull() ? QVariant() : QVariant(r.zgcp), figure(r.syje),
                      figure(r.byqk), figure(r.byhk), figure(r.byje), figure(r.hz)},
                     style);
        db.query(insert,
                 {r.gysbh.isNull() ? QVariant() : QVariant(r.gysbh), r.gysmc,
                  r.zgcp.isNull() ? QVariant() : QVariant(r.zgcp), r.syje.toVariant(),
                  r.byqk.toVariant(), r.byhk.toVariant(), r.byje.toVariant(), r.hz.toVariant()});
    };
    if (!total.isEmpty())
        add(total, Style::Total);
    for (const ArrearsRow &r : rows) {
        if (!r.isEmpty())
            add(r, Style::Detail);
    }
    tx.commit();
    return table;
}

ReportTable adjustments(Database &db, const ReportPeriod &period)
{
    ReportTable table(QStringLiteral("数据处理填写"), QStringLiteral("数据处理填写"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text},
                       {QStringLiteral("CZRQ"), QStringLiteral("操作日期"), Column::Text},
                       {QStringLiteral("GCXM"), QStringLiteral("工程项目"), Column::Text},
                       {QStringLiteral("JE"), QStringLiteral("处理金额"), Column::Amount},
                       {QStringLiteral("BZ"), QStringLiteral("备注"), Column::Text}});
    table.setPeriod(period);
    QSqlQuery q = db.exec(QStringLiteral("SELECT A.CLBH, C.CLMC, C.CLGG, C.JZDW, A.CZRQ, A.GCXM, "
                                         "A.JE, A.BZ FROM CLKVMT A "
                                         "LEFT JOIN CLJBXXB C ON C.CLBH = A.CLBH "
                                         "WHERE A.CZRQ BETWEEN ? AND ? "
                                         "ORDER BY A.CLBH, A.CZRQ, A.ID"),
                          {VoucherBook::dateText(period.from), VoucherBook::dateText(period.to)});
    Decimal total;
    while (q.next()) {
        const Decimal je = Decimal::fromVariant(q.value(6));
        total += je;
        table.addRow({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5),
                      figure(je), q.value(7)});
    }
    if (!table.isEmpty())
        table.addRow({{}, QStringLiteral("合计"), {}, {}, {}, {}, figure(total), {}}, Style::Total);
    return table;
}

} // namespace varnock::LedgerReports
