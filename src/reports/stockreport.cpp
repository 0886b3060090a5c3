#include "reports/stockreport.h"

#include "ledger/costengine.h"
#include "reports/cataloguetree.h"
#include "reports/reportbuild.h"
#include "store/database.h"
#include "store/errors.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <tuple>

namespace varnock {

const QString StockReport::DetailName = QStringLiteral("JXCMX");
const QString StockReport::DetailTitle = QStringLiteral("材料收支存明细报表");
const QString StockReport::SummaryName = QStringLiteral("JXCHZ");
const QString StockReport::SummaryTitle = QStringLiteral("材料进销存汇总报表");
const QString StockReport::DetailDatesText = QStringLiteral("起始时间不允许大于终止时间！");
const QString StockReport::SummaryDatesText = QStringLiteral("请选择时间段！");
const QString StockReport::TooManyUnitsText = QStringLiteral("您至多只能选3个领料单位！");

namespace {

using Column = ReportTable::Column;
using RowStyle = ReportTable::RowStyle;
using Key = StockBalances::Key;

const QString Warning = QStringLiteral("警告");

QList<Column> columns(const QList<UnitColumn> &units, bool withPrice)
{
    QList<Column> list{{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text}};
    if (withPrice)
        list.append({QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price});
    const auto pair = [&list](const QString &quantity, const QString &amount,
                              const QString &heading) {
        list.append({quantity, heading + QStringLiteral("数量"), Column::Quantity});
        list.append({amount, heading + QStringLiteral("金额"), Column::Amount});
    };
    pair(QStringLiteral("SYSL"), QStringLiteral("SYJE"), QStringLiteral("上月结存"));
    pair(QStringLiteral("RKSL"), QStringLiteral("RKJE"), QStringLiteral("本月入库"));
    for (int i = 0; i < StockFigures::UnitColumns; ++i) {
        const QString n = QString::number(i + 1);
        // An unchosen column stays, empty and without a heading: the templates name all three.
        if (i < units.size())
            pair(QStringLiteral("LLSL") + n, QStringLiteral("LLJE") + n, units.at(i).name);
        else {
            list.append({QStringLiteral("LLSL") + n, QString(), Column::Quantity});
            list.append({QStringLiteral("LLJE") + n, QString(), Column::Amount});
        }
    }
    pair(QStringLiteral("LLSL"), QStringLiteral("LLJE"), QStringLiteral("领料合计"));
    list.append({QStringLiteral("YJE"), QStringLiteral("调增金额"), Column::Amount});
    list.append({QStringLiteral("KJE"), QStringLiteral("调减金额"), Column::Amount});
    pair(QStringLiteral("BYSL"), QStringLiteral("BYJE"), QStringLiteral("本月结存"));
    return list;
}

void appendFigure(QVariantList &cells, const Figure &f)
{
    if (f.isZero()) {
        cells << QVariant() << QVariant();
        return;
    }
    cells << ReportTable::figure(f.quantity) << ReportTable::figure(f.amount);
}

QVariant amountOrEmpty(Decimal amount)
{
    return amount.isZero() ? QVariant() : ReportTable::figure(amount);
}

// How the group rows of a report are named and set apart.
struct Grouping
{
    QString parentSuffix; // after a parent category's name
    bool topRows = true;  // totals per top-level category
    QString topSuffix;    // after a top-level category's name
    QString grandTotal;   // the last row's name; empty for none
    RowStyle parentStyle = RowStyle::Subtotal;
};

// One row of the report before it becomes cells.
struct Line
{
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    QVariant price;
    StockFigures figures;
    RowStyle style = RowStyle::Detail;
};

// Leaf rows, grouped: a row per parent category after its materials, a row per top-level
// category after its parents (left out where its only parent is itself), then the grand
// total. `leafRows` come in the catalogue's order of their parents.
QList<Line> grouped(const QList<Line> &leafRows, const CatalogueTree &tree, const Grouping &g,
                    bool showLeaves)
{
    QList<Line> out;
    StockFigures total;
    std::optional<Line> parent;
    std::optional<Line> top;
    QStringList topParents;
    const auto closeParent = [&] {
        if (parent)
            out.append(*parent);
        parent.reset();
    };
    const auto closeTop = [&] {
        closeParent();
        if (top && g.topRows && !(topParents.size() == 1 && topParents.first() == top->clbh))
            out.append(*top);
        top.reset();
        topParents.clear();
    };
    for (const Line &leaf : leafRows) {
        const QString p = tree.parentOf(leaf.clbh);
        if (!parent || parent->clbh != p) {
            const QString t = tree.topOf(p);
            if (!top || top->clbh != t)
                closeTop();
            else
                closeParent();
            if (tree.find(p)) {
                parent = Line{p, tree.name(p) + g.parentSuffix, {}, {}, {}, {}, g.parentStyle};
                topParents.append(p);
            }
            if (!top && !t.isEmpty())
                top = Line{t, tree.name(t) + g.topSuffix, {}, {}, {}, {}, RowStyle::Total};
        }
        if (parent)
            parent->figures += leaf.figures;
        if (top)
            top->figures += leaf.figures;
        total += leaf.figures;
        if (showLeaves)
            out.append(leaf);
    }
    closeTop();
    if (!g.grandTotal.isEmpty() && !leafRows.isEmpty())
        out.append(Line{QStringLiteral("0"), g.grandTotal, {}, {}, {}, total, RowStyle::Total});
    return out;
}

} // namespace

StockReport::StockReport(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

QList<ReportTable::Column> StockReport::detailColumns(const QList<UnitColumn> &units)
{
    return columns(units, true);
}

QList<ReportTable::Column> StockReport::summaryColumns(const QList<UnitColumn> &units)
{
    return columns(units, false);
}

QVariantList StockReport::cells(const QString &clbh, const QString &clmc, const QString &clgg,
                                const QString &jzdw, const QVariant &price, const StockFigures &f,
                                bool withPrice)
{
    QVariantList cells{clbh, clmc, clgg, jzdw};
    if (withPrice)
        cells << price;
    appendFigure(cells, f.opening);
    appendFigure(cells, f.receipts);
    for (const Figure &u : f.units)
        appendFigure(cells, u);
    appendFigure(cells, f.issues);
    cells << amountOrEmpty(f.raised) << amountOrEmpty(f.lowered);
    appendFigure(cells, f.closing());
    return cells;
}

QList<UnitColumn> StockReport::unitColumns(Database &db, const QStringList &codes)
{
    QList<UnitColumn> units;
    for (const QString &raw : codes) {
        const QString code = raw.trimmed();
        if (code == UnitColumn::TransferCode) {
            units << UnitColumn::transfers();
            continue;
        }
        const QVariant name = db.scalar(QStringLiteral("SELECT MC FROM LLDW WHERE BH = ?"), {code});
        if (!name.isValid())
            throw Refusal(Warning, QStringLiteral("领料单位“%1”不存在！").arg(code));
        units << UnitColumn{code, name.toString()};
    }
    return units;
}

std::map<Key, StockFigures> StockReport::figures(const StockReportRequest &request,
                                                 const CatalogueTree &tree,
                                                 const StockBalances &balances)
{
    const QString category = !request.level2.trimmed().isEmpty()   ? request.level2.trimmed()
                             : !request.level1.trimmed().isEmpty() ? request.level1.trimmed()
                                                                   : CatalogueTree::Root;
    std::map<Key, StockFigures> rows = balances.period(request.from, request.to, request.units);
    for (auto it = rows.begin(); it != rows.end();) {
        const CatalogueTree::Node *n = tree.find(it->first.first);
        // Movements of a code the catalogue has lost stay in the unfiltered report, so
        // that its totals still agree with the books.
        const bool keep =
            n ? n->leaf && tree.isUnder(n->clbh, category) : category == CatalogueTree::Root;
        it = keep ? std::next(it) : rows.erase(it);
    }
    return rows;
}

namespace {

QList<Line> leafLines(const std::map<Key, StockFigures> &rows, const CatalogueTree &tree, bool fifo,
                      const QHash<QString, Decimal> &planned)
{
    QList<Line> lines;
    for (const auto &[key, f] : rows) {
        const CatalogueTree::Node *n = tree.find(key.first);
        Line line{key.first,
                  n ? n->clmc : QString(),
                  n ? n->clgg : QString(),
                  n ? n->jzdw : QString(),
                  {},
                  f,
                  RowStyle::Detail};
        if (fifo) {
            if (key.second)
                line.price = ReportTable::figure(Decimal::fromRaw(*key.second));
        } else if (planned.contains(key.first)) {
            line.price = ReportTable::figure(planned.value(key.first));
        } else {
            // The moving average the period ends with: what the next issue is priced at.
            const Figure closing = f.closing();
            if (!closing.quantity.isZero())
                line.price = ReportTable::figure(closing.amount / closing.quantity);
        }
        lines << line;
    }
    // Grouped by parent in the catalogue's order, then by material (by code where the
    // catalogue lacks it), then by price: the rows come in price order already.
    struct Place
    {
        int parent;
        int material;
        QString clbh;
    };
    QList<Place> places;
    places.reserve(lines.size());
    for (const Line &l : std::as_const(lines))
        places.append({tree.rank(tree.parentOf(l.clbh)), tree.rank(l.clbh), l.clbh});
    QList<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&places](int a, int b) {
        const Place &pa = places.at(a);
        const Place &pb = places.at(b);
        return std::tie(pa.parent, pa.material, pa.clbh) <
               std::tie(pb.parent, pb.material, pb.clbh);
    });
    QList<Line> sorted;
    sorted.reserve(lines.size());
    for (int i : std::as_const(order))
        sorted.append(lines.at(i));
    return sorted;
}

ReportTable tableOf(const QString &name, const QString &title, const QList<Column> &columns,
                    const QList<Line> &lines, bool withPrice, const StockReportRequest &request)
{
    ReportTable table(name, title, columns);
    table.setPeriod(ReportPeriod{request.from, request.to});
    for (const Line &l : lines) {
        if (l.figures.isEmpty() && l.style != RowStyle::Detail)
            continue;
        table.addRow(
            StockReport::cells(l.clbh, l.clmc, l.clgg, l.jzdw, l.price, l.figures, withPrice),
            l.style);
    }
    return table;
}

// How each report names its group rows: the rules differ by costing method and by the
// category chosen.
Grouping groupingOf(bool detail, bool fifo, const StockReportRequest &request)
{
    Grouping g;
    g.topSuffix = QStringLiteral(" 合计");
    if (!detail) {
        // The summary's rows are the parents themselves.
        g.parentStyle = RowStyle::Detail;
        if (!fifo)
            g.grandTotal = QStringLiteral("全部材料 总计");
        return g;
    }
    const bool level2 = !request.level2.trimmed().isEmpty();
    const bool level1 = !level2 && !request.level1.trimmed().isEmpty();
    g.topRows = !level2;
    if (fifo) {
        g.parentSuffix = level2   ? QString()
                         : level1 ? QStringLiteral(" 小计")
                                  : QStringLiteral(" 合计");
        g.grandTotal = QStringLiteral("全部材料 总计");
    } else {
        g.parentSuffix = level1 ? QStringLiteral(" 合计") : QStringLiteral(" 小计");
        g.grandTotal = QStringLiteral("全部材料  总计");
    }
    return g;
}

} // namespace

ReportTable StockReport::detail(const StockReportRequest &request)
{
    return build(request, true);
}

ReportTable StockReport::summary(const StockReportRequest &request)
{
    return build(request, false);
}

ReportTable StockReport::build(const StockReportRequest &request, bool detail)
{
    if (request.from > request.to)
        throw Refusal(Warning, detail ? DetailDatesText : SummaryDatesText);
    if (request.units.size() > StockFigures::UnitColumns)
        throw Refusal(Warning, TooManyUnitsText);
    ReportBuild build(m_db);
    const CatalogueTree tree(m_db);
    const bool fifo = m_mode == CostEngine::FirstInFirstOut;
    const StockBalances balances(m_db, m_mode);
    // In the summary the materials' rows give their parents' rows; under first in first out
    // the prices of a material add up in its parent.
    const QList<Line> leaves =
        leafLines(figures(request, tree, balances), tree, fifo, balances.plannedPrices());
    const QList<Line> lines = grouped(leaves, tree, groupingOf(detail, fifo, request), detail);
    const ReportTable table =
        detail
            ? tableOf(DetailName, DetailTitle, detailColumns(request.units), lines, true, request)
            : tableOf(SummaryName, SummaryTitle, summaryColumns(request.units), lines, false,
                      request);
    build.fill(detail ? QStringLiteral("JXCMX_TEMP") : QStringLiteral("JXCHZ_TEMP"), table);
    build.commit();
    return table;
}

} // namespace varnock
