#include "cli/handlers.h"

#include "master/catalogue.h"
#include "master/consumingunits.h"
#include "master/openingbalances.h"
#include "master/suppliers.h"
#include "shell/accountsetsession.h"
#include "store/materiallibraries.h"

namespace varnock::cli {
namespace {

// The command line answers a question Yes only when told to.
Catalogue::Confirm confirmWith(bool yes)
{
    return [yes](const QString &question) {
        if (!yes)
            throw Declined{Catalogue::Title, question};
        return true;
    };
}

Result codeResult(const QString &key, const QString &code)
{
    Result result;
    result.json.insert(key, code);
    result.lines << code;
    return result;
}

} // namespace

Result catalogueImport(Context &ctx, const Arguments &args)
{
    const qint64 library = args.requiredInteger(QStringLiteral("library"));
    if (library < 1 || library > MaterialLibraries::Count)
        throw UsageError{QStringLiteral("--library: expected 1 to %1, not %2")
                             .arg(MaterialLibraries::Count)
                             .arg(library)};
    const bool yes = args.has(QStringLiteral("yes"));
    ctx.perform(QStringLiteral("CLSZ"), [&] {
        Catalogue catalogue(ctx.accountSet().database());
        // An empty catalogue loses nothing; a filled one is replaced only when asked to.
        if (!catalogue.isEmpty() && !yes)
            throw Declined{Catalogue::Title,
                           QStringLiteral("新的材料库将替换现有材料库，你确定进行吗？")};
        catalogue.importLibrary(int(library) - 1);
    });
    Result result;
    result.json.insert(QStringLiteral("library"), library);
    result.json.insert(QStringLiteral("message"), QStringLiteral("数据替换完毕！"));
    result.lines << QStringLiteral("数据替换完毕！");
    return result;
}

Result catalogueAddCategory(Context &ctx, const Arguments &args)
{
    const QString parent = args.required(QStringLiteral("parent")).trimmed();
    const QString name = args.required(QStringLiteral("name"));
    QString code;
    ctx.perform(QStringLiteral("CLSZ"), [&] {
        Catalogue catalogue(ctx.accountSet().database());
        const auto given = args.value(QStringLiteral("code"));
        code = given ? *given : catalogue.proposeCode(parent);
        catalogue.addCategory(code, name, parent);
    });
    return codeResult(QStringLiteral("CLBH"), code.trimmed());
}

Result catalogueAddMaterial(Context &ctx, const Arguments &args)
{
    MaterialDraft d;
    d.sjbh = args.required(QStringLiteral("parent")).trimmed();
    d.clmc = args.required(QStringLiteral("name"));
    d.clgg = args.value(QStringLiteral("spec")).value_or(QString());
    d.jzdw = args.value(QStringLiteral("unit")).value_or(QString());
    d.hsdw = args.value(QStringLiteral("conv-unit")).value_or(QString());
    d.hsxs = args.value(QStringLiteral("factor")).value_or(QString());
    if (d.hsdw.isEmpty() != d.hsxs.isEmpty())
        throw UsageError{d.hsdw.isEmpty() ? QStringLiteral("--factor needs --conv-unit")
                                          : QStringLiteral("--conv-unit needs --factor")};
    d.jhdj = args.value(QStringLiteral("planned-price")).value_or(QString());
    d.jhsl = args.value(QStringLiteral("planned-quantity")).value_or(QString());
    d.jjfs = args.has(QStringLiteral("at-planned-price"));
    const bool yes = args.has(QStringLiteral("yes"));
    ctx.perform(QStringLiteral("CLSZ"), [&] {
        Catalogue catalogue(ctx.accountSet().database());
        const auto given = args.value(QStringLiteral("code"));
        d.clbh = given ? *given : catalogue.proposeCode(d.sjbh);
        catalogue.addMaterial(d, confirmWith(yes));
    });
    return codeResult(QStringLiteral("CLBH"), d.clbh.trimmed());
}

Result catalogueEditMaterial(Context &ctx, const Arguments &args)
{
    const QString clbh = args.required(QStringLiteral("code")).trimmed();
    const bool planned = args.has(QStringLiteral("at-planned-price"));
    const bool actual = args.has(QStringLiteral("at-actual-price"));
    if (planned && actual)
        throw UsageError{QStringLiteral("--at-planned-price and --at-actual-price exclude each "
                                        "other")};
    const bool yes = args.has(QStringLiteral("yes"));
    ctx.perform(QStringLiteral("CLSZ"), [&] {
        Catalogue catalogue(ctx.accountSet().database());
        const std::optional<CatalogueRow> row = catalogue.find(clbh);
        if (!row || !row->sfmj)
            throw Refusal(Catalogue::Title, QStringLiteral("该编码不存在！"));
        // What is not given stays as it is.
        MaterialDraft d = MaterialDraft::of(*row);
        d.clmc = args.value(QStringLiteral("name")).value_or(d.clmc);
        d.clgg = args.value(QStringLiteral("spec")).value_or(d.clgg);
        d.jzdw = args.value(QStringLiteral("unit")).value_or(d.jzdw);
        d.hsdw = args.value(QStringLiteral("conv-unit")).value_or(d.hsdw);
        d.hsxs = args.value(QStringLiteral("factor")).value_or(d.hsxs);
        d.jhdj = args.value(QStringLiteral("planned-price")).value_or(d.jhdj);
        d.jhsl = args.value(QStringLiteral("planned-quantity")).value_or(d.jhsl);
        d.jjfs = planned || (d.jjfs && !actual);
        catalogue.updateMaterial(d, confirmWith(yes));
    });
    return codeResult(QStringLiteral("CLBH"), clbh);
}

Result supplierAdd(Context &ctx, const Arguments &args)
{
    Suppliers::Supplier s;
    s.mc = args.required(QStringLiteral("name")).trimmed();
    s.csqk =
        args.figure(QStringLiteral("opening-debt"), Limits::Figure::Amount).value_or(Decimal());
    s.dz = args.value(QStringLiteral("address")).value_or(QString());
    s.lxdh = args.value(QStringLiteral("phone")).value_or(QString());
    s.fr = args.value(QStringLiteral("legal-representative")).value_or(QString());
    ctx.perform(QStringLiteral("GYSSZ"), [&] {
        Suppliers suppliers(ctx.accountSet().database());
        const auto given = args.value(QStringLiteral("code"));
        s.bh = (given ? *given : suppliers.proposeCode()).trimmed();
        suppliers.add(s);
    });
    Result result = codeResult(QStringLiteral("BH"), s.bh);
    result.json.insert(QStringLiteral("MC"), s.mc);
    result.json.insert(QStringLiteral("CSQK"), ctx.accountSet().formats().amountText(s.csqk));
    return result;
}

Result supplierEdit(Context &ctx, const Arguments &args)
{
    const QString bh = args.required(QStringLiteral("code")).trimmed();
    Suppliers::Supplier s;
    ctx.perform(QStringLiteral("GYSSZ"), [&] {
        Suppliers suppliers(ctx.accountSet().database());
        const auto found = suppliers.find(bh);
        if (!found)
            throw Refusal(Suppliers::Title, QStringLiteral("这个供应商已经不存在！"));
        // What is not given stays as it is.
        s = *found;
        s.mc = args.value(QStringLiteral("name")).value_or(s.mc).trimmed();
        s.csqk =
            args.figure(QStringLiteral("opening-debt"), Limits::Figure::Amount).value_or(s.csqk);
        s.dz = args.value(QStringLiteral("address")).value_or(s.dz);
        s.lxdh = args.value(QStringLiteral("phone")).value_or(s.lxdh);
        s.fr = args.value(QStringLiteral("legal-representative")).value_or(s.fr);
        suppliers.update(s);
    });
    Result result = codeResult(QStringLiteral("BH"), s.bh);
    result.json.insert(QStringLiteral("MC"), s.mc);
    return result;
}

Result supplierDelete(Context &ctx, const Arguments &args)
{
    const QString bh = args.required(QStringLiteral("code")).trimmed();
    ctx.authorize(QStringLiteral("GYSSZ"));
    if (!args.has(QStringLiteral("yes")))
        throw Declined{QStringLiteral("提示窗口"), QStringLiteral("你确实要删除这个供应商吗？")};
    ctx.perform(QStringLiteral("GYSSZ"),
                [&] { Suppliers(ctx.accountSet().database()).remove(bh); });
    return codeResult(QStringLiteral("BH"), bh);
}

Result unitEdit(Context &ctx, const Arguments &args)
{
    const QString bh = args.required(QStringLiteral("code")).trimmed();
    ConsumingUnits::Unit u;
    ctx.perform(QStringLiteral("LLDWSZ"), [&] {
        ConsumingUnits units(ctx.accountSet().database());
        const auto found = units.find(bh);
        if (!found)
            throw Refusal(ConsumingUnits::Title, QStringLiteral("这个单位已经不存在！"));
        u = *found;
        u.mc = args.value(QStringLiteral("name")).value_or(u.mc).trimmed();
        u.dz = args.value(QStringLiteral("address")).value_or(u.dz);
        u.lxr = args.value(QStringLiteral("contact")).value_or(u.lxr);
        u.dh = args.value(QStringLiteral("phone")).value_or(u.dh);
        units.update(u);
    });
    Result result = codeResult(QStringLiteral("BH"), u.bh);
    result.json.insert(QStringLiteral("MC"), u.mc);
    return result;
}

Result unitDelete(Context &ctx, const Arguments &args)
{
    const QString bh = args.required(QStringLiteral("code")).trimmed();
    ctx.perform(QStringLiteral("LLDWSZ"),
                [&] { ConsumingUnits(ctx.accountSet().database()).remove(bh); });
    return codeResult(QStringLiteral("BH"), bh);
}

Result catalogueDelete(Context &ctx, const Arguments &args)
{
    const QString clbh = args.required(QStringLiteral("code")).trimmed();
    const bool yes = args.has(QStringLiteral("yes"));
    ctx.perform(QStringLiteral("CLSZ"),
                [&] { Catalogue(ctx.accountSet().database()).remove(clbh, confirmWith(yes)); });
    return codeResult(QStringLiteral("CLBH"), clbh);
}

Result unitAdd(Context &ctx, const Arguments &args)
{
    ConsumingUnits::Unit u;
    u.bh = args.required(QStringLiteral("code")).trimmed();
    u.mc = args.required(QStringLiteral("name")).trimmed();
    u.dz = args.value(QStringLiteral("address")).value_or(QString());
    u.lxr = args.value(QStringLiteral("contact")).value_or(QString());
    u.dh = args.value(QStringLiteral("phone")).value_or(QString());
    ctx.perform(QStringLiteral("LLDWSZ"),
                [&] { ConsumingUnits(ctx.accountSet().database()).add(u); });
    Result result = codeResult(QStringLiteral("BH"), u.bh);
    result.json.insert(QStringLiteral("MC"), u.mc);
    return result;
}

Result openingAdd(Context &ctx, const Arguments &args)
{
    const QString clbh = args.required(QStringLiteral("material")).trimmed();
    const Decimal price = args.requiredFigure(QStringLiteral("price"), Limits::Figure::Price);
    const Decimal quantity =
        args.requiredFigure(QStringLiteral("quantity"), Limits::Figure::Quantity);
    const std::optional<Decimal> amount =
        args.figure(QStringLiteral("amount"), Limits::Figure::Amount);
    OpeningBalances::Row added;
    ctx.perform(QStringLiteral("a"), [&] {
        AccountSetSession &set = ctx.accountSet();
        OpeningBalances balances(set.database(), set.mode(), set.formats());
        OpeningBalances::Figures f;
        f.price = price;
        f.quantity = quantity;
        // As the grid fills it while typing: price × quantity.
        f.amount = amount ? *amount : balances.amountFor(price, quantity);
        balances.add({{clbh, f}});
        const QList<OpeningBalances::Row> rows = balances.rows();
        for (const OpeningBalances::Row &r : rows) {
            if (r.clbh == clbh)
                added = r;
        }
    });
    const Formats formats = ctx.accountSet().formats();
    Result result;
    result.json = QJsonObject{{QStringLiteral("ID"), added.id},
                              {QStringLiteral("CLBH"), added.clbh},
                              {QStringLiteral("KCDJ"), formats.amountText(added.kcdj)},
                              {QStringLiteral("KCSL"), formats.quantityText(added.kcsl)},
                              {QStringLiteral("KCJE"), formats.amountText(added.kcje)}};
    result.lines << QStringLiteral("%1\t%2\t%3\t%4")
                        .arg(added.clbh, formats.amountText(added.kcdj),
                             formats.quantityText(added.kcsl), formats.amountText(added.kcje));
    return result;
}

} // namespace varnock::cli
