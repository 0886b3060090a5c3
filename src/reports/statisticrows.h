#pragma once

#include "print/reporttable.h"
#include "reports/stockbalances.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

namespace varnock {

class CatalogueTree;

// The level of the catalogue a statistic reports at.
enum class StatisticLevel {
    Materials, // "全部材料": a row per material (per material and price under first in first out)
    Parents,   // "二级材料": a row per parent category of materials
    Tops,      // "一级材料": a row per top-level category
};

// One row of a statistic: a material, a category or a total, with the figures of its columns.
struct StatisticRow
{
    QString clbh;
    QString clmc;
    QString clgg;
    QString jzdw;
    QVariant price; // a figure cell; empty on group rows
    std::vector<Figure> figures;
    ReportTable::RowStyle style = ReportTable::RowStyle::Detail;

    bool isEmpty() const;
};

// How a statistic's rows are gathered into categories and named.
struct StatisticGrouping
{
    StatisticLevel level = StatisticLevel::Materials;
    QString parentSuffix = QStringLiteral(" 小计"); // on a parent's row below its materials
    bool topRows = true;                            // a row per top-level category
    QString topSuffix = QStringLiteral(" 合计");
    QString grandTotal; // the last row's name (code 0); empty for none

    // Rows in the catalogue's order at the grouping's level: the materials with a row per
    // parent after them and a row per top-level category after its parents (left out where the
    // category is its own only parent), or the categories' own rows; then the grand total over
    // everything. Rows whose every figure is zero are left out. `materials` are one row per
    // material (and price), in any order; a category is found through the tree, never from
    // its code. A code the catalogue lacks keeps a row of its own at every level.
    QList<StatisticRow> apply(QList<StatisticRow> materials, const CatalogueTree &tree) const;
};

} // namespace varnock
