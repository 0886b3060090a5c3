#include "cli/handlers.h"

#include "shell/accountsetsession.h"
#include "shell/systemparameters.h"

#include <QJsonArray>

namespace varnock::cli {
namespace {

const QString SettingsCommand = QStringLiteral("XTCSSZ");

QJsonObject shown(const SystemParameters::Values &v)
{
    return QJsonObject{
        {QStringLiteral("GSMC"), v.firmName},
        {QStringLiteral("DZ"), v.address},
        {QStringLiteral("FR"), v.contact},
        {QStringLiteral("DH"), v.phone},
        {QStringLiteral("YB"), v.postcode},
        {QStringLiteral("defaultBackupFolder"), v.defaultBackupFolder},
        {QStringLiteral("backupFolder"), v.backupFolder},
        {QStringLiteral("LSWS"), v.quantityFormat},
        {QStringLiteral("JEXSW"), v.amountFormat},
        {QStringLiteral("receiptCaptions"), QJsonArray::fromStringList(v.receiptCaptions)},
        {QStringLiteral("issueCaptions"), QJsonArray::fromStringList(v.issueCaptions)}};
}

QStringList shownLines(const SystemParameters::Values &v)
{
    return {QStringLiteral("公司名称\t") + v.firmName,
            QStringLiteral("公司地址\t") + v.address,
            QStringLiteral("联 系 人\t") + v.contact,
            QStringLiteral("联系电话\t") + v.phone,
            QStringLiteral("邮政编码\t") + v.postcode,
            QStringLiteral("备份路径\t") + v.backupFolder +
                (v.defaultBackupFolder ? QStringLiteral("\t系统默认路径") : QString()),
            QStringLiteral("数量保留位数\t") + v.quantityFormat,
            QStringLiteral("金额保留位数\t") + v.amountFormat,
            QStringLiteral("入库单签字\t") + v.receiptCaptions.join(QLatin1Char('\t')),
            QStringLiteral("领料单签字\t") + v.issueCaptions.join(QLatin1Char('\t'))};
}

// --receipt-caption 3=收 料 人: the third caption of the receipt slip.
void takeCaptions(const Arguments &args, const QString &option, QStringList &captions)
{
    for (const QString &given : args.values(option)) {
        bool ok = false;
        const int place = given.section(QLatin1Char('='), 0, 0).trimmed().toInt(&ok);
        if (!ok || place < 1 || place > captions.size() || !given.contains(QLatin1Char('=')))
            throw UsageError{QStringLiteral("--%1 takes N=TEXT with N from 1 to %2: %3")
                                 .arg(option)
                                 .arg(captions.size())
                                 .arg(given)};
        captions[place - 1] = given.section(QLatin1Char('='), 1);
    }
}

} // namespace

Result settingsShow(Context &ctx, const Arguments &)
{
    ctx.authorize(SettingsCommand);
    AccountSetSession &set = ctx.accountSet();
    const SystemParameters::Values values = SystemParameters(set.database(), ctx.folder()).load();
    Result result;
    result.json = shown(values);
    result.lines = shownLines(values);
    return result;
}

Result settingsSet(Context &ctx, const Arguments &args)
{
    AccountSetSession &set = ctx.accountSet();
    SystemParameters parameters(set.database(), ctx.folder());
    SystemParameters::Values values = parameters.load();
    const auto take = [&](const char *option, QString &field) {
        if (const auto given = args.value(QLatin1String(option)))
            field = *given;
    };
    take("firm-name", values.firmName);
    take("address", values.address);
    take("contact", values.contact);
    take("phone", values.phone);
    take("postcode", values.postcode);
    take("quantity-format", values.quantityFormat);
    take("amount-format", values.amountFormat);
    if (const auto folder = args.value(QStringLiteral("backup-folder"))) {
        values.defaultBackupFolder = *folder == QLatin1String("default");
        values.backupFolder = values.defaultBackupFolder ? QString() : *folder;
    }
    takeCaptions(args, QStringLiteral("receipt-caption"), values.receiptCaptions);
    takeCaptions(args, QStringLiteral("issue-caption"), values.issueCaptions);

    bool restart = false;
    ctx.perform(SettingsCommand, [&] { restart = parameters.save(values, set.formats()); });
    Result result;
    result.json = shown(parameters.load());
    result.json.insert(QStringLiteral("restart"), restart);
    result.lines = shownLines(parameters.load());
    return result;
}

Result settingsRestoreTemplates(Context &ctx, const Arguments &args)
{
    ctx.authorize(SettingsCommand);
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("name the report templates to restore")};
    answerSteps({SystemParameters::restoreQuestion()}, args.has(QStringLiteral("yes")));
    const QString text = SystemParameters(ctx.accountSet().database(), ctx.folder())
                             .restoreReports(args.positional());
    Result result;
    result.json.insert(QStringLiteral("message"), text);
    result.lines << text;
    return result;
}

} // namespace varnock::cli
