#pragma once

#include "store/decimal.h"
#include "store/statementcache.h"

#include <QByteArrayView>

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace varnock {

// A statement run through the connection's statement cache (Database::query), with its rows.
// It can be moved but not copied: while it exists nobody else is handed the same prepared
// statement, so callers may run other statements, the same text included, while they walk its
// rows. When it goes (or finish() is called) the statement is reset and given back to the
// cache; one that failed is finalized instead.
//
// Values read as the rest of the program reads them: INTEGER as qlonglong, REAL as double,
// TEXT as QString, BLOB as QByteArray, NULL as a null QString.
class Query
{
public:
    Query(Query &&other) noexcept;
    Query &operator=(Query &&other) noexcept;
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    // The next row; false after the last one. A failed step throws StoreError, and so does a
    // query whose connection has closed.
    bool next();
    // A column of the current row; an invalid QVariant off a row or past the last column.
    QVariant value(int column) const;
    // The same without a QVariant, for loops over many rows. Whether the column is NULL (or
    // off a row); its INTEGER, any other value as value() gives it; a figure as
    // Decimal::fromVariant() reads it; a text's bytes as stored (UTF-8), valid until the next
    // row.
    bool isNull(int column) const;
    qint64 integer(int column) const;
    Decimal decimal(int column) const;
    QByteArrayView utf8(int column) const;
    // Of the statement as it ran (a write).
    int numRowsAffected() const { return m_changes; }
    QVariant lastInsertId() const;
    // Done before the end of the rows: the statement goes back to the cache now.
    void finish();

private:
    friend class Database;
    Query(const std::shared_ptr<StatementCache> &cache, const QString &sql,
          std::shared_ptr<StatementCache::Lent> lent);
    // Binds `values` to the statement's '?' places and runs it up to its first row.
    void start(const QVariantList &values);
    void step();
    void release();
    // The statement when it stands on a row and `column` is one of its columns; else null.
    sqlite3_stmt *onRow(int column) const;

    std::weak_ptr<StatementCache> m_cache;
    std::shared_ptr<StatementCache::Lent> m_lent;
    QString m_sql;
    bool m_row = false;     // standing on a row
    bool m_pending = false; // the first row, read when the statement ran, not yet handed out
    bool m_failed = false;
    int m_columns = 0; // of the statement's rows
    int m_changes = 0;
    qint64 m_lastId = 0;
};

} // namespace varnock
