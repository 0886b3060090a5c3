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
{
    m_pending.reserve(size_t(m_perStatement) * size_t(m_fields));
}

BulkInsert::~BulkInsert() = default;

QString BulkInsert::statement(int rows) const
{
    return m_head + QStringList(rows, m_row).join(u',');
}

void BulkInsert::addNull()
{
    add({});
}

void BulkInsert::addInteger(qint64 value)
{
    add({Value::Integer, value, {}});
}

void BulkInsert::addText(QByteArrayView utf8)
{
    add({Value::Text, 0, utf8});
}

void BulkInsert::add(Value value)
{
    m_pending.push_back(std::move(value));
    if (m_pending.size() == size_t(m_perStatement) * size_t(m_fields))
        write();
}

void BulkInsert::finish()
{
    if (m_pending.size() % size_t(m_fields) != 0)
        throw StoreError(QStringLiteral("an unfinished row\n") + m_head);
    if (!m_pending.empty())
        write();
}

void BulkInsert::write()
{
    const int rows = int(m_pending.size()) / m_fields;
    const std::shared_ptr<StatementCache> cache = m_cache.lock();
    if (!cache)
        throw StoreError(QStringLiteral("the database is closed\n") + m_head);
    const QString sql = statement(rows);
    const std::shared_ptr<StatementCache::Lent> lent = cache->lend(sql);
    bool failed = true;
    // The statement goes back to the cache however this ends; a failed one is finalized.
    const auto giveBack = qScopeGuard([&] { cache->giveBack(sql, *lent, failed); });
    sqlite3_stmt *stmt = lent->stmt;
    int rc = SQLITE_OK;
    for (int i = 0; i < int(m_pending.size()) && rc == SQLITE_OK; ++i) {
        const Value &v = m_pending[size_t(i)];
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
    // The texts were bound where they lie: nothing may point into them once they go.
    sqlite3_clear_bindings(stmt);
    failed = false;
    m_pending.clear();
}

} // namespace varnock
