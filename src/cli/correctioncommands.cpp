#include "cli/handlers.h"

#include "ledger/bookswipe.h"
#include "ledger/cancelposting.h"
#include "ledger/reversal.h"
#include "shell/accountsetsession.h"
#include "shell/backups.h"
#include "store/clock.h"
#include "vouchers/storedvoucher.h"

namespace varnock::cli {
namespace {

Result reversed(const Reversal::Mirror &mirror, qint64 line, const QDate &date)
{
    Result result;
    result.json = QJsonObject{{QStringLiteral("ID"), line},
                              {QStringLiteral("mirrorID"), mirror.id},
                              {QStringLiteral("XTBH"), mirror.xtbh},
                              {QStringLiteral("CZRQ"), date.toString(Qt::ISODate)}};
    result.lines << QString::number(mirror.xtbh);
    return result;
}

} // namespace

Result reverseStockIn(Context &ctx, const Arguments &args)
{
    const QString command = QStringLiteral("RKCZ");
    ctx.authorize(command);
    const qint64 line = args.requiredInteger(QStringLiteral("line"));
    const QDate date = args.date(QStringLiteral("date")).value_or(Clock::today());
    AccountSetSession &set = ctx.accountSet();
    Reversal reversal(set.database(), set.mode(), set.formats());
    answerSteps(reversal.stockInSteps(line, date), args.has(QStringLiteral("yes")));
    Reversal::Mirror mirror;
    ctx.perform(command, [&] { mirror = reversal.reverseStockInLine(line, date); });
    return reversed(mirror, line, date);
}

Result reverseIssue(Context &ctx, const Arguments &args)
{
    const qint64 line = args.requiredInteger(QStringLiteral("line"));
    const QDate date = args.date(QStringLiteral("date")).value_or(Clock::today());
    AccountSetSession &set = ctx.accountSet();
    // The screen of the line's kind: requisitions and transfers out have their own command.
    const bool transfer = StoredVoucher::kindOfLine(set.database(), Posting::Family::Issue, line)
                              .value_or(QString()) == QLatin1String("2");
    const QString command = transfer ? QStringLiteral("DDBDCZ") : QStringLiteral("LLDCZ");
    ctx.authorize(command);
    Reversal reversal(set.database(), set.mode(), set.formats());
    answerSteps(reversal.issueSteps(line, date, reversal.issueRow(line)),
                args.has(QStringLiteral("yes")));
    Reversal::Mirror mirror;
    ctx.perform(command, [&] { mirror = reversal.reverseIssueLine(line, date); });
    return reversed(mirror, line, date);
}

Result cancelPosting(Context &ctx, const Arguments &args)
{
    const QString command = QStringLiteral("QXJZ");
    ctx.authorize(command);
    AccountSetSession &set = ctx.accountSet();
    CancelPosting cancel(set.database(), set.mode());
    answerSteps(cancel.steps(), args.has(QStringLiteral("yes")));
    int yjid = 0;
    ctx.perform(command, [&] { yjid = cancel.cancel(); });
    Result result;
    result.json.insert(QStringLiteral("YJID"), yjid);
    result.lines << QString::number(yjid);
    return result;
}

Result wipe(Context &ctx, const Arguments &args)
{
    const QString command = QStringLiteral("QXJZ");
    const int number = ctx.login().number;
    ctx.authorize(command);
    AccountSetSession &set = ctx.accountSet();
    BooksWipe books(set.database());
    const QString password = args.required(QStringLiteral("password"));
    books.checkPassword(number, password);
    answerSteps({BooksWipe::question()}, args.has(QStringLiteral("yes")));
    // The command's record goes into the copy: the copy shows who wiped the books.
    ctx.perform(command, [] {});
    const QString copy =
        Backups::timestampedPath(set.database(), QDateTime(Clock::today(), Clock::now()));
    books.wipe(number, password, copy);
    Result result;
    result.json.insert(QStringLiteral("snapshot"), copy);
    result.json.insert(QStringLiteral("message"), BooksWipe::finishedText(copy));
    result.lines << BooksWipe::finishedText(copy);
    return result;
}

} // namespace varnock::cli
