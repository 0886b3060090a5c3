#include "cli/handlers.h"

#include "ledger/amountadjustments.h"
#include "ledger/stockcount.h"
#include "ledger/supplierpayments.h"
#include "reports/ledgerreports.h"
#include "shell/accountsetsession.h"
#include "store/clock.h"
#include "vouchers/voucherbook.h"

#include <QJsonArray>

namespace varnock::cli {
namespace {

const QString CountCommand = QStringLiteral("KCPD");
const QString AdjustCommand = QStringLiteral("CLKVMT");
const QString PaymentCommand = QStringLiteral("GYSFK");

// CODE,COUNTED[,PRICE]
StockCount::Counted parseCountLine(const QString &text, int number)
{
    const QStringList parts = text.split(QLatin1Char(','));
    const QString where = QStringLiteral("--line %1 (%2)").arg(number).arg(text);
    if (parts.size() < 2 || parts.size() > 3)
        throw UsageError{where + QStringLiteral(": expected CODE,COUNTED[,PRICE]")};
    StockCount::Counted line;
    line.clbh = parts.at(0).trimmed();
    line.quantity = Arguments::readFigure(parts.at(1), Limits::Figure::Quantity, where);
    if (parts.size() == 3)
        line.unitPrice = Arguments::readFigure(parts.at(2), Limits::Figure::Price, where);
    return line;
}

QDate requiredDate(const Arguments &args, const QString &name)
{
    const auto date = args.date(name);
    if (!date)
        throw UsageError{QStringLiteral("missing --") + name};
    return *date;
}

// A date after today is taken only with --yes: the books cannot be closed past it.
QDate bookingDate(const Arguments &args)
{
    const QDate date = args.date(QStringLiteral("date")).value_or(Clock::today());
    if (const auto question = VoucherBook::laterDateQuestion(date))
        answerSteps({OperationStep::question(QStringLiteral("提示"), *question)},
                    args.has(QStringLiteral("yes")));
    return date;
}

SupplierPayments::Kind paymentKind(const Arguments &args)
{
    return args.has(QStringLiteral("write-offs")) ? SupplierPayments::Kind::WriteOff
                                                  : SupplierPayments::Kind::Payment;
}

Result balanceResult(const SupplierPayments::Balance &b, const QString &gysbh,
                     const Formats &formats)
{
    Result result;
    result.json = QJsonObject{{QStringLiteral("GYSBH"), gysbh},
                              {QStringLiteral("owed"), formats.amountText(b.owed)},
                              {QStringLiteral("paid"), formats.amountText(b.paid)},
                              {QStringLiteral("remaining"), formats.amountText(b.remaining())}};
    result.lines << QStringLiteral("%1\towed %2\tpaid %3\tremaining %4")
                        .arg(gysbh, formats.amountText(b.owed), formats.amountText(b.paid),
                             formats.amountText(b.remaining()));
    if (b.settled()) {
        result.json.insert(QStringLiteral("message"), SupplierPayments::SettledText);
        result.lines << SupplierPayments::SettledText;
    }
    return result;
}

Result paymentRecord(Context &ctx, const Arguments &args, SupplierPayments::Kind kind)
{
    ctx.authorize(PaymentCommand);
    AccountSetSession &set = ctx.accountSet();
    const QString gysbh = args.required(QStringLiteral("supplier")).trimmed();
    const QDate date = requiredDate(args, QStringLiteral("date"));
    const Decimal amount = args.requiredFigure(QStringLiteral("amount"), Limits::Figure::Amount);
    SupplierPayments payments(set.database());
    qint64 id = 0;
    ctx.perform(PaymentCommand, [&] {
        id = payments.record(kind, gysbh, date, amount,
                             args.value(QStringLiteral("cheque")).value_or(QString()),
                             args.value(QStringLiteral("note")).value_or(QString()));
    });
    Result result = balanceResult(payments.balance(gysbh), gysbh, set.formats());
    result.json.insert(QStringLiteral("ID"), id);
    result.lines.prepend(QString::number(id));
    return result;
}

} // namespace

Result countSave(Context &ctx, const Arguments &args)
{
    ctx.authorize(CountCommand);
    const QStringList texts = args.values(QStringLiteral("line"));
    if (texts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};
    QList<StockCount::Counted> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines << parseCountLine(texts.at(i), i + 1);
    const QDate date = bookingDate(args);
    AccountSetSession &set = ctx.accountSet();
    StockCount count(set.database(), set.mode(), set.formats());
    answerSteps(count.steps(date), args.has(QStringLiteral("yes")));
    QList<StockCount::Booked> booked;
    ctx.perform(CountCommand, [&] { booked = count.save(lines, date); });
    const Formats formats = set.formats();
    Result result;
    QJsonArray rows;
    for (const StockCount::Booked &b : std::as_const(booked)) {
        const QString pdsl = formats.quantityText(b.quantity);
        const QString pdje = formats.amountText(b.amount);
        rows.append(QJsonObject{{QStringLiteral("CLBH"), b.clbh},
                                {QStringLiteral("ZMSL"), formats.quantityText(b.book)},
                                {QStringLiteral("PDSL"), pdsl},
                                {QStringLiteral("PDJE"), pdje}});
        result.lines << QStringLiteral("%1\t%2\t%3").arg(b.clbh, pdsl, pdje);
    }
    result.json.insert(QStringLiteral("RQ"), date.toString(Qt::ISODate));
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result countList(Context &ctx, const Arguments &args)
{
    ctx.authorize(CountCommand);
    AccountSetSession &set = ctx.accountSet();
    StockCount::Filter filter;
    if (const auto code = args.value(QStringLiteral("material"))) {
        filter.by = StockCount::Filter::By::Code;
        filter.text = *code;
    }
    const Formats formats = set.formats();
    Result result;
    QJsonArray rows;
    for (const StockCount::Row &r : StockCount(set.database(), set.mode(), formats).rows(filter)) {
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

Result adjustAdd(Context &ctx, const Arguments &args)
{
    ctx.authorize(AdjustCommand);
    AccountSetSession &set = ctx.accountSet();
    const QString clbh = args.required(QStringLiteral("material")).trimmed();
    const QDate date = requiredDate(args, QStringLiteral("date"));
    const Decimal amount = args.requiredFigure(QStringLiteral("amount"), Limits::Figure::Amount);
    AmountAdjustments adjustments(set.database());
    qint64 id = 0;
    ctx.perform(AdjustCommand, [&] {
        id = adjustments
                 .add(date, args.value(QStringLiteral("project")).value_or(QString()),
                      {{clbh, amount, args.value(QStringLiteral("note")).value_or(QString())}})
                 .first();
    });
    Result result;
    result.json.insert(QStringLiteral("ID"), id);
    result.lines << QString::number(id);
    return result;
}

Result adjustDelete(Context &ctx, const Arguments &args)
{
    ctx.authorize(AdjustCommand);
    AccountSetSession &set = ctx.accountSet();
    const qint64 id = args.requiredInteger(QStringLiteral("id"));
    answerSteps(
        {OperationStep::question(QStringLiteral("提示"), QStringLiteral("您确定要删除该记录吗？"))},
        args.has(QStringLiteral("yes")));
    AmountAdjustments adjustments(set.database());
    ctx.perform(AdjustCommand, [&] { adjustments.remove(id); });
    Result result;
    result.json.insert(QStringLiteral("ID"), id);
    result.lines << QString::number(id);
    return result;
}

Result adjustList(Context &ctx, const Arguments &args)
{
    ctx.authorize(AdjustCommand);
    AccountSetSession &set = ctx.accountSet();
    AmountAdjustments::Filter filter;
    filter.from = args.date(QStringLiteral("from")).value_or(QDate());
    filter.to = args.date(QStringLiteral("to")).value_or(QDate());
    filter.clbh = args.value(QStringLiteral("material")).value_or(QString());
    filter.group = args.value(QStringLiteral("group")).value_or(QString());
    filter.bz = args.value(QStringLiteral("note")).value_or(QString());
    const Formats formats = set.formats();
    Result result;
    QJsonArray rows;
    for (const AmountAdjustments::Line &l : AmountAdjustments(set.database()).find(filter)) {
        const QString day = l.czrq.toString(Qt::ISODate);
        const QString je = formats.amountText(l.je);
        rows.append(QJsonObject{{QStringLiteral("ID"), l.id},
                                {QStringLiteral("CLBH"), l.clbh},
                                {QStringLiteral("CLMC"), l.clmc},
                                {QStringLiteral("CZRQ"), day},
                                {QStringLiteral("JE"), je},
                                {QStringLiteral("BZ"), l.bz},
                                {QStringLiteral("GCXM"), l.gcxm}});
        result.lines << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                            .arg(QString::number(l.id), l.clbh, l.clmc, day, je, l.bz, l.gcxm);
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result paymentAdd(Context &ctx, const Arguments &args)
{
    return paymentRecord(ctx, args, SupplierPayments::Kind::Payment);
}

Result paymentWriteOff(Context &ctx, const Arguments &args)
{
    return paymentRecord(ctx, args, SupplierPayments::Kind::WriteOff);
}

Result paymentBalance(Context &ctx, const Arguments &args)
{
    ctx.authorize(PaymentCommand);
    AccountSetSession &set = ctx.accountSet();
    const QString gysbh = args.required(QStringLiteral("supplier")).trimmed();
    return balanceResult(SupplierPayments(set.database()).balance(gysbh), gysbh, set.formats());
}

Result paymentList(Context &ctx, const Arguments &args)
{
    ctx.authorize(PaymentCommand);
    AccountSetSession &set = ctx.accountSet();
    SupplierPayments::Filter filter;
    filter.from = args.date(QStringLiteral("from")).value_or(QDate());
    filter.to = args.date(QStringLiteral("to")).value_or(QDate());
    filter.gysbh = args.value(QStringLiteral("supplier")).value_or(QString());
    filter.zph = args.value(QStringLiteral("cheque")).value_or(QString());
    filter.bz = args.value(QStringLiteral("note")).value_or(QString());
    const Formats formats = set.formats();
    Result result;
    QJsonArray rows;
    for (const SupplierPayments::Row &r :
         SupplierPayments(set.database()).rows(paymentKind(args), filter)) {
        const QString day = r.rq.toString(Qt::ISODate);
        const QString je = formats.amountText(r.je);
        rows.append(QJsonObject{{QStringLiteral("ID"), r.id},
                                {QStringLiteral("GYSBH"), r.gysbh},
                                {QStringLiteral("MC"), r.mc},
                                {QStringLiteral("RQ"), day},
                                {QStringLiteral("JE"), je},
                                {QStringLiteral("ZPH"), r.zph},
                                {QStringLiteral("BZ"), r.bz}});
        result.lines << QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                            .arg(QString::number(r.id), r.gysbh, r.mc, day, je, r.zph, r.bz);
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result reportArrears(Context &ctx, const Arguments &args)
{
    ctx.authorize(QStringLiteral("GYSQK"));
    AccountSetSession &set = ctx.accountSet();
    const ReportPeriod period{requiredDate(args, QStringLiteral("from")),
                              requiredDate(args, QStringLiteral("to"))};
    return tableResult(ctx, LedgerReports::arrears(set.database(), period), args);
}

} // namespace varnock::cli
