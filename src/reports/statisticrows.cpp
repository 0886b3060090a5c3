#include "reports/statisticrows.h"

#include "reports/cataloguetree.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <tuple>

namespace varnock {

bool StatisticRow::isEmpty() const
{
    return std::all_of(figures.cbegin(), figures.cend(),
                       [](const Figure &f) { return f.isZero(); });
}

namespace {

using RowStyle = ReportTable::RowStyle;

void add(StatisticRow &into, const StatisticRow &row)
{
    for (std::size_t i = 0; i < into.figures.size() && i < row.figures.size(); ++i)
        into.figures[i] += row.figures[i];
}

// A group row being summed, and the inner groups it has seen.
struct Group
{
    StatisticRow row;
    QStringList inner;
};

} // namespace

QList<StatisticRow> StatisticGrouping::apply(QList<StatisticRow> materials,
                                             const CatalogueTree &tree) const
{
    struct Place
    {
        int rank;
        QString clbh;
        qint64 price;
    };
    const auto placeOf = [&tree](const StatisticRow &r) {
        return Place{tree.rank(r.clbh), r.clbh,
                     r.price.isNull() ? std::numeric_limits<qint64>::min() : r.price.toLongLong()};
    };
    std::stable_sort(materials.begin(), materials.end(),
                     [&placeOf](const StatisticRow &a, const StatisticRow &b) {
                         const Place pa = placeOf(a);
                         const Place pb = placeOf(b);
                         return std::tie(pa.rank, pa.clbh, pa.price) <
                                std::tie(pb.rank, pb.clbh, pb.price);
                     });
    const std::size_t width = materials.isEmpty() ? 0 : materials.first().figures.size();

    QList<StatisticRow> out;
    std::optional<Group> inner;
    std::optional<Group> outer;
    const auto keep = [&out](const StatisticRow &row) {
        if (!row.isEmpty())
            out.append(row);
    };
    const auto closeInner = [&] {
        if (inner)
            keep(inner->row);
        inner.reset();
    };
    const auto closeOuter = [&] {
        closeInner();
        // A top-level category that is its own only parent already has its row.
        if (outer && !(outer->inner.size() == 1 && outer->inner.first() == outer->row.clbh))
            keep(outer->row);
        outer.reset();
    };
    const auto groupRow = [&](const QString &code, const QString &name, RowStyle style) {
        return StatisticRow{code, name, {}, {}, {}, std::vector<Figure>(width), style};
    };

    StatisticRow total = groupRow(QStringLiteral("0"), grandTotal, RowStyle::Total);
    for (const StatisticRow &m : std::as_const(materials)) {
        const QString parentCode = tree.parentOf(m.clbh);
        const QString parent = tree.find(parentCode) ? parentCode : QString();
        const QString top = tree.topOf(m.clbh);
        // The inner group (its code, name and style) and the outer one of this row.
        QString innerCode;
        QString innerName;
        RowStyle innerStyle = RowStyle::Detail;
        QString outerCode;
        switch (level) {
        case StatisticLevel::Materials:
            innerCode = parent;
            innerName = tree.name(parent) + parentSuffix;
            innerStyle = RowStyle::Subtotal;
            outerCode = topRows ? top : QString();
            break;
        case StatisticLevel::Parents:
            innerCode = parent.isEmpty() ? m.clbh : parent;
            innerName = parent.isEmpty() ? m.clmc : tree.name(parent);
            outerCode = topRows ? top : QString();
            break;
        case StatisticLevel::Tops:
            innerCode = !top.isEmpty() ? top : !parent.isEmpty() ? parent : m.clbh;
            innerName = top.isEmpty() && parent.isEmpty() ? m.clmc : tree.name(innerCode);
            break;
        }
        if (!inner || inner->row.clbh != innerCode) {
            if (!outer || outer->row.clbh != outerCode)
                closeOuter();
            else
                closeInner();
            if (!innerCode.isEmpty())
                inner = Group{groupRow(innerCode, innerName, innerStyle), {}};
            if (!outer && !outerCode.isEmpty())
                outer = Group{
                    groupRow(outerCode, tree.name(outerCode) + topSuffix, RowStyle::Total), {}};
            if (outer && !innerCode.isEmpty())
                outer->inner.append(innerCode);
        }
        if (inner)
            add(inner->row, m);
        if (outer)
            add(outer->row, m);
        add(total, m);
        if (level == StatisticLevel::Materials)
            keep(m);
    }
    closeOuter();
    if (!grandTotal.isEmpty())
        keep(total);
    return out;
}

} // namespace varnock
