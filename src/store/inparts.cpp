#include "store/inparts.h"

#include "store/database.h"

#include <QStringList>

namespace varnock {

QString placesOf(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(u',');
}

void queryInParts(const Database &db, const QVariantList &values,
                  const std::function<QString(qsizetype)> &sqlOf,
                  const std::function<void(Query &)> &read)
{
    constexpr qsizetype PerStatement = 500;
    for (qsizetype start = 0; start < values.size(); start += PerStatement) {
        const QVariantList part = values.mid(start, PerStatement);
        Query q = db.query(sqlOf(part.size()), part);
        read(q);
    }
}

} // namespace varnock
