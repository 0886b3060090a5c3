#include "leasing/leases.h"

#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "store/database.h"
#include "store/limits.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");

QString rowText(int row)
{
    return QStringLiteral("第") + QString::number(row + 1);
}

VoucherService::Table familyTable()
{
    VoucherService::Table t{QStringLiteral("ZLBIAO"), QStringLiteral("DJBH"), {}, {}, {}};
    t.systemColumn = QStringLiteral("DJBH");
    t.ledger = false;
    return t;
}

VoucherService::Rules familyRules()
{
    // Never posted: the posted refusals are never given.
    const Refusal none(Title, QString());
    return {none, none, QStringLiteral("该租赁单据不存在！"), false};
}

} // namespace

Leases::Leases(Database &db, const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), QString(), 0, formats)
{}

std::optional<QString> Leases::supplierName(const QString &gysbh) const
{
    if (gysbh.trimmed().isEmpty())
        return std::nullopt;
    const auto s = Suppliers(database()).find(gysbh.trimmed());
    return s ? std::optional<QString>(s->mc) : std::nullopt;
}

std::optional<QString> Leases::unitName(const QString &lldwbh) const
{
    if (lldwbh.trimmed().isEmpty())
        return std::nullopt;
    const auto u = ConsumingUnits(database()).find(lldwbh.trimmed());
    return u ? std::optional<QString>(u->mc) : std::nullopt;
}

Decimal Leases::lineAmount(const LeaseLine &line) const
{
    return formats().roundAmount(line.quantity * line.rent);
}

QList<Refusal> Leases::refusals(const LeaseVoucher &v) const
{
    QList<Refusal> found;
    // A code that names nobody is as wrong as none: the lease would drop out of the lists
    // and the payments.
    if (!supplierName(v.gysbh))
        found.append(Refusal(Title, QStringLiteral("请正确选择供应商")));
    if (!unitName(v.lldwbh))
        found.append(Refusal(Title, QStringLiteral("请正确选择领料单位")));
    if (!v.czrq.isValid())
        found.append(Refusal(Title, QStringLiteral("请选择租赁日期！")));
    else if (const std::optional<QString> problem = VoucherBook::dateProblem(v.czrq))
        found.append(Refusal(Title, *problem));
    if (std::none_of(v.lines.begin(), v.lines.end(),
                     [](const LeaseLine &line) { return line.hasMaterial(); })) {
        found.append(Refusal(Title, QStringLiteral("请输入租赁材料！")));
        return found;
    }
    QStringList rows;
    for (int row = 0; row < v.lines.size(); ++row) {
        const LeaseLine &line = v.lines.at(row);
        if (!line.hasMaterial())
            continue;
        if (!isMaterial(line.clbh)) {
            rows.append(rowText(row) + QStringLiteral("行材料编号不存在!"));
            continue;
        }
        const Decimal quantity = formats().roundQuantity(line.quantity);
        if (quantity.isZero() || quantity.isNegative() || line.rent.isNegative() ||
            line.deposit.isNegative())
            rows.append(rowText(row) + QStringLiteral("行请输入数据!"));
        else if (const auto problem = Limits::figureProblem(Limits::Figure::Quantity, quantity))
            rows.append(rowText(row) + QStringLiteral("行") + *problem);
        else if (const auto price = Limits::figureProblem(Limits::Figure::Price, line.rent))
            rows.append(rowText(row) + QStringLiteral("行") + *price);
        else if (const auto deposit = Limits::figureProblem(Limits::Figure::Amount, line.deposit))
            rows.append(rowText(row) + QStringLiteral("行") + *deposit);
    }
    if (!rows.isEmpty())
        found.append(Refusal(Title, rows.join(QLatin1Char('\n'))));
    return found;
}

QList<VoucherService::Row> Leases::rows(const LeaseVoucher &v, qint64) const
{
    QList<Row> rows;
    for (const LeaseLine &line : v.lines) {
        if (!line.hasMaterial())
            continue;
        rows.append(Row(line.id)
                        .set("CLBH", line.clbh.trimmed())
                        .set("GYSBH", v.gysbh.trimmed())
                        .set("LLDWBH", v.lldwbh.trimmed())
                        .set("ZLRQ", VoucherBook::dateText(v.czrq))
                        .set("ZLSL", formats().roundQuantity(line.quantity).toVariant())
                        .set("DJ", formats().roundAmount(line.rent).toVariant())
                        .set("YAJIN", formats().roundAmount(line.deposit).toVariant())
                        .set("JE", lineAmount(line).toVariant()));
    }
    return rows;
}

// Return lines point at lease lines by ID and copy their supplier and unit, and the rent is
// counted from the lease date to each return: a line returned against keeps its ID, its
// material and at least the quantity returned, and the voucher its supplier, its unit and a
// date no later than its first return.
void Leases::checkEdit(const LeaseVoucher &voucher) const
{
    struct Stored
    {
        QString clbh;
        Decimal returned;
    };
    QHash<qint64, Stored> returned;
    QSqlQuery q = database().exec(QStringLiteral("SELECT L.ID, L.CLBH, SUM(H.HZSL) FROM ZLBIAO L "
                                                 "JOIN ZLHZ H ON H.ZLID = L.ID "
                                                 "WHERE L.DJBH = ? GROUP BY L.ID, L.CLBH"),
                                  {voucher.xtbh});
    while (q.next())
        returned.insert(q.value(0).toLongLong(),
                        {q.value(1).toString().trimmed(), Decimal::fromVariant(q.value(2))});
    q.finish();
    if (returned.isEmpty())
        return;

    QSqlQuery head =
        database().exec(QStringLiteral("SELECT MAX(L.GYSBH), MAX(L.LLDWBH), MIN(H.HZRQ) "
                                       "FROM ZLBIAO L JOIN ZLHZ H ON H.ZLID = L.ID "
                                       "WHERE L.DJBH = ?"),
                        {voucher.xtbh});
    head.next();
    if (head.value(0).toString().trimmed() != voucher.gysbh.trimmed() ||
        head.value(1).toString().trimmed() != voucher.lldwbh.trimmed())
        throw Refusal(Title, QStringLiteral("该租赁单已做还租，不能更换供应商或领料单位！"));
    if (voucher.czrq > VoucherBook::dateOf(head.value(2)))
        throw Refusal(Title, QStringLiteral("租赁日期不能晚于还租日期！"));
    head.finish();

    QSet<qint64> kept;
    for (int row = 0; row < voucher.lines.size(); ++row) {
        const LeaseLine &line = voucher.lines.at(row);
        if (!line.hasMaterial() || !returned.contains(line.id))
            continue;
        kept.insert(line.id);
        const Stored &s = returned.value(line.id);
        if (s.clbh != line.clbh.trimmed())
            throw Refusal(Title, rowText(row) + QStringLiteral("行已做还租，不能更换材料！"));
        if (formats().roundQuantity(line.quantity) < s.returned)
            throw Refusal(Title, rowText(row) + QStringLiteral("行租赁数量不能小于已还租数量！"));
    }
    for (auto it = returned.cbegin(); it != returned.cend(); ++it) {
        if (!kept.contains(it.key()))
            throw Refusal(Title, QStringLiteral("材料") + it.value().clbh +
                                     QStringLiteral("已做还租，不能删除！"));
    }
}

void Leases::checkRemove(qint64 djbh) const
{
    if (database()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM ZLHZ WHERE ZLID IN "
                                   "(SELECT ID FROM ZLBIAO WHERE DJBH = ?)"),
                    {djbh})
            .toLongLong() > 0)
        throw Refusal(Title, QStringLiteral("该租赁单已做还租，不能删除！"));
}

std::optional<LeaseVoucher> Leases::load(qint64 djbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT L.ID, L.CLBH, C.CLMC, C.CLGG, C.JZDW, L.ZLSL, L.DJ, L.YAJIN, L.JE, "
                       "(SELECT SUM(H.HZSL) FROM ZLHZ H WHERE H.ZLID = L.ID), "
                       "L.GYSBH, G.MC, L.LLDWBH, W.MC, L.ZLRQ FROM ZLBIAO L "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                       "LEFT JOIN GYS G ON G.BH = L.GYSBH "
                       "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                       "WHERE L.DJBH = ? ORDER BY L.ID"),
        {djbh});
    LeaseVoucher v;
    v.xtbh = djbh;
    while (q.next()) {
        if (v.lines.isEmpty())
            readRowAt(q, 10, v.gysbh, v.gysmc, v.lldwbh, v.lldwmc, v.czrq);
        LeaseLine line;
        readRow(q, line.id, line.clbh, line.clmc, line.clgg, line.jzdw, line.quantity, line.rent,
                line.deposit, line.amount, line.returned);
        v.lines.append(line);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

ReportTable Leases::slip(qint64 djbh) const
{
    using Column = ReportTable::Column;
    const std::optional<LeaseVoucher> v = load(djbh);
    const QString title = v ? QStringLiteral("租赁凭单  No.%1  %2  租赁供应商：%3  耗料单位：%4")
                                  .arg(djbh)
                                  .arg(VoucherBook::dateText(v->czrq), v->gysmc, v->lldwmc)
                            : QStringLiteral("租赁凭单");
    ReportTable table(QStringLiteral("租赁凭单"), title,
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("记帐单位"), Column::Text},
                       {QStringLiteral("ZLSL"), QStringLiteral("租赁数量"), Column::Quantity},
                       {QStringLiteral("DJ"), QStringLiteral("租赁单价"), Column::Price},
                       {QStringLiteral("YAJIN"), QStringLiteral("押金"), Column::Amount},
                       {QStringLiteral("JE"), QStringLiteral("金额"), Column::Amount}});
    if (!v)
        return table;
    Decimal deposit;
    Decimal amount;
    for (const LeaseLine &l : v->lines) {
        table.addRow({l.clbh, l.clmc, l.clgg, l.jzdw, ReportTable::figure(l.quantity),
                      ReportTable::figure(l.rent), ReportTable::figure(l.deposit),
                      ReportTable::figure(l.amount)});
        deposit += l.deposit;
        amount += l.amount;
    }
    table.addRow({{},
                  QStringLiteral("合计"),
                  {},
                  {},
                  {},
                  {},
                  ReportTable::figure(deposit),
                  ReportTable::figure(amount)},
                 ReportTable::RowStyle::Total);
    return table;
}

QList<LeaseListRow> Leases::list(const FinderConditions &conditions) const
{
    using R = LeaseListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT L.DJBH, MAX(L.ZLRQ), MAX(L.GYSBH), MAX(G.MC), "
                                    "MAX(L.LLDWBH), MAX(W.MC) FROM ZLBIAO L "
                                    "LEFT JOIN GYS G ON G.BH = L.GYSBH "
                                    "LEFT JOIN LLDW W ON W.BH = L.LLDWBH"),
                     conditions, QStringLiteral("GROUP BY L.DJBH ORDER BY L.DJBH")),
        &R::xtbh, &R::zlrq, &R::gysbh, &R::gysmc, &R::lldwbh, &R::lldwmc);
}

QList<LeaseListRow> Leases::all() const
{
    return list(FinderConditions());
}

QList<LeaseListRow> Leases::find(const LeaseConditions &c) const
{
    return list(FinderConditions({{"L.GYSBH", c.gysbh}, {"L.LLDWBH", c.lldwbh}, {"L.CLBH", c.clbh}},
                                 "L.ZLRQ", c.from, c.to));
}

} // namespace varnock
