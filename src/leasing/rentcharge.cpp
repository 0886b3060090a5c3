#include "leasing/rentcharge.h"

#include "store/database.h"
#include "store/errors.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace varnock {

const QString RentCharge::ReportName = QStringLiteral("租赁单据报表");

RentCharge::RentCharge(Database &db)
    : m_db(db)
{}

QList<RentCharge::Period> RentCharge::periods(const QDate &from, const QDate &to,
                                              const QString &gysbh) const
{
    const QVariantList range{VoucherBook::dateText(from), VoucherBook::dateText(to)};
    const QString supplier =
        gysbh.trimmed().isEmpty() ? QString() : QStringLiteral(" AND L.GYSBH = ?");
    QVariantList lineValues = range;
    QVariantList returnValues = range + range;
    if (!supplier.isEmpty()) {
        lineValues.append(gysbh.trimmed());
        returnValues.append(gysbh.trimmed());
    }

    // The returns of the period per line and day, in date order.
    struct Return
    {
        QDate date;
        Decimal quantity;
    };
    QHash<qint64, QList<Return>> returns;
    QSqlQuery r =
        m_db.exec(QStringLiteral("SELECT H.ZLID, H.HZRQ, SUM(H.HZSL) FROM ZLHZ H "
                                 "JOIN ZLBIAO L ON L.ID = H.ZLID "
                                 "WHERE L.ZLRQ BETWEEN ? AND ? AND H.HZRQ BETWEEN ? AND ?") +
                      supplier + QStringLiteral(" GROUP BY H.ZLID, H.HZRQ ORDER BY H.HZRQ"),
                  returnValues);
    while (r.next())
        returns[r.value(0).toLongLong()].append(
            {VoucherBook::dateOf(r.value(1)), Decimal::fromVariant(r.value(2))});
    r.finish();

    QList<Period> periods;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT L.ID, L.CLBH, C.CLMC, C.CLGG, C.JZDW, L.GYSBH, "
                                           "L.LLDWBH, L.ZLSL, L.ZLRQ, L.DJ FROM ZLBIAO L "
                                           "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                                           "WHERE L.ZLRQ BETWEEN ? AND ?") +
                                supplier + QStringLiteral(" ORDER BY L.CLBH, L.ZLRQ, L.ID"),
                            lineValues);
    while (q.next()) {
        Period p;
        readRow(q, p.zlid, p.clbh, p.clmc, p.clgg, p.jzdw, p.gysbh, p.lldwbh, p.jssl, p.ksrq, p.dj);
        p.zjsl = p.jssl;
        const auto charge = [&](const QDate &last) {
            if (p.jssl > Decimal() && p.ksrq <= last) {
                p.jsrq = last;
                p.ts = p.ksrq.daysTo(last) + 1;
                p.je = p.dj * (p.jssl * Decimal::fromInt(p.ts));
                periods.append(p);
            }
        };
        for (const Return &back : returns.value(p.zlid)) {
            charge(back.date);
            p.jssl -= back.quantity;
            p.zjsl = -back.quantity;
            p.ksrq = std::max(p.ksrq, back.date.addDays(1));
        }
        charge(to);
    }
    return periods;
}

void RentCharge::fill(const QDate &from, const QDate &to) const
{
    if (from > to)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("起始时间不允许 大于终止时间!"));
    const QList<Period> found = periods(from, to);
    Transaction tx(m_db);
    m_db.exec(QStringLiteral("DELETE FROM ZL_TEMP"));
    for (const Period &p : found) {
        m_db.query(QStringLiteral("INSERT INTO ZL_TEMP (CLBH, CLMC, CLGG, JZDW, GYSBH, LLDWBH, "
                                  "JSSL, ZJSL, KSRQ, JSRQ, DJ, TS, JE) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {p.clbh, p.clmc, p.clgg, p.jzdw, p.gysbh, p.lldwbh, p.jssl.toVariant(),
                    p.zjsl.toVariant(), VoucherBook::dateText(p.ksrq),
                    VoucherBook::dateText(p.jsrq), p.dj.toVariant(), p.ts, p.je.toVariant()});
    }
    // Subtotal rows carry a blank supplier, so that a supplier's sums pass over them.
    m_db.exec(QStringLiteral("INSERT INTO ZL_TEMP (CLMC, JE, CLBH, GYSBH, LLDWBH) "
                             "SELECT MAX(CLMC) || ' ' || MAX(COALESCE(CLGG, '')) || ' 小计', "
                             "SUM(JE), CLBH, ' ', ' ' FROM ZL_TEMP GROUP BY CLBH"));
    tx.commit();
}

ReportTable RentCharge::report() const
{
    using Column = ReportTable::Column;
    ReportTable table(ReportName, QStringLiteral("租赁报表"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("记帐单位"), Column::Text},
                       {QStringLiteral("GYSBH"), QStringLiteral("供应商编号"), Column::Text},
                       {QStringLiteral("LLDWBH"), QStringLiteral("耗料单位编号"), Column::Text},
                       {QStringLiteral("KSRQ"), QStringLiteral("起始日期"), Column::Text},
                       {QStringLiteral("JSRQ"), QStringLiteral("终止日期"), Column::Text},
                       {QStringLiteral("TS"), QStringLiteral("天数"), Column::Integer},
                       {QStringLiteral("ZJSL"), QStringLiteral("增减数量"), Column::Quantity},
                       {QStringLiteral("JSSL"), QStringLiteral("计租数量"), Column::Quantity},
                       {QStringLiteral("DJ"), QStringLiteral("租赁单价"), Column::Price},
                       {QStringLiteral("JE"), QStringLiteral("租金"), Column::Amount}});
    QSqlQuery q = m_db.exec(QStringLiteral(
        "SELECT CLBH, CLMC, CLGG, JZDW, GYSBH, LLDWBH, KSRQ, JSRQ, TS, ZJSL, JSSL, DJ, JE, "
        "KSRQ IS NULL FROM ZL_TEMP ORDER BY CLBH, KSRQ IS NULL, KSRQ"));
    while (q.next()) {
        const bool subtotal = q.value(13).toBool();
        QVariantList cells;
        for (int c = 0; c < 8; ++c)
            cells.append(q.value(c).isNull() ? QVariant() : QVariant(q.value(c).toString()));
        cells.append(q.value(8).isNull() ? QVariant() : QVariant(q.value(8).toLongLong()));
        for (int c = 9; c < 13; ++c)
            cells.append(ReportTable::figureOrEmpty(q.value(c)));
        table.addRow(cells,
                     subtotal ? ReportTable::RowStyle::Subtotal : ReportTable::RowStyle::Detail);
    }
    return table;
}

ReportTable RentCharge::build(const ReportPeriod &period) const
{
    fill(period.from, period.to);
    ReportTable table = report();
    table.setPeriod(period);
    return table;
}

} // namespace varnock
