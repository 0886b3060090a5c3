#include "cli/stocklist.h"

#include "store/database.h"

#include <QSqlQuery>

namespace varnock::cli {

QList<StockList::Row> StockList::read(Database &db, const std::optional<QString> &clbh)
{
    QString sql = QStringLiteral("SELECT KC.CLBH, CLJBXXB.CLMC, CLJBXXB.CLGG, CLJBXXB.JZDW, "
                                 "KC.KCSL, KC.KCJE FROM KC LEFT JOIN CLJBXXB "
                                 "ON CLJBXXB.CLBH = KC.CLBH");
    QVariantList values;
    if (clbh) {
        sql += QStringLiteral(" WHERE KC.CLBH = ?");
        values << *clbh;
    }
    sql += QStringLiteral(" ORDER BY KC.CLBH");
    QList<Row> rows;
    QSqlQuery q = db.exec(sql, values);
    while (q.next()) {
        Row r;
        r.clbh = q.value(0).toString();
        r.clmc = q.value(1).toString();
        r.clgg = q.value(2).toString();
        r.jzdw = q.value(3).toString();
        r.kcsl = Decimal::fromVariant(q.value(4));
        r.kcje = Decimal::fromVariant(q.value(5));
        rows << r;
    }
    return rows;
}

} // namespace varnock::cli
