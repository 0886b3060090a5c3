#include "cli/handlers.h"

#include "print/paper/pdfoutput.h"
#include "print/reporttemplate.h"
#include "print/voucherslip.h"
#include "print/workbookexport.h"
#include "reports/cataloguetree.h"
#include "reports/materialledger.h"
#include "reports/multisetreport.h"
#include "reports/setsummaries.h"
#include "reports/stockreport.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"

#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>

namespace varnock::cli {

namespace {

StockReportRequest requestOf(Database &db, const Arguments &args)
{
    StockReportRequest r;
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("give --from and --to")};
    r.from = *from;
    r.to = *to;
    QStringList units;
    if (const auto list = args.value(QStringLiteral("units")))
        units = list->split(QLatin1Char(','), Qt::SkipEmptyParts);
    r.units = StockReport::unitColumns(db, units);
    r.level1 = args.value(QStringLiteral("level1")).value_or(QString()).trimmed();
    r.level2 = args.value(QStringLiteral("level2")).value_or(QString()).trimmed();
    return r;
}

} // namespace

Result tableResult(Context &ctx, const ReportTable &table, const Arguments &args)
{
    Result result = tableRows(ctx, table);
    writeTableFiles(ctx, table, args, result);
    return result;
}

Result tableRows(Context &ctx, const ReportTable &table)
{
    const Formats formats = ctx.accountSet().formats();
    Result result;
    QJsonArray rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QJsonObject row;
        QStringList texts;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QString text = table.displayText(r, c, formats);
            row.insert(table.columns().at(c).field,
                       table.isEmptyAt(r, c) ? QJsonValue() : QJsonValue(text));
            texts << text;
        }
        rows.append(row);
        result.lines << texts.join(QLatin1Char('\t'));
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

void writeTableFiles(Context &ctx, const ReportTable &table, const Arguments &args, Result &result)
{
    AccountSetSession &set = ctx.accountSet();
    const Formats formats = set.formats();
    const QString firm = VoucherSlips::firmName(set.database());
    if (const auto xlsx = args.value(QStringLiteral("xlsx"))) {
        const ReportTemplates templates(ctx.folder().reportsFolder());
        WorkbookExport(templates, formats)
            .run(
                table.name(), [&] { return table; }, firm, *xlsx);
        const QString path = QFileInfo(*xlsx).absoluteFilePath();
        result.json.insert(QStringLiteral("xlsx"), path);
        result.lines << path;
    }
    if (const auto pdf = args.value(QStringLiteral("pdf"))) {
        requirePaper();
        if (table.isEmpty())
            throw Refusal(QStringLiteral("提示"), WorkbookExport::NoRecordsText);
        PdfOutput::writeTable(*pdf, table, formats, firm);
        const QString path = QFileInfo(*pdf).absoluteFilePath();
        result.json.insert(QStringLiteral("pdf"), path);
        result.lines << path;
    }
}

Result reportStockDetail(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("JXCMX"));
    AccountSetSession &set = ctx.accountSet();
    const StockReportRequest request = requestOf(set.database(), args);
    return tableResult(ctx, StockReport(set.database(), set.mode()).detail(request), args);
}

Result reportStockSummary(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("JXCHZ"));
    AccountSetSession &set = ctx.accountSet();
    const StockReportRequest request = requestOf(set.database(), args);
    return tableResult(ctx, StockReport(set.database(), set.mode()).summary(request), args);
}

namespace {

// The sets of --sets (numbers separated by commas), every set of the data folder without it.
QList<AcrossSets::Set> chosenSets(Context &ctx, const Arguments &args)
{
    const QList<AccountSetInfo> listed = AccountSets(ctx.master(), ctx.folder()).list();
    QList<AcrossSets::Set> sets;
    if (const auto chosen = args.value(QStringLiteral("sets"))) {
        for (const QString &bh : chosen->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const auto it = std::find_if(listed.cbegin(), listed.cend(), [&](const auto &i) {
                return QString::number(i.number) == bh.trimmed();
            });
            if (it == listed.cend())
                throw UsageError{QStringLiteral("no account set %1").arg(bh.trimmed())};
            sets.append({it->number, it->name});
        }
    } else {
        for (const AccountSetInfo &i : listed)
            sets.append({i.number, i.name});
    }
    return sets;
}

ReportPeriod periodOf(const Arguments &args)
{
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("give --from and --to")};
    return {*from, *to};
}

// The combined table, the sets that could not be read named under "unreadable" and on the
// error stream.
Result setsResult(Context &ctx, const AcrossSets::Result &built, const Arguments &args)
{
    Result result = tableResult(ctx, built.table, args);
    if (!built.unreadable.isEmpty()) {
        QJsonArray unreadable;
        for (const QString &note : built.unreadable)
            unreadable.append(note);
        result.json.insert(QStringLiteral("unreadable"), unreadable);
        ctx.err << AcrossSets::unreadableText(built.unreadable) << '\n';
        ctx.err.flush();
    }
    return result;
}

Result reportSetsMovements(Context &ctx, const Arguments &args, Movement movement)
{
    const bool issues = movement == Movement::Issues;
    ctx.authorize(issues ? QStringLiteral("ZTCLCKCX") : QStringLiteral("ZTCLRKCX"));
    const ReportPeriod period = periodOf(args);
    const StatisticLevel level = statisticLevel(args);
    const QList<AcrossSets::Set> sets = chosenSets(ctx, args);
    return setsResult(ctx,
                      SetSummaries(ctx.accountSet().database(), ctx.folder())
                          .movements(sets, movement, period, level,
                                     issues ? QStringLiteral("材料出库汇总表")
                                            : QStringLiteral("材料入库汇总表")),
                      args);
}

} // namespace

Result reportMultiSetDetail(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("ZTJXCMX"));
    const ReportPeriod period = periodOf(args);
    const QList<AcrossSets::Set> sets = chosenSets(ctx, args);
    AccountSetSession &set = ctx.accountSet();
    return setsResult(
        ctx,
        MultiSetReport(set.database(), ctx.folder())
            .build(sets, period.from, period.to,
                   args.value(QStringLiteral("level1")).value_or(QString()).trimmed(),
                   args.value(QStringLiteral("level2")).value_or(QString()).trimmed()),
        args);
}

Result reportSetsArrears(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("ZTGYSQK"));
    const ReportPeriod period = periodOf(args);
    const QList<AcrossSets::Set> sets = chosenSets(ctx, args);
    return setsResult(
        ctx, SetSummaries(ctx.accountSet().database(), ctx.folder()).arrears(sets, period), args);
}

Result reportSetsSummary(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("ZTJXCHZ"));
    const ReportPeriod period = periodOf(args);
    const QList<AcrossSets::Set> sets = chosenSets(ctx, args);
    return setsResult(
        ctx, SetSummaries(ctx.accountSet().database(), ctx.folder()).summary(sets, period), args);
}

Result reportSetsCount(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("ZTLDZCQD"));
    const StatisticLevel level = statisticLevel(args);
    const LedgerReports::Level chosen = level == StatisticLevel::Tops ? LedgerReports::Level::First
                                        : level == StatisticLevel::Parents
                                            ? LedgerReports::Level::Second
                                            : LedgerReports::Level::Every;
    const QList<AcrossSets::Set> sets = chosenSets(ctx, args);
    return setsResult(
        ctx, SetSummaries(ctx.accountSet().database(), ctx.folder()).count(sets, chosen), args);
}

Result reportSetsReceipts(Context &ctx, const Arguments &args)
{
    return reportSetsMovements(ctx, args, Movement::Receipts);
}

Result reportSetsIssues(Context &ctx, const Arguments &args)
{
    return reportSetsMovements(ctx, args, Movement::Issues);
}

Result reportMaterialLedger(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("CLLSZ"));
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("give --from and --to")};
    AccountSetSession &set = ctx.accountSet();
    const MaterialLedger ledger(set.database(), set.mode());
    QStringList materials;
    if (const auto clbh = args.value(QStringLiteral("material"))) {
        materials << clbh->trimmed();
    } else {
        const QString level2 = args.value(QStringLiteral("level2")).value_or(QString()).trimmed();
        const QString level1 = args.value(QStringLiteral("level1")).value_or(QString()).trimmed();
        const QString category = !level2.isEmpty()   ? level2
                                 : !level1.isEmpty() ? level1
                                                     : CatalogueTree::Root;
        materials = ledger.materialsBelow(category, *from, *to);
    }
    return tableResult(ctx, ledger.build(materials, *from, *to).table, args);
}

} // namespace varnock::cli
