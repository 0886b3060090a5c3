#include "vouchers/screens/voucherfinder.h"

#include "master/screens/masterpickers.h"
#include "vouchers/directvouchers.h"
#include "vouchers/issuereturns.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/conditionform.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QSet>

#include <type_traits>

namespace varnock {

using Lines = VoucherFinder::Lines;

namespace {

// The lines of `rows`, one of `texts(row)` each; a `texts(row, line)` also gets the row's
// number as listed, from 1.
template <typename Row, typename Texts> Lines linesOf(const QList<Row> &rows, Texts texts)
{
    Lines lines;
    for (const Row &row : rows) {
        if constexpr (std::is_invocable_v<Texts, const Row &, int>)
            lines.texts.append(texts(row, int(lines.texts.size()) + 1));
        else
            lines.texts.append(texts(row));
        lines.numbers.append(row.xtbh);
    }
    return lines;
}

// A finder's look: its columns as "caption|caption:width|…", a width given where the contents
// would leave the column too narrow.
VoucherFinder::Declaration look(const QString &name, const QString &title, const QString &columns,
                                const QSize &size)
{
    VoucherFinder::Declaration d{name, title, {}, {}, size, {}, {}};
    for (const QString &column : ScreenParts::captions(columns)) {
        const qsizetype colon = column.lastIndexOf(u':');
        if (colon >= 0)
            d.widths.append({int(d.headers.size()), column.mid(colon + 1).toInt()});
        d.headers.append(colon >= 0 ? column.left(colon) : column);
    }
    return d;
}

// The search of a finder: the condition dialog `name` over the list, the family's fields added
// by `fields`, the dates last (from the family's finder start to today); then the lines `find`
// gives for the conditions, nullopt when the dialog was cancelled.
template <typename C, typename Fields, typename Find>
std::function<std::optional<Lines>(QWidget *)>
asking(const QString &name, const VoucherService &family, Fields fields, Find find,
       const QString &title = QStringLiteral("条件查询"))
{
    return [name, &family, fields, find, title](QWidget *list) -> std::optional<Lines> {
        ConditionForm<C> form(name, title, list);
        fields(form);
        form.addDates([&family] { return family.finderStart(); });
        if (const std::optional<C> c = form.ask())
            return find(*c);
        return std::nullopt;
    };
}

// The lists of the returns from the site take with "确 定(&O)" and leave with "关 闭(&X)".
void useReturnListCaptions(VoucherFinder::Declaration &d)
{
    d.ok = QStringLiteral("确 定(&O)");
    d.exit = QStringLiteral("关 闭(&X)");
}

// A finder of the family's vouchers of the current month, narrowed through the dialog `dialog`.
template <typename C, typename Family, typename Texts, typename Fields>
void listMonth(VoucherFinder::Declaration &d, const Family &family, Texts texts,
               const QString &dialog, Fields fields)
{
    d.opening = [&family, texts] { return linesOf(family.currentMonth(), texts); };
    d.search = asking<C>(dialog, family, fields,
                         [&family, texts](const C &c) { return linesOf(family.find(c), texts); });
}

// The consuming unit's picked field of a condition dialog.
template <typename C>
ConditionDialog::PickedField addUnit(ConditionForm<C> &form, const VoucherService &family,
                                     const QString &caption, const QString &nameCaption = {})
{
    return form.addPickedField(caption, nameCaption,
                               MasterPickers::pickUnit(family.database(), &form), &C::lldwbh);
}

// A return from the site names the unit it came from ("调拨单位" for a transfer).
QString returnUnitCaption(const IssueReturns &returns, const QString &caption)
{
    return returns.isTransfer() ? QStringLiteral("调拨单位：") : caption;
}

// The first columns of a finder of vouchers with a supplier, `number` the one the user wrote.
template <typename Row> QStringList supplierTexts(const Row &r, const QString &number)
{
    return {QString::number(r.xtbh),
            VoucherList::postedText(r.posted),
            VoucherList::dateText(r.czrq),
            number,
            r.gysmc,
            r.fpbh,
            r.zph};
}

QStringList stockInTexts(const StockInListRow &r)
{
    return supplierTexts(r, r.ysdjh) << r.zl;
}

QStringList stockInReturnTexts(const StockInReturnListRow &r)
{
    return supplierTexts(r, r.thdjh) << r.zl << r.ysbh;
}

QStringList directTexts(const DirectListRow &r)
{
    return supplierTexts(r, r.ysdjh) << r.issueYsdjh << r.lldwmc << r.sgbw << r.dh;
}

// The first column numbers the rows as listed.
QStringList issueTexts(const IssueListRow &r, int line)
{
    QStringList texts{QString::number(line), VoucherList::postedText(r.posted), r.ysdjh};
    texts << QString::number(r.xtbh) << VoucherList::dateText(r.czrq) << r.lldwmc << r.sgbw << r.dh
          << r.lldwbh;
    return texts;
}

QStringList returnableIssueTexts(const ReturnableIssueRow &r)
{
    return {r.ysdjh, r.lldwmc, VoucherList::dateText(r.czrq), r.sgbw, r.dh, QString::number(r.xtbh),
            r.lldwbh};
}

QStringList issueReturnTexts(const IssueReturnListRow &r)
{
    return {r.thdjh, r.lldwmc, VoucherList::postedText(r.posted)};
}

} // namespace

VoucherFinder::VoucherFinder(const Declaration &declaration, QWidget *parent)
    : VoucherList(declaration.name, declaration.title, declaration.headers, parent)
    , m_declaration(declaration)
{
    setButtonCaptions(m_declaration.ok, m_declaration.exit);
    show([this] { return m_declaration.opening(); });
    fitColumns(m_declaration.widths);
    resize(m_declaration.size);
}

void VoucherFinder::search()
{
    show([this] { return m_declaration.search(this); });
}

void VoucherFinder::show(const std::function<std::optional<Lines>()> &fetch)
{
    std::optional<Lines> lines;
    if (runOperation(this, [&] { lines = fetch(); }) && lines)
        setLines(lines->texts, lines->numbers);
}

VoucherFinder::Declaration VoucherFinder::stockIns(const StockInVouchers &vouchers)
{
    using C = StockInConditions;
    const StockInKind &kind = vouchers.kind();
    Declaration d = look(QStringLiteral("FrmDjcxjg"), kind.zl + QStringLiteral("凭单查询"),
                         QStringLiteral("系统编号|记账标志|操作日期|原始单据号:150|供应商名称:150|"
                                        "发票号|支票号|账类"),
                         QSize(760, 420));
    listMonth<C>(
        d, vouchers, stockInTexts, QStringLiteral("FrmDjcx"), [&vouchers](ConditionForm<C> &form) {
            const StockInKind &k = vouchers.kind();
            const bool transfer = k.kind == StockInKind::TransferIn;
            form.addPickedField(k.partnerCode,
                                transfer ? k.partnerName : QStringLiteral("供应商名称："),
                                MasterPickers::pickSupplier(vouchers.database(), &form), &C::gysbh);
            form.addField(QStringLiteral("发票编号："), &C::fpbh);
            form.addField(QStringLiteral("原始单据号："), &C::ysdjh);
            form.addField(QStringLiteral("支 票 号："), &C::zph);
            form.addField(QStringLiteral("材料编号："), &C::clbh);
        });
    return d;
}

VoucherFinder::Declaration VoucherFinder::stockIns(const StockInVouchers &vouchers,
                                                   const QList<StockInListRow> &offered)
{
    Declaration d = stockIns(vouchers);
    QSet<qint64> numbers;
    for (const StockInListRow &r : offered)
        numbers.insert(r.xtbh);
    const Lines listed = linesOf(offered, stockInTexts);
    d.opening = [listed] { return listed; };
    d.search = [asked = d.search, numbers](QWidget *list) -> std::optional<Lines> {
        const std::optional<Lines> found = asked(list);
        if (!found)
            return std::nullopt;
        Lines lines;
        for (qsizetype i = 0; i < found->numbers.size(); ++i) {
            if (numbers.contains(found->numbers[i])) {
                lines.texts.append(found->texts[i]);
                lines.numbers.append(found->numbers[i]);
            }
        }
        return lines;
    };
    return d;
}

VoucherFinder::Declaration VoucherFinder::stockInReturns(const StockInReturns &returns)
{
    using C = StockInReturnConditions;
    Declaration d =
        look(QStringLiteral("FrmDjcxth"), returns.kind().zl + QStringLiteral("凭单查询"),
             QStringLiteral("系统编号|记账标志|操作日期|原始单据号:150|供应商名称:150|"
                            "发票号|支票号|账类|入库单号:150"),
             QSize(900, 420));
    listMonth<C>(d, returns, stockInReturnTexts, QStringLiteral("FrmThdcx"),
                 [&returns](ConditionForm<C> &form) {
                     form.addPickedField(returns.kind().partnerCode, returns.kind().partnerName,
                                         MasterPickers::pickSupplier(returns.database(), &form),
                                         &C::gysbh);
                     form.addField(QStringLiteral("发票编号："), &C::fpbh);
                     form.addField(QStringLiteral("原始单据号："), &C::thdjh);
                     form.addField(QStringLiteral("材料编号："), &C::clbh);
                 });
    return d;
}

VoucherFinder::Declaration VoucherFinder::issues(const IssueVouchers &vouchers)
{
    using C = IssueConditions;
    const bool transfer = vouchers.zl() == IssueVouchers::TransferOut;
    Declaration d =
        look(QStringLiteral("FormPDCX"), QStringLiteral("凭单查询"),
             QStringLiteral("行号|记帐|单据编号:150|凭证编号|操作日期|%1:150|施工部位|"
                            "栋/楼号|耗料单位编号")
                 .arg(transfer ? QStringLiteral("调拨单位") : QStringLiteral("耗料单位")),
             QSize(860, 420));
    listMonth<C>(
        d, vouchers, issueTexts, QStringLiteral("FrmLLpdcx"), [&vouchers](ConditionForm<C> &form) {
            QStringList sites;
            QStringList buildings;
            runOperation(&form, [&] {
                sites = vouchers.sites();
                buildings = vouchers.buildings();
            });
            const ConditionDialog::PickedField unit =
                addUnit(form, vouchers, QStringLiteral("单位编号："), QStringLiteral("单位名称："));
            form.addChoiceField(QStringLiteral("施工部位："), sites, &C::sgbw);
            form.addField(QStringLiteral("原始单据号："), &C::ysdjh);
            form.addChoiceField(QStringLiteral("栋/楼号："), buildings, &C::dh);
            form.addField(QStringLiteral("材料编号："), &C::clbh);
            // A typed unit code shows its name, as a picked one does.
            QObject::connect(
                unit.code, &QLineEdit::editingFinished, &form, [&vouchers, &form, unit] {
                    std::optional<QString> name;
                    runOperation(&form, [&] { name = vouchers.unitName(unit.code->text()); });
                    unit.name->setText(name.value_or(QString()));
                });
        });
    return d;
}

VoucherFinder::Declaration VoucherFinder::returnableIssues(const IssueReturns &returns,
                                                           const QString &clbh)
{
    using C = ReturnableIssueConditions;
    Declaration d = look(
        QStringLiteral("FrmCkdcx"),
        returns.isTransfer() ? QStringLiteral("调拨出库单据") : QStringLiteral("领料出库单据"),
        QStringLiteral("单据编号:150|单位名称:150|操作日期|施工部位|栋/楼号|系统编号|单位编号"),
        QSize(800, 420));
    useReturnListCaptions(d);
    d.opening = [&returns, clbh] {
        return linesOf(returns.returnableIssues(clbh), returnableIssueTexts);
    };
    d.search = asking<C>(
        QStringLiteral("FLLCKCX"), returns,
        [&returns](ConditionForm<C> &form) {
            addUnit(form, returns, returnUnitCaption(returns, QStringLiteral("耗料单位：")));
            form.addField(QStringLiteral("施工部位："), &C::sgbw);
            form.addField(QStringLiteral("原始单据号："), &C::ysdjh);
            form.addField(QStringLiteral("栋/楼号："), &C::dh);
            form.addField(QStringLiteral("材料编号："), &C::clbh);
        },
        [&returns](const C &c) {
            return linesOf(returns.findReturnableIssues(c), returnableIssueTexts);
        },
        QStringLiteral("单据查询"));
    return d;
}

VoucherFinder::Declaration VoucherFinder::directs(const DirectVouchers &vouchers)
{
    using C = DirectConditions;
    Declaration d = look(QStringLiteral("FrmZjzcjg"), QStringLiteral("直进直出凭单查询"),
                         QStringLiteral("系统编号|记账标志|操作日期|入库单号:150|供应商名称:150|"
                                        "发票号|支票号|出库单号:150|耗料单位名称|施工部位|栋号"),
                         QSize(1000, 420));
    listMonth<C>(
        d, vouchers, directTexts, QStringLiteral("FrmZjzccx"), [&vouchers](ConditionForm<C> &form) {
            form.addPickedField(QStringLiteral("供应商编号："), QStringLiteral("供应商名称："),
                                MasterPickers::pickSupplier(vouchers.database(), &form), &C::gysbh);
            addUnit(form, vouchers, QStringLiteral("耗料单位编号："),
                    QStringLiteral("耗料单位名称："));
            form.addField(QStringLiteral("材料编号："), &C::clbh);
        });
    return d;
}

VoucherFinder::Declaration VoucherFinder::issueReturns(const IssueReturns &returns)
{
    using C = IssueReturnConditions;
    Declaration d =
        look(QStringLiteral("FrmCktkcx"), QStringLiteral("条件查询"),
             QStringLiteral("原始单据号:170|    领 料 单 位 名 称:200|记账标志"), QSize(560, 400));
    useReturnListCaptions(d);
    listMonth<C>(d, returns, issueReturnTexts, QStringLiteral("Fllthcx"),
                 [&returns](ConditionForm<C> &form) {
                     addUnit(form, returns,
                             returnUnitCaption(returns, QStringLiteral("领料单位：")));
                     form.addField(QStringLiteral("退库单据号："), &C::thdjh);
                     form.addField(QStringLiteral("出库单号："), &C::ysbh);
                     form.addField(QStringLiteral("材料编号："), &C::clbh);
                 });
    return d;
}

} // namespace varnock
