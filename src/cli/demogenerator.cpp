#include "cli/demogenerator.h"

#include "leasing/leasepayments.h"
#include "leasing/leasereturns.h"
#include "leasing/leases.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "master/catalogue.h"
#include "master/consumingunits.h"
#include "master/openingbalances.h"
#include "master/suppliers.h"
#include "plans/plans.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/largecache.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/stockinvouchers.h"

#include <QHash>

#include <algorithm>

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

const char16_t *const Sites[] = {u"基础",     u"主体结构", u"砌体",    u"屋面",
                                 u"装饰装修", u"水电安装", u"室外工程"};

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

QDate DemoGenerator::openingClosing(const QDate &today, int months)
{
    if (months <= 0)
        return today;
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-months + 1);
    return firstMonth.addDays(-1);
}

DemoGenerator::DemoGenerator(Database &db, const Formats &formats, const Options &options)
    : m_db(db)
    , m_formats(formats)
    , m_options(options)
    , m_random(options.seed)
{
    m_options.batchSize = std::max(1, m_options.batchSize);
}

void DemoGenerator::report(const QString &step)
{
    if (m_options.progress) {
        m_options.progress(m_summary.stockInLines + m_summary.issueLines,
                           m_options.stockInLines + m_options.issueLines, step);
    }
}

void DemoGenerator::inSteps(const QStringList &commands, const std::function<void()> &work)
{
    QStringList fresh;
    for (const QString &c : commands) {
        if (!m_loggedThisMonth.contains(c))
            fresh.append(c);
    }
    m_loggedThisMonth += fresh;
    // Each menu command nests its own transaction (a savepoint inside the outer one).
    std::function<void(qsizetype)> nest = [&](qsizetype i) {
        if (i == fresh.size()) {
            work();
            return;
        }
        m_perform(fresh.at(i), [&] { nest(i + 1); });
    };
    if (fresh.isEmpty()) {
        Transaction tx(m_db);
        work();
        tx.commit();
    } else {
        nest(0);
    }
}

DemoGenerator::Summary DemoGenerator::run(const QDate &today, const Perform &perform)
{
    m_perform = perform;
    m_summary = Summary();
    // Batch after batch writes into the same index pages of the lines, the stock and the
    // layers: kept in memory, they are not read back from the file for every batch.
    const LargeCache cache(m_db, m_options.pageCacheMegabytes);
    const int months = std::max(0, m_options.months);

    report(QStringLiteral("材料库"));
    m_perform(QStringLiteral("CLSZ"), [&] {
        Catalogue catalogue(m_db);
        catalogue.importLibrary(0);
        addSyntheticMaterials(m_options.materials);
    });
    addCounterparties();
    addOpeningBalances(m_options.materials);

    // The first closing opens the books for vouchers.
    const QDate first = openingClosing(today, months);
    close(first);

    const QDate firstMonth = first.addDays(1);
    for (int m = 0; m < months; ++m) {
        const QDate monthStart = firstMonth.addMonths(m);
        const QDate monthEnd = monthStart.addMonths(1).addDays(-1);
        // Dated before the closing day (a closing must come after the month's business) and
        // never after today.
        const QDate lastDay = std::min(monthEnd.addDays(-1), today);
        const bool last = m == months - 1;
        const qint64 stockIn =
            m_options.stockInLines / months + (last ? m_options.stockInLines % months : 0);
        const qint64 issues =
            m_options.issueLines / months + (last ? m_options.issueLines % months : 0);
        m_loggedThisMonth.clear();
        month(monthStart, std::max(lastDay, monthStart), stockIn, issues);
        if (!last)
            close(monthEnd);
    }
    if (months > 0)
        addLeasesAndPlans(
            firstMonth,
            std::max(std::min(today, firstMonth.addMonths(months).addDays(-2)), firstMonth));
    report(QString());
    return m_summary;
}

// Beyond the library, materials are coded under the library's lowest categories in turn,
// each a variant of a library material of that category.
void DemoGenerator::addSyntheticMaterials(qint64 wanted)
{
    Catalogue catalogue(m_db);
    QList<CatalogueRow> leaves;
    QList<QString> categories;
    QHash<QString, QList<CatalogueRow>> byCategory;
    for (const CatalogueRow &row : catalogue.rows(Catalogue::RootCode)) {
        if (!row.sfmj)
            continue;
        leaves.append(row);
        if (!byCategory.contains(row.sjbh))
            categories.append(row.sjbh);
        byCategory[row.sjbh].append(row);
    }
    const qint64 extra = wanted - leaves.size();
    if (extra <= 0 || categories.isEmpty())
        return;
    const auto yes = [](const QString &) { return true; };
    for (qint64 i = 0; i < extra; ++i) {
        const QString parent = categories.at(i % categories.size());
        const QList<CatalogueRow> &models = byCategory.value(parent);
        const CatalogueRow &model = models.at((i / categories.size()) % models.size());
        MaterialDraft d;
        d.sjbh = parent;
        d.clbh = catalogue.proposeCode(parent);
        d.clmc = model.clmc;
        d.clgg = (model.clgg.isEmpty() ? QString() : model.clgg + QLatin1Char(' ')) +
                 QStringLiteral("型%1").arg(i + 1, 5, 10, QLatin1Char('0'));
        d.jzdw = model.jzdw;
        d.hsdw = model.hsdw;
        if (model.hsxs)
            d.hsxs = QString::number(*model.hsxs, 'g', 12);
        const Decimal price =
            m_formats.roundAmount(model.jhdj * Decimal::fromRaw(m_random.bounded(8000, 12001)));
        d.jhdj = price.toString();
        d.jhsl = QStringLiteral("0");
        d.jjfs = model.jjfs;
        catalogue.addMaterial(d, yes);
    }
}

void DemoGenerator::addCounterparties()
{
    m_perform(QStringLiteral("GYSSZ"), [&] {
        Suppliers suppliers(m_db);
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
    m_supplierCount = int(std::size(Suppliers_));

    m_perform(QStringLiteral("LLDWSZ"), [&] {
        ConsumingUnits units(m_db);
        const int count = std::max(1, m_options.units);
        for (int i = 0; i < count; ++i) {
            ConsumingUnits::Unit u;
            if (i < int(std::size(Units))) {
                const DemoUnit &d = Units[i];
                u = {text(d.code), text(d.name), QString(), text(d.contact), text(d.phone), {}};
            } else {
                // Numbered after the named ones, so that they sort after them.
                u.bh = QString::number(100 + i + 1);
                u.mc = QStringLiteral("第%1施工队").arg(i + 1);
            }
            units.add(u);
            m_units.append(u.bh);
        }
    });
}

// Opening balances for materials spread evenly over the catalogue.
void DemoGenerator::addOpeningBalances(qint64 wanted)
{
    QList<CatalogueRow> all;
    for (const CatalogueRow &row : Catalogue(m_db).rows(Catalogue::RootCode)) {
        if (row.sfmj)
            all.append(row);
    }
    m_summary.materials = all.size();
    const qsizetype count = std::min<qsizetype>(qsizetype(std::max<qint64>(wanted, 0)), all.size());
    const bool fifo = m_options.mode == 1;
    OpeningBalances balances(m_db, m_options.mode, m_formats);
    QList<OpeningBalances::NewRow> rows;
    for (qsizetype i = 0; i < count; ++i) {
        const CatalogueRow &c = all.at(i * all.size() / count);
        Material m;
        m.clbh = c.clbh;
        m.planned = c.jjfs;
        Decimal price = c.jhdj.isZero() ? Decimal::fromInt(m_random.bounded(5, 500)) : c.jhdj;
        // Actual prices wander around the planned one; planned-price materials stay on it.
        if (!c.jjfs)
            price = m_formats.roundAmount(price * Decimal::fromRaw(m_random.bounded(9000, 11001)));
        m.price = price;
        m.dear = price > Decimal::fromInt(1000);
        const int layers = fifo && i % 3 == 0 ? 2 : 1;
        for (int layer = 0; layer < layers; ++layer) {
            const Decimal layerPrice =
                layer == 0 ? price : m_formats.roundAmount(price * Decimal::fromRaw(10500));
            // One opening row per unit price: a cheap material's dearer layer may round back
            // to the first price.
            if (layer > 0 && layerPrice == price)
                break;
            // Dear materials (steel by the ton) come in smaller quantities.
            const Decimal quantity = m.dear ? Decimal::fromInt(m_random.bounded(5, 80))
                                            : Decimal::fromInt(m_random.bounded(20, 800));
            OpeningBalances::NewRow row;
            row.clbh = m.clbh;
            row.figures.price = layerPrice;
            row.figures.quantity = quantity;
            row.figures.amount = balances.amountFor(layerPrice, quantity);
            rows.append(row);
            m.stock += quantity;
        }
        m_materials.append(m);
    }
    m_summary.openingRows = rows.size();
    if (!rows.isEmpty())
        m_perform(QStringLiteral("a"), [&] { balances.add(rows); });

    // The skew: a fifth of the materials, chosen by the seed, carries four fifths of the lines.
    QList<int> order;
    for (int i = 0; i < m_materials.size(); ++i)
        order.append(i);
    for (qsizetype i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[m_random.bounded(qint64(i + 1))]);
    const qsizetype hot = std::max<qsizetype>(1, order.size() / 5);
    m_hot = order.mid(0, std::min(hot, order.size()));
    m_cold = order.mid(m_hot.size());
}

void DemoGenerator::close(const QDate &day)
{
    report(QStringLiteral("月结处理"));
    MonthEnd closing(m_db, m_options.mode, m_formats);
    for (const MonthEnd::Step &step : closing.checks(day)) {
        if (step.kind == MonthEnd::Step::Kind::Refusal)
            throw Refusal(step.title, step.text, step.icon);
    }
    m_perform(QStringLiteral("YJCL"), [&] { closing.close(day); });
    ++m_summary.closings;
}

int DemoGenerator::pickMaterial()
{
    if (m_cold.isEmpty() || m_random.bounded(5) != 0)
        return m_hot.at(m_random.bounded(m_hot.size()));
    return m_cold.at(m_random.bounded(m_cold.size()));
}

// A material that still has something in stock, with the same skew; -1 when none is found.
int DemoGenerator::pickIssuable()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int i = pickMaterial();
        if (m_materials.at(i).stock >= Decimal::fromInt(1))
            return i;
    }
    for (int i = 0; i < m_materials.size(); ++i) {
        if (m_materials.at(i).stock >= Decimal::fromInt(1))
            return i;
    }
    return -1;
}

QDate DemoGenerator::pickDay(const QDate &start, const QDate &lastDay)
{
    return start.addDays(m_random.bounded(qint64(0), start.daysTo(lastDay) + 1));
}

void DemoGenerator::month(const QDate &start, const QDate &lastDay, qint64 stockInLines,
                          qint64 issueLines)
{
    if (m_materials.isEmpty())
        return;
    // Receipts and issues take turns batch by batch, so that issues draw on the month's
    // receipts as a store does.
    while (stockInLines > 0 || issueLines > 0) {
        if (stockInLines > 0)
            stockInLines -= stockInBatch(start, lastDay, stockInLines);
        if (issueLines > 0) {
            const qint64 written = issueBatch(start, lastDay, issueLines);
            // Nothing left in the store to issue: the month's remaining issues are dropped.
            issueLines = written > 0 ? issueLines - written : 0;
        }
        // Stock-in returns and issue returns of the month go here, once they are generated.
    }
}

qint64 DemoGenerator::stockInBatch(const QDate &start, const QDate &lastDay, qint64 lines)
{
    const QList<StockInKind> kinds = {StockInKind::of(StockInKind::Purchase),
                                      StockInKind::of(StockInKind::TransferIn)};
    QStringList commands = {QStringLiteral("CGRKD")};
    qint64 written = 0;
    QList<std::pair<int, StockInVoucher>> vouchers;
    for (int n = 0; n < m_options.batchSize && written < lines; ++n) {
        const int kind = m_random.bounded(5) == 0 ? 1 : 0;
        StockInVoucher v;
        v.czrq = pickDay(start, lastDay);
        v.gysbh = QString::number(m_random.bounded(m_supplierCount) + 1);
        const qint64 number = m_summary.stockInVouchers + vouchers.size();
        v.fpbh = QStringLiteral("FP%1").arg(1000 + number);
        v.ysdjh =
            v.czrq.toString(DateFormat) + QStringLiteral(" - ") + QString::number(1001 + number);
        const qint64 count = std::min<qint64>(lines - written, m_random.bounded(1, 5));
        for (qint64 i = 0; i < count; ++i) {
            Material &m = m_materials[pickMaterial()];
            StockInLine line;
            line.clbh = m.clbh;
            line.price = m.planned ? m.price
                                   : m_formats.roundAmount(
                                         m.price * Decimal::fromRaw(m_random.bounded(9500, 10801)));
            line.quantity = m.dear ? Decimal::fromInt(m_random.bounded(1, 20))
                                   : Decimal::fromInt(m_random.bounded(1, 60));
            line.amount = m_formats.roundAmount(line.price * line.quantity);
            v.lines.append(line);
            m.stock += line.quantity;
        }
        written += count;
        vouchers.append({kind, v});
        if (kind == 1 && !commands.contains(QStringLiteral("DBRKD")))
            commands.append(QStringLiteral("DBRKD"));
    }
    commands.append(QStringLiteral("RKDZ"));
    report(QStringLiteral("入库单"));
    inSteps(commands, [&] {
        for (const auto &[kind, v] : std::as_const(vouchers))
            StockInVouchers(m_db, kinds.at(kind), m_options.mode, m_formats).saveNew(v);
        Posting posting(m_db, m_options.mode, m_formats);
        for (const StockInKind &kind : kinds) {
            for (const Posting::Outcome &o : posting.postAll(Posting::Family::StockIn, kind.zl)) {
                if (!o.posted)
                    throw Refusal(o.title, o.text, o.icon);
            }
        }
    });
    m_summary.stockInVouchers += vouchers.size();
    m_summary.stockInLines += written;
    return written;
}

qint64 DemoGenerator::issueBatch(const QDate &start, const QDate &lastDay, qint64 lines)
{
    // Requisitions mostly, some transfers out.
    const QString kinds[] = {QStringLiteral("1"), QStringLiteral("2")};
    const QString saveCommands[] = {QStringLiteral("LLDTX"), QStringLiteral("DBCKDTX")};
    const QString postCommands[] = {QStringLiteral("LLDDZ"), QStringLiteral("DBDDZ")};
    QStringList commands;
    qint64 written = 0;
    QList<std::pair<int, IssueVoucher>> vouchers;
    for (int n = 0; n < m_options.batchSize && written < lines; ++n) {
        const int kind = m_random.bounded(6) == 0 ? 1 : 0;
        IssueVoucher v;
        v.czrq = pickDay(start, lastDay);
        v.lldwbh = m_units.at(m_random.bounded(m_units.size()));
        v.sgbw = text(Sites[m_random.bounded(int(std::size(Sites)))]);
        v.dh = QStringLiteral("%1#").arg(m_random.bounded(1, 13));
        const qint64 number = m_summary.issueVouchers + vouchers.size();
        v.ysdjh =
            v.czrq.toString(DateFormat) + QStringLiteral(" - ") + QString::number(1001 + number);
        const qint64 count = std::min<qint64>(lines - written, m_random.bounded(1, 6));
        for (qint64 i = 0; i < count; ++i) {
            const int index = pickIssuable();
            if (index < 0)
                break;
            Material &m = m_materials[index];
            // Never more than the store holds: a third of the stock at most, whole units.
            const qint64 whole = (m.stock.raw() / Decimal::Scale);
            const qint64 most = std::max<qint64>(1, whole / 3);
            const Decimal quantity = Decimal::fromInt(m_random.bounded(qint64(1), most + 1));
            IssueLine line;
            line.clbh = m.clbh;
            line.quantity = quantity;
            v.lines.append(line);
            m.stock -= quantity;
        }
        if (v.lines.isEmpty())
            break;
        written += v.lines.size();
        vouchers.append({kind, v});
        for (const QString &c : {saveCommands[kind], postCommands[kind]}) {
            if (!commands.contains(c))
                commands.append(c);
        }
    }
    if (vouchers.isEmpty())
        return 0;
    report(QStringLiteral("出库单"));
    inSteps(commands, [&] {
        for (auto &[kind, v] : vouchers) {
            IssueVouchers entry(m_db, kinds[kind], m_options.mode, m_formats);
            entry.price(v);
            entry.saveNew(v);
        }
        Posting posting(m_db, m_options.mode, m_formats);
        for (const QString &kind : kinds) {
            for (const Posting::Outcome &o : posting.postAll(Posting::Family::Issue, kind)) {
                if (!o.posted)
                    throw Refusal(o.title, o.text, o.icon);
            }
        }
    });
    m_summary.issueVouchers += vouchers.size();
    m_summary.issueLines += written;
    return written;
}

void DemoGenerator::addLeasesAndPlans(const QDate &firstDay, const QDate &lastDay)
{
    if (m_hot.size() < 2 || m_units.isEmpty() || m_supplierCount == 0)
        return;
    report(QStringLiteral("租赁与计划"));
    const QString supplier = QStringLiteral("1");
    qint64 djbh = 0;
    m_perform(QStringLiteral("ZLYW"), [&] {
        LeaseVoucher v;
        v.gysbh = supplier;
        v.lldwbh = m_units.first();
        v.czrq = firstDay;
        // Scaffolding by the day: 200 at 0.05, 500 at 0.01.
        const std::pair<qint64, qint64> figures[] = {{200, 500}, {500, 100}};
        for (int i = 0; i < 2; ++i) {
            LeaseLine line;
            line.clbh = m_materials.at(m_hot.at(i)).clbh;
            line.quantity = Decimal::fromInt(figures[i].first);
            line.rent = Decimal::fromRaw(figures[i].second);
            v.lines.append(line);
        }
        djbh = Leases(m_db, m_formats).saveNew(v);
    });
    m_perform(QStringLiteral("HZYW"), [&] {
        LeaseReturns returns(m_db, m_formats);
        std::optional<LeaseReturnVoucher> v =
            returns.draft(djbh, std::min(firstDay.addDays(9), lastDay));
        returns.setQuantity(v->lines[0], Decimal::fromInt(80), v->rentDays());
        returns.saveNew(*v);
    });
    m_perform(QStringLiteral("ZLHK"), [&] {
        LeasePayments payments(m_db, m_formats);
        const Decimal half = m_formats.roundAmount(payments.balance(supplier, lastDay).remaining() /
                                                   Decimal::fromInt(2));
        if (half > Decimal())
            payments.pay(supplier, lastDay, half, QStringLiteral("租金"));
    });
    m_perform(QStringLiteral("JHTX"), [&] {
        PlanVoucher plan;
        plan.czrq = firstDay;
        for (int i = 0; i < std::min<qsizetype>(5, m_hot.size()); ++i) {
            PlanLine line;
            line.clbh = m_materials.at(m_hot.at(i)).clbh;
            line.quantity = Decimal::fromInt(100);
            plan.lines.append(line);
        }
        Plans(m_db, m_formats).saveNew(plan);
    });
}

} // namespace varnock::cli
