#include "cli/handlers.h"

#include "shell/accountsets.h"
#include "shell/displaysettings.h"
#include "store/clock.h"
#include "store/errors.h"

#include <QJsonArray>

namespace varnock::cli {
namespace {

QJsonObject setRow(const AccountSetInfo &info)
{
    return QJsonObject{{QStringLiteral("BH"), info.number},
                       {QStringLiteral("ZTMC"), info.name},
                       {QStringLiteral("JZRQ"), info.created.toString(Qt::ISODate)}};
}

} // namespace

Result setCreate(Context &ctx, const Arguments &args)
{
    NewAccountSet r;
    r.name = args.required(QStringLiteral("name"));
    r.password = args.required(QStringLiteral("password"));
    r.date = args.date(QStringLiteral("date")).value_or(Clock::today());
    r.mode = args.mode(QStringLiteral("mode"), 2);
    const auto opName = args.value(QStringLiteral("operator"));
    const auto opPassword = args.value(QStringLiteral("operator-password"));
    if (opPassword && !opName)
        throw UsageError{QStringLiteral("--operator-password needs --operator")};
    r.operatorName = opName.value_or(QString());
    r.operatorPassword = opPassword.value_or(QString());
    r.operatorPasswordRepeat = r.operatorPassword;
    r.operatorGiven = opName || opPassword;

    ctx.closeAccountSet();
    AccountSets sets(ctx.master(), ctx.folder());
    r.number = args.integer(QStringLiteral("number")).value_or(sets.proposedNumber());
    const AccountSetInfo info = sets.create(r);
    ctx.createdSet = info.number;

    Result result;
    // As the mode screen does: YZMS records the last choice; the set keeps its own.
    try {
        DisplaySettings(ctx.folder()).writeModeName(r.mode);
    } catch (const StoreError &e) {
        result.errorText = e.text;
    }
    result.json = setRow(info);
    result.json.insert(QStringLiteral("MS"), r.mode == 1 ? 1 : 2);
    result.lines << QString::number(info.number);
    return result;
}

Result setList(Context &ctx, const Arguments &)
{
    Result result;
    QJsonArray rows;
    for (const AccountSetInfo &info : AccountSets(ctx.master(), ctx.folder()).list()) {
        rows.append(setRow(info));
        result.lines << QStringLiteral("%1\t%2\t%3")
                            .arg(QString::number(info.number), info.name,
                                 info.created.toString(Qt::ISODate));
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result setDelete(Context &ctx, const Arguments &args)
{
    const qint64 number = args.requiredInteger(QStringLiteral("number"));
    const QString password = args.required(QStringLiteral("password"));
    // Our own session would hold the set's lock.
    ctx.closeAccountSet();
    AccountSets(ctx.master(), ctx.folder()).remove(number, password);
    if (ctx.createdSet == number)
        ctx.createdSet.reset();
    Result result;
    result.json.insert(QStringLiteral("BH"), number);
    result.lines << QString::number(number);
    return result;
}

} // namespace varnock::cli
