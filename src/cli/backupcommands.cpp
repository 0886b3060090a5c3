#include "cli/handlers.h"

#include "shell/accountsetrestore.h"
#include "shell/accountsetsession.h"
#include "shell/backuppieces.h"
#include "shell/backups.h"
#include "shell/operationlog.h"
#include "store/clock.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace varnock::cli {
namespace {

const QString BackupCommand = QStringLiteral("SJBF");

void record(Context &ctx, int operatorNumber, const QString &text)
{
    OperationLog(ctx.accountSet().database()).record(QString::number(operatorNumber), text);
}

// Nobody can put another medium in on the command line: a piece that is not there stops the
// command with the request it would have shown.
bool cannotAsk(const QString &text)
{
    throw Refusal(QStringLiteral("文件分割机"), text);
}

Result restored(Context &ctx, AccountSetRestore &restore, bool yes)
{
    answerSteps({AccountSetRestore::question()}, yes);
    const int number = ctx.login().number;
    const QString before =
        restore.replace(ctx.accountSet(), QDateTime(Clock::today(), Clock::now()));
    record(ctx, number, QStringLiteral("数据还原"));
    // The restored books have operators of their own: a later command logs in to them.
    ctx.forgetLogin();
    Result result;
    result.json.insert(QStringLiteral("before"), before);
    result.json.insert(QStringLiteral("message"), AccountSetRestore::finishedText(before));
    result.lines << AccountSetRestore::finishedText(before);
    return result;
}

} // namespace

Result backupTake(Context &ctx, const Arguments &args)
{
    ctx.authorize(BackupCommand);
    AccountSetSession &set = ctx.accountSet();
    record(ctx, ctx.login().number, QStringLiteral("数据备份"));
    const QString path = Backups::backUp(
        set.database(), args.value(QStringLiteral("folder")).value_or(QString()), Clock::today());
    Result result;
    result.json.insert(QStringLiteral("file"), path);
    result.json.insert(QStringLiteral("size"), QFileInfo(path).size());
    result.json.insert(QStringLiteral("message"), QStringLiteral("数据备份完毕！"));
    result.lines << path;
    return result;
}

Result backupList(Context &ctx, const Arguments &)
{
    ctx.authorize(BackupCommand);
    Result result;
    QJsonArray rows;
    for (const Backups::Copy &copy : Backups::list(ctx.accountSet().database())) {
        const QString taken = copy.taken.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        rows.append(QJsonObject{{QStringLiteral("file"), copy.path},
                                {QStringLiteral("kind"), Backups::kindName(copy.kind)},
                                {QStringLiteral("taken"), taken},
                                {QStringLiteral("size"), copy.size}});
        result.lines << QStringLiteral("%1\t%2\t%3\t%4")
                            .arg(taken, Backups::kindName(copy.kind))
                            .arg(copy.size)
                            .arg(copy.path);
    }
    result.json.insert(QStringLiteral("folder"), Backups::folder(ctx.accountSet().database()));
    result.json.insert(QStringLiteral("copies"), rows);
    return result;
}

Result backupSplit(Context &ctx, const Arguments &args)
{
    ctx.authorize(BackupCommand);
    const QString folder = args.required(QStringLiteral("folder"));
    AccountSetSession &set = ctx.accountSet();
    record(ctx, ctx.login().number, QStringLiteral("数据备份"));
    // Every piece goes into the one folder: there is no medium to change in between.
    const int count =
        BackupPieces::splitAccountSet(set.database(), folder, [](const QString &) { return true; });
    Result result;
    QJsonArray files;
    for (int k = 1; k <= count; ++k) {
        const QString piece = QDir(folder).absoluteFilePath(BackupPieces::pieceName(count, k));
        files.append(piece);
        result.lines << piece;
    }
    result.json.insert(QStringLiteral("pieces"), count);
    result.json.insert(QStringLiteral("files"), files);
    return result;
}

Result backupJoin(Context &ctx, const Arguments &args)
{
    ctx.authorize(BackupCommand);
    AccountSetRestore restore(ctx.accountSet().database());
    restore.stageJoined(args.required(QStringLiteral("folder")), cannotAsk);
    return restored(ctx, restore, args.has(QStringLiteral("yes")));
}

Result restoreFile(Context &ctx, const Arguments &args)
{
    ctx.authorize(BackupCommand);
    AccountSetRestore restore(ctx.accountSet().database());
    restore.stageFile(args.required(QStringLiteral("file")));
    return restored(ctx, restore, args.has(QStringLiteral("yes")));
}

} // namespace varnock::cli
