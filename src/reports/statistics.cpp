#include "reports/statistics.h"

#include "reports/cataloguetree.h"
#include "reports/reportbuild.h"
#include "reports/stockreport.h"
#include "store/database.h"
#include "store/errors.h"

#include <set>

namespace varnock {

const QString Statistics::ReceiptsName = QStringLiteral("CLrKCXBB");
const QString Statistics::ReceiptsTitle = QStringLiteral("入库查询报表");
const QString Statistics::IssuesName = QStringLiteral("CLcKCXBB");
const QString Statistics::IssuesTitle = QStringLiteral("领料查询报表");
const QString Statistics::TransfersName = QStringLiteral("CLDBBB");
const QString Statistics::TransfersTitle = QStringLiteral("调拨报表");
const QString Statistics::ByUnitName = QStringLiteral("lldwll");
const QString Statistics::ByUnitTitle = QStringLiteral("领料单位领料情况");
const QString Statistics::BySupplierName = QStringLiteral("GYSGH");
const QString Statistics::BySupplierTitle = QStringLiteral("供应商供货情况");
const QString Statistics::ConsumptionName = QStringLiteral("xhtj");
const QString Statistics::ConsumptionTitle = QStringLiteral("物资消耗统计表");
const QString Statistics::QuarterlyName = QStringLiteral("jdclb");
const QString Statistics::QuarterlyTitle = QStringLiteral("季度材料统计表");
const QString Statistics::BalanceName = QStringLiteral("clzcz");
const QString Statistics::BalanceTitle = QStringLiteral("材料收 支 存资金平衡表");
const QString Statistics::AllEntries = QStringLiteral("全部");
const QString Statistics::WarningTitle = QStringLiteral("警告");
const QString Statistics::DatesText = QStringLiteral("起始日期不能大于终止日期");
const QString Statistics::NoEntryText = QStringLiteral("请选择耗料单位！");
const QString Statistics::TooManyText = QStringLiteral("您至多只能选5个单位！");
const QString Statistics::InvalidPeriodText = QStringLiteral("请选择有效的时间段");

namespace {

using Column = ReportTable::Column;
using Key = StatisticMovements::Key;

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

void checkDates(const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid() || from > to)
        throw Refusal(Statistics::WarningTitle, Statistics::DatesText);
}

// The columns that name a row: the code and the name; with `details` also the specification,
// the unit and (with `price`) the unit price, which only material rows fill. The statistics
// that may show materials keep these columns at every level, as their workbooks do.
QList<Column> nameColumns(bool details, bool price)
{
    QList<Column> list{{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text}};
    if (details) {
        list.append({QStringLiteral("CLGG"), QStringLiteral("规格型号"), Column::Text});
        list.append({QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text});
        if (price)
            list.append({QStringLiteral("DJ"), QStringLiteral("单价"), Column::Price});
    }
    return list;
}

void appendPair(QList<Column> &list, const QString &quantity, const QString &amount,
                const QString &heading)
{
    list.append({quantity, heading.isEmpty() ? QString() : heading + QStringLiteral("数量"),
                 Column::Quantity});
    list.append(
        {amount, heading.isEmpty() ? QString() : heading + QStringLiteral("金额"), Column::Amount});
}

// The table of grouped rows: the name columns, then a quantity and an amount per figure.
ReportTable tableOf(const QString &name, const QString &title, const QList<Column> &columns,
                    const QList<StatisticRow> &rows, const ReportPeriod &period)
{
    ReportTable table(name, title, columns);
    table.setPeriod(period);
    table.reserve(int(rows.size()));
    const bool details = columns.size() > 2 && columns.at(2).field == QLatin1String("CLGG");
    const bool price = columns.size() > 4 && columns.at(4).field == QLatin1String("DJ");
    const int first = details ? (price ? 5 : 4) : 2;
    for (const StatisticRow &r : rows) {
        const int row = table.appendRow(r.style);
        table.setText(row, 0, r.clbh);
        table.setText(row, 1, r.clmc);
        if (details) {
            table.setText(row, 2, r.clgg);
            table.setText(row, 3, r.jzdw);
        }
        if (price && !r.price.isNull())
            table.setFigure(row, 4, Decimal::fromRaw(r.price.toLongLong()));
        int column = first;
        for (const Figure &f : r.figures) {
            if (!f.isZero()) {
                table.setFigure(row, column, f.quantity);
                table.setFigure(row, column + 1, f.amount);
            }
            column += 2;
        }
    }
    return table;
}

// A material's row with its names from the catalogue.
StatisticRow materialRow(const CatalogueTree &tree, const QString &clbh, std::size_t width)
{
    StatisticRow row;
    row.clbh = clbh;
    if (const CatalogueTree::Node *n = tree.find(clbh)) {
        row.clmc = n->clmc;
        row.clgg = n->clgg;
        row.jzdw = n->jzdw;
    }
    row.figures.resize(width);
    return row;
}

QString headingOf(Movement movement)
{
    switch (movement) {
    case Movement::Receipts:
        return QStringLiteral("入库");
    case Movement::Issues:
        return QStringLiteral("领料");
    case Movement::TransfersOut:
        return QStringLiteral("调拨出库");
    case Movement::TransfersIn:
        return QStringLiteral("调拨入库");
    }
    return {};
}

// The receipts, issues or transfers per material (and price) at their unit prices.
QList<StatisticRow> movementRows(const StatisticMovements &movements, const CatalogueTree &tree,
                                 Movement movement, const QDate &from, const QDate &to,
                                 bool withPrices)
{
    QList<StatisticRow> rows;
    for (const auto &[key, f] : movements.perMaterial(movement, from, to, withPrices)) {
        StatisticRow row = materialRow(tree, key.first, 1);
        row.figures[0] = f;
        if (key.second) {
            row.price = ReportTable::figure(Decimal::fromRaw(*key.second));
        } else if (movements.plannedPrices().contains(key.first)) {
            row.price = ReportTable::figure(movements.plannedPrices().value(key.first));
        } else {
            row.price =
                ReportTable::figure(f.quantity.isZero() ? Decimal() : f.amount / f.quantity);
        }
        rows.append(row);
    }
    return rows;
}

QString nameOf(Movement movement)
{
    switch (movement) {
    case Movement::Receipts:
        return Statistics::ReceiptsName;
    case Movement::Issues:
        return Statistics::IssuesName;
    case Movement::TransfersOut:
    case Movement::TransfersIn:
        break;
    }
    return Statistics::TransfersName;
}

QString titleOf(Movement movement)
{
    switch (movement) {
    case Movement::Receipts:
        return Statistics::ReceiptsTitle;
    case Movement::Issues:
        return Statistics::IssuesTitle;
    case Movement::TransfersOut:
    case Movement::TransfersIn:
        break;
    }
    return Statistics::TransfersTitle;
}

// How the movement statistics name their group rows, by costing method: under moving average
// the transfer statistics total both category levels as 合计 and the transfers out end with
// "全部材料".
StatisticGrouping movementGrouping(Movement movement, StatisticLevel level, bool fifo)
{
    const bool transfers = movement == Movement::TransfersIn || movement == Movement::TransfersOut;
    StatisticGrouping g;
    g.level = level;
    g.topRows = level == StatisticLevel::Materials;
    if (!fifo && transfers)
        g.parentSuffix = QStringLiteral(" 合计");
    g.grandTotal = fifo                                 ? QStringLiteral("全部材料 总计")
                   : movement == Movement::TransfersOut ? QStringLiteral("全部材料")
                                                        : QStringLiteral("全部材料  总计");
    return g;
}

} // namespace

Statistics::Statistics(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

ReportTable Statistics::movement(Movement movement, const StatisticRequest &request)
{
    checkDates(request.from, request.to);
    ReportBuild build(m_db);
    const ReportTable table = movementTable(movement, request);
    build.fill(QStringLiteral("RKCX_TEMP"), table);
    build.commit();
    return table;
}

ReportTable Statistics::movementTable(Movement movement, const StatisticRequest &request) const
{
    checkDates(request.from, request.to);
    const ReadSnapshot snapshot(m_db);
    const CatalogueTree tree(m_db);
    const StatisticMovements movements(m_db, m_mode);
    const bool materials = request.level == StatisticLevel::Materials;
    const QList<StatisticRow> rows =
        movementGrouping(movement, request.level, movements.byPrice())
            .apply(movementRows(movements, tree, movement, request.from, request.to, materials),
                   tree);
    QList<Column> columns = nameColumns(true, true);
    appendPair(columns, QStringLiteral("SJSL"), QStringLiteral("SJJE"), headingOf(movement));
    return tableOf(nameOf(movement), titleOf(movement), columns, rows,
                   ReportPeriod{request.from, request.to});
}

ReportTable Statistics::byParty(StatisticParty party, const StatisticRequest &request,
                                const QStringList &codes)
{
    if (codes.isEmpty())
        throw Refusal(WarningTitle, NoEntryText);
    if (codes.size() > MaxEntries)
        throw Refusal(WarningTitle, TooManyText);
    checkDates(request.from, request.to);
    const bool units = party == StatisticParty::Units;
    // The chosen entries in order, with their names.
    QList<std::pair<QString, QString>> entries;
    for (const QString &raw : codes) {
        const QString code = raw.trimmed();
        if (code == AllEntries) {
            entries.append({code, AllEntries});
            continue;
        }
        const QVariant name = m_db.scalar(units ? QStringLiteral("SELECT MC FROM LLDW WHERE BH = ?")
                                                : QStringLiteral("SELECT MC FROM GYS WHERE BH = ?"),
                                          {code});
        if (!name.isValid())
            throw Refusal(WarningTitle, (units ? QStringLiteral("领料单位“%1”不存在！")
                                               : QStringLiteral("供应商“%1”不存在！"))
                                            .arg(code));
        entries.append({code, name.toString()});
    }

    ReportBuild build(m_db);
    const CatalogueTree tree(m_db);
    const StatisticMovements movements(m_db, m_mode);
    const auto moved =
        movements.perParty(units ? Movement::Issues : Movement::Receipts, request.from, request.to);
    // The together column counts each counterparty once, every one when "全部" is chosen.
    std::set<QString> together;
    bool everyone = false;
    for (const auto &[code, name] : std::as_const(entries)) {
        everyone = everyone || code == AllEntries;
        together.insert(code);
    }
    const std::size_t width = MaxEntries + 1;
    std::map<QString, StatisticRow> rows;
    const auto rowOf = [&](const QString &clbh) -> StatisticRow & {
        auto it = rows.find(clbh);
        if (it == rows.end())
            it = rows.emplace(clbh, materialRow(tree, clbh, width)).first;
        return it->second;
    };
    for (const auto &[counterparty, materials] : moved) {
        for (const auto &[clbh, f] : materials) {
            for (int i = 0; i < entries.size(); ++i) {
                const QString &code = entries.at(i).first;
                if (code == AllEntries || code == counterparty)
                    rowOf(clbh).figures[i] += f;
            }
            if (everyone || together.count(counterparty))
                rowOf(clbh).figures[MaxEntries] += f;
        }
    }
    QList<StatisticRow> list;
    for (auto &[clbh, row] : rows)
        list.append(row);

    StatisticGrouping g;
    g.level = request.level;
    g.topRows = request.level != StatisticLevel::Tops;
    g.grandTotal = QStringLiteral("全部材料 总计");
    QList<Column> columns = nameColumns(true, false);
    for (int i = 0; i < MaxEntries; ++i) {
        const QString n = QString::number(i + 1);
        appendPair(columns, QStringLiteral("SL") + n, QStringLiteral("JE") + n,
                   i < entries.size() ? entries.at(i).second : QString());
    }
    appendPair(columns, QStringLiteral("SL"), QStringLiteral("JE"), QStringLiteral("合计"));
    const ReportTable table =
        tableOf(units ? ByUnitName : BySupplierName, units ? ByUnitTitle : BySupplierTitle, columns,
                g.apply(list, tree), ReportPeriod{request.from, request.to});
    build.fill(QStringLiteral("GYSGH_TEMP"), table);
    build.commit();
    return table;
}

ReportTable Statistics::consumption(const QDate &from, const QDate &to)
{
    checkDates(from, to);
    ReportBuild build(m_db);
    const CatalogueTree tree(m_db);
    const StatisticMovements movements(m_db, m_mode);
    std::map<QString, StatisticRow> rows;
    const auto add = [&](const std::map<Key, Figure> &moved, std::size_t column) {
        for (const auto &[key, f] : moved) {
            auto it = rows.find(key.first);
            if (it == rows.end())
                it = rows.emplace(key.first, materialRow(tree, key.first, 2)).first;
            it->second.figures[column] += f;
        }
    };
    // To date is what came before the period and the period itself: each day is read once,
    // those up to the latest closing before the period from its running totals.
    const auto period = movements.perMaterial(Movement::Issues, from, to, false);
    add(period, 0);
    add(period, 1);
    add(movements.perMaterial(Movement::Issues, QDate(), from.addDays(-1), false), 1);
    QList<StatisticRow> list;
    for (auto &[clbh, row] : rows) {
        // A planned-price material's amount to date is its whole quantity at plan, rounded once.
        const auto planned = movements.plannedPrices().constFind(clbh);
        if (planned != movements.plannedPrices().cend())
            row.figures[1].amount = row.figures[1].quantity * *planned;
        list.append(row);
    }

    StatisticGrouping g;
    g.level = StatisticLevel::Parents;
    g.grandTotal = QStringLiteral("全部材料 总计");
    QList<Column> columns = nameColumns(false, false);
    appendPair(columns, QStringLiteral("BYSL"), QStringLiteral("BYJE"), QStringLiteral("本期消耗"));
    appendPair(columns, QStringLiteral("LJSL"), QStringLiteral("LJJE"), QStringLiteral("累计消耗"));
    const ReportTable table = tableOf(
        ConsumptionName, QString::number(to.month()) + QStringLiteral(" 月份物资消耗统计表"),
        columns, g.apply(list, tree), ReportPeriod{from, to});
    build.fill(QStringLiteral("XHTJ_TEMP"), table);
    build.commit();
    return table;
}

QList<QDate> Statistics::closings(Database &db)
{
    QList<QDate> dates;
    Query q = db.query(QStringLiteral("SELECT DISTINCT YJSJ FROM YJSJB ORDER BY YJSJ"));
    while (q.next()) {
        const QDate d = QDate::fromString(q.value(0).toString(), DateFormat);
        if (d.isValid())
            dates.append(d);
    }
    return dates;
}

ReportPeriod Statistics::betweenClosings(Database &db, const QDate &start, const QDate &end)
{
    const QList<QDate> dates = closings(db);
    if (!dates.contains(start) || !dates.contains(end))
        throw Refusal(WarningTitle, InvalidPeriodText);
    if (start > end)
        throw Refusal(WarningTitle, DatesText);
    if (start == end)
        throw Refusal(WarningTitle, InvalidPeriodText);
    return ReportPeriod{start.addDays(1), end};
}

ReportTable Statistics::quarterly(const QDate &start, const QDate &end)
{
    const ReportPeriod period = betweenClosings(m_db, start, end);
    ReportBuild build(m_db);
    const CatalogueTree tree(m_db);
    const StatisticMovements movements(m_db, m_mode);
    StatisticGrouping g;
    g.level = StatisticLevel::Parents;
    g.grandTotal = QStringLiteral("全部材料  总计");
    QList<Column> columns = nameColumns(false, false);
    appendPair(columns, QStringLiteral("SJSL"), QStringLiteral("SJJE"), QStringLiteral("入库"));
    const ReportTable table = tableOf(
        QuarterlyName, QuarterlyTitle, columns,
        g.apply(movementRows(movements, tree, Movement::Receipts, period.from, period.to, false),
                tree),
        period);
    build.fill(QStringLiteral("RKCX_TEMP"), table);
    build.commit();
    return table;
}

ReportTable Statistics::fundsBalance(const QDate &start, const QDate &end)
{
    const ReportPeriod period = betweenClosings(m_db, start, end);
    StockReportRequest request;
    request.from = period.from;
    request.to = period.to;
    // What went out by transfer stands beside the issues, so that every row visibly balances;
    // the other unit columns stay out.
    request.units = {UnitColumn::transfers()};
    const ReportTable summary = StockReport(m_db, m_mode).summary(request);
    QList<int> kept;
    QList<Column> columns;
    for (int c = 0; c < summary.columnCount(); ++c) {
        const QString field = summary.columns().at(c).field;
        if (field.size() == 5 && field.startsWith(QLatin1String("LL")) &&
            !field.endsWith(QLatin1Char('1')))
            continue;
        kept.append(c);
        columns.append(summary.columns().at(c));
    }
    ReportTable table(BalanceName, BalanceTitle, columns);
    table.setPeriod(period);
    for (int r = 0; r < summary.rowCount(); ++r) {
        QVariantList cells;
        for (int c : std::as_const(kept))
            cells << summary.value(r, c);
        table.addRow(cells, summary.style(r));
    }
    return table;
}

} // namespace varnock
