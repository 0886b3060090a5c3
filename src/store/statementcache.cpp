#include "store/statementcache.h"

#include "store/errors.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

namespace varnock {

StatementCache::StatementCache(sqlite3 *connection, Failure failure, int capacity)
    : m_connection(connection)
    , m_failure(std::move(failure))
    , m_capacity(std::max(1, capacity))
{}

void StatementCache::fail() const
{
    m_failure(sqlite3_extended_errcode(m_connection),
              QString::fromUtf8(sqlite3_errmsg(m_connection)));
    throw StoreError(QString::fromUtf8(sqlite3_errmsg(m_connection)));
}

StatementCache::~StatementCache()
{
    close();
}

std::shared_ptr<StatementCache::Lent> StatementCache::lend(const QString &sql)
{
    auto lent = std::make_shared<Lent>();
    const auto found = m_bySql.constFind(sql);
    if (found != m_bySql.constEnd()) {
        ++m_hits;
        lent->stmt = found.value()->stmt;
        m_idle.erase(found.value());
        m_bySql.erase(found);
    } else {
        ++m_misses;
        const QByteArray text = sql.toUtf8();
        const char *tail = nullptr;
        const int rc = sqlite3_prepare_v3(m_connection, text.constData(), int(text.size()),
                                          SQLITE_PREPARE_PERSISTENT, &lent->stmt, &tail);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(lent->stmt);
            fail();
        }
        if (!lent->stmt)
            throw StoreError(QStringLiteral("no statement\n") + sql.simplified());
        if (tail && !QByteArray(tail).trimmed().isEmpty()) {
            sqlite3_finalize(lent->stmt);
            throw StoreError(QStringLiteral("one statement at a time\n") + sql.simplified());
        }
    }
    // Forget the users that are gone before keeping one more.
    if (m_lent.size() >= 64) {
        m_lent.erase(std::remove_if(m_lent.begin(), m_lent.end(),
                                    [](const std::weak_ptr<Lent> &w) { return w.expired(); }),
                     m_lent.end());
    }
    m_lent.push_back(lent);
    return lent;
}

void StatementCache::giveBack(const QString &sql, Lent &lent, bool failed)
{
    sqlite3_stmt *stmt = lent.stmt;
    lent.stmt = nullptr;
    if (!stmt)
        return;
    // Reset now: an idle statement must hold no read lock and no row of a table that a later
    // statement may drop or change.
    sqlite3_reset(stmt);
    if (failed || m_bySql.contains(sql)) {
        sqlite3_finalize(stmt);
        return;
    }
    m_idle.push_front({sql, stmt});
    m_bySql.insert(sql, m_idle.begin());
    while (int(m_idle.size()) > m_capacity) {
        m_bySql.remove(m_idle.back().sql);
        sqlite3_finalize(m_idle.back().stmt);
        m_idle.pop_back();
    }
}

void StatementCache::close()
{
    for (const Idle &idle : m_idle)
        sqlite3_finalize(idle.stmt);
    m_idle.clear();
    m_bySql.clear();
    for (const std::weak_ptr<Lent> &w : m_lent) {
        if (const std::shared_ptr<Lent> lent = w.lock()) {
            sqlite3_finalize(lent->stmt);
            lent->stmt = nullptr;
        }
    }
    m_lent.clear();
}

} // namespace varnock
