#include "master/materiallookup.h"

#include "store/database.h"
#include "store/inparts.h"
#include "store/rowreader.h"

namespace varnock {

namespace {

const char *const Select =
    "SELECT CLJBXXB.CLBH, CLJBXXB.CLMC, CLJBXXB.CLGG, CLJBXXB.JZDW, CLJBXXB.JHDJ, "
    "CLJBXXB.JJFS, CLJBXXB.HSDW, CLJBXXB.HSXS, KC.KCSL, KC.KCJE "
    "FROM CLJBXXB LEFT JOIN KC ON CLJBXXB.CLBH = KC.CLBH "
    "WHERE CLJBXXB.SFMJ = 1";

MaterialLookup::Row rowFrom(const Query &q)
{
    MaterialLookup::Row row;
    readRow(q, row.clbh, row.clmc, row.clgg, row.jzdw, row.jhdj, row.jjfs, row.hsdw, row.hsxs,
            row.kcsl, row.kcje);
    row.hsdw = row.hsdw.trimmed();
    return row;
}

} // namespace

std::optional<Decimal> MaterialLookup::Row::stockPrice() const
{
    if (kcsl.isZero())
        return std::nullopt;
    return kcje / kcsl;
}

MaterialLookup::MaterialLookup(Database &db)
    : m_db(db)
{}

QList<MaterialLookup::Row> MaterialLookup::search(By by, const QString &text) const
{
    QString sql = QLatin1String(Select);
    QVariantList values;
    switch (by) {
    case By::All:
        sql += QStringLiteral(" ORDER BY CLJBXXB.CLBH");
        break;
    case By::Code:
        sql += QStringLiteral(" AND CLJBXXB.CLBH LIKE ? ESCAPE '\\' ORDER BY CLJBXXB.CLBH");
        values << Database::likeEscaped(text) + QLatin1Char('%');
        break;
    case By::Name:
        sql += QStringLiteral(" AND CLJBXXB.CLMC LIKE ? ESCAPE '\\' "
                              "ORDER BY CLJBXXB.CLMC, CLJBXXB.CLBH");
        values << Database::likeEscaped(text) + QLatin1Char('%');
        break;
    }
    QList<Row> rows;
    Query q = m_db.query(sql, values);
    while (q.next())
        rows.append(rowFrom(q));
    return rows;
}

std::optional<MaterialLookup::Row> MaterialLookup::find(const QString &clbh) const
{
    Query q = m_db.query(QLatin1String(Select) + QStringLiteral(" AND CLJBXXB.CLBH = ?"), {clbh});
    if (!q.next())
        return std::nullopt;
    return rowFrom(q);
}

QHash<QString, MaterialLookup::Row> MaterialLookup::find(const QStringList &codes) const
{
    QStringList distinct = codes;
    distinct.removeDuplicates();
    QHash<QString, Row> rows;
    queryInParts(
        m_db, QVariantList(distinct.cbegin(), distinct.cend()),
        [](qsizetype count) {
            return QLatin1String(Select) +
                   QStringLiteral(" AND CLJBXXB.CLBH IN (%1)").arg(placesOf(count));
        },
        [&rows](Query &q) {
            while (q.next()) {
                Row row = rowFrom(q);
                rows.insert(row.clbh, row);
            }
        });
    return rows;
}

} // namespace varnock
