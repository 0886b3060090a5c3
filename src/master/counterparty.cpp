#include "master/counterparty.h"

#include "store/database.h"

namespace varnock::CounterpartyQueries {

QList<Counterparty> search(const Database &db, const QString &table, const QString &columns,
                           CounterpartySearch by, const QString &text)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, table);
    QVariantList values;
    if (by != CounterpartySearch::All) {
        sql += by == CounterpartySearch::ByCode ? QStringLiteral(" WHERE BH LIKE ? ESCAPE '\\'")
                                                : QStringLiteral(" WHERE MC LIKE ? ESCAPE '\\'");
        values << Database::likeEscaped(text) + QLatin1Char('%');
    }
    sql += QStringLiteral(" ORDER BY BH");
    QList<Counterparty> rows;
    QSqlQuery q = db.exec(sql, values);
    while (q.next()) {
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString(), q.value(4).toString()});
    }
    return rows;
}

QStringList values(const Database &db, const QString &table, CounterpartySearch by)
{
    if (by == CounterpartySearch::All)
        return {};
    QStringList texts;
    QSqlQuery q =
        db.exec(by == CounterpartySearch::ByCode
                    ? QStringLiteral("SELECT BH FROM %1 ORDER BY BH").arg(table)
                    : QStringLiteral("SELECT DISTINCT MC FROM %1 ORDER BY MC").arg(table));
    while (q.next())
        texts << q.value(0).toString();
    return texts;
}

} // namespace varnock::CounterpartyQueries
