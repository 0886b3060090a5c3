#include "store/largecache.h"

#include "store/database.h"
#include "store/errors.h"

namespace varnock {

LargeCache::LargeCache(const Database &db, int megabytes)
    : m_db(db)
    , m_usual(db.scalar(QStringLiteral("PRAGMA cache_size")))
{
    // A negative size counts kibibytes.
    m_db.exec(QStringLiteral("PRAGMA cache_size=%1").arg(-1024 * qint64(megabytes)));
}

LargeCache::~LargeCache()
{
    try {
        m_db.exec(QStringLiteral("PRAGMA cache_size=%1").arg(m_usual.toLongLong()));
    } catch (const StoreError &) {
        // The connection keeps the larger cache until it closes.
    }
}

} // namespace varnock
