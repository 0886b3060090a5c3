#include "cli/handlers.h"

#include "ledger/directdeliveries.h"
#include "ledger/posting.h"
#include "master/materiallookup.h"
#include "plans/plancheck.h"
#include "print/paper/pdfoutput.h"
#include "print/voucherslip.h"
#include "shell/accountsetsession.h"
#include "store/clock.h"
#include "vouchers/directvouchers.h"
#include "vouchers/issuereturns.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"
#include "vouchers/storedvoucher.h"
#include "vouchers/voucherbook.h"

#include <QJsonArray>

#include <algorithm>

namespace varnock::cli {
namespace {

const StockInKind &stockInKind(const QString &zl)
{
    static const QList<StockInKind> kinds = StockInKind::all();
    for (const StockInKind &k : kinds) {
        if (k.zl == zl)
            return k;
    }
    QStringList names;
    for (const StockInKind &k : kinds)
        names << k.zl;
    throw UsageError{QStringLiteral("--kind: expected %1, not %2").arg(names.join('|'), zl)};
}

// The menu command that opens a screen: its right and its log text are the command line's.
QString menuCommandOf(const QString &screen, int issueKind = 0)
{
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (c.screen == screen && (issueKind == 0 || c.issueKind == issueKind))
            return c.name;
    }
    throw StoreError(QStringLiteral("no menu command opens %1").arg(screen));
}

// CODE,PRICE,QTY[,AMOUNT[,PAID]]
StockInLine parseStockInLine(const QString &text, int number, const Formats &formats)
{
    const QStringList parts = text.split(QLatin1Char(','));
    const QString where = QStringLiteral("--line %1 (%2)").arg(number).arg(text);
    if (parts.size() < 3 || parts.size() > 5)
        throw UsageError{where + QStringLiteral(": expected CODE,PRICE,QTY[,AMOUNT[,PAID]]")};
    const auto figure = [&](int i, Limits::Figure kind) {
        return Arguments::readFigure(parts.at(i), kind, where);
    };
    StockInLine line;
    line.clbh = parts.at(0).trimmed();
    line.price = figure(1, Limits::Figure::Price);
    line.quantity = figure(2, Limits::Figure::Quantity);
    // As the grid fills it while typing: price × quantity.
    line.amount = parts.size() > 3 && !parts.at(3).trimmed().isEmpty()
                      ? figure(3, Limits::Figure::Amount)
                      : formats.roundAmount(line.price * line.quantity);
    line.paid = parts.size() > 4 ? figure(4, Limits::Figure::Amount) : Decimal();
    return line;
}

// CODE,QTY: a line of a voucher whose prices come from the books.
std::pair<QString, Decimal> parseQuantityLine(const QString &text, int number)
{
    const QStringList parts = text.split(QLatin1Char(','));
    const QString where = QStringLiteral("--line %1 (%2)").arg(number).arg(text);
    if (parts.size() != 2)
        throw UsageError{where + QStringLiteral(": expected CODE,QTY")};
    return {parts.at(0).trimmed(),
            Arguments::readFigure(parts.at(1), Limits::Figure::Quantity, where)};
}

QList<std::pair<QString, Decimal>> quantityLines(const Arguments &args)
{
    const QStringList texts = args.values(QStringLiteral("line"));
    if (texts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};
    QList<std::pair<QString, Decimal>> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines << parseQuantityLine(texts.at(i), i + 1);
    return lines;
}

QString issueKind(const Arguments &args)
{
    const QString kind = args.required(QStringLiteral("kind")).trimmed();
    if (kind != IssueVouchers::Requisition && kind != IssueVouchers::TransferOut)
        throw UsageError{QStringLiteral("--kind: expected 1|2, not %1").arg(kind)};
    return kind;
}

// The voucher's date. One after today is taken only with --yes, as the screen asks first:
// the books cannot be closed past it.
QDate voucherDate(const Arguments &args)
{
    const auto date = args.date(QStringLiteral("date"));
    if (!date)
        throw UsageError{QStringLiteral("missing --date")};
    const auto question = VoucherBook::laterDateQuestion(*date);
    if (question && !args.has(QStringLiteral("yes")))
        throw Declined{QStringLiteral("提示"), *question};
    return *date;
}

// The lookups offer only materials; a typed code must name one too. The materials of every
// line are read together; the first line whose code names none is refused.
QList<MaterialLookup::Row> materials(Database &db, const QStringList &codes)
{
    const QHash<QString, MaterialLookup::Row> found = MaterialLookup(db).find(codes);
    QList<MaterialLookup::Row> rows;
    for (const QString &clbh : codes) {
        const auto m = found.constFind(clbh);
        if (m == found.cend())
            throw Refusal(QStringLiteral("警告"), QStringLiteral("材料编号") + clbh +
                                                      QStringLiteral("不存在，请重新选择！"));
        rows.append(*m);
    }
    return rows;
}

// Stock-in lines take their material's name, specification, unit and planned price.
void describeMaterials(Database &db, QList<StockInLine> &lines)
{
    QStringList codes;
    for (const StockInLine &line : std::as_const(lines))
        codes << line.clbh;
    const QList<MaterialLookup::Row> found = materials(db, codes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        lines[i].clmc = found.at(i).clmc;
        lines[i].clgg = found.at(i).clgg;
        lines[i].jzdw = found.at(i).jzdw;
        lines[i].jhdj = found.at(i).jhdj;
    }
}

struct Family
{
    Posting::Family family;
    QStringList kinds;
    // Posting screen per kind (issue families: kind 1 and kind 2 have their own commands).
    QString screen;
    bool byIssueKind = false;
    // The entry screen of the family (of its first kind).
    QString entryScreen;
};

Family familyOf(const QString &name)
{
    if (name == QLatin1String("stock-in")) {
        QStringList kinds;
        for (const StockInKind &k : StockInKind::all())
            kinds << k.zl;
        return {Posting::Family::StockIn, kinds, QStringLiteral("FrmRkdz"), false,
                QStringLiteral("FrmCgrkd")};
    }
    if (name == QLatin1String("stock-in-return"))
        return {Posting::Family::StockInReturn,
                {QStringLiteral("采购退货"), QStringLiteral("调拨退货"), QStringLiteral("暂估退货"),
                 QStringLiteral("甲供退货")},
                QStringLiteral("FrmThdz"),
                false,
                QStringLiteral("FrmCgthd")};
    if (name == QLatin1String("issue"))
        return {Posting::Family::Issue,
                {QStringLiteral("1"), QStringLiteral("2")},
                QStringLiteral("FormLLDDZ"),
                true,
                QStringLiteral("FormLLDTX")};
    if (name == QLatin1String("issue-return"))
        return {Posting::Family::IssueReturn,
                {QStringLiteral("1"), QStringLiteral("2")},
                QStringLiteral("FormLLTHDDZ"),
                true,
                QStringLiteral("FormLLTHDTX")};
    throw UsageError{
        QStringLiteral("expected stock-in|stock-in-return|issue|issue-return, not %1").arg(name)};
}

const StockInReturnKind &returnKind(const QString &zl)
{
    static const QList<StockInReturnKind> kinds = StockInReturnKind::all();
    QStringList names;
    for (const StockInReturnKind &k : kinds) {
        if (k.zl == zl)
            return k;
        names << k.zl;
    }
    throw UsageError{QStringLiteral("--kind: expected %1, not %2").arg(names.join('|'), zl)};
}

[[noreturn]] void refuseMissingMaterial(const QString &clbh)
{
    throw Refusal(QStringLiteral("提示窗口"),
                  QStringLiteral("该单据中没有材料") + clbh + QStringLiteral("可退！"));
}

// The family named by the command's first word.
Family familyArgument(const Arguments &args)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("missing stock-in|stock-in-return|issue|issue-return")};
    return familyOf(args.positional().first());
}

// Stores a new voucher under the document number typed with --document, else under one
// drawn as it is stored.
template <typename Vouchers>
qint64 saveNumbered(Vouchers &vouchers, typename Vouchers::Voucher &v, const Arguments &args)
{
    if (const auto document = args.value(QStringLiteral("document"))) {
        // The number the voucher is stored under, which the answer reports: a typed one that
        // looks drawn and is taken is drawn again.
        v.ysdjh = vouchers.numberOnSaving(*document);
        return vouchers.saveNew(v);
    }
    return vouchers.saveNewWithDrawnNumber(v);
}

} // namespace

Result stockInReturnSave(Context &ctx, const Arguments &args)
{
    const StockInReturnKind &kind = returnKind(args.required(QStringLiteral("kind")).trimmed());
    const QDate date = voucherDate(args);
    const qint64 stockIn = args.requiredInteger(QStringLiteral("voucher"));
    const auto lines = quantityLines(args);

    AccountSetSession &set = ctx.accountSet();
    StockInReturns returns(set.database(), kind.stockIn(), set.mode(), set.formats());
    qint64 xtbh = 0;
    StockInReturnVoucher v;
    ctx.perform(menuCommandOf(kind.screen), [&] {
        returns.checkCanOpen();
        v = returns.draft(stockIn, date);
        // Each quantity goes to the first line of its material that has none yet, as the
        // store keeper would type it.
        for (const auto &[clbh, quantity] : lines) {
            auto it = std::find_if(v.lines.begin(), v.lines.end(), [&](const auto &line) {
                return line.clbh == clbh && !line.isReturned();
            });
            if (it == v.lines.end())
                refuseMissingMaterial(clbh);
            it->quantity = quantity;
            it->amount = returns.amountOf(quantity, it->price);
        }
        xtbh = returns.saveNew(v);
    });
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("THDJH"), v.thdjh);
    result.lines << QString::number(xtbh);
    return result;
}

Result issueReturnSave(Context &ctx, const Arguments &args)
{
    const QString kind = issueKind(args);
    const QDate date = voucherDate(args);
    const qint64 issue = args.requiredInteger(QStringLiteral("voucher"));
    const auto lines = quantityLines(args);

    AccountSetSession &set = ctx.accountSet();
    IssueReturns returns(set.database(), kind, set.mode(), set.formats());
    qint64 xtbh = 0;
    IssueReturnVoucher v;
    ctx.perform(menuCommandOf(QStringLiteral("FormLLTHDTX"), kind.toInt()), [&] {
        returns.checkCanOpen();
        v = returns.draft(issue, date);
        for (const auto &[clbh, quantity] : lines) {
            if (!returns.setQuantityOf(v, clbh, quantity))
                refuseMissingMaterial(clbh);
        }
        xtbh = returns.saveNew(v);
    });
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("THDJH"), v.thdjh);
    result.lines << QString::number(xtbh);
    return result;
}

Result stockInSave(Context &ctx, const Arguments &args)
{
    const StockInKind &kind = stockInKind(args.required(QStringLiteral("kind")));
    StockInVoucher v;
    v.czrq = voucherDate(args);
    v.gysbh = args.required(QStringLiteral("supplier")).trimmed();
    v.fpbh = args.value(QStringLiteral("invoice")).value_or(QString());
    v.zph = args.value(QStringLiteral("cheque")).value_or(QString());
    const QStringList lineTexts = args.values(QStringLiteral("line"));
    if (lineTexts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};

    AccountSetSession &set = ctx.accountSet();
    const Formats formats = set.formats();
    for (int i = 0; i < lineTexts.size(); ++i)
        v.lines << parseStockInLine(lineTexts.at(i), i + 1, formats);

    qint64 xtbh = 0;
    StockInVouchers vouchers(set.database(), kind, set.mode(), formats);
    ctx.perform(menuCommandOf(kind.screen), [&] {
        vouchers.checkCanOpen();
        describeMaterials(set.database(), v.lines);
        xtbh = saveNumbered(vouchers, v, args);
    });
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("YSDJH"), v.ysdjh);
    result.lines << QString::number(xtbh);
    return result;
}

Result issueSave(Context &ctx, const Arguments &args)
{
    const QString kind = issueKind(args);
    IssueVoucher v;
    v.czrq = voucherDate(args);
    v.lldwbh = args.required(QStringLiteral("unit")).trimmed();
    v.sgbw = args.value(QStringLiteral("site")).value_or(QString());
    v.dh = args.value(QStringLiteral("building")).value_or(QString());
    const auto lines = quantityLines(args);

    AccountSetSession &set = ctx.accountSet();
    IssueVouchers vouchers(set.database(), kind, set.mode(), set.formats());
    qint64 xtbh = 0;
    ctx.perform(menuCommandOf(QStringLiteral("FormLLDTX"), kind.toInt()), [&] {
        vouchers.checkCanOpen();
        QStringList codes;
        for (const auto &line : lines)
            codes << line.first;
        const QList<MaterialLookup::Row> found = materials(set.database(), codes);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const MaterialLookup::Row &m = found.at(i);
            IssueLine line;
            line.clbh = m.clbh;
            line.clmc = m.clmc;
            line.clgg = m.clgg;
            line.jzdw = m.jzdw;
            line.quantity = lines.at(i).second;
            v.lines << line;
        }
        // Priced as the grid prices a line when its material is picked.
        vouchers.price(v);
        xtbh = saveNumbered(vouchers, v, args);
    });
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("YSDJH"), v.ysdjh);
    result.lines << QString::number(xtbh);
    // Saved all the same: passing the plan is a warning, never a refusal.
    const QString overPlan = PlanCheck::warning(set.database(), xtbh, set.formats());
    if (!overPlan.isEmpty()) {
        result.json.insert(QStringLiteral("warning"), overPlan);
        ctx.err << overPlan << '\n';
        ctx.err.flush();
    }
    return result;
}

Result stockInAppend(Context &ctx, const Arguments &args)
{
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    const qint64 lineId = args.requiredInteger(QStringLiteral("line-id"));
    const auto price = args.figure(QStringLiteral("price"), Limits::Figure::Price);
    const auto quantity = args.figure(QStringLiteral("quantity"), Limits::Figure::Quantity);
    const auto amount = args.figure(QStringLiteral("amount"), Limits::Figure::Amount);

    AccountSetSession &set = ctx.accountSet();
    const StockInKind kind = StockInKind::of(StockInKind::Provisional);
    StockInVouchers vouchers(set.database(), kind, set.mode(), set.formats());
    const QString command = menuCommandOf(kind.screen);
    ctx.authorize(command);
    vouchers.checkAppend(lineId);
    auto v = vouchers.load(xtbh);
    if (!v)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该单据不存在，可能已被删除！"));
    const auto line = std::find_if(v->lines.begin(), v->lines.end(),
                                   [&](const StockInLine &l) { return l.id == lineId; });
    if (line == v->lines.end())
        throw UsageError{
            QStringLiteral("--line-id: voucher %1 has no line %2").arg(xtbh).arg(lineId)};
    // The figures as the store keeper corrects them in the grid before appending.
    if (price)
        line->price = *price;
    if (quantity)
        line->quantity = *quantity;
    line->amount =
        amount ? *amount
               : (price || quantity ? set.formats().roundAmount(line->price * line->quantity)
                                    : line->amount);
    if (const auto invoice = args.value(QStringLiteral("invoice")))
        v->fpbh = *invoice;
    if (!args.has(QStringLiteral("yes")))
        throw Declined{QStringLiteral("提示"),
                       QStringLiteral("暂估材料原始资料将被冲掉,现时追加将被入帐!"
                                      "您确定要进行此操作吗?")};
    qint64 appended = 0;
    ctx.perform(command, [&] { appended = vouchers.append(*v, *line); });
    Result result;
    result.json.insert(QStringLiteral("XTBH"), appended);
    result.lines << QString::number(appended);
    return result;
}

Result post(Context &ctx, const Arguments &args)
{
    const Family f = familyArgument(args);
    const auto voucher = args.integer(QStringLiteral("voucher"));
    const bool all = args.has(QStringLiteral("all"));
    if (voucher.has_value() == all)
        throw UsageError{QStringLiteral("give either --voucher XTBH or --all")};
    QStringList kinds = f.kinds;
    if (const auto k = args.value(QStringLiteral("kind"))) {
        if (!kinds.contains(*k))
            throw UsageError{
                QStringLiteral("--kind: expected %1, not %2").arg(kinds.join('|'), *k)};
        kinds = {*k};
    }

    AccountSetSession &set = ctx.accountSet();
    Posting posting(set.database(), set.mode(), set.formats());
    const auto commandFor = [&](const QString &kind) {
        return menuCommandOf(f.screen, f.byIssueKind ? kind.toInt() : 0);
    };
    Result result;
    QJsonArray rows;
    if (voucher) {
        // The kind the voucher is listed under; a voucher listed under none gets the
        // posting's own refusal (gone, already posted).
        QString kind = kinds.first();
        const QStringList listed = posting.unpostedKinds(f.family, *voucher);
        for (const QString &k : kinds) {
            if (listed.contains(k))
                kind = k;
        }
        ctx.perform(commandFor(kind), [&] { posting.post(f.family, kind, *voucher); });
        rows.append(QJsonObject{{QStringLiteral("XTBH"), *voucher},
                                {QStringLiteral("ZL"), kind},
                                {QStringLiteral("posted"), true}});
        result.lines << QString::number(*voucher);
    } else {
        QStringList refused;
        // One posting screen serves several kinds: one log record per screen, as when it is
        // opened once and its kinds are posted one after another.
        QList<std::pair<QString, QStringList>> screens;
        for (const QString &kind : kinds) {
            const QString command = commandFor(kind);
            if (screens.isEmpty() || screens.last().first != command)
                screens.append({command, {}});
            screens.last().second << kind;
        }
        for (const auto &[command, screenKinds] : screens) {
            QList<std::pair<QString, Posting::Outcome>> outcomes;
            ctx.perform(command, [&] {
                for (const QString &kind : screenKinds) {
                    for (const Posting::Outcome &o : posting.postAll(f.family, kind))
                        outcomes.append({kind, o});
                }
            });
            for (const auto &[kind, o] : outcomes) {
                QJsonObject row{{QStringLiteral("XTBH"), o.xtbh},
                                {QStringLiteral("ZL"), kind},
                                {QStringLiteral("posted"), o.posted}};
                if (o.posted) {
                    result.lines << QString::number(o.xtbh);
                } else {
                    row.insert(QStringLiteral("message"), o.text);
                    refused << QString::number(o.xtbh) + QStringLiteral(": ") + o.text;
                }
                rows.append(row);
            }
        }
        // Post all goes on past a refused voucher, as the screen does; the exit code tells.
        if (!refused.isEmpty()) {
            result.exitCode = 1;
            result.errorText = refused.join(QLatin1Char('\n'));
        }
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result voucherDelete(Context &ctx, const Arguments &args)
{
    const Family f = familyArgument(args);
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    AccountSetSession &set = ctx.accountSet();
    Database &db = set.database();
    const auto stored = StoredVoucher::load(db, f.family, xtbh);
    if (!stored)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该单据不存在，可能已被删除！"));
    QString zl;
    for (int i = 0; i < stored->header.size(); ++i) {
        if (stored->header.at(i).name == QLatin1String("ZL"))
            zl = stored->headerValues.at(i).toString();
    }
    // Deleted on the voucher's own entry screen: its right and its log record.
    QString command;
    std::function<void()> remove;
    const int mode = set.mode();
    const Formats formats = set.formats();
    switch (f.family) {
    case Posting::Family::StockIn:
        command = menuCommandOf(stockInKind(zl).screen);
        remove = [&] { StockInVouchers(db, stockInKind(zl), mode, formats).remove(xtbh); };
        break;
    case Posting::Family::StockInReturn:
        command = menuCommandOf(returnKind(zl).screen);
        remove = [&] { StockInReturns(db, returnKind(zl).stockIn(), mode, formats).remove(xtbh); };
        break;
    case Posting::Family::Issue:
        command = menuCommandOf(QStringLiteral("FormLLDTX"), zl.toInt());
        remove = [&] { IssueVouchers(db, zl, mode, formats).remove(xtbh); };
        break;
    case Posting::Family::IssueReturn:
        command = menuCommandOf(QStringLiteral("FormLLTHDTX"), zl.toInt());
        remove = [&] { IssueReturns(db, zl, mode, formats).remove(xtbh); };
        break;
    }
    ctx.authorize(command);
    if (!args.has(QStringLiteral("yes")))
        throw Declined{QStringLiteral("提示"), QStringLiteral("您确定要删除该票据吗？")};
    ctx.perform(command, remove);
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("ZL"), zl);
    result.lines << QString::number(xtbh);
    return result;
}

Result voucherDeleteLine(Context &ctx, const Arguments &args)
{
    const Family f = familyArgument(args);
    const qint64 lineId = args.requiredInteger(QStringLiteral("line"));
    AccountSetSession &set = ctx.accountSet();
    Posting posting(set.database(), set.mode(), set.formats());
    const auto kind = StoredVoucher::kindOfLine(set.database(), f.family, lineId);
    // Deleted on the posting screen of the line's kind; a line that is gone gets the
    // posting's own refusal.
    const QString command = menuCommandOf(f.screen, f.byIssueKind && kind ? kind->toInt() : 0);
    ctx.authorize(command);
    if (kind && !args.has(QStringLiteral("yes"))) {
        const Posting::Question q = Posting::deleteQuestion(f.family, 1);
        throw Declined{q.title, q.text};
    }
    ctx.perform(command, [&] { posting.deleteLine(f.family, lineId); });
    Result result;
    result.json.insert(QStringLiteral("ID"), lineId);
    result.lines << QString::number(lineId);
    return result;
}

Result printSlip(Context &ctx, const Arguments &args)
{
    const Family f = familyArgument(args);
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    const QString pdf = args.required(QStringLiteral("pdf"));
    requirePaper();
    AccountSetSession &set = ctx.accountSet();
    // Printed by whoever may open the family's entry screen.
    ctx.authorize(menuCommandOf(f.entryScreen, f.byIssueKind ? 1 : 0));
    const Slip slip =
        VoucherSlips(set.database(), set.mode(), set.formats(), SlipCaptions::read(ctx.folder()))
            .fill(f.family, xtbh);
    PdfOutput::writeSlip(pdf, slip, set.formats());
    return fileResult(pdf, QStringLiteral("pages"), int(slip.pages.size()));
}

Result voucherShow(Context &ctx, const Arguments &args)
{
    const Family f = familyArgument(args);
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    AccountSetSession &set = ctx.accountSet();
    // Shown to whoever may open the family's entry screen.
    ctx.authorize(menuCommandOf(f.entryScreen, f.byIssueKind ? 1 : 0));
    const auto v = StoredVoucher::load(set.database(), f.family, xtbh);
    if (!v)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该单据不存在，可能已被删除！"));

    const Formats formats = set.formats();
    const auto text = [&](const StoredVoucher::Column &c, const QVariant &value) -> QJsonValue {
        switch (c.kind) {
        case StoredVoucher::Kind::Integer:
            return value.toLongLong();
        case StoredVoucher::Kind::Flag:
            return value.toLongLong() != 0;
        case StoredVoucher::Kind::Quantity:
            return formats.quantityText(Decimal::fromVariant(value));
        case StoredVoucher::Kind::Amount:
            return formats.amountText(Decimal::fromVariant(value));
        case StoredVoucher::Kind::Text:
            break;
        }
        return value.toString();
    };
    const auto plain = [](const QJsonValue &value) {
        if (value.isBool())
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        if (value.isDouble())
            return QString::number(value.toInteger());
        return value.toString();
    };

    Result result;
    QStringList fields;
    for (int i = 0; i < v->header.size(); ++i) {
        const QJsonValue value = text(v->header.at(i), v->headerValues.at(i));
        result.json.insert(v->header.at(i).name, value);
        fields << plain(value);
    }
    bool posted = true;
    QJsonArray lines;
    QStringList lineTexts;
    for (const QVariantList &line : v->lines) {
        QJsonObject row;
        QStringList cells;
        for (int i = 0; i < v->columns.size(); ++i) {
            const QJsonValue value = text(v->columns.at(i), line.at(i));
            row.insert(v->columns.at(i).name, value);
            cells << plain(value);
        }
        posted = posted && row.value(QStringLiteral("JZBZ")).toBool();
        lines.append(row);
        lineTexts << cells.join(QLatin1Char('\t'));
    }
    // The voucher counts as posted when every line is.
    result.json.insert(QStringLiteral("JZBZ"), posted);
    fields << (posted ? QStringLiteral("posted") : QStringLiteral("unposted"));
    result.json.insert(QStringLiteral("lines"), lines);
    result.lines << fields.join(QLatin1Char('\t')) << lineTexts;
    return result;
}

Result directSave(Context &ctx, const Arguments &args)
{
    DirectVoucher v;
    v.czrq = voucherDate(args);
    v.gysbh = args.required(QStringLiteral("supplier")).trimmed();
    v.lldwbh = args.required(QStringLiteral("unit")).trimmed();
    v.sgbw = args.value(QStringLiteral("site")).value_or(QString());
    v.dh = args.value(QStringLiteral("building")).value_or(QString());
    v.fpbh = args.value(QStringLiteral("invoice")).value_or(QString());
    v.zph = args.value(QStringLiteral("cheque")).value_or(QString());
    const QStringList lineTexts = args.values(QStringLiteral("line"));
    if (lineTexts.isEmpty())
        throw UsageError{QStringLiteral("missing --line")};

    AccountSetSession &set = ctx.accountSet();
    const Formats formats = set.formats();
    for (int i = 0; i < lineTexts.size(); ++i)
        v.lines << parseStockInLine(lineTexts.at(i), i + 1, formats);

    qint64 xtbh = 0;
    DirectVouchers vouchers(set.database(), set.mode(), formats);
    ctx.perform(menuCommandOf(QStringLiteral("FrmZjzc")), [&] {
        vouchers.checkCanOpen();
        describeMaterials(set.database(), v.lines);
        v.ysdjh = args.value(QStringLiteral("document")).value_or(vouchers.proposeDocumentNumber());
        v.issueYsdjh = args.value(QStringLiteral("issue-document"))
                           .value_or(vouchers.proposeIssueDocumentNumber());
        xtbh = vouchers.saveNew(v);
    });
    const DirectVoucher saved = vouchers.load(xtbh).value_or(v);
    Result result;
    result.json.insert(QStringLiteral("XTBH"), xtbh);
    result.json.insert(QStringLiteral("CKBH"), saved.issueXtbh);
    result.json.insert(QStringLiteral("YSDJH"), v.ysdjh);
    result.json.insert(QStringLiteral("CKDJH"), v.issueYsdjh);
    result.lines << QString::number(xtbh);
    return result;
}

Result postDirect(Context &ctx, const Arguments &args)
{
    const auto voucher = args.integer(QStringLiteral("voucher"));
    const bool all = args.has(QStringLiteral("all"));
    if (voucher.has_value() == all)
        throw UsageError{QStringLiteral("give either --voucher XTBH or --all")};
    AccountSetSession &set = ctx.accountSet();
    DirectDeliveries deliveries(set.database(), set.mode(), set.formats());
    const QString command = menuCommandOf(QStringLiteral("FrmZjzcdz"));
    Result result;
    QJsonArray rows;
    QList<Posting::Outcome> outcomes;
    ctx.perform(command, [&] {
        if (voucher) {
            deliveries.post(*voucher);
            outcomes.append({*voucher, true, {}, {}, Refusal::Icon::Exclamation});
        } else {
            outcomes = deliveries.postAll();
        }
    });
    QStringList refused;
    for (const Posting::Outcome &o : std::as_const(outcomes)) {
        QJsonObject row{{QStringLiteral("XTBH"), o.xtbh}, {QStringLiteral("posted"), o.posted}};
        if (o.posted) {
            result.lines << QString::number(o.xtbh);
        } else {
            row.insert(QStringLiteral("message"), o.text);
            refused << QString::number(o.xtbh) + QStringLiteral(": ") + o.text;
        }
        rows.append(row);
    }
    if (!refused.isEmpty()) {
        result.exitCode = 1;
        result.errorText = refused.join(QLatin1Char('\n'));
    }
    result.json.insert(QStringLiteral("rows"), rows);
    return result;
}

Result reverseDirect(Context &ctx, const Arguments &args)
{
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    const QDate date = args.date(QStringLiteral("date")).value_or(Clock::today());
    AccountSetSession &set = ctx.accountSet();
    const QString command = menuCommandOf(QStringLiteral("Fzjzccz"));
    ctx.authorize(command);
    DirectDeliveries deliveries(set.database(), set.mode(), set.formats());
    answerSteps(deliveries.reversalSteps(xtbh, date), args.has(QStringLiteral("yes")));
    DirectDeliveries::Mirror mirror;
    ctx.perform(command, [&] { mirror = deliveries.reverse(xtbh, date); });
    Result result;
    result.json = QJsonObject{{QStringLiteral("XTBH"), mirror.xtbh},
                              {QStringLiteral("CKBH"), mirror.issueXtbh},
                              {QStringLiteral("lines"), mirror.lines},
                              {QStringLiteral("CZRQ"), date.toString(Qt::ISODate)}};
    result.lines << QString::number(mirror.xtbh);
    return result;
}

Result voucherShowDirect(Context &ctx, const Arguments &args)
{
    const qint64 xtbh = args.requiredInteger(QStringLiteral("voucher"));
    AccountSetSession &set = ctx.accountSet();
    ctx.authorize(menuCommandOf(QStringLiteral("FrmZjzc")));
    const Formats formats = set.formats();
    const auto v = DirectVouchers(set.database(), set.mode(), formats).load(xtbh, true);
    if (!v)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该单据不存在，可能已被删除！"));
    const QList<std::pair<QString, QJsonValue>> header{
        {QStringLiteral("XTBH"), v->xtbh},
        {QStringLiteral("CKBH"), v->issueXtbh},
        {QStringLiteral("CZRQ"), VoucherBook::dateText(v->czrq)},
        {QStringLiteral("YSDJH"), v->ysdjh},
        {QStringLiteral("CKDJH"), v->issueYsdjh},
        {QStringLiteral("GYSBH"), v->gysbh},
        {QStringLiteral("LLDWBH"), v->lldwbh},
        {QStringLiteral("SGBW"), v->sgbw},
        {QStringLiteral("DH"), v->dh},
        {QStringLiteral("FPBH"), v->fpbh},
        {QStringLiteral("ZPH"), v->zph}};
    Result result;
    QStringList fields;
    for (const auto &[name, value] : header) {
        result.json.insert(name, value);
        fields << (value.isString() ? value.toString() : QString::number(value.toInteger()));
    }
    result.json.insert(QStringLiteral("JZBZ"), v->posted);
    fields << (v->posted ? QStringLiteral("posted") : QStringLiteral("unposted"));
    QJsonArray lines;
    QStringList lineTexts;
    for (qsizetype i = 0; i < v->lines.size(); ++i) {
        const StockInLine &l = v->lines.at(i);
        const QStringList cells{QString::number(l.id),
                                QString::number(v->issueIds.value(i)),
                                l.clbh,
                                formats.amountText(l.price),
                                formats.quantityText(l.quantity),
                                formats.amountText(l.amount),
                                formats.amountText(l.paid),
                                l.czzm,
                                v->reversed.value(i) ? QStringLiteral("1") : QStringLiteral("0")};
        lines.append(QJsonObject{{QStringLiteral("ID"), l.id},
                                 {QStringLiteral("CKID"), v->issueIds.value(i)},
                                 {QStringLiteral("CLBH"), l.clbh},
                                 {QStringLiteral("SJDJ"), cells.at(3)},
                                 {QStringLiteral("SJSL"), cells.at(4)},
                                 {QStringLiteral("SJJE"), cells.at(5)},
                                 {QStringLiteral("YFJE"), cells.at(6)},
                                 {QStringLiteral("CZZM"), l.czzm},
                                 {QStringLiteral("CZBZ"), v->reversed.value(i)}});
        lineTexts << cells.join(QLatin1Char('\t'));
    }
    result.json.insert(QStringLiteral("lines"), lines);
    result.lines << fields.join(QLatin1Char('\t')) << lineTexts;
    return result;
}

} // namespace varnock::cli
