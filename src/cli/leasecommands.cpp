#include "cli/handlers.h"

#include "leasing/leasepayments.h"
#include "leasing/leasereturns.h"
#include "leasing/leases.h"
#include "leasing/rentcharge.h"
#include "shell/accountsetsession.h"
#include "vouchers/voucherbook.h"

#include <QJsonArray>

#include <algorithm>

namespace varnock::cli {
namespace {

// The menu commands whose rights and log records the leasing commands take.
const QString LeaseCommand = QStringLiteral("ZLYW");
const QString ReturnCommand = QStringLiteral("HZYW");
const QString PaymentCommand = QStringLiteral("ZLHK");

QDate requiredDate(const Arguments &args)
{
    const auto date = args.date(QStringLiteral("date"));
    if (!date)
        throw UsageError{QStringLiteral("missing --date")};
    return *date;
}

QStringList requiredLines(const Arguments &args)
{
    const QStringList texts = args.values(QStringLiteral("line"));
    if (texts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};
    return texts;
}

// CODE,QTY,RENT[,DEPOSIT]
LeaseLine parseLeaseLine(const QString &text, int number)
{
    const QStringList parts = text.split(QLatin1Char(','));
    const QString where = QStringLiteral("--line %1 (%2)").arg(number).arg(text);
    if (parts.size() < 3 || parts.size() > 4)
        throw UsageError{where + QStringLiteral(": expected CODE,QTY,RENT[,DEPOSIT]")};
    LeaseLine line;
    line.clbh = parts.at(0).trimmed();
    line.quantity = Arguments::readFigure(parts.at(1), Limits::Figure::Quantity, where);
    line.rent = Arguments::readFigure(parts.at(2), Limits::Figure::Price, where);
    if (parts.size() > 3)
        line.deposit = Arguments::readFigure(parts.at(3), Limits::Figure::Amount, where);
    return line;
}

QJsonObject leaseJson(const LeaseVoucher &v, const Formats &formats)
{
    QJsonArray lines;
    for (const LeaseLine &l : v.lines) {
        lines.append(QJsonObject{{QStringLiteral("ID"), l.id},
                                 {QStringLiteral("CLBH"), l.clbh},
                                 {QStringLiteral("CLMC"), l.clmc},
                                 {QStringLiteral("ZLSL"), formats.quantityText(l.quantity)},
                                 {QStringLiteral("DJ"), formats.amountText(l.rent)},
                                 {QStringLiteral("YAJIN"), formats.amountText(l.deposit)},
                                 {QStringLiteral("JE"), formats.amountText(l.amount)},
                                 {QStringLiteral("HZSL"), formats.quantityText(l.returned)}});
    }
    return {{QStringLiteral("DJBH"), v.xtbh},
            {QStringLiteral("ZLRQ"), VoucherBook::dateText(v.czrq)},
            {QStringLiteral("GYSBH"), v.gysbh},
            {QStringLiteral("LLDWBH"), v.lldwbh},
            {QStringLiteral("lines"), lines}};
}

} // namespace

Result leaseSave(Context &ctx, const Arguments &args)
{
    LeaseVoucher v;
    v.czrq = requiredDate(args);
    v.gysbh = args.required(QStringLiteral("supplier")).trimmed();
    v.lldwbh = args.required(QStringLiteral("unit")).trimmed();
    const QStringList texts = requiredLines(args);
    for (int i = 0; i < texts.size(); ++i)
        v.lines << parseLeaseLine(texts.at(i), i + 1);
    const auto number = args.integer(QStringLiteral("number"));

    AccountSetSession &set = ctx.accountSet();
    Leases leases(set.database(), set.formats());
    ctx.perform(LeaseCommand, [&] {
        if (!number) {
            v.xtbh = leases.saveNew(v);
            return;
        }
        // The lines replace the stored ones; each keeps the ID of the first stored line of its
        // material not taken yet, so that what was returned against it stays with it.
        const std::optional<LeaseVoucher> stored = leases.load(*number);
        if (!stored)
            throw Refusal(QStringLiteral("提示"), QStringLiteral("该租赁单据不存在！"));
        QList<LeaseLine> unused = stored->lines;
        for (LeaseLine &line : v.lines) {
            for (qsizetype i = 0; i < unused.size(); ++i) {
                if (unused.at(i).clbh.trimmed() == line.clbh) {
                    line.id = unused.takeAt(i).id;
                    break;
                }
            }
        }
        v.xtbh = *number;
        leases.saveEdit(v);
    });
    Result result;
    result.json = leaseJson(*leases.load(v.xtbh), set.formats());
    result.lines << QString::number(v.xtbh);
    return result;
}

Result leaseReturn(Context &ctx, const Arguments &args)
{
    const QDate date = requiredDate(args);
    const qint64 lease = args.requiredInteger(QStringLiteral("lease"));
    const QStringList texts = requiredLines(args);

    AccountSetSession &set = ctx.accountSet();
    LeaseReturns returns(set.database(), set.formats());
    qint64 djbh = 0;
    ctx.perform(ReturnCommand, [&] {
        std::optional<LeaseReturnVoucher> v = returns.draft(lease, date);
        if (!v)
            throw Refusal(QStringLiteral("提示"), QStringLiteral("该租赁单据不存在！"));
        // CODE,QTY: to the first line of the material with nothing typed yet, as the store
        // keeper types it in the grid.
        for (int i = 0; i < texts.size(); ++i) {
            const QStringList parts = texts.at(i).split(QLatin1Char(','));
            const QString where = QStringLiteral("--line %1 (%2)").arg(i + 1).arg(texts.at(i));
            if (parts.size() != 2)
                throw UsageError{where + QStringLiteral(": expected CODE,QTY")};
            const Decimal quantity =
                Arguments::readFigure(parts.at(1), Limits::Figure::Quantity, where);
            auto line = std::find_if(v->lines.begin(), v->lines.end(), [&](const auto &l) {
                return l.clbh.trimmed() == parts.at(0).trimmed() && !l.isReturned();
            });
            if (line == v->lines.end())
                throw UsageError{where + QStringLiteral(": lease %1 has no other line of %2")
                                             .arg(lease)
                                             .arg(parts.at(0).trimmed())};
            if (!returns.setQuantity(*line, quantity, v->rentDays()))
                throw Refusal(QStringLiteral("警告"), LeaseReturns::OverReturnText);
        }
        djbh = returns.saveNew(*v);
    });
    const LeaseReturnVoucher saved = *returns.load(djbh);
    QJsonArray lines;
    for (const LeaseReturnLine &l : saved.lines) {
        if (!l.isReturned())
            continue;
        lines.append(QJsonObject{{QStringLiteral("ZLID"), l.zlid},
                                 {QStringLiteral("CLBH"), l.clbh},
                                 {QStringLiteral("HZSL"), set.formats().quantityText(l.quantity)},
                                 {QStringLiteral("HZJE"), set.formats().amountText(l.amount)}});
    }
    Result result;
    result.json = {{QStringLiteral("DJBH"), djbh},
                   {QStringLiteral("ZLDJBH"), lease},
                   {QStringLiteral("HZRQ"), VoucherBook::dateText(date)},
                   {QStringLiteral("days"), saved.rentDays()},
                   {QStringLiteral("lines"), lines}};
    result.lines << QString::number(djbh);
    return result;
}

Result leasePay(Context &ctx, const Arguments &args)
{
    const QDate date = requiredDate(args);
    const QString supplier = args.required(QStringLiteral("supplier")).trimmed();
    const auto amount = args.figure(QStringLiteral("amount"), Limits::Figure::Amount);
    const QString remark = args.value(QStringLiteral("remark")).value_or(QString());

    AccountSetSession &set = ctx.accountSet();
    LeasePayments payments(set.database(), set.formats());
    qint64 id = 0;
    if (amount)
        ctx.perform(PaymentCommand, [&] { id = payments.pay(supplier, date, *amount, remark); });
    else
        ctx.authorize(PaymentCommand);
    const LeasePayments::Balance b = payments.balance(supplier, date);
    const Formats &f = set.formats();
    Result result;
    if (id != 0)
        result.json.insert(QStringLiteral("ID"), id);
    result.json.insert(QStringLiteral("owed"), f.amountText(b.owed));
    result.json.insert(QStringLiteral("paid"), f.amountText(b.paid));
    result.json.insert(QStringLiteral("remaining"), f.amountText(b.remaining()));
    result.lines << QStringLiteral("共拖欠该供应商:%1\t已付该供应商:%2\t还剩款项:%3")
                        .arg(f.amountText(b.owed), f.amountText(b.paid),
                             f.amountText(b.remaining()));
    return result;
}

Result leaseList(Context &ctx, const Arguments &args)
{
    LeaseConditions c;
    c.gysbh = args.value(QStringLiteral("supplier")).value_or(QString());
    c.lldwbh = args.value(QStringLiteral("unit")).value_or(QString());
    c.clbh = args.value(QStringLiteral("material")).value_or(QString());
    c.from = args.date(QStringLiteral("from")).value_or(QDate(1900, 1, 1));
    c.to = args.date(QStringLiteral("to")).value_or(QDate(9999, 12, 31));
    const bool ofReturns = args.has(QStringLiteral("returns"));
    const bool ofPayments = args.has(QStringLiteral("payments"));
    if (ofReturns && ofPayments)
        throw UsageError{QStringLiteral("give --returns or --payments, not both")};

    AccountSetSession &set = ctx.accountSet();
    Database &db = set.database();
    Result result;
    QJsonArray rows;
    const auto add = [&](const QJsonObject &row, const QStringList &cells) {
        rows.append(row);
        result.lines << cells.join(QLatin1Char('\t'));
    };
    if (ofPayments) {
        ctx.authorize(PaymentCommand);
        LeasePayments::Conditions pc;
        pc.gysbh = c.gysbh;
        pc.bz = args.value(QStringLiteral("remark")).value_or(QString());
        pc.from = c.from;
        pc.to = c.to;
        for (const LeasePayments::Payment &p : LeasePayments(db, set.formats()).list(pc)) {
            const QString day = VoucherBook::dateText(p.hzrq);
            const QString amount = set.formats().amountText(p.hzje);
            add({{QStringLiteral("ID"), p.id},
                 {QStringLiteral("GYSBH"), p.gysbh},
                 {QStringLiteral("MC"), p.gysmc},
                 {QStringLiteral("HZRQ"), day},
                 {QStringLiteral("HZJE"), amount},
                 {QStringLiteral("BZ"), p.bz}},
                {QString::number(p.id), p.gysbh, p.gysmc, day, amount, p.bz});
        }
    } else if (ofReturns) {
        ctx.authorize(ReturnCommand);
        for (const LeaseReturnListRow &r : LeaseReturns(db, set.formats()).find(c)) {
            const QString day = VoucherBook::dateText(r.hzrq);
            add({{QStringLiteral("DJBH"), r.xtbh},
                 {QStringLiteral("HZRQ"), day},
                 {QStringLiteral("ZLDJBH"), r.zldjbh},
                 {QStringLiteral("GYSBH"), r.gysbh},
                 {QStringLiteral("GYSMC"), r.gysmc},
                 {QStringLiteral("LLDWBH"), r.lldwbh},
                 {QStringLiteral("LLDWMC"), r.lldwmc}},
                {QString::number(r.xtbh), day, QString::number(r.zldjbh), r.gysbh, r.gysmc,
                 r.lldwbh, r.lldwmc});
        }
    } else {
        ctx.authorize(LeaseCommand);
        for (const LeaseListRow &r : Leases(db, set.formats()).find(c)) {
            const QString day = VoucherBook::dateText(r.zlrq);
            add({{QStringLiteral("DJBH"), r.xtbh},
                 {QStringLiteral("ZLRQ"), day},
                 {QStringLiteral("GYSBH"), r.gysbh},
                 {QStringLiteral("GYSMC"), r.gysmc},
                 {QStringLiteral("LLDWBH"), r.lldwbh},
                 {QStringLiteral("LLDWMC"), r.lldwmc}},
                {QString::number(r.xtbh), day, r.gysbh, r.gysmc, r.lldwbh, r.lldwmc});
        }
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result leaseReport(Context &ctx, const Arguments &args)
{
    const auto from = args.date(QStringLiteral("from"));
    const auto to = args.date(QStringLiteral("to"));
    if (!from || !to)
        throw UsageError{QStringLiteral("missing --from or --to")};
    ctx.authorize(QStringLiteral("zlb"));
    return tableResult(ctx, RentCharge(ctx.accountSet().database()).build({*from, *to}), args);
}

} // namespace varnock::cli
