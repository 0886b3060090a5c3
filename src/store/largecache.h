#pragma once

#include <QVariant>

namespace varnock {

class Database;

// While it lives, the connection keeps up to `megabytes` of the file's pages in memory instead
// of its usual 2 MB: a transaction that writes far more than that (a day's vouchers in one)
// then neither writes its changes into the log before it commits nor reads back pages it has
// just changed. The usual size comes back when it goes.
class LargeCache
{
public:
    LargeCache(const Database &db, int megabytes);
    ~LargeCache();
    LargeCache(const LargeCache &) = delete;
    LargeCache &operator=(const LargeCache &) = delete;

private:
    const Database &m_db;
    QVariant m_usual;
};

} // namespace varnock
