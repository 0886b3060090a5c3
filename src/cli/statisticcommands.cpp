#include "cli/handlers.h"

#include "reports/statistics.h"
#include "shell/accountsetsession.h"

namespace varnock::cli {

// --level as the screens offer it: all materials, the second or the first level.
StatisticLevel statisticLevel(const Arguments &args)
{
    const QString level = args.value(QStringLiteral("level")).value_or(QStringLiteral("all"));
    if (level == QLatin1String("all") || level == QStringLiteral("全部材料"))
        return StatisticLevel::Materials;
    if (level == QLatin1String("2") || level == QStringLiteral("二级材料") ||
        level == QStringLiteral("二级汇总"))
        return StatisticLevel::Parents;
    if (level == QLatin1String("1") || level == QStringLiteral("一级材料") ||
        level == QStringLiteral("一级汇总"))
        return StatisticLevel::Tops;
    throw UsageError{QStringLiteral("--level is all, 2 or 1")};
}

namespace {

QDate requiredDate(const Arguments &args, const char *name)
{
    const auto date = args.date(QLatin1String(name));
    if (!date)
        throw UsageError{QStringLiteral("give --from and --to")};
    return *date;
}

StatisticRequest requestOf(const Arguments &args)
{
    return {requiredDate(args, "from"), requiredDate(args, "to"), statisticLevel(args)};
}

Result movement(Context &ctx, const Arguments &args, const char *command, Movement movement)
{
    ctx.authorize(QLatin1String(command));
    AccountSetSession &set = ctx.accountSet();
    return tableResult(
        ctx, Statistics(set.database(), set.mode()).movement(movement, requestOf(args)), args);
}

Result byParty(Context &ctx, const Arguments &args, const char *command, StatisticParty party,
               const char *option)
{
    ctx.authorize(QLatin1String(command));
    AccountSetSession &set = ctx.accountSet();
    const QStringList codes = args.value(QLatin1String(option))
                                  .value_or(QString())
                                  .split(QLatin1Char(','), Qt::SkipEmptyParts);
    return tableResult(
        ctx, Statistics(set.database(), set.mode()).byParty(party, requestOf(args), codes), args);
}

} // namespace

Result reportReceipts(Context &ctx, const Arguments &args)
{
    return movement(ctx, args, "RKCZBB", Movement::Receipts);
}

Result reportIssues(Context &ctx, const Arguments &args)
{
    return movement(ctx, args, "CLCKCXBB", Movement::Issues);
}

Result reportTransfers(Context &ctx, const Arguments &args)
{
    const QString direction = args.value(QStringLiteral("direction")).value_or(QString());
    if (direction == QLatin1String("in") || direction == QStringLiteral("调拨入库"))
        return movement(ctx, args, "CLDBBB", Movement::TransfersIn);
    if (direction == QLatin1String("out") || direction == QStringLiteral("调拨出库"))
        return movement(ctx, args, "CLDBBB", Movement::TransfersOut);
    throw UsageError{QStringLiteral("give --direction in or out")};
}

Result reportByUnit(Context &ctx, const Arguments &args)
{
    return byParty(ctx, args, "LLDWLLQK", StatisticParty::Units, "units");
}

Result reportBySupplier(Context &ctx, const Arguments &args)
{
    return byParty(ctx, args, "GYSGHQK", StatisticParty::Suppliers, "suppliers");
}

Result reportConsumption(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("YFWZXHBB"));
    AccountSetSession &set = ctx.accountSet();
    return tableResult(ctx,
                       Statistics(set.database(), set.mode())
                           .consumption(requiredDate(args, "from"), requiredDate(args, "to")),
                       args);
}

Result reportQuarterly(Context &ctx, const Arguments &args)
{
    const bool balance = args.has(QStringLiteral("balance"));
    ctx.authorize(balance ? QStringLiteral("CLSZC") : QStringLiteral("jdb"));
    AccountSetSession &set = ctx.accountSet();
    Statistics statistics(set.database(), set.mode());
    const QDate from = requiredDate(args, "from");
    const QDate to = requiredDate(args, "to");
    return tableResult(
        ctx, balance ? statistics.fundsBalance(from, to) : statistics.quarterly(from, to), args);
}

} // namespace varnock::cli
