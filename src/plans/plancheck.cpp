#include "plans/plancheck.h"

#include "store/database.h"
#include "store/rowreader.h"

#include <QStringList>

namespace varnock::PlanCheck {

QString OverPlan::text(const Formats &formats) const
{
    return QStringLiteral("材料 %1（%2）计划数量 %3，已出库 %4，超出计划！")
        .arg(clmc, clbh, formats.quantityText(planned), formats.quantityText(issued));
}

QList<OverPlan> overPlans(Database &db, qint64 xtbh)
{
    // Only the materials planned up to the voucher's date are summed: every issue of a
    // material up to that date is read for it, and most materials have no plan.
    Query q = db.query(
        QStringLiteral(
            "SELECT V.CLBH, C.CLMC, "
            "(SELECT SUM(P.SL) FROM CLJH P WHERE P.CLBH = V.CLBH AND P.CZRQ <= V.CZRQ), "
            "(SELECT SUM(L.SJSL) FROM LLD L WHERE L.CLBH = V.CLBH AND L.CZRQ <= V.CZRQ), "
            "(SELECT SUM(T.THSL) FROM TKD T WHERE T.CLBH = V.CLBH AND T.CZRQ <= V.CZRQ) "
            "FROM (SELECT CLBH, MAX(CZRQ) AS CZRQ FROM LLD WHERE XTBH = ? GROUP BY CLBH) V "
            "LEFT JOIN CLJBXXB C ON C.CLBH = V.CLBH "
            "WHERE EXISTS (SELECT 1 FROM CLJH P WHERE P.CLBH = V.CLBH AND P.CZRQ <= V.CZRQ) "
            "ORDER BY V.CLBH"),
        {xtbh});
    QList<OverPlan> over;
    while (q.next()) {
        OverPlan o;
        readRow(q, o.clbh, o.clmc, o.planned, o.issued);
        o.issued -= Decimal::fromVariant(q.value(4));
        if (o.issued > o.planned)
            over.append(o);
    }
    return over;
}

QString warning(Database &db, qint64 xtbh, const Formats &formats)
{
    QStringList lines;
    for (const OverPlan &o : overPlans(db, xtbh))
        lines << o.text(formats);
    return lines.join(QLatin1Char('\n'));
}

} // namespace varnock::PlanCheck
