#include "cli/handlers.h"

#include "cli/demogenerator.h"
#include "ledger/amountadjustments.h"
#include "ledger/directdeliveries.h"
#include "ledger/reversal.h"
#include "ledger/stockcount.h"
#include "ledger/supplierpayments.h"
#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/displaysettings.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/errors.h"
#include "vouchers/directvouchers.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinvouchers.h"

#include <algorithm>

namespace varnock::cli {
namespace {

// Books far larger than any site keeps; beyond them a demo would only fill the disk.
constexpr qint64 MaxLines = 10'000'000;
constexpr qint64 MaxMaterials = 100'000;

// A demo shows corrections too: in the open month the newest stock-in line and the newest
// requisition line that can still be reversed are reversed today. Returns how many were.
int reverseInOpenMonth(Context &ctx, AccountSetSession &set, const QDate &today)
{
    Reversal reversal(set.database(), set.mode(), set.formats());
    const QDate monthStart(today.year(), today.month(), 1);
    const auto reversible = [&](const QList<OperationStep> &steps) {
        return std::none_of(steps.begin(), steps.end(),
                            [](const OperationStep &s) { return s.isRefusal(); });
    };
    int done = 0;
    const QList<qint64> receipts =
        reversal.stockInVouchers(StockInKind::of(StockInKind::Purchase).zl, monthStart, today).keys;
    for (auto v = receipts.rbegin(); v != receipts.rend() && done == 0; ++v) {
        for (qint64 line : reversal.stockInLines(*v).keys) {
            if (reversible(reversal.stockInSteps(line, today))) {
                ctx.perform(QStringLiteral("RKCZ"),
                            [&] { reversal.reverseStockInLine(line, today); });
                ++done;
                break;
            }
        }
    }
    const QList<qint64> issues =
        reversal.issueVouchers(QStringLiteral("1"), monthStart, today).keys;
    if (!issues.isEmpty()) {
        const QList<qint64> lines = reversal.issueLines(issues.last()).keys;
        if (!lines.isEmpty() && reversible(reversal.issueSteps(lines.first(), today, 1))) {
            ctx.perform(QStringLiteral("LLDCZ"),
                        [&] { reversal.reverseIssueLine(lines.first(), today); });
            ++done;
        }
    }
    return done;
}

// A demo shows a direct delivery too: the newest purchase's first material, delivered again
// today straight from the first supplier to the first consuming unit, and posted. Returns
// how many vouchers were delivered (0 or 1).
int deliverDirectly(Context &ctx, AccountSetSession &set, const QDate &today)
{
    Database &db = set.database();
    const QList<Suppliers::Entry> suppliers = Suppliers(db).list();
    const QList<ConsumingUnits::Unit> units = ConsumingUnits(db).list();
    const StockInVouchers purchases(db, StockInKind::of(StockInKind::Purchase), set.mode(),
                                    set.formats());
    const QList<StockInListRow> month = purchases.currentMonth();
    if (suppliers.isEmpty() || units.isEmpty() || month.isEmpty())
        return 0;
    // Mirrors of reversals are left out: nothing of them may be loaded.
    std::optional<StockInVoucher> newest;
    for (auto it = month.crbegin(); it != month.crend() && !newest; ++it)
        newest = purchases.load(it->xtbh);
    if (!newest)
        return 0;
    DirectVouchers vouchers(db, set.mode(), set.formats());
    DirectDeliveries deliveries(db, set.mode(), set.formats());
    DirectVoucher v;
    v.czrq = today;
    v.gysbh = suppliers.first().bh;
    v.lldwbh = units.first().bh;
    v.sgbw = QStringLiteral("基础");
    v.lines = {newest->lines.first()};
    v.lines.first().id = 0;
    v.lines.first().paid = Decimal();
    // Left out where the open month takes no voucher of today.
    if (!vouchers.validate(v).isEmpty())
        return 0;
    qint64 xtbh = 0;
    ctx.perform(QStringLiteral("ZJZC"), [&] {
        v.ysdjh = vouchers.proposeDocumentNumber();
        v.issueYsdjh = vouchers.proposeIssueDocumentNumber();
        xtbh = vouchers.saveNew(v);
    });
    ctx.perform(QStringLiteral("ZJZCDZ"), [&] { deliveries.post(xtbh); });
    return 1;
}

// What a demo books beside the vouchers, today in the open month.
struct OtherBookings
{
    int counts = 0;      // count differences
    int payments = 0;    // supplier payments
    int adjustments = 0; // amount adjustments
};

// The first material in stock is counted one short, the first supplier still owed is paid
// half of it, and the first material carried at actual prices gets 10.00 more in value.
OtherBookings bookOthers(Context &ctx, AccountSetSession &set, const QDate &today)
{
    OtherBookings made;
    Database &db = set.database();
    StockCount count(db, set.mode(), set.formats());
    if (count.steps(today).isEmpty()) {
        for (const StockCount::Row &r : count.rows()) {
            if (r.kcsl >= Decimal::fromInt(1)) {
                ctx.perform(QStringLiteral("KCPD"), [&] {
                    made.counts =
                        int(count.save({{r.clbh, r.kcsl - Decimal::fromInt(1), {}}}, today).size());
                });
                break;
            }
        }
    }
    SupplierPayments payments(db);
    for (const Suppliers::Entry &s : Suppliers(db).list()) {
        const Decimal half =
            set.formats().roundAmount(payments.balance(s.bh).remaining() / Decimal::fromInt(2));
        if (half > Decimal()) {
            ctx.perform(QStringLiteral("GYSFK"), [&] {
                payments.record(SupplierPayments::Kind::Payment, s.bh, today, half, {},
                                QStringLiteral("演示付款"));
            });
            made.payments = 1;
            break;
        }
    }
    // A day on the latest closing takes neither a count nor an adjustment.
    if (!count.steps(today).isEmpty())
        return made;
    AmountAdjustments adjustments(db);
    for (const StockCount::Row &r : count.rows()) {
        const QVariant planned =
            db.scalar(QStringLiteral("SELECT JJFS FROM CLJBXXB WHERE CLBH = ?"), {r.clbh});
        if (planned.toInt() == 0 && r.kcsl > Decimal()) {
            ctx.perform(QStringLiteral("CLKVMT"), [&] {
                adjustments.add(today, QStringLiteral("演示工程"),
                                {{r.clbh, Decimal::fromInt(10), QStringLiteral("差价")}});
            });
            made.adjustments = 1;
            break;
        }
    }
    return made;
}

} // namespace

Result demo(Context &ctx, const Arguments &args)
{
    const qint64 months = args.integer(QStringLiteral("months")).value_or(3);
    if (months < 0 || months > 120)
        throw UsageError{QStringLiteral("--months: expected 0 to 120")};
    const qint64 totalLines = args.integer(QStringLiteral("lines")).value_or(months * 24);
    if (totalLines < 0 || totalLines > MaxLines)
        throw UsageError{QStringLiteral("--lines: expected 0 to %1").arg(MaxLines)};
    const qint64 materialCount = args.integer(QStringLiteral("materials")).value_or(60);
    if (materialCount < 0 || materialCount > MaxMaterials)
        throw UsageError{QStringLiteral("--materials: expected 0 to %1").arg(MaxMaterials)};
    const int mode = args.mode(QStringLiteral("mode"), 2);
    const auto opName = args.value(QStringLiteral("operator"));
    const auto opPassword = args.value(QStringLiteral("operator-password"));
    if (opPassword && !opName)
        throw UsageError{QStringLiteral("--operator-password needs --operator")};

    ctx.closeAccountSet();
    AccountSets sets(ctx.master(), ctx.folder());
    NewAccountSet r;
    r.number = args.integer(QStringLiteral("number")).value_or(sets.proposedNumber());
    r.name = args.value(QStringLiteral("name")).value_or(QString());
    if (r.name.isEmpty()) {
        r.name = QStringLiteral("演示账套");
        for (const AccountSetInfo &s : sets.list()) {
            if (s.name == r.name)
                r.name += QString::number(r.number);
        }
    }
    r.password = args.value(QStringLiteral("password")).value_or(QStringLiteral("demo"));
    // The voucher months end with the current one; the books open the month before them.
    const QDate today = Clock::today();
    const QDate openingClosing = DemoGenerator::openingClosing(today, int(months));
    r.date = QDate(openingClosing.year(), openingClosing.month(), 1);
    r.mode = mode;
    r.operatorName = opName.value_or(QString());
    r.operatorPassword = opPassword.value_or(QString());
    r.operatorPasswordRepeat = r.operatorPassword;
    r.operatorGiven = opName || opPassword;
    const AccountSetInfo info = sets.create(r);
    ctx.createdSet = info.number;
    QString warning;
    // As the mode screen does: YZMS records the last choice; the set keeps its own.
    try {
        DisplaySettings(ctx.folder()).writeModeName(mode);
    } catch (const StoreError &e) {
        warning = e.text;
    }

    // From here on the demo works as its operator would, through the same commands.
    ctx.globals.set = QString::number(info.number);
    ctx.globals.user = opName.value_or(QLatin1String(MasterDatabase::DefaultOperator));
    ctx.globals.password =
        opName ? opPassword.value_or(QString()) : QLatin1String(MasterDatabase::DefaultPassword);
    AccountSetSession &set = ctx.accountSet();

    DemoGenerator::Options options;
    options.materials = materialCount;
    options.months = int(months);
    // The lines in all: half receipts, half requisitions and transfers out.
    options.stockInLines = months > 0 ? (totalLines + 1) / 2 : 0;
    options.issueLines = months > 0 ? totalLines / 2 : 0;
    options.mode = mode;
    DemoGenerator generator(set.database(), set.formats(), options);
    const DemoGenerator::Summary made =
        generator.run(today, [&ctx](const QString &command, const std::function<void()> &work) {
            ctx.perform(command, work);
        });

    const int reversals = months > 0 ? reverseInOpenMonth(ctx, set, today) : 0;
    const int directDeliveries = months > 0 ? deliverDirectly(ctx, set, today) : 0;
    const OtherBookings others = months > 0 ? bookOthers(ctx, set, today) : OtherBookings{};

    Result result;
    result.json = QJsonObject{{QStringLiteral("BH"), info.number},
                              {QStringLiteral("ZTMC"), info.name},
                              {QStringLiteral("MS"), mode},
                              {QStringLiteral("materials"), made.materials},
                              {QStringLiteral("openingRows"), made.openingRows},
                              {QStringLiteral("stockInVouchers"), made.stockInVouchers},
                              {QStringLiteral("stockInLines"), made.stockInLines},
                              {QStringLiteral("issueVouchers"), made.issueVouchers},
                              {QStringLiteral("issueLines"), made.issueLines},
                              {QStringLiteral("reversals"), reversals},
                              {QStringLiteral("directDeliveries"), directDeliveries},
                              {QStringLiteral("counts"), others.counts},
                              {QStringLiteral("payments"), others.payments},
                              {QStringLiteral("adjustments"), others.adjustments},
                              {QStringLiteral("user"), *ctx.globals.user}};
    result.lines << QString::number(info.number);
    result.errorText = warning;
    return result;
}

} // namespace varnock::cli
