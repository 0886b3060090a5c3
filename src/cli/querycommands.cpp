#include "cli/handlers.h"

#include "reports/cataloguetree.h"
#include "reports/ledgerquery.h"
#include "shell/accountsetsession.h"
#include "store/errors.h"

namespace varnock::cli {

namespace {

std::pair<QDate, QDate> period(const Arguments &args)
{
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("give --from and --to")};
    return {*from, *to};
}

QString text(const Arguments &args, const char *name)
{
    return args.value(QLatin1String(name)).value_or(QString());
}

// The rows of a query, and with --xlsx or --pdf its printed report "cx".
Result queryResult(Context &ctx, const LedgerQuery &query, const LedgerQuery::Result &found,
                   const Arguments &args)
{
    Result result = tableRows(ctx, found.table);
    if (!args.has(QStringLiteral("xlsx")) && !args.has(QStringLiteral("pdf")))
        return result;
    if (!LedgerQuery::hasRecords(found.table))
        throw Refusal(QStringLiteral("提示"), LedgerQuery::NoRecordsText);
    writeTableFiles(ctx, query.printTable(found.table), args, result);
    return result;
}

} // namespace

Result queryConditions(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("TJCX"));
    LedgerQuery::Conditions c;
    const QString kind = args.required(QStringLiteral("kind"));
    c.kind = LedgerQuery::kindOf(kind);
    if (!c.kind)
        throw UsageError{QStringLiteral("unknown kind %1; expected one of %2 or 0-%3")
                             .arg(kind, LedgerQuery::kindTexts().join(QLatin1Char('|')))
                             .arg(LedgerQuery::KindCount - 1)};
    std::tie(c.from, c.to) = period(args);
    c.supplier = text(args, "supplier");
    c.material = text(args, "material");
    c.spec = text(args, "spec");
    c.name = text(args, "name");
    c.site = text(args, "site");
    c.number = text(args, "number");
    c.unit = text(args, "unit");
    c.building = text(args, "building");
    AccountSetSession &set = ctx.accountSet();
    const LedgerQuery query(set.database(), set.mode(), set.formats());
    return queryResult(ctx, query, query.conditions(c), args);
}

Result queryItems(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("PMCX"));
    const auto [from, to] = period(args);
    if (args.has(QStringLiteral("category")) && args.has(QStringLiteral("material")))
        throw UsageError{QStringLiteral("give --category or --material, not both")};
    AccountSetSession &set = ctx.accountSet();
    const LedgerQuery query(set.database(), set.mode(), set.formats());
    std::optional<QStringList> materials;
    if (const auto material = args.value(QStringLiteral("material")))
        materials = QStringList{material->trimmed()};
    else if (const auto category = args.value(QStringLiteral("category"));
             category && category->trimmed() != CatalogueTree::Root)
        materials = query.materialsOf(category->trimmed());
    return queryResult(ctx, query, query.items(materials, from, to), args);
}

} // namespace varnock::cli
