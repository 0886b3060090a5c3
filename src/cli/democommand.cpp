#include "cli/handlers.h"

#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "master/catalogue.h"
#include "master/consumingunits.h"
#include "master/openingbalances.h"
#include "master/suppliers.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/displaysettings.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "store/errors.h"
#include "vouchers/stockinvouchers.h"

#include <QRandomGenerator>

namespace varnock::cli {
namespace {

struct DemoSupplier
{
    const char16_t *name;
    const char16_t *address;
    const char16_t *phone;
    const char16_t *products;
    int debt; // yuan owed when the books open
};

const DemoSupplier Suppliers_[] = {
    {u"河北敬业钢铁贸易有限公司", u"石家庄市平山县南甸镇", u"0311-82921188", u"钢筋、型钢", 86500},
    {u"唐山冀东水泥股份有限公司", u"唐山市丰润区林荫路", u"0315-3216088", u"普通硅酸盐水泥", 0},
    {u"北京金隅混凝土有限公司", u"北京市朝阳区北四环东路", u"010-64915566", u"商品混凝土", 124300},
    {u"廊坊市宏达木业有限公司", u"廊坊市安次区龙河工业园", u"0316-2258811", u"模板、木方", 0},
    {u"天津市恒通电线电缆厂", u"天津市北辰区京津公路", u"022-26391234", u"电线电缆", 15800},
    {u"保定市永兴建材商行", u"保定市莲池区东风东路", u"0312-3107766", u"砂石、砖、五金", 0},
};

struct DemoUnit
{
    const char16_t *code;
    const char16_t *name;
    const char16_t *contact;
    const char16_t *phone;
};

const DemoUnit Units[] = {
    {u"01", u"一号住宅楼项目部", u"王建国", u"13803110001"},
    {u"02", u"二号住宅楼项目部", u"李志强", u"13803110002"},
    {u"03", u"钢筋加工班组", u"张海涛", u"13803110003"},
    {u"04", u"木工班组", u"刘永明", u"13803110004"},
    {u"05", u"水电安装队", u"陈立新", u"13803110005"},
    {u"06", u"机械设备租赁站", u"赵国庆", u"13803110006"},
};

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

Result demo(Context &ctx, const Arguments &args)
{
    const qint64 months = args.integer(QStringLiteral("months")).value_or(3);
    if (months < 0 || months > 120)
        throw UsageError{QStringLiteral("--months: expected 0 to 120")};
    const qint64 totalLines = args.integer(QStringLiteral("lines")).value_or(months * 12);
    if (totalLines < 0)
        throw UsageError{QStringLiteral("--lines: must not be negative")};
    const qint64 materialCount = args.integer(QStringLiteral("materials")).value_or(60);
    if (materialCount < 0)
        throw UsageError{QStringLiteral("--materials: must not be negative")};
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
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-int(months) + 1);
    const QDate openingClosing = months > 0 ? firstMonth.addDays(-1) : today;
    r.date = QDate(openingClosing.year(), openingClosing.month(), 1);
    r.mode = mode;
    r.operatorName = opName.value_or(QString());
    r.operatorPassword = opPassword.value_or(QString());
    r.operatorPasswordRepeat = r.operatorPassword;
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
    Database &db = set.database();

    ctx.perform(QStringLiteral("CLSZ"), [&] { Catalogue(db).importLibrary(0); });

    ctx.perform(QStringLiteral("GYSSZ"), [&] {
        Suppliers suppliers(db);
        for (const DemoSupplier &d : Suppliers_) {
            Suppliers::Supplier s;
            s.bh = suppliers.proposeCode();
            s.mc = text(d.name);
            s.dz = text(d.address);
            s.lxdh = text(d.phone);
            s.zgcp = text(d.products);
            s.csqk = Decimal::fromInt(d.debt);
            suppliers.add(s);
        }
    });

    ctx.perform(QStringLiteral("LLDWSZ"), [&] {
        ConsumingUnits units(db);
        for (const DemoUnit &d : Units)
            units.add({text(d.code), text(d.name), QString(), text(d.contact), text(d.phone), {}});
    });

    // Opening balances for materials spread evenly over the catalogue; a fixed seed gives the
    // same demo every time.
    QList<CatalogueRow> materials;
    for (const CatalogueRow &row : Catalogue(db).rows(Catalogue::RootCode)) {
        if (row.sfmj)
            materials << row;
    }
    const qsizetype wanted = std::min<qsizetype>(materialCount, materials.size());
    QRandomGenerator random(20261207u);
    const Formats formats = set.formats();
    OpeningBalances balances(db, mode, formats);
    QList<OpeningBalances::NewRow> rows;
    for (qsizetype i = 0; i < wanted; ++i) {
        const CatalogueRow &m = materials.at(i * materials.size() / wanted);
        Decimal price = m.jhdj.isZero() ? Decimal::fromInt(random.bounded(5, 500)) : m.jhdj;
        // Actual prices wander around the planned one; planned-price materials stay on it.
        if (!m.jjfs)
            price = formats.roundAmount(price * Decimal::fromRaw(random.bounded(9000, 11001)));
        const int layers = mode == 1 && i % 3 == 0 ? 2 : 1;
        for (int layer = 0; layer < layers; ++layer) {
            const Decimal layerPrice =
                layer == 0 ? price : formats.roundAmount(price * Decimal::fromRaw(10500));
            // Dear materials (steel by the ton) come in smaller quantities.
            const Decimal quantity = price > Decimal::fromInt(1000)
                                         ? Decimal::fromInt(random.bounded(5, 80))
                                         : Decimal::fromInt(random.bounded(20, 800));
            OpeningBalances::NewRow row;
            row.clbh = m.clbh;
            row.figures.price = layerPrice;
            row.figures.quantity = quantity;
            row.figures.amount = balances.amountFor(layerPrice, quantity);
            rows << row;
        }
    }
    if (!rows.isEmpty())
        ctx.perform(QStringLiteral("a"), [&] { balances.add(rows); });

    // The first closing opens the books for vouchers; its questions are answered Yes.
    MonthEnd closing(db, mode, formats);
    const auto closeOn = [&](const QDate &day) {
        for (const MonthEnd::Step &step : closing.checks(day)) {
            if (step.kind == MonthEnd::Step::Kind::Refusal)
                throw Refusal(step.title, step.text, step.icon);
        }
        ctx.perform(QStringLiteral("YJCL"), [&] { closing.close(day); });
    };
    closeOn(openingClosing);

    // Months of purchases and transfers in, posted; every month but the last is closed on
    // its last day.
    qint64 written = 0;
    qint64 vouchers = 0;
    const QList<StockInKind> kinds = {StockInKind::of(StockInKind::Purchase),
                                      StockInKind::of(StockInKind::TransferIn)};
    const int supplierCount = int(std::size(Suppliers_));
    for (qint64 m = 0; m < months; ++m) {
        const QDate monthStart = firstMonth.addMonths(int(m));
        const QDate monthEnd = monthStart.addMonths(1).addDays(-1);
        // Dated before the closing day (a closing must come after the month's business) and
        // never after today.
        const QDate lastDay = std::min(monthEnd.addDays(-1), today);
        const qint64 lines = totalLines / months + (m == months - 1 ? totalLines % months : 0);
        qint64 left = lines;
        while (left > 0 && !rows.isEmpty()) {
            const StockInKind &kind = kinds.at(random.bounded(5) == 0 ? 1 : 0);
            StockInVoucher v;
            v.czrq = monthStart.addDays(random.bounded(qint64(0), monthStart.daysTo(lastDay) + 1));
            v.gysbh = QString::number(random.bounded(supplierCount) + 1);
            v.fpbh = QStringLiteral("FP%1").arg(1000 + vouchers);
            const qint64 count = std::min<qint64>(left, random.bounded(1, 5));
            for (qint64 i = 0; i < count; ++i) {
                const OpeningBalances::NewRow &source = rows.at(random.bounded(rows.size()));
                StockInLine line;
                line.clbh = source.clbh;
                line.price = formats.roundAmount(*source.figures.price *
                                                 Decimal::fromRaw(random.bounded(9500, 10801)));
                line.quantity = Decimal::fromInt(random.bounded(1, 60));
                line.amount = formats.roundAmount(line.price * line.quantity);
                v.lines << line;
            }
            StockInVouchers entry(db, kind, mode, formats);
            v.ysdjh = v.czrq.toString(Qt::ISODate) + QStringLiteral(" - ") +
                      QString::number(1001 + vouchers);
            ctx.perform(kind.kind == StockInKind::Purchase ? QStringLiteral("CGRKD")
                                                           : QStringLiteral("DBRKD"),
                        [&] { entry.saveNew(v); });
            left -= count;
            written += count;
            ++vouchers;
        }
        Posting posting(db, mode, formats);
        ctx.perform(QStringLiteral("RKDZ"), [&] {
            for (const StockInKind &kind : kinds) {
                for (const Posting::Outcome &o :
                     posting.postAll(Posting::Family::StockIn, kind.zl)) {
                    if (!o.posted)
                        throw Refusal(o.title, o.text, o.icon);
                }
            }
        });
        if (m < months - 1)
            closeOn(monthEnd);
    }

    Result result;
    result.json = QJsonObject{{QStringLiteral("BH"), info.number},
                              {QStringLiteral("ZTMC"), info.name},
                              {QStringLiteral("MS"), mode},
                              {QStringLiteral("materials"), materials.size()},
                              {QStringLiteral("openingRows"), rows.size()},
                              {QStringLiteral("vouchers"), vouchers},
                              {QStringLiteral("lines"), written},
                              {QStringLiteral("user"), *ctx.globals.user}};
    result.lines << QString::number(info.number);
    result.errorText = warning;
    return result;
}

} // namespace varnock::cli
