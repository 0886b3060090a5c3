#include "vouchers/issuevouchers.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/inparts.h"
#include "store/limits.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

namespace varnock {

namespace {

[[noreturn]] void refuse(const QString &title, const QString &text)
{
    throw Refusal(title, text);
}

QString rowText(int row)
{
    return QStringLiteral("第") + QString::number(row + 1);
}

} // namespace

const QString IssueVouchers::Requisition = QStringLiteral("1");
const QString IssueVouchers::TransferOut = QStringLiteral("2");

namespace {

VoucherService::Table familyTable()
{
    return {QStringLiteral("LLD"), QStringLiteral("YSDJH"), {}, {}, {}};
}

VoucherService::Rules familyRules()
{
    const Refusal posted(QStringLiteral("提示"), QStringLiteral("该单据已经记账，不允许修改！"));
    return {posted, posted, QStringLiteral("该单据不存在！"), true};
}

} // namespace

IssueVouchers::IssueVouchers(Database &db, const QString &zl, int accountingMode,
                             const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), zl, accountingMode, formats)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
{}

QStringList IssueVouchers::sites() const
{
    return VoucherBook(database())
        .texts(QStringLiteral("SELECT DISTINCT SGBW FROM LLD ORDER BY SGBW"));
}

QStringList IssueVouchers::buildings() const
{
    return VoucherBook(database()).texts(QStringLiteral("SELECT DISTINCT DH FROM LLD ORDER BY DH"));
}

std::optional<QString> IssueVouchers::unitName(const QString &lldwbh) const
{
    Query q =
        database().query(QStringLiteral("SELECT MC FROM LLDW WHERE BH = ?"), {lldwbh.trimmed()});
    if (lldwbh.trimmed().isEmpty() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

IssueVouchers::StoredFigures IssueVouchers::storedFigures(const IssueLine &line) const
{
    // Under first in first out the posting costs the line; nothing is priced before.
    if (m_fifo)
        return {Decimal(), line.storedQuantity(formats()), Decimal()};
    return {line.storedPrice(formats()), line.storedQuantity(formats()),
            formats().roundAmount(line.amount)};
}

QHash<QString, IssueVouchers::Held> IssueVouchers::held(const QStringList &codes) const
{
    QStringList distinct = codes;
    distinct.removeDuplicates();
    QHash<QString, Held> found;
    queryInParts(
        database(), QVariantList(distinct.cbegin(), distinct.cend()),
        [](qsizetype count) {
            return QStringLiteral("WITH V (CLBH) AS (VALUES %1) "
                                  "SELECT V.CLBH, C.JJFS, C.JHDJ, K.KCSL, K.KCJE FROM V "
                                  "LEFT JOIN CLJBXXB C ON C.CLBH = V.CLBH "
                                  "LEFT JOIN KC K ON K.CLBH = V.CLBH")
                .arg(QStringList(count, QStringLiteral("(?)")).join(u','));
        },
        [&found](Query &q) {
            while (q.next()) {
                Held h;
                readRowAt(q, 1, h.planned, h.plannedPrice, h.quantity, h.amount);
                found.insert(q.value(0).toString(), h);
            }
        });
    return found;
}

void IssueVouchers::priceWith(IssueLine &line, const Held &held) const
{
    line.stockQuantity = held.quantity;
    line.stockAmount = held.amount;
    if (m_fifo) {
        line.price = Decimal();
        line.amount = Decimal();
        return;
    }
    const CostEngine::IssuePrice p =
        CostEngine::issuePrice(formats(), held.planned, held.plannedPrice, held.quantity,
                               held.amount, line.accountingQuantity());
    line.price =
        line.converts() ? formats().roundAmount(p.unitPrice.timesFactor(line.hsxs)) : p.unitPrice;
    line.amount = p.amount;
}

void IssueVouchers::priceLine(IssueLine &line) const
{
    if (!line.hasMaterial())
        return;
    const QString clbh = line.clbh.trimmed();
    priceWith(line, held({clbh}).value(clbh));
}

void IssueVouchers::price(IssueVoucher &voucher) const
{
    // Every line's material is read at once.
    QStringList codes;
    for (const IssueLine &line : std::as_const(voucher.lines)) {
        if (line.hasMaterial())
            codes << line.clbh.trimmed();
    }
    const QHash<QString, Held> materials = held(codes);
    for (IssueLine &line : voucher.lines) {
        if (line.hasMaterial())
            priceWith(line, materials.value(line.clbh.trimmed()));
    }
}

QList<Refusal> IssueVouchers::refusals(const IssueVoucher &v) const
{
    const QString title = QStringLiteral("提示窗口");
    QList<Refusal> found;
    // A code that names no unit is as wrong as none: the voucher would drop out of every
    // list that shows the unit's name.
    if (!unitName(v.lldwbh))
        found.append(Refusal(title, QStringLiteral("请选择单位名称！")));
    found.append(refusalsOf(
        title, dateProblems(v.czrq, QStringLiteral("操作日期应大于月结时间，请选择其他日期！"))));
    if (std::none_of(v.lines.begin(), v.lines.end(),
                     [](const IssueLine &line) { return line.hasMaterial(); })) {
        found.append(
            Refusal(QStringLiteral("提示窗口！！！"), QStringLiteral("数据库里没有数据！！！")));
        return found;
    }

    QStringList codes;
    for (const IssueLine &line : v.lines)
        codes << line.clbh;
    const QSet<QString> materials = materialsAmong(codes);
    QStringList rows;
    for (int row = 0; row < v.lines.size(); ++row) {
        const IssueLine &line = v.lines.at(row);
        if (!line.hasMaterial())
            continue;
        if (!materials.contains(line.clbh.trimmed())) {
            rows.append(rowText(row) + QStringLiteral("行材料编号不存在!"));
            continue;
        }
        if (line.inConversionUnit() && !(line.hsxs > 0)) {
            rows.append(rowText(row) + QStringLiteral("行换算系数无效!"));
            continue;
        }
        // A negative quantity would put goods back into stock behind the returns' back.
        const Decimal quantity = storedFigures(line).sjsl;
        if (quantity.isZero() || quantity.isNegative())
            rows.append(rowText(row) + QStringLiteral("行请输入数据!"));
        else if (const auto problem = Limits::figureProblem(Limits::Figure::Quantity, quantity))
            rows.append(rowText(row) + QStringLiteral("行") + *problem);
    }
    if (!rows.isEmpty())
        found.append(Refusal(title, rows.join(QLatin1Char('\n'))));
    return found;
}

QList<VoucherService::Row> IssueVouchers::rows(const IssueVoucher &v, qint64) const
{
    QList<Row> rows;
    for (const IssueLine &line : v.lines) {
        if (!line.hasMaterial())
            continue;
        const StoredFigures f = storedFigures(line);
        rows.append(Row(line.id)
                        .set("YSDJH", v.ysdjh)
                        .set("LLDWBH", v.lldwbh.trimmed())
                        .set("CZRQ", VoucherBook::dateText(v.czrq))
                        .set("SGBW", v.sgbw)
                        .set("DH", v.dh)
                        .set("CLBH", line.clbh.trimmed())
                        .set("SJDJ", f.sjdj.toVariant())
                        .set("SJSL", f.sjsl.toVariant())
                        .set("SJJE", f.sjje.toVariant())
                        .setOnInsert("ZL", zl())
                        .set("BZ", line.bz));
    }
    return rows;
}

void IssueVouchers::checkChange(qint64 xtbh) const
{
    if (database()
            .scalar(QStringLiteral("SELECT MAX(ZJZC) FROM LLD WHERE XTBH = ?"), {xtbh})
            .toInt() != 0)
        refuse(QStringLiteral("提示"), QStringLiteral("直进直出单据不允许在此修改！"));
}

void IssueVouchers::checkEdit(const IssueVoucher &voucher) const
{
    struct Stored
    {
        QString clbh;
        Decimal returned;
    };
    QHash<qint64, Stored> returned; // the stored lines that goods came back against
    QSqlQuery q = database().exec(QStringLiteral("SELECT L.ID, L.CLBH, SUM(T.THSL) FROM LLD L "
                                                 "JOIN TKD T ON T.LLID = L.ID "
                                                 "WHERE L.XTBH = ? GROUP BY L.ID, L.CLBH"),
                                  {voucher.xtbh});
    while (q.next())
        returned.insert(q.value(0).toLongLong(),
                        {q.value(1).toString().trimmed(), Decimal::fromVariant(q.value(2))});
    q.finish();

    const QString title = QStringLiteral("提示");
    QSet<qint64> kept;
    for (int row = 0; row < voucher.lines.size(); ++row) {
        const IssueLine &line = voucher.lines.at(row);
        if (!line.hasMaterial() || !returned.contains(line.id))
            continue;
        kept.insert(line.id);
        const Stored &s = returned.value(line.id);
        if (s.clbh != line.clbh.trimmed())
            refuse(title, rowText(row) + QStringLiteral("行已做退库，不能更换材料！"));
        if (storedFigures(line).sjsl < s.returned)
            refuse(title, rowText(row) + QStringLiteral("行出库数量不能小于已退库数量！"));
    }
    for (auto it = returned.cbegin(); it != returned.cend(); ++it) {
        if (!kept.contains(it.key()))
            refuse(title, QStringLiteral("材料") + it.value().clbh +
                              QStringLiteral("已做退库，不能删除！"));
    }
}

void IssueVouchers::checkRemove(qint64 xtbh) const
{
    if (database()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM TKD WHERE LLID IN "
                                   "(SELECT ID FROM LLD WHERE XTBH = ?)"),
                    {xtbh})
            .toLongLong() > 0)
        refuse(QStringLiteral("提示"), QStringLiteral("该单据已做退库，不能删除！"));
}

std::optional<IssueVoucher> IssueVouchers::load(qint64 xtbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT L.ID, L.CLBH, C.CLMC, C.CLGG, C.JZDW, C.HSDW, C.HSXS, C.JJFS, "
                       "L.SJDJ, L.SJSL, L.SJJE, L.BZ, K.KCSL, K.KCJE, L.JZBZ, L.YSDJH, "
                       "L.LLDWBH, W.MC, L.CZRQ, L.SGBW, L.DH FROM LLD L "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                       "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                       "LEFT JOIN KC K ON K.CLBH = L.CLBH "
                       "WHERE L.XTBH = ? AND L.ZL = ? AND L.CZBZ = 0 ORDER BY L.ID"),
        {xtbh, zl()});
    IssueVoucher v;
    v.xtbh = xtbh;
    while (q.next()) {
        if (v.lines.isEmpty())
            readRowAt(q, 15, v.ysdjh, v.lldwbh, v.lldwmc, v.czrq, v.sgbw, v.dh);
        // Stored lines are in the accounting unit.
        IssueLine line;
        bool posted = false;
        readRow(q, line.id, line.clbh, line.clmc, line.clgg, line.jzdw, line.materialHsdw,
                line.hsxs, line.plannedPrice, line.price, line.quantity, line.amount, line.bz,
                line.stockQuantity, line.stockAmount, posted);
        line.materialHsdw = line.materialHsdw.trimmed();
        v.posted = v.posted || posted;
        v.lines.append(line);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

QList<IssueListRow> IssueVouchers::list(const FinderConditions &conditions) const
{
    using R = IssueListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT L.XTBH, MAX(L.JZBZ), L.YSDJH, L.CZRQ, L.LLDWBH, W.MC, "
                                    "L.SGBW, L.DH FROM LLD L LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                    "WHERE L.ZJZC = 0 AND L.ZL = ?"),
                     conditions,
                     QStringLiteral("GROUP BY L.XTBH, L.YSDJH, L.CZRQ, L.LLDWBH, W.MC, L.SGBW, "
                                    "L.DH ORDER BY L.XTBH")),
        &R::xtbh, &R::posted, &R::ysdjh, &R::czrq, &R::lldwbh, &R::lldwmc, &R::sgbw, &R::dh);
}

QList<IssueListRow> IssueVouchers::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("L.CZRQ"));
    return list(c);
}

QList<IssueListRow> IssueVouchers::find(const IssueConditions &c) const
{
    return list(FinderConditions({{"L.LLDWBH", c.lldwbh},
                                  {"L.SGBW", c.sgbw},
                                  {"L.YSDJH", c.ysdjh},
                                  {"L.DH", c.dh},
                                  {"L.CLBH", c.clbh}},
                                 "L.CZRQ", c.from, c.to));
}

} // namespace varnock
