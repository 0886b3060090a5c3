#include "store/inparts.h"

#include "store/database.h"

#include <QStringList>

namespace varnock {

QString placesOf(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(u',');
}

constexpr qsizetype FewValues = 8;

void queryInParts(const Database &db, const QVariantList &values,
                  const std::function<QString(qsizetype)> &sqlOf,
                  const std::function<void(Query &)> &read)
{
    // A few values are looked up one at a time along the index: a list of them would first be
    // sorted into a temporary table of their own, which costs more than the lookups.
    if (values.size() <= FewValues) {
        const QString one = sqlOf(1);
        for (const QVariant &value : values) {
            Query q = db.query(one, {value});
            read(q);
        }
        return;
    }
    constexpr qsizetype PerStatement = 500;
    for (qsizetype start = 0; start < values.size(); start += PerStatement) {
        const QVariantList part = values.mid(start, PerStatement);
        Query q = db.query(sqlOf(part.size()), part);
        read(q);
    }
}

} // namespace varnock
