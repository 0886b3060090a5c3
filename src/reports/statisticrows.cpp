#include "reports/statisticrows.h"

#include "reports/cataloguetree.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

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
    // The rows' places in the catalogue's order, looked up once a row rather than once a
    // comparison.
    struct Place
    {
        int rank;
        qint64 price;
        qsizetype row;
    };
    std::vector<Place> order;
    order.reserve(std::size_t(materials.size()));
    for (qsizetype i = 0; i < materials.size(); ++i) {
        const StatisticRow &r = materials.at(i);
        order.push_back(
            {tree.rank(r.clbh),
             r.price.isNull() ? std::numeric_limits<qint64>::min() : r.price.toLongLong(), i});
    }
    std::stable_sort(order.begin(), order.end(), [&materials](const Place &a, const Place &b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        const QString &ca = materials.at(a.row).clbh;
        const QString &cb = materials.at(b.row).clbh;
        return ca != cb ? ca < cb : a.price < b.price;
    });
    const std::size_t width = materials.isEmpty() ? 0 : materials.first().figures.size();

    QList<StatisticRow> out;
    std::optional<Group> inner;
    std::optional<Group> outer;
    const auto keep = [&out](StatisticRow &&row) {
        if (!row.isEmpty())
            out.append(std::move(row));
    };
    const auto closeInner = [&] {
        if (inner)
            keep(std::move(inner->row));
        inner.reset();
    };
    const auto closeOuter = [&] {
        closeInner();
        // A top-level category that is its own only parent already has its row.
        if (outer && !(outer->inner.size() == 1 && outer->inner.first() == outer->row.clbh))
            keep(std::move(outer->row));
        outer.reset();
    };
    const auto groupRow = [&](const QString &code, const QString &name, RowStyle style) {
        return StatisticRow{code, name, {}, {}, {}, std::vector<Figure>(width), style};
    };

    StatisticRow total = groupRow(QStringLiteral("0"), grandTotal, RowStyle::Total);
    // The groups of the row before: the rows of one material, and the materials of one parent,
    // come one after the other.
    QString clbh;
    QString parent;
    QString top;
    for (const Place &place : order) {
        StatisticRow &m = materials[place.row];
        if (clbh.isNull() || m.clbh != clbh) {
            const QString parentCode = tree.parentOf(m.clbh);
            const QString parentFound = tree.find(parentCode) ? parentCode : QString();
            top = !parentFound.isEmpty() && parentFound == parent ? top : tree.topOf(m.clbh);
            parent = parentFound;
            clbh = m.clbh;
        }
        // The inner group (its code, and its name and style when it starts here) and the
        // outer one of this row.
        QString innerCode;
        QString outerCode;
        switch (level) {
        case StatisticLevel::Materials:
            innerCode = parent;
            outerCode = topRows ? top : QString();
            break;
        case StatisticLevel::Parents:
            innerCode = parent.isEmpty() ? m.clbh : parent;
            outerCode = topRows ? top : QString();
            break;
        case StatisticLevel::Tops:
            innerCode = !top.isEmpty() ? top : !parent.isEmpty() ? parent : m.clbh;
            break;
        }
        if (!inner || inner->row.clbh != innerCode) {
            if (!outer || outer->row.clbh != outerCode)
                closeOuter();
            else
                closeInner();
            if (!innerCode.isEmpty()) {
                QString innerName;
                RowStyle innerStyle = RowStyle::Detail;
                switch (level) {
                case StatisticLevel::Materials:
                    innerName = tree.name(parent) + parentSuffix;
                    innerStyle = RowStyle::Subtotal;
                    break;
                case StatisticLevel::Parents:
                    innerName = parent.isEmpty() ? m.clmc : tree.name(parent);
                    break;
                case StatisticLevel::Tops:
                    innerName = top.isEmpty() && parent.isEmpty() ? m.clmc : tree.name(innerCode);
                    break;
                }
                inner = Group{groupRow(innerCode, innerName, innerStyle), {}};
            }
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
            keep(std::move(m));
    }
    closeOuter();
    if (!grandTotal.isEmpty())
        keep(std::move(total));
    return out;
}

} // namespace varnock
