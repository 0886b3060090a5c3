#include "leasing/leasereturns.h"

#include "store/database.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("警告");

VoucherService::Table familyTable()
{
    VoucherService::Table t{QStringLiteral("ZLHZ"),
                            QStringLiteral("DJBH"),
                            {},
                            QStringLiteral("ZLBIAO"),
                            QStringLiteral("ZLID")};
    t.systemColumn = QStringLiteral("DJBH");
    t.ledger = false;
    return t;
}

VoucherService::Rules familyRules()
{
    const Refusal none(Title, QString());
    return {none, none, QStringLiteral("该还租单据不存在！"), false};
}

} // namespace

const QString LeaseReturns::OverReturnText = QStringLiteral("数据入录错误,请重新输入");

LeaseReturns::LeaseReturns(Database &db, const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), QString(), 0, formats)
{}

Decimal LeaseReturns::amountOf(Decimal quantity, Decimal rent, qint64 rentDays) const
{
    return formats().roundAmount(rent * (quantity * Decimal::fromInt(rentDays)));
}

std::optional<LeaseReturnVoucher> LeaseReturns::withLeaseLines(qint64 zldjbh,
                                                               qint64 exceptDjbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT L.ID, L.CLBH, C.CLMC, C.CLGG, C.JZDW, L.ZLSL, L.DJ, L.YAJIN, "
                       "(SELECT SUM(H.HZSL) FROM ZLHZ H WHERE H.ZLID = L.ID AND H.DJBH <> ?), "
                       "L.GYSBH, G.MC, L.LLDWBH, W.MC, L.ZLRQ FROM ZLBIAO L "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                       "LEFT JOIN GYS G ON G.BH = L.GYSBH "
                       "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                       "WHERE L.DJBH = ? ORDER BY L.ID"),
        {exceptDjbh, zldjbh});
    LeaseReturnVoucher v;
    v.zldjbh = zldjbh;
    while (q.next()) {
        if (v.lines.isEmpty())
            readRowAt(q, 9, v.gysbh, v.gysmc, v.lldwbh, v.lldwmc, v.leaseDate);
        LeaseReturnLine line;
        readRow(q, line.zlid, line.clbh, line.clmc, line.clgg, line.jzdw, line.leased, line.rent,
                line.deposit, line.returnedBefore);
        v.lines.append(line);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

std::optional<LeaseReturnVoucher> LeaseReturns::draft(qint64 zldjbh, const QDate &date) const
{
    std::optional<LeaseReturnVoucher> v = withLeaseLines(zldjbh, 0);
    if (v)
        v->czrq = date;
    return v;
}

bool LeaseReturns::setQuantity(LeaseReturnLine &line, Decimal quantity, qint64 rentDays) const
{
    const Decimal q = formats().roundQuantity(quantity);
    if (q.isNegative() || q > line.remaining())
        return false;
    line.quantity = q;
    line.amount = amountOf(q, line.rent, rentDays);
    return true;
}

void LeaseReturns::setDate(LeaseReturnVoucher &voucher, const QDate &date) const
{
    voucher.czrq = date;
    for (LeaseReturnLine &line : voucher.lines)
        line.amount = amountOf(line.quantity, line.rent, voucher.rentDays());
}

Decimal LeaseReturns::remainingAmount(const LeaseReturnLine &line, qint64 rentDays) const
{
    return amountOf(line.remaining(), line.rent, rentDays);
}

QList<Refusal> LeaseReturns::refusals(const LeaseReturnVoucher &v) const
{
    QList<Refusal> found;
    // Lease numbers are drawn by the books: a return without one names no lease yet.
    if (v.zldjbh == 0) {
        found.append(Refusal(QStringLiteral("提示"), QStringLiteral("请填写租赁单据编号")));
        return found;
    }
    const std::optional<LeaseReturnVoucher> lease = withLeaseLines(v.zldjbh, v.xtbh);
    if (!lease) {
        found.append(Refusal(QStringLiteral("提示"), QStringLiteral("该租赁单据不存在！")));
        return found;
    }
    if (!v.czrq.isValid())
        found.append(Refusal(Title, QStringLiteral("请选择还租日期！")));
    else if (const std::optional<QString> problem = VoucherBook::dateProblem(v.czrq))
        found.append(Refusal(Title, *problem));
    // Rent runs from the lease date: a return before it would count negative days.
    else if (v.czrq < lease->leaseDate)
        found.append(Refusal(Title, QStringLiteral("还租日期不能早于租用日期！")));

    QHash<qint64, LeaseReturnLine> stored;
    for (const LeaseReturnLine &line : lease->lines)
        stored.insert(line.zlid, line);
    QHash<qint64, Decimal> returned;
    for (const LeaseReturnLine &line : v.lines) {
        if (line.isReturned())
            returned[line.zlid] += formats().roundQuantity(line.quantity);
    }
    for (auto it = returned.cbegin(); it != returned.cend(); ++it) {
        const auto source = stored.constFind(it.key());
        if (source == stored.cend() || it.value() > source->remaining()) {
            found.append(Refusal(Title, OverReturnText));
            return found;
        }
    }
    if (returned.isEmpty())
        found.append(Refusal(Title, QStringLiteral("请输入归还数量！")));
    return found;
}

QList<VoucherService::Row> LeaseReturns::rows(const LeaseReturnVoucher &v, qint64) const
{
    const std::optional<LeaseReturnVoucher> lease = withLeaseLines(v.zldjbh, v.xtbh);
    QHash<qint64, LeaseReturnLine> stored;
    if (!lease)
        return {};
    for (const LeaseReturnLine &line : lease->lines)
        stored.insert(line.zlid, line);
    LeaseReturnVoucher dated = *lease;
    dated.czrq = v.czrq;
    QList<Row> rows;
    for (const LeaseReturnLine &line : v.lines) {
        if (!line.isReturned())
            continue;
        // The material, supplier, unit and rent are the lease line's, whatever was shown.
        const LeaseReturnLine &source = stored[line.zlid];
        const Decimal quantity = formats().roundQuantity(line.quantity);
        rows.append(
            Row(line.id, line.zlid)
                .set("CLBH", source.clbh.trimmed())
                .setOnInsert("ZLDJBH", v.zldjbh)
                .set("GYSBH", lease->gysbh.trimmed())
                .set("LLDWBH", lease->lldwbh.trimmed())
                .set("HZRQ", VoucherBook::dateText(v.czrq))
                .set("HZSL", quantity.toVariant())
                .set("DJ", source.rent.toVariant())
                .setOnInsert("ZLID", line.zlid)
                .set("HZJE", amountOf(quantity, source.rent, dated.rentDays()).toVariant()));
    }
    return rows;
}

std::optional<LeaseReturnVoucher> LeaseReturns::load(qint64 djbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT ZLDJBH, HZRQ FROM ZLHZ WHERE DJBH = ? ORDER BY ID LIMIT 1"), {djbh});
    if (!q.next())
        return std::nullopt;
    const qint64 zldjbh = q.value(0).toLongLong();
    const QDate hzrq = VoucherBook::dateOf(q.value(1));
    q.finish();
    std::optional<LeaseReturnVoucher> v = withLeaseLines(zldjbh, djbh);
    if (!v)
        return std::nullopt;
    v->xtbh = djbh;
    v->czrq = hzrq;
    QSqlQuery lines = database().exec(
        QStringLiteral("SELECT ID, ZLID, HZSL, HZJE FROM ZLHZ WHERE DJBH = ?"), {djbh});
    while (lines.next()) {
        for (LeaseReturnLine &line : v->lines) {
            if (line.zlid == lines.value(1).toLongLong()) {
                line.id = lines.value(0).toLongLong();
                line.quantity = Decimal::fromVariant(lines.value(2));
                line.amount = Decimal::fromVariant(lines.value(3));
            }
        }
    }
    return v;
}

QList<LeaseReturnListRow> LeaseReturns::list(const FinderConditions &conditions) const
{
    using R = LeaseReturnListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT MAX(H.HZRQ), H.DJBH, MAX(H.ZLDJBH), MAX(H.GYSBH), "
                                    "MAX(G.MC), MAX(H.LLDWBH), MAX(W.MC) FROM ZLHZ H "
                                    "LEFT JOIN GYS G ON G.BH = H.GYSBH "
                                    "LEFT JOIN LLDW W ON W.BH = H.LLDWBH"),
                     conditions, QStringLiteral("GROUP BY H.DJBH ORDER BY H.DJBH")),
        &R::hzrq, &R::xtbh, &R::zldjbh, &R::gysbh, &R::gysmc, &R::lldwbh, &R::lldwmc);
}

QList<LeaseReturnListRow> LeaseReturns::all() const
{
    return list(FinderConditions());
}

QList<LeaseReturnListRow> LeaseReturns::find(const LeaseConditions &c) const
{
    return list(FinderConditions({{"H.GYSBH", c.gysbh}, {"H.LLDWBH", c.lldwbh}, {"H.CLBH", c.clbh}},
                                 "H.HZRQ", c.from, c.to));
}

} // namespace varnock
