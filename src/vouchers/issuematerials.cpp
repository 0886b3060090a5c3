#include "vouchers/issuematerials.h"

#include "store/database.h"
#include "store/rowreader.h"

#include <QSqlQuery>

namespace varnock {

IssueMaterials::IssueMaterials(Database &db)
    : m_db(db)
{}

QList<IssueMaterials::Row> IssueMaterials::rows(const QString &where,
                                                const QVariantList &values) const
{
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT C.CLBH, C.CLMC, C.CLGG, C.JZDW, C.JHDJ, C.JJFS, C.HSDW, C.HSXS, "
                       "K.KCSL, K.KCJE FROM CLJBXXB C LEFT JOIN KC K ON K.CLBH = C.CLBH "
                       "WHERE C.SFMJ <> 0") +
            where + QStringLiteral(" ORDER BY C.CLBH"),
        values);
    QList<Row> found;
    while (q.next()) {
        Row row;
        readRow(q, row.clbh, row.clmc, row.clgg, row.jzdw, row.jhdj, row.jjfs, row.hsdw, row.hsxs,
                row.kcsl, row.kcje);
        row.hsdw = row.hsdw.trimmed();
        found.append(row);
    }
    return found;
}

QList<IssueMaterials::Row> IssueMaterials::inStock() const
{
    return rows(QStringLiteral(" AND K.KCSL <> 0 AND K.KCJE <> 0"), {});
}

QList<IssueMaterials::Row> IssueMaterials::search(By by, const QString &text) const
{
    switch (by) {
    case By::Code:
        return rows(QStringLiteral(" AND C.CLBH LIKE ? ESCAPE '\\'"),
                    {Database::likeEscaped(text.trimmed()) + QLatin1Char('%')});
    case By::Name:
        return rows(QStringLiteral(" AND C.CLMC LIKE ? ESCAPE '\\'"),
                    {Database::likeEscaped(text.trimmed()) + QLatin1Char('%')});
    case By::All:
        break;
    }
    return rows(QString(), {});
}

std::optional<IssueMaterials::Row> IssueMaterials::find(const QString &clbh) const
{
    const QList<Row> found = rows(QStringLiteral(" AND C.CLBH = ?"), {clbh.trimmed()});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QStringList IssueMaterials::values(By by) const
{
    if (by == By::All)
        return {};
    const QString column = by == By::Code ? QStringLiteral("CLBH") : QStringLiteral("CLMC");
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT DISTINCT ") + column +
                            QStringLiteral(" FROM CLJBXXB WHERE SFMJ <> 0 ORDER BY ") + column);
    QStringList texts;
    while (q.next())
        texts.append(q.value(0).toString());
    return texts;
}

} // namespace varnock
