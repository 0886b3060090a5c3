#include "cli/handlers.h"

#include "shell/accountsetsession.h"
#include "shell/operators.h"

#include <QJsonArray>

namespace varnock::cli {
namespace {

const QString MenuCommand = QStringLiteral("CZYSZ");
constexpr qint64 MaxNumber = 999'999;

// FLAG,FLAG,… of CZYQX's field names (any case), or "all".
QList<Permissions::Flag> flagsOf(const Arguments &args, const QString &option)
{
    QList<Permissions::Flag> flags;
    const auto text = args.value(option);
    if (!text)
        return flags;
    for (const QString &word : text->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = word.trimmed().toUpper();
        bool known = false;
        for (int f = 0; f < Permissions::FlagCount; ++f) {
            const auto flag = Permissions::Flag(f);
            if (name == QLatin1String("ALL") || name == Permissions::fieldName(flag)) {
                flags.append(flag);
                known = true;
            }
        }
        if (!known) {
            QStringList names;
            for (int f = 0; f < Permissions::FlagCount; ++f)
                names << Permissions::fieldName(Permissions::Flag(f));
            throw UsageError{QStringLiteral("--%1: expected all or %2, not %3")
                                 .arg(option, names.join(QLatin1Char(',')), word)};
        }
    }
    return flags;
}

QStringList grantedNames(const Permissions &p)
{
    QStringList names;
    for (int f = 0; f < Permissions::FlagCount; ++f) {
        if (p.allowed[f])
            names << Permissions::fieldName(Permissions::Flag(f));
    }
    return names;
}

// The operator named by --number or --user (a command's own --user names the operator it
// works on; the login then comes from the options in front of the command or the
// environment).
int targetOf(Operators &operators, const Arguments &args)
{
    const auto number = args.integer(QStringLiteral("number"));
    const auto name = args.value(QStringLiteral("user"));
    if (number.has_value() == name.has_value())
        throw UsageError{QStringLiteral("give either --number BH or --user NAME")};
    if (number) {
        if (!operators.find(int(*number)))
            throw Refusal(QStringLiteral("提示"), QStringLiteral("该操作员不存在！"));
        return int(*number);
    }
    QList<int> found;
    for (const Operators::Entry &e : operators.list()) {
        if (e.name.trimmed() == name->trimmed())
            found << e.number;
    }
    if (found.isEmpty())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该操作员不存在！"));
    if (found.size() > 1)
        throw UsageError{QStringLiteral("--user: %1 operators are called %2; give --number")
                             .arg(found.size())
                             .arg(*name)};
    return found.first();
}

// As the operator screen asks before a change or a deletion: operator 1 acts freely, anyone
// else gives the password of the operator concerned (their own login has already done so).
void checkMayTouch(Context &ctx, Operators &operators, int target, const Arguments &args,
                   const QString &refusal)
{
    const int me = ctx.login().number;
    if (Operators::actsFreely(me) || me == target)
        return;
    const auto typed = args.value(QStringLiteral("their-password"));
    if (!typed)
        throw UsageError{
            QStringLiteral("missing --their-password (the password of operator %1)").arg(target)};
    if (!operators.passwordMatches(target, *typed))
        throw Refusal(QStringLiteral("提示"), refusal);
}

// Changes or deletes the operator named by --number or --user as the operator screen does:
// with its right, after its password check, in one transaction. The next command logs in
// again, with the rights as they are now. Returns the operator's number.
int changeOperator(Context &ctx, const Arguments &args, const QString &wrongPassword,
                   const std::function<void(Operators &, int)> &change)
{
    ctx.authorize(MenuCommand);
    Operators operators(ctx.accountSet().database());
    const int target = targetOf(operators, args);
    checkMayTouch(ctx, operators, target, args, wrongPassword);
    ctx.perform(MenuCommand, [&] { change(operators, target); });
    ctx.forgetLogin();
    return target;
}

Result operatorResult(const Operators::Details &d)
{
    Result result;
    const QStringList rights = grantedNames(d.permissions);
    result.json = QJsonObject{{QStringLiteral("BH"), d.number},
                              {QStringLiteral("CZY"), d.name},
                              {QStringLiteral("DH"), d.phone},
                              {QStringLiteral("rights"), QJsonArray::fromStringList(rights)}};
    result.lines << QStringLiteral("%1\t%2\t%3\t%4")
                        .arg(QString::number(d.number), d.name, d.phone,
                             rights.join(QLatin1Char(',')));
    return result;
}

} // namespace

Result operatorList(Context &ctx, const Arguments &)
{
    ctx.authorize(MenuCommand);
    Operators operators(ctx.accountSet().database());
    Result result;
    QJsonArray rows;
    for (const Operators::Entry &e : operators.list()) {
        if (const auto d = operators.find(e.number)) {
            const Result row = operatorResult(*d);
            rows.append(row.json);
            result.lines << row.lines;
        }
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result operatorAdd(Context &ctx, const Arguments &args)
{
    const QString name = args.required(QStringLiteral("name"));
    const QString password = args.required(QStringLiteral("operator-password"));
    const QString phone = args.value(QStringLiteral("phone")).value_or(QString());
    Permissions rights;
    for (const Permissions::Flag flag : flagsOf(args, QStringLiteral("grant")))
        rights[flag] = true;
    // An empty password could never log in: the login refuses one.
    if (password.trimmed().isEmpty())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("操作员口令不允许为空！"));
    Database &db = ctx.accountSet().database();
    const auto given = args.integer(QStringLiteral("number"));
    if (given && (*given < 1 || *given > MaxNumber))
        throw UsageError{QStringLiteral("--number: expected 1 to %1").arg(MaxNumber)};
    int number = 0;
    ctx.perform(MenuCommand, [&] {
        Operators operators(db);
        number = given ? int(*given) : operators.nextNumber();
        operators.add(number, name, phone, password, rights);
    });
    return operatorResult(*Operators(db).find(number));
}

Result operatorEdit(Context &ctx, const Arguments &args)
{
    const auto password = args.value(QStringLiteral("operator-password"));
    if (password && password->trimmed().isEmpty())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("操作员口令不允许为空！"));
    const int target = changeOperator(
        ctx, args, QStringLiteral("密码错误！，不允许修改！！！"), [&](Operators &ops, int number) {
            const Operators::Details d = *ops.find(number);
            // What is not given stays; an empty password keeps the current one.
            ops.update(number, args.value(QStringLiteral("name")).value_or(d.name),
                       args.value(QStringLiteral("phone")).value_or(d.phone),
                       password.value_or(QString()), d.permissions);
        });
    return operatorResult(*Operators(ctx.accountSet().database()).find(target));
}

Result operatorRights(Context &ctx, const Arguments &args)
{
    const QList<Permissions::Flag> grant = flagsOf(args, QStringLiteral("grant"));
    const QList<Permissions::Flag> revoke = flagsOf(args, QStringLiteral("revoke"));
    if (grant.isEmpty() && revoke.isEmpty())
        throw UsageError{QStringLiteral("give --grant FLAG,... or --revoke FLAG,...")};
    for (const Permissions::Flag flag : grant) {
        if (revoke.contains(flag))
            throw UsageError{
                QStringLiteral("%1 is both granted and revoked").arg(Permissions::fieldName(flag))};
    }
    const int target = changeOperator(ctx, args, QStringLiteral("密码错误！，不允许修改！！！"),
                                      [&](Operators &ops, int number) {
                                          const Operators::Details d = *ops.find(number);
                                          Permissions rights = d.permissions;
                                          for (const Permissions::Flag flag : grant)
                                              rights[flag] = true;
                                          for (const Permissions::Flag flag : revoke)
                                              rights[flag] = false;
                                          ops.update(number, d.name, d.phone, QString(), rights);
                                      });
    return operatorResult(*Operators(ctx.accountSet().database()).find(target));
}

Result operatorDelete(Context &ctx, const Arguments &args)
{
    const int target = changeOperator(ctx, args, QStringLiteral("密码错误！，不允许删除！！！"),
                                      [](Operators &ops, int number) { ops.remove(number); });
    Result result;
    result.json.insert(QStringLiteral("BH"), target);
    result.lines << QString::number(target);
    return result;
}

} // namespace varnock::cli
