#include "plans/plancomparison.h"

#include "store/database.h"
#include "store/errors.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QMap>
#include <QSqlQuery>

namespace varnock {

namespace {

using Row = PlanComparison::Row;

// A group's row from the sums of its members.
Row sumRow(const QString &code, const QString &name, const QList<Row> &members)
{
    Row g;
    g.clbh = code;
    g.clmc = name;
    for (const Row &m : members) {
        if (m.cksl)
            g.cksl = g.cksl.value_or(Decimal()) + *m.cksl;
        g.jhsl += m.jhsl;
        g.sl += m.sl;
    }
    if (!g.jhsl.isZero())
        g.bfb = Decimal::mulDiv(g.cksl.value_or(Decimal()), Decimal::fromInt(100), g.jhsl);
    return g;
}

} // namespace

const QString PlanComparison::ReportName = QStringLiteral("材料数量对比表");

PlanComparison::PlanComparison(Database &db)
    : m_db(db)
{}

QList<Row> PlanComparison::rows(const QDate &from, const QDate &to, Level level) const
{
    if (from > to)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("起始日期不允许大于终止日期！"));
    const QVariant start = VoucherBook::dateText(from);
    const QVariant end = VoucherBook::dateText(to);
    // The plan side drives: only materials planned in the period.
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT P.CLBH, C.CLMC, C.CLGG, C.JZDW, P.JHSL, "
                       "(SELECT SUM(L.SJSL) FROM LLD L WHERE L.CLBH = P.CLBH AND L.JZBZ <> 0 "
                       "AND L.CZRQ BETWEEN ? AND ?), "
                       "(SELECT SUM(T.THSL) FROM TKD T WHERE T.CLBH = P.CLBH AND T.JZBZ <> 0 "
                       "AND T.CZRQ BETWEEN ? AND ?), "
                       "A.CLBH, A.CLMC, G.CLBH, G.CLMC "
                       "FROM (SELECT CLBH, SUM(SL) AS JHSL FROM CLJH WHERE CZRQ BETWEEN ? AND ? "
                       "GROUP BY CLBH) P "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = P.CLBH "
                       "LEFT JOIN CLJBXXB A ON A.CLBH = C.SJBH "
                       "LEFT JOIN CLJBXXB G ON G.CLBH = A.SJBH ORDER BY P.CLBH"),
        {start, end, start, end, start, end});
    struct Group
    {
        QString name;
        QList<Row> members;
    };
    QList<Row> materials;
    QMap<QString, Group> parents;
    QMap<QString, QString> grandparentOf;
    QMap<QString, QString> grandparentName;
    while (q.next()) {
        Row r;
        readRow(q, r.clbh, r.clmc, r.clgg, r.dw, r.jhsl);
        if (!q.value(5).isNull() || !q.value(6).isNull())
            r.cksl = Decimal::fromVariant(q.value(5)) - Decimal::fromVariant(q.value(6));
        r.sl = r.jhsl - r.cksl.value_or(Decimal());
        if (!r.jhsl.isZero())
            r.bfb = Decimal::mulDiv(r.cksl.value_or(Decimal()), Decimal::fromInt(100), r.jhsl);
        materials.append(r);
        const QString parent = q.value(7).toString();
        parents[parent].name = q.value(8).toString();
        parents[parent].members.append(r);
        grandparentOf[parent] = q.value(9).toString();
        grandparentName[q.value(9).toString()] = q.value(10).toString();
    }
    if (level == Level::All)
        return materials;

    QList<Row> result;
    if (level == Level::Second) {
        for (auto it = parents.cbegin(); it != parents.cend(); ++it)
            result.append(sumRow(it.key(), it.value().name, it.value().members));
        if (!result.isEmpty()) {
            Row total = sumRow(QStringLiteral("0"), QStringLiteral("全部材料 总计"), materials);
            total.style = ReportTable::RowStyle::Total;
            result.append(total);
        }
        return result;
    }
    // By grandparent: each parent's subtotal, then its grandparent's total over them.
    QMap<QString, QList<Row>> byGrandparent;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        Row sub = sumRow(it.key(), it.value().name + QStringLiteral(" 小计"), it.value().members);
        sub.style = ReportTable::RowStyle::Subtotal;
        result.append(sub);
        byGrandparent[grandparentOf.value(it.key())].append(sub);
    }
    for (auto it = byGrandparent.cbegin(); it != byGrandparent.cend(); ++it) {
        Row total =
            sumRow(it.key(), grandparentName.value(it.key()) + QStringLiteral(" 合计"), it.value());
        total.style = ReportTable::RowStyle::Total;
        result.append(total);
    }
    return result;
}

QList<Row> PlanComparison::fill(const QDate &from, const QDate &to, Level level) const
{
    const QList<Row> found = rows(from, to, level);
    Transaction tx(m_db);
    m_db.exec(QStringLiteral("DELETE FROM JHSLB_TEMP"));
    const auto figure = [](const std::optional<Decimal> &d) {
        return d ? d->toVariant() : QVariant();
    };
    for (const Row &r : found) {
        m_db.query(QStringLiteral("INSERT INTO JHSLB_TEMP (CLBH, CLMC, CLGG, DW, CKSL, JHSL, SL, "
                                  "BFB) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                   {r.clbh, r.clmc, r.clgg, r.dw, figure(r.cksl), r.jhsl.toVariant(),
                    r.sl.toVariant(), figure(r.bfb)});
    }
    tx.commit();
    return found;
}

ReportTable PlanComparison::report(const QList<Row> &rows)
{
    using Column = ReportTable::Column;
    ReportTable table(ReportName, QStringLiteral("计划-实际数量对比表"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("dw"), QStringLiteral("单位"), Column::Text},
                       {QStringLiteral("CKSL"), QStringLiteral("实际数量"), Column::Quantity},
                       {QStringLiteral("JHSL"), QStringLiteral("计划数量"), Column::Quantity},
                       {QStringLiteral("SL"), QStringLiteral("计划-实际"), Column::Quantity},
                       {QStringLiteral("bfb"), QStringLiteral("百分比(%)"), Column::Amount}});
    const auto figure = [](const std::optional<Decimal> &d) {
        return d ? ReportTable::figure(*d) : QVariant();
    };
    for (const Row &r : rows) {
        table.addRow({r.clbh, r.clmc, r.clgg, r.dw, figure(r.cksl), ReportTable::figure(r.jhsl),
                      ReportTable::figure(r.sl), figure(r.bfb)},
                     r.style);
    }
    return table;
}

ReportTable PlanComparison::build(const ReportPeriod &period, Level level) const
{
    const QList<Row> found = fill(period.from, period.to, level);
    ReportTable table = report(found);
    table.setPeriod(period);
    return table;
}

} // namespace varnock
