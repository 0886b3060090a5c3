#include "reports/stockreport.h"

#include "ledger/costengine.h"
#include "reports/cataloguetree.h"
#include "reports/reportbuild.h"
#include "store/database.h"
#include "store/errors.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <tuple>
#include <vector>

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

// How the group rows of a report are named and set apart.
struct Grouping
{
    QString parentSuffix; // after a parent category's name
    bool topRows = true;  // totals per top-level category
    QString topSuffix;    // after a top-level category's name
    QString grandTotal;   // the last row's name; empty for none
    RowStyle parentStyle = RowStyle::Subtotal;
};

using Rows = std::map<Key, StockFigures>;

// A material of the period with its rows in the books' figures: one, or under first in first
// out one per unit price, in price order.
struct Material
{
    const CatalogueTree::Node *node; // null for a code the catalogue has lost
    QString parent;
    int parentRank;
    int rank;
    Rows::const_iterator first;
    Rows::const_iterator end;
};

// The materials below `category`, grouped by parent in the catalogue's order, then in the
// catalogue's order (by code where the catalogue lacks them).
std::vector<Material> materialsOf(const Rows &rows, const CatalogueTree &tree,
                                  const QString &category)
{
    std::vector<Material> list;
    for (auto it = rows.cbegin(); it != rows.cend();) {
        const QString &clbh = it->first.first;
        auto end = std::next(it);
        while (end != rows.cend() && end->first.first == clbh)
            ++end;
        const CatalogueTree::Node *n = tree.find(clbh);
        // Movements of a code the catalogue has lost stay in the unfiltered report, so
        // that its totals still agree with the books.
        const bool keep =
            n ? n->leaf && tree.isUnder(n->clbh, category) : category == CatalogueTree::Root;
        if (keep) {
            const QString parent = tree.parentOf(clbh);
            list.push_back({n, parent, tree.rank(parent), tree.rank(clbh), it, end});
        }
        it = end;
    }
    std::stable_sort(list.begin(), list.end(), [](const Material &a, const Material &b) {
        return std::tie(a.parentRank, a.rank, a.first->first.first) <
               std::tie(b.parentRank, b.rank, b.first->first.first);
    });
    return list;
}

// Writes the rows of a report into its table, cell by cell.
class RowWriter
{
public:
    RowWriter(ReportTable &table, bool withPrice)
        : m_table(table)
        , m_withPrice(withPrice)
        , m_empty(table.textId(QString()))
    {}

    ReportTable::TextId text(const QString &value) { return m_table.textId(value); }
    ReportTable::TextId empty() const { return m_empty; }

    void write(const ReportTable::TextId (&head)[4], std::optional<Decimal> price,
               const StockFigures &f, RowStyle style)
    {
        const int row = m_table.appendRow(style);
        int c = 0;
        for (ReportTable::TextId t : head)
            m_table.setText(row, c++, t);
        if (m_withPrice) {
            if (price)
                m_table.setFigure(row, c, *price);
            ++c;
        }
        const auto figure = [&](const Figure &value) {
            if (!value.isZero()) {
                m_table.setFigure(row, c, value.quantity);
                m_table.setFigure(row, c + 1, value.amount);
            }
            c += 2;
        };
        const auto amount = [&](Decimal value) {
            if (!value.isZero())
                m_table.setFigure(row, c, value);
            ++c;
        };
        figure(f.opening);
        figure(f.receipts);
        for (const Figure &u : f.units)
            figure(u);
        figure(f.issues);
        amount(f.raised);
        amount(f.lowered);
        figure(f.closing());
    }

private:
    ReportTable &m_table;
    bool m_withPrice;
    ReportTable::TextId m_empty;
};

// The price column of a material's row: under first in first out the row's own price; under
// moving average the planned price, or the moving average the period ends with (what the next
// issue is priced at).
std::optional<Decimal> priceOf(const Key &key, const StockFigures &f, bool fifo,
                               const QHash<QString, Decimal> &planned)
{
    if (fifo)
        return key.second ? std::optional(Decimal::fromRaw(*key.second)) : std::nullopt;
    const auto it = planned.constFind(key.first);
    if (it != planned.cend())
        return *it;
    const Figure closing = f.closing();
    if (closing.quantity.isZero())
        return std::nullopt;
    return closing.amount / closing.quantity;
}

// The materials' rows, grouped: a row per parent category after its materials, a row per
// top-level category after its parents (left out where its only parent is itself), then the
// grand total. Group rows with nothing in them are left out.
void writeRows(ReportTable &table, const std::vector<Material> &materials,
               const CatalogueTree &tree, const Grouping &g, bool showLeaves, bool fifo,
               const QHash<QString, Decimal> &planned)
{
    RowWriter writer(table, showLeaves);
    struct Group
    {
        QString code;
        ReportTable::TextId head[4];
        StockFigures figures;
        RowStyle style;
    };
    const auto groupOf = [&](const QString &code, const QString &suffix, RowStyle style) {
        return Group{code,
                     {writer.text(code), writer.text(tree.name(code) + suffix), writer.empty(),
                      writer.empty()},
                     {},
                     style};
    };
    const auto writeGroup = [&](const Group &group) {
        if (!group.figures.isEmpty() || group.style == RowStyle::Detail)
            writer.write(group.head, std::nullopt, group.figures, group.style);
    };
    StockFigures total;
    std::optional<Group> parent;
    std::optional<Group> top;
    QStringList topParents;
    const auto closeParent = [&] {
        if (parent)
            writeGroup(*parent);
        parent.reset();
    };
    const auto closeTop = [&] {
        closeParent();
        if (top && g.topRows && !(topParents.size() == 1 && topParents.first() == top->code))
            writeGroup(*top);
        top.reset();
        topParents.clear();
    };
    for (const Material &m : materials) {
        if (!parent || parent->code != m.parent) {
            const QString t = tree.topOf(m.parent);
            if (!top || top->code != t)
                closeTop();
            else
                closeParent();
            if (tree.find(m.parent)) {
                parent = groupOf(m.parent, g.parentSuffix, g.parentStyle);
                topParents.append(m.parent);
            }
            if (!top && !t.isEmpty())
                top = groupOf(t, g.topSuffix, RowStyle::Total);
        }
        const QString &clbh = m.first->first.first;
        const ReportTable::TextId head[4] = {writer.text(clbh),
                                             m.node ? writer.text(m.node->clmc) : writer.empty(),
                                             m.node ? writer.text(m.node->clgg) : writer.empty(),
                                             m.node ? writer.text(m.node->jzdw) : writer.empty()};
        // The material's rows are added up once, then into each of its groups.
        StockFigures material;
        for (auto it = m.first; it != m.end; ++it) {
            const StockFigures &f = it->second;
            material += f;
            if (showLeaves)
                writer.write(head, priceOf(it->first, f, fifo, planned), f, RowStyle::Detail);
        }
        if (parent)
            parent->figures += material;
        if (top)
            top->figures += material;
        total += material;
    }
    closeTop();
    if (!g.grandTotal.isEmpty() && !materials.empty()) {
        Group grand{QStringLiteral("0"),
                    {writer.text(QStringLiteral("0")), writer.text(g.grandTotal), writer.empty(),
                     writer.empty()},
                    total,
                    RowStyle::Total};
        writeGroup(grand);
    }
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

namespace {

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
    // The summary adds a material's prices up: it reads one row per material.
    const StockBalances balances(
        m_db, m_mode, detail ? StockBalances::Grain::AsKept : StockBalances::Grain::Material);
    const QString category = !request.level2.trimmed().isEmpty()   ? request.level2.trimmed()
                             : !request.level1.trimmed().isEmpty() ? request.level1.trimmed()
                                                                   : CatalogueTree::Root;
    const Rows rows = balances.period(request.from, request.to, request.units);
    const std::vector<Material> materials = materialsOf(rows, tree, category);
    ReportTable table = detail
                            ? ReportTable(DetailName, DetailTitle, detailColumns(request.units))
                            : ReportTable(SummaryName, SummaryTitle, summaryColumns(request.units));
    table.setPeriod(ReportPeriod{request.from, request.to});
    // At most a row per parent and one per top-level category beside the materials' own.
    qsizetype count = 1;
    for (size_t i = 0; i < materials.size(); ++i) {
        const Material &m = materials[i];
        if (detail)
            count += std::distance(m.first, m.end);
        if (i == 0 || materials[i - 1].parent != m.parent)
            count += 2;
    }
    table.reserve(int(count));
    // In the summary the materials' rows give their parents' rows; under first in first out
    // the prices of a material add up in its parent.
    writeRows(table, materials, tree, groupingOf(detail, fifo, request), detail, fifo,
              balances.plannedPrices());
    build.fill(detail ? QStringLiteral("JXCMX_TEMP") : QStringLiteral("JXCHZ_TEMP"), table);
    build.commit();
    return table;
}

} // namespace varnock
