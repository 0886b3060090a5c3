#include "reports/setsummaries.h"

#include "reports/stockreport.h"
#include "store/database.h"
#include "store/errors.h"

#include <QMap>

#include <algorithm>
#include <tuple>

namespace varnock {

const QString SetSummaries::DatesText = QStringLiteral("起始日期不允许大于终止日期！");
const QString SetSummaries::ArrearsName = QStringLiteral("供应商月度欠款报表1");
const QString SetSummaries::ArrearsTitle = QStringLiteral("供应商欠款汇总表");
const QString SetSummaries::SummaryName = QStringLiteral("进销存汇总报表");
const QString SetSummaries::SummaryTitle = QStringLiteral("进销存汇总报表");
const QString SetSummaries::CountName = QStringLiteral("流动资产清点表1");
const QString SetSummaries::CountTitle = QStringLiteral("流动资产清点表");
const QString SetSummaries::MovementsName = QStringLiteral("材料出入库查询报表1");
const QString SetSummaries::MovementsDatesText = QStringLiteral("起始日期不可大以终始日期");

namespace {

using Column = ReportTable::Column;
using RowStyle = ReportTable::RowStyle;
using LedgerReports::ArrearsRow;

void refuseDates(const ReportPeriod &period)
{
    if (period.from > period.to)
        throw Refusal(QStringLiteral("提示"), SetSummaries::DatesText);
}

QVariant textOrEmpty(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

SetSummaries::SetSummaries(Database &db, const DataFolder &folder)
    : m_db(db)
    , m_folder(folder)
{}

SetSummaries::Result SetSummaries::arrears(const QList<Set> &sets, const ReportPeriod &period)
{
    refuseDates(period);
    // By name, then by main products: the order the combined report is read in.
    QMap<std::pair<QString, QString>, ArrearsRow> suppliers;
    ArrearsRow total{{}, QStringLiteral("总计"), {}, {}, {}, {}, {}, {}};
    AcrossSets across(m_db, m_folder);
    across.read(sets, [&](Database &other, int, const Set &) {
        const QList<ArrearsRow> rows =
            LedgerReports::arrearsRows(other, period, LedgerReports::ArrearsLines::Standing);
        // As in the set's own report: its total counts every supplier's write-offs and stays
        // when anything was owed, new or paid.
        ArrearsRow setTotal;
        for (const ArrearsRow &r : rows)
            setTotal += r;
        if (!setTotal.isEmpty())
            total += setTotal;
        for (const ArrearsRow &r : rows) {
            if (r.isEmpty())
                continue;
            const std::pair<QString, QString> key{r.gysmc.trimmed(), r.zgcp.trimmed()};
            auto it = suppliers.find(key);
            if (it == suppliers.end())
                it = suppliers.insert(key,
                                      ArrearsRow{{}, key.first, key.second, {}, {}, {}, {}, {}});
            *it += r;
        }
    });

    Result result{ReportTable(ArrearsName, ArrearsTitle, LedgerReports::arrearsColumns()),
                  across.unreadable()};
    result.table.setPeriod(period);
    const auto add = [&result](const ArrearsRow &r, RowStyle style) {
        result.table.addRow({r.gysmc, textOrEmpty(r.zgcp), ReportTable::figure(r.syje),
                             ReportTable::figure(r.byqk), ReportTable::figure(r.byhk),
                             ReportTable::figure(r.byje), ReportTable::figure(r.hz)},
                            style);
    };
    if (!suppliers.isEmpty())
        add(total, RowStyle::Total);
    for (const ArrearsRow &r : std::as_const(suppliers))
        add(r, RowStyle::Detail);
    across.fill(QStringLiteral("GYSQK_TEMP"), result.table);
    return result;
}

SetSummaries::Result SetSummaries::summary(const QList<Set> &sets, const ReportPeriod &period)
{
    refuseDates(period);
    const StockReportRequest request{period.from, period.to, {UnitColumn::transfers()}, {}, {}};
    // The set's name, then the summary's columns less the unit columns nobody chose.
    const QList<Column> own = StockReport::summaryColumns(request.units);
    QList<Column> columns{{QStringLiteral("ZT"), QStringLiteral("账套"), Column::Text}};
    QList<int> taken;
    for (int c = 0; c < own.size(); ++c) {
        if (own.at(c).heading.isEmpty())
            continue;
        columns << own.at(c);
        taken << c;
    }
    Result result{ReportTable(SummaryName, SummaryTitle, columns), {}};
    result.table.setPeriod(period);
    QList<Decimal> sums(columns.size());
    AcrossSets across(m_db, m_folder);
    across.read(sets, [&](Database &other, int mode, const Set &set) {
        const ReportTable setRows = StockReport(other, mode).summary(request);
        for (int r = 0; r < setRows.rowCount(); ++r) {
            QVariantList cells{set.name};
            for (int c : std::as_const(taken))
                cells << setRows.value(r, c);
            result.table.addRow(cells, setRows.style(r));
            // The parent categories' rows hold every material once.
            if (setRows.style(r) != RowStyle::Detail)
                continue;
            for (int c = 1; c < columns.size(); ++c) {
                if (columns.at(c).isFigure())
                    sums[c] += Decimal::fromRaw(cells.at(c).toLongLong());
            }
        }
    });
    result.unreadable = across.unreadable();
    if (!result.table.isEmpty()) {
        QVariantList cells{QVariant(), QStringLiteral("0"), QStringLiteral("全部账套 总计")};
        for (int c = 3; c < columns.size();) {
            if (!columns.at(c).isFigure()) {
                cells << QVariant();
                ++c;
                continue;
            }
            // A quantity and its amount stay empty together, as in the rows above.
            const int width = columns.at(c).kind == Column::Quantity ? 2 : 1;
            bool empty = true;
            for (int i = c; i < c + width; ++i)
                empty = empty && sums.at(i).isZero();
            for (int i = c; i < c + width; ++i)
                cells << (empty ? QVariant() : ReportTable::figure(sums.at(i)));
            c += width;
        }
        result.table.addRow(cells, RowStyle::Total);
    }
    across.fill(QStringLiteral("JXCHZ_TEMP"), result.table);
    return result;
}

SetSummaries::Result SetSummaries::count(const QList<Set> &sets, LedgerReports::Level level)
{
    using Item = LedgerReports::StockHoldings::Item;
    LedgerReports::StockHoldings all;
    QMap<std::tuple<QString, QString, QString, QString>, Item> items;
    AcrossSets across(m_db, m_folder);
    across.read(sets, [&](Database &other, int, const Set &set) {
        const LedgerReports::StockHoldings own = LedgerReports::stockHoldings(other);
        // A category keeps the name the first set gives it.
        for (auto it = own.catalogue.cbegin(); it != own.catalogue.cend(); ++it) {
            if (!all.catalogue.contains(it.key()))
                all.catalogue.insert(it.key(), *it);
        }
        for (const Item &i : own.items) {
            const auto key = std::make_tuple(i.clbh, i.clmc, i.clgg, i.jzdw);
            auto it = items.find(key);
            if (it == items.end())
                it = items.insert(key, Item{i.clbh, i.clmc, i.clgg, i.jzdw, {}, {}, {}});
            it->quantity += i.quantity;
            it->amount += i.amount;
            it->sets << set.name;
        }
    });
    for (const Item &i : std::as_const(items)) {
        // Quantities of opposite signs may cancel out: such a line has no stock left.
        if (!i.quantity.isZero())
            all.items << i;
    }
    Result result{LedgerReports::stockList(all, level, CountName, true), across.unreadable()};
    across.fill(QStringLiteral("KCPD_TEMP"), result.table);
    return result;
}

SetSummaries::Result SetSummaries::movements(const QList<Set> &sets, Movement movement,
                                             const ReportPeriod &period, StatisticLevel level,
                                             const QString &title)
{
    if (period.from > period.to)
        throw Refusal(QStringLiteral("提示"), MovementsDatesText);
    const QString heading =
        movement == Movement::Receipts ? QStringLiteral("入库") : QStringLiteral("出库");
    // The statistic's fields as the count's work table names them.
    const QList<std::pair<QString, Column>> fields{
        {QStringLiteral("CLBH"),
         {QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text}},
        {QStringLiteral("CLMC"),
         {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text}},
        {QStringLiteral("CLGG"),
         {QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text}},
        {QStringLiteral("JZDW"), {QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text}},
        {QStringLiteral("DJ"), {QStringLiteral("KCDJ"), QStringLiteral("单价"), Column::Price}},
        {QStringLiteral("SJSL"),
         {QStringLiteral("KCSL"), heading + QStringLiteral("数量"), Column::Quantity}},
        {QStringLiteral("SJJE"),
         {QStringLiteral("KCJE"), heading + QStringLiteral("金额"), Column::Amount}}};
    QList<Column> columns{{QStringLiteral("ZT"), QStringLiteral("账套"), Column::Text}};
    for (const auto &[field, column] : fields)
        columns << column;
    Result result{ReportTable(MovementsName, title, columns), {}};
    result.table.setPeriod(period);
    const int quantity = int(columns.size()) - 2;
    Decimal sums[2];
    AcrossSets across(m_db, m_folder);
    across.read(sets, [&](Database &other, int mode, const Set &set) {
        const ReportTable own =
            Statistics(other, mode).movementTable(movement, {period.from, period.to, level});
        for (int r = 0; r < own.rowCount(); ++r) {
            QVariantList cells{set.name};
            for (const auto &[field, column] : fields) {
                const int c = own.columnOf(field);
                cells << (c < 0 ? QVariant() : own.value(r, c));
            }
            result.table.addRow(cells, own.style(r));
            // The set's grand total holds each of its rows once.
            if (own.style(r) == RowStyle::Total && cells.at(1).toString() == QLatin1String("0")) {
                sums[0] += Decimal::fromRaw(cells.at(quantity).toLongLong());
                sums[1] += Decimal::fromRaw(cells.at(quantity + 1).toLongLong());
            }
        }
    });
    result.unreadable = across.unreadable();
    if (!result.table.isEmpty()) {
        result.table.addRow({QVariant(), QStringLiteral("0"), QStringLiteral("全部账套 总计"),
                             QVariant(), QVariant(), QVariant(), ReportTable::figure(sums[0]),
                             ReportTable::figure(sums[1])},
                            RowStyle::Total);
    }
    across.fill(QStringLiteral("KCPD_TEMP"), result.table);
    return result;
}

} // namespace varnock
