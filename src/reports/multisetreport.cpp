#include "reports/multisetreport.h"

#include "reports/stockreport.h"
#include "store/database.h"
#include "store/errors.h"

#include <iterator>

namespace varnock {

const QString MultiSetReport::Name = QStringLiteral("JXCMXZ");
const QString MultiSetReport::Title = QStringLiteral("材料收支存明细汇总表");
const QString MultiSetReport::DatesText = QStringLiteral("起始日期不可大以终始日期");

namespace {

using Column = ReportTable::Column;
using RowStyle = ReportTable::RowStyle;

QList<Column> columns()
{
    return {{QStringLiteral("ZT"), QStringLiteral("账套"), Column::Text},
            {QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
            {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
            {QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text},
            {QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text},
            {QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price},
            {QStringLiteral("SYSL"), QStringLiteral("上月结存数量"), Column::Quantity},
            {QStringLiteral("SYJE"), QStringLiteral("上月结存金额"), Column::Amount},
            {QStringLiteral("BYSLR"), QStringLiteral("本月入库数量"), Column::Quantity},
            {QStringLiteral("BYJER"), QStringLiteral("本月入库金额"), Column::Amount},
            {QStringLiteral("BYSLC"), QStringLiteral("本月出库数量"), Column::Quantity},
            {QStringLiteral("BYJEC"), QStringLiteral("本月出库金额"), Column::Amount},
            {QStringLiteral("YJE"), QStringLiteral("调增金额"), Column::Amount},
            {QStringLiteral("KJE"), QStringLiteral("调减金额"), Column::Amount},
            {QStringLiteral("BYSLZ"), QStringLiteral("本月结存数量"), Column::Quantity},
            {QStringLiteral("BYJEZ"), QStringLiteral("本月结存金额"), Column::Amount}};
}

// The figures of a row of the multi-set table, in its column order from SYSL on.
struct Figures
{
    Decimal values[10];

    Figures &operator+=(const Figures &other)
    {
        for (int i = 0; i < 10; ++i)
            values[i] += other.values[i];
        return *this;
    }
};

// Where a detail's figures stand: the issues are all issues and transfers (the transfers are
// the detail's first unit column).
struct DetailColumns
{
    static constexpr const char *Fields[] = {"SYSL",  "SYJE",  "RKSL", "RKJE", "LLSL", "LLJE",
                                             "LLSL1", "LLJE1", "YJE",  "KJE",  "BYSL", "BYJE"};
    static constexpr const char *Head[] = {"CLBH", "CLMC", "CLGG", "JZDW", "DJ"};
    int figures[std::size(Fields)];
    int head[std::size(Head)];

    explicit DetailColumns(const ReportTable &detail)
    {
        for (size_t i = 0; i < std::size(Fields); ++i)
            figures[i] = detail.columnOf(QLatin1String(Fields[i]));
        for (size_t i = 0; i < std::size(Head); ++i)
            head[i] = detail.columnOf(QLatin1String(Head[i]));
    }

    Figures figuresOf(const ReportTable &detail, int row) const
    {
        const auto at = [&](int i) { return detail.figureAt(row, figures[i]); };
        return {{at(0), at(1), at(2), at(3), at(4) + at(6), at(5) + at(7), at(8), at(9), at(10),
                 at(11)}};
    }
};

// The first figure column: SYSL.
constexpr int FirstFigure = 6;

// Appends a row of `f` to `table`, its head cells left to the caller.
int appendFigures(ReportTable &table, const Figures &f, RowStyle style = RowStyle::Detail)
{
    const int row = table.appendRow(style);
    for (int i = 0; i < 10; i += 2) {
        const bool empty = f.values[i].isZero() && f.values[i + 1].isZero();
        // Adjustments have no quantity: each of the two columns stands alone.
        const bool single = i == 6;
        for (int j = i; j < i + 2; ++j) {
            if (!(single ? f.values[j].isZero() : empty))
                table.setFigure(row, FirstFigure + j, f.values[j]);
        }
    }
    return row;
}

} // namespace

MultiSetReport::MultiSetReport(Database &db, const DataFolder &folder)
    : m_db(db)
    , m_folder(folder)
{}

MultiSetReport::Result MultiSetReport::build(const QList<Set> &sets, const QDate &from,
                                             const QDate &to, const QString &level1,
                                             const QString &level2)
{
    if (from > to)
        throw Refusal(QStringLiteral("警告"), DatesText);
    const StockReportRequest request{from, to, {UnitColumn::transfers()}, level1, level2};

    Result result{ReportTable(Name, Title, columns()), {}};
    ReportTable &table = result.table;
    table.setPeriod(ReportPeriod{from, to});
    Figures all;
    AcrossSets across(m_db, m_folder);
    // Each set's detail goes into the table as it is read; one is held at a time.
    across.read(sets, [&](Database &other, int mode, const Set &set) {
        const ReportTable detail = StockReport(other, mode).detail(request);
        const DetailColumns at(detail);
        const ReportTable::TextId name = table.textId(set.name);
        Figures total;
        int rows = 0;
        for (int r = 0; r < detail.rowCount(); ++r) {
            if (detail.style(r) != RowStyle::Detail)
                continue;
            const Figures f = at.figuresOf(detail, r);
            total += f;
            const int row = appendFigures(table, f);
            table.setText(row, 0, name);
            for (int i = 0; i < int(std::size(at.head)); ++i) {
                const int c = at.head[i];
                if (detail.isNullAt(r, c))
                    continue;
                if (table.columns().at(i + 1).kind == Column::Text)
                    table.setText(row, i + 1, detail.textAt(r, c));
                else
                    table.setFigure(row, i + 1, detail.figureAt(r, c));
            }
            ++rows;
        }
        if (rows == 0)
            return;
        const int row = appendFigures(table, total, RowStyle::Subtotal);
        table.setText(row, 0, name);
        table.setText(row, 2, QStringLiteral("合计"));
        all += total;
    });
    result.unreadable = across.unreadable();
    if (!table.isEmpty()) {
        const int row = appendFigures(table, all, RowStyle::Total);
        table.setText(row, 1, QStringLiteral("0"));
        table.setText(row, 2, QStringLiteral("全部账套 总计"));
    }

    across.fill(QStringLiteral("CRZ_TEMP"), result.table);
    return result;
}

} // namespace varnock
