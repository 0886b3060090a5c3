#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <list>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace varnock {

// The prepared statements of one connection, keyed by their SQL text. A statement is lent to
// one user at a time: while it is out, the next user of the same text is given a new one. When
// it comes back it is reset and kept for the next user, unless it failed or the cache already
// holds one for that text. The cache is bounded: beyond its capacity the statement given back
// longest ago is finalized. Closing finalizes every statement, lent ones included: a user that
// outlives the connection finds its statement gone instead of keeping the file open.
class StatementCache
{
public:
    // A statement out with its user; `stmt` is null once the connection has closed.
    struct Lent
    {
        sqlite3_stmt *stmt = nullptr;
    };

    // Throws the failure of a statement from SQLite's result code and text.
    using Failure = std::function<void(int code, const QString &text)>;

    StatementCache(sqlite3 *connection, Failure failure, int capacity = 200);
    ~StatementCache();
    StatementCache(const StatementCache &) = delete;
    StatementCache &operator=(const StatementCache &) = delete;

    sqlite3 *connection() const { return m_connection; }
    // Throws what SQLite reported last on the connection.
    [[noreturn]] void fail() const;

    // An idle statement prepared for `sql`, or a new one. Throws when the text does not prepare
    // (nothing is kept then).
    std::shared_ptr<Lent> lend(const QString &sql);
    // Back from its user. A statement that failed is finalized, not kept.
    void giveBack(const QString &sql, Lent &lent, bool failed);
    // Finalizes every statement, idle and lent (the connection is closing).
    void close();

    int size() const { return int(m_idle.size()); }
    int capacity() const { return m_capacity; }
    // How often a statement was found idle, and how often one had to be prepared.
    qint64 hits() const { return m_hits; }
    qint64 misses() const { return m_misses; }

private:
    struct Idle
    {
        QString sql;
        sqlite3_stmt *stmt;
    };

    sqlite3 *m_connection;
    Failure m_failure;
    std::list<Idle> m_idle; // most recently given back first
    QHash<QString, std::list<Idle>::iterator> m_bySql;
    std::vector<std::weak_ptr<Lent>> m_lent;
    int m_capacity;
    qint64 m_hits = 0;
    qint64 m_misses = 0;
};

} // namespace varnock
