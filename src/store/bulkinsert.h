#pragma once

#include "store/statementcache.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace varnock {

class Database;

// Many rows into one table: INSERT statements of several rows each, prepared once through the
// connection's statement cache, each value bound as it is, without a QVariant a value. The
// values come field after field, row after row; finish() writes what is still pending.
// The statement of full size is kept for the whole insert, and a NULL is bound only where its
// place held a value the time before. Throws StoreError.
class BulkInsert
{
public:
    BulkInsert(const Database &db, const QString &table, const QStringList &fields);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    void addNull() { add({}); }
    void addInteger(qint64 value) { add({Value::Integer, value, {}}); }
    // A text as UTF-8, bound where it lies: its bytes must stay until finish() returns.
    void addText(QByteArrayView utf8) { add({Value::Text, 0, utf8}); }
    // Writes the rows given so far. Values of an unfinished row are refused.
    void finish();

private:
    struct Value
    {
        enum Kind : quint8 { Null, Integer, Text } kind = Null;
        qint64 integer = 0;
        QByteArrayView text;
    };

    // The statement of `rows` rows.
    QString statement(int rows) const;
    // Binds the pending values to a statement of as many rows and runs it.
    void write();
    void add(const Value &value)
    {
        m_pending.push_back(value);
        if (m_pending.size() == m_fullValues)
            write();
    }
    // Gives the statement of full size back to the cache, if it is out.
    void giveBackFull(bool failed);

    std::weak_ptr<StatementCache> m_cache;
    QString m_head; // INSERT INTO … VALUES
    QString m_row;  // (?,…,?)
    int m_fields;
    int m_perStatement;
    size_t m_fullValues; // the values of a statement of full size
    std::vector<Value> m_pending;
    QString m_fullSql;
    std::shared_ptr<StatementCache::Lent> m_full; // out from the first full write to the end
    std::vector<bool> m_fullNull;                 // the places of m_full bound to NULL
};

} // namespace varnock
