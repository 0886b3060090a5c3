#include "cli/handlers.h"

#include "plans/plancomparison.h"
#include "plans/plans.h"
#include "shell/accountsetsession.h"
#include "vouchers/voucherbook.h"

#include <QJsonArray>

namespace varnock::cli {
namespace {

// The menu commands whose rights and log records the plan commands take.
const QString EntryCommand = QStringLiteral("JHTX");
const QString QueryCommand = QStringLiteral("gccx");
const QString CompareCommand = QStringLiteral("DBB");

ReportPeriod requiredPeriod(const Arguments &args)
{
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("missing --from or --to")};
    return {*from, *to};
}

bool writesFile(const Arguments &args)
{
    return args.has(QStringLiteral("xlsx")) || args.has(QStringLiteral("pdf"));
}

} // namespace

Result planSave(Context &ctx, const Arguments &args)
{
    PlanVoucher v;
    const auto date = args.date(QStringLiteral("date"));
    if (!date)
        throw UsageError{QStringLiteral("missing --date")};
    v.czrq = *date;
    const QStringList texts = args.values(QStringLiteral("line"));
    if (texts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};
    // CODE,QTY[,REMARK]: a remark may hold commas of its own.
    for (int i = 0; i < texts.size(); ++i) {
        const QStringList parts = texts.at(i).split(QLatin1Char(','));
        const QString where = QStringLiteral("--line %1 (%2)").arg(i + 1).arg(texts.at(i));
        if (parts.size() < 2)
            throw UsageError{where + QStringLiteral(": expected CODE,QTY[,REMARK]")};
        PlanLine line;
        line.clbh = parts.at(0).trimmed();
        line.quantity = Arguments::readFigure(parts.at(1), Limits::Figure::Quantity, where);
        line.bz = parts.mid(2).join(QLatin1Char(','));
        v.lines << line;
    }

    AccountSetSession &set = ctx.accountSet();
    Plans plans(set.database(), set.formats());
    qint64 key = 0;
    // Added to the plan of the date, as the entry screen adds new lines to it.
    ctx.perform(EntryCommand, [&] { key = plans.saveNew(v); });
    Result result;
    QJsonArray lines;
    const PlanVoucher saved = *plans.load(key);
    for (const PlanLine &l : saved.lines) {
        lines.append(QJsonObject{{QStringLiteral("ID"), l.id},
                                 {QStringLiteral("CLBH"), l.clbh},
                                 {QStringLiteral("SL"), set.formats().quantityText(l.quantity)},
                                 {QStringLiteral("BZ"), l.bz}});
        result.lines << QStringLiteral("%1\t%2\t%3\t%4")
                            .arg(l.id)
                            .arg(l.clbh, set.formats().quantityText(l.quantity), l.bz);
    }
    result.json.insert(QStringLiteral("CZRQ"), VoucherBook::dateText(v.czrq));
    result.json.insert(QStringLiteral("lines"), lines);
    return result;
}

Result planList(Context &ctx, const Arguments &args)
{
    const ReportPeriod period = requiredPeriod(args);
    if (writesFile(args)) {
        ctx.authorize(EntryCommand);
        AccountSetSession &set = ctx.accountSet();
        return tableResult(ctx, Plans(set.database(), set.formats()).list(period), args);
    }

    PlanConditions c;
    c.clbh = args.value(QStringLiteral("material")).value_or(QString());
    c.bz = args.value(QStringLiteral("remark")).value_or(QString());
    c.category = args.value(QStringLiteral("category")).value_or(QString());
    c.from = period.from;
    c.to = period.to;
    AccountSetSession &set = ctx.accountSet();
    ctx.authorize(QueryCommand);
    const Formats &f = set.formats();
    Result result;
    QJsonArray rows;
    for (const PlanQueryRow &r : Plans(set.database(), f).find(c)) {
        const QString day = VoucherBook::dateText(r.czrq);
        rows.append(QJsonObject{{QStringLiteral("CLBH"), r.clbh},
                                {QStringLiteral("CLMC"), r.clmc},
                                {QStringLiteral("CLGG"), r.clgg},
                                {QStringLiteral("JZDW"), r.jzdw},
                                {QStringLiteral("JHDJ"), f.amountText(r.jhdj)},
                                {QStringLiteral("SL"), f.quantityText(r.sl)},
                                {QStringLiteral("JHJE"), f.amountText(r.jhje)},
                                {QStringLiteral("CZRQ"), day},
                                {QStringLiteral("BZ"), r.bz}});
        result.lines << QStringList{r.clbh, r.clmc, r.clgg, r.jzdw, f.quantityText(r.sl), day, r.bz}
                            .join(QLatin1Char('\t'));
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result planCompare(Context &ctx, const Arguments &args)
{
    const ReportPeriod period = requiredPeriod(args);
    const QString level = args.value(QStringLiteral("level")).value_or(QStringLiteral("all"));
    PlanComparison::Level chosen = PlanComparison::Level::All;
    if (level == QLatin1String("1"))
        chosen = PlanComparison::Level::First;
    else if (level == QLatin1String("2"))
        chosen = PlanComparison::Level::Second;
    else if (level != QLatin1String("all"))
        throw UsageError{QStringLiteral("--level: expected 1|2|all, not %1").arg(level)};
    ctx.authorize(CompareCommand);
    return tableResult(ctx, PlanComparison(ctx.accountSet().database()).build(period, chosen),
                       args);
}

} // namespace varnock::cli
