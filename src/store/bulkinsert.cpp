#include "store/bulkinsert.h"

#include "store/database.h"
#include "store/errors.h"

#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>

namespace varnock {

namespace {

// Within the smallest limit on bound values engines have.
constexpr int MaxValues = 999;

} // namespace

BulkInsert::BulkInsert(const Database &db, const QString &table, const QStringList &fields)
    : m_cache(db.m_statements)
    , m_head(
          QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, fields.join(QLatin1Char(','))))
    , m_row(QLatin1Char('(') + QStringList(fields.size(), QStringLiteral("?")).join(u',') +
            QLatin1Char(')'))
    , m_fields(int(fields.size()))
    , m_perStatement(std::max(1, MaxValues / std::max(1, m_fields)))
    , m_fullValues(size_t(m_perStatement) * size_t(m_fields))
    , m_fullSql(statement(m_perStatement))
{
    m_pending.reserve(m_fullValues);
}

BulkInsert::~BulkInsert()
{
    giveBackFull(false);
}

QString BulkInsert::statement(int rows) const
{
    return m_head + QStringList(rows, m_row).join(u',');
}

void BulkInsert::finish()
{
    if (m_pending.size() % size_t(m_fields) != 0)
        throw StoreError(QStringLiteral("an unfinished row\n") + m_head);
    if (!m_pending.empty())
        write();
    giveBackFull(false);
}

void BulkInsert::giveBackFull(bool failed)
{
    if (!m_full)
        return;
    const std::shared_ptr<StatementCache::Lent> full = std::move(m_full);
    const std::shared_ptr<StatementCache> cache = m_cache.lock();
    if (!cache)
        return;
    // The texts were bound where they lie: nothing may point into them once they go.
    if (full->stmt)
        sqlite3_clear_bindings(full->stmt);
    cache->giveBack(m_fullSql, *full, failed);
}

void BulkInsert::write()
{
    const int rows = int(m_pending.size()) / m_fields;
    const std::shared_ptr<StatementCache> cache = m_cache.lock();
    if (!cache)
        throw StoreError(QStringLiteral("the database is closed\n") + m_head);
    const bool full = rows == m_perStatement;
    if (full && !m_full) {
        m_full = cache->lend(m_fullSql);
        if (m_full->stmt)
            sqlite3_clear_bindings(m_full->stmt);
        m_fullNull.assign(m_pending.size(), true);
    }
    const QString sql = full ? m_fullSql : statement(rows);
    const std::shared_ptr<StatementCache::Lent> lent = full ? m_full : cache->lend(sql);
    sqlite3_stmt *stmt = lent->stmt;
    if (!stmt)
        throw StoreError(QStringLiteral("the database is closed\n") + m_head);
    // A statement of another size goes back to the cache however this ends; the statement of
    // full size stays out unless it fails. A failed one is finalized.
    bool failed = true;
    const auto giveBack = qScopeGuard([&] {
        if (!full) {
            sqlite3_clear_bindings(stmt);
            cache->giveBack(sql, *lent, failed);
        } else if (failed) {
            giveBackFull(true);
        }
    });
    int rc = SQLITE_OK;
    for (int i = 0; i < int(m_pending.size()) && rc == SQLITE_OK; ++i) {
        const Value &v = m_pending[size_t(i)];
        // The statement of full size keeps its bindings from one write to the next: a NULL
        // needs binding only where the place held a value.
        if (full) {
            const bool wasNull = m_fullNull[size_t(i)];
            m_fullNull[size_t(i)] = v.kind == Value::Null;
            if (v.kind == Value::Null && wasNull)
                continue;
        }
        switch (v.kind) {
        case Value::Null:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case Value::Integer:
            rc = sqlite3_bind_int64(stmt, i + 1, v.integer);
            break;
        case Value::Text:
            // An empty text is '', never NULL.
            rc = sqlite3_bind_text(stmt, i + 1, v.text.isNull() ? "" : v.text.data(),
                                   int(v.text.size()), SQLITE_STATIC);
            break;
        }
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE)
        cache->fail();
    sqlite3_reset(stmt);
    failed = false;
    m_pending.clear();
}

} // namespace varnock
