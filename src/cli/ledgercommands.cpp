#include "cli/handlers.h"

#include "ledger/invariantchecker.h"
#include "ledger/monthend.h"
#include "ledger/plannedstock.h"
#include "master/materiallookup.h"
#include "shell/accountsetsession.h"
#include "store/clock.h"
#include "store/database.h"

#include <QJsonArray>

namespace varnock::cli {

void answerSteps(const QList<OperationStep> &steps, bool yes)
{
    for (const OperationStep &step : steps) {
        if (step.isRefusal())
            throw step.toRefusal();
        if (!yes)
            throw Declined{step.title, step.text};
    }
}

Result stock(Context &ctx, const Arguments &args)
{
    // What the stock list report may show, so the same right.
    ctx.authorize(QStringLiteral("LDZCQDB"));
    AccountSetSession &set = ctx.accountSet();
    const Formats formats = set.formats();
    MaterialLookup lookup(set.database());
    QList<MaterialLookup::Row> found;
    if (const auto clbh = args.value(QStringLiteral("material"))) {
        if (const auto row = lookup.find(clbh->trimmed()))
            found << *row;
    } else {
        // Materials never stocked have nothing to list.
        for (const MaterialLookup::Row &r : lookup.search()) {
            if (!r.kcsl.isZero() || !r.kcje.isZero())
                found << r;
        }
    }
    Result result;
    QJsonArray rows;
    for (const MaterialLookup::Row &r : found) {
        const QString kcsl = formats.quantityText(r.kcsl);
        const QString kcje = formats.amountText(r.kcje);
        rows.append(QJsonObject{{QStringLiteral("CLBH"), r.clbh},
                                {QStringLiteral("CLMC"), r.clmc},
                                {QStringLiteral("CLGG"), r.clgg},
                                {QStringLiteral("JZDW"), r.jzdw},
                                {QStringLiteral("KCSL"), kcsl},
                                {QStringLiteral("KCJE"), kcje}});
        result.lines << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                            .arg(r.clbh, r.clmc, r.clgg, r.jzdw, kcsl, kcje);
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

namespace {

QString kindName(InvariantBreach::Kind kind)
{
    switch (kind) {
    case InvariantBreach::Kind::Stock:
        return QStringLiteral("stock");
    case InvariantBreach::Kind::Layer:
        return QStringLiteral("layer");
    case InvariantBreach::Kind::ZeroQuantityAmount:
        return QStringLiteral("rest");
    case InvariantBreach::Kind::OffPlan:
        return QStringLiteral("planned");
    case InvariantBreach::Kind::Snapshot:
        return QStringLiteral("snapshot");
    case InvariantBreach::Kind::Sums:
        return QStringLiteral("sums");
    case InvariantBreach::Kind::Totals:
        return QStringLiteral("totals");
    }
    return QString();
}

} // namespace

Result check(Context &ctx, const Arguments &args)
{
    const bool repair = args.has(QStringLiteral("repair-planned"));
    // A repair writes: the set is opened locked, as for any command that writes.
    if (repair)
        ctx.readsOnly = false;
    ctx.login();
    AccountSetSession &set = ctx.accountSet();
    const bool strict = args.has(QStringLiteral("strict"));
    Result result;
    if (repair) {
        ctx.authorize(PlannedStock::RepairCommand);
        const Formats formats = set.formats();
        QJsonArray repaired;
        const QList<PlannedStock::OffPlan> rewritten =
            PlannedStock(set.database(), formats).repair(QString::number(ctx.login().number));
        for (const PlannedStock::OffPlan &r : rewritten) {
            const QString from = formats.amountText(r.amount);
            const QString to = formats.amountText(r.planned);
            repaired.append(QJsonObject{{QStringLiteral("CLBH"), r.clbh},
                                        {QStringLiteral("KCSL"), formats.quantityText(r.quantity)},
                                        {QStringLiteral("from"), from},
                                        {QStringLiteral("to"), to}});
            result.lines << QStringLiteral("%1\trepaired\tKCJE %2 -> %3").arg(r.clbh, from, to);
        }
        result.json.insert(QStringLiteral("repaired"), repaired);
    }
    const QList<InvariantBreach> breaches =
        InvariantChecker::check(set.database(), set.mode(), set.formats());
    QJsonArray rows;
    int broken = 0;
    bool offPlan = false;
    for (const InvariantBreach &b : breaches) {
        // A zero quantity with an amount left is a rounding rest, not a broken ledger.
        const bool counts = strict || b.kind != InvariantBreach::Kind::ZeroQuantityAmount;
        const QString kind = kindName(b.kind);
        offPlan = offPlan || b.kind == InvariantBreach::Kind::OffPlan;
        broken += counts ? 1 : 0;
        rows.append(QJsonObject{{QStringLiteral("CLBH"), b.clbh},
                                {QStringLiteral("kind"), kind},
                                {QStringLiteral("breach"), counts},
                                {QStringLiteral("what"), b.what}});
        result.lines << QStringLiteral("%1\t%2\t%3").arg(b.clbh, kind, b.what);
    }
    result.json.insert(QStringLiteral("rows"), rows);
    result.json.insert(QStringLiteral("balanced"), broken == 0);
    if (broken == 0) {
        result.lines << QStringLiteral("ok");
    } else {
        result.exitCode = 1;
        result.errorText = QStringLiteral("%1 breach(es) of the ledger").arg(broken);
        if (offPlan)
            result.errorText += QStringLiteral("; check --repair-planned puts planned-price "
                                               "stock back at plan");
    }
    return result;
}

Result monthEnd(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("YJCL"));
    AccountSetSession &set = ctx.accountSet();
    MonthEnd closing(set.database(), set.mode(), set.formats());
    const QDate today = Clock::today();
    const bool yes = args.has(QStringLiteral("yes"));
    answerSteps(closing.checks(today), yes);
    int yjid = 0;
    ctx.perform(QStringLiteral("YJCL"), [&] { yjid = closing.close(today); });
    Result result;
    result.json.insert(QStringLiteral("YJID"), yjid);
    result.json.insert(QStringLiteral("YJSJ"), today.toString(Qt::ISODate));
    result.json.insert(QStringLiteral("message"), MonthEnd::finished().text);
    result.lines << MonthEnd::finished().text;
    return result;
}

} // namespace varnock::cli
