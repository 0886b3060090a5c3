#include "cli/handlers.h"

#include "print/paper/pdfoutput.h"
#include "print/reporttemplate.h"
#include "print/voucherslip.h"
#include "print/workbookexport.h"
#include "reports/reportcatalog.h"
#include "shell/accountsetsession.h"
#include "store/errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace varnock::cli {

namespace {

std::optional<ReportPeriod> periodArgument(const ReportCatalog::Entry &report,
                                           const Arguments &args)
{
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!report.hasPeriod) {
        if (from || to)
            throw UsageError{report.name + QStringLiteral(" has no period: --from and --to "
                                                          "do not apply")};
        return std::nullopt;
    }
    if (!from || !to)
        throw UsageError{report.name + QStringLiteral(" needs --from and --to")};
    return ReportPeriod{*from, *to};
}

QStringList reportNames()
{
    QStringList names;
    for (const ReportCatalog::Entry &e : ReportCatalog::entries())
        names << e.name;
    return names;
}

} // namespace

void requirePaper()
{
    // Pages are drawn with the fonts of a graphical application (without a display).
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw StoreError(QStringLiteral("PDF output needs the program's graphical libraries; "
                                        "run varnock-cli"));
}

Result fileResult(const QString &file, const QString &countKey, int count)
{
    Result result;
    const QString path = QFileInfo(file).absoluteFilePath();
    result.json.insert(QStringLiteral("file"), path);
    result.json.insert(countKey, count);
    result.lines << path;
    return result;
}

Result exportReport(Context &ctx, const Arguments &args)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("missing report name: ") + reportNames().join('|')};
    const ReportCatalog::Entry *report = ReportCatalog::find(args.positional().first());
    if (!report)
        throw UsageError{QStringLiteral("unknown report %1; expected %2")
                             .arg(args.positional().first(), reportNames().join('|'))};
    const std::optional<ReportPeriod> period = periodArgument(*report, args);
    const auto xlsx = args.value(QStringLiteral("xlsx"));
    const auto pdf = args.value(QStringLiteral("pdf"));
    if (bool(xlsx) == bool(pdf))
        throw UsageError{QStringLiteral("give either --xlsx FILE or --pdf FILE")};

    AccountSetSession &set = ctx.accountSet();
    ctx.authorize(report->right);
    Database &db = set.database();
    const auto build = [&] {
        ReportTable table = report->build(db, period);
        if (period)
            table.setPeriod(*period);
        return table;
    };
    const QString firm = VoucherSlips::firmName(db);
    if (xlsx) {
        int rows = 0;
        const ReportTemplates templates(ctx.folder().reportsFolder());
        WorkbookExport(templates, set.formats())
            .run(
                report->name,
                [&] {
                    ReportTable table = build();
                    rows = table.rowCount();
                    return table;
                },
                firm, *xlsx);
        return fileResult(*xlsx, QStringLiteral("rows"), rows);
    }
    requirePaper();
    const ReportTable table = build();
    if (table.isEmpty())
        throw Refusal(QStringLiteral("提示"), WorkbookExport::NoRecordsText);
    PdfOutput::writeTable(*pdf, table, set.formats(), firm);
    return fileResult(*pdf, QStringLiteral("rows"), table.rowCount());
}

} // namespace varnock::cli
