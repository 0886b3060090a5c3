#pragma once

#include "store/errors.h"
#include "store/query.h"
#include "store/statementcache.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>

namespace varnock {

// One open database file on a connection of its own. The master database, the open account
// set and a report connection can be open at the same time. Every connection runs in WAL
// mode with synchronous=FULL and has the scaled arithmetic functions registered.
//
// All statements take bound values only; user text never becomes SQL text. QDate values are
// bound as 'yyyy-MM-dd' text, Decimal values through Decimal::toVariant().
//
// Failures are thrown as StoreError whose text names the file and says what to do, the
// database's own text on the last line; a scaled function that leaves the exact range throws
// std::overflow_error, as Decimal does.
class Database
{
public:
    enum class Access {
        // Created when absent: only for a new master or a new account set.
        Create,
        // An existing file, never created. Opened read-only when the file or its folder
        // cannot be written.
        ReadWrite,
        // An existing file, only read, while another program may be writing it.
        ReadOnly,
    };

    // Opens the SQLite file. An existing file that is empty, damaged or no database at all
    // is refused untouched. Throws StoreError.
    explicit Database(const QString &filePath, Access access = Access::ReadWrite);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QString filePath() const { return m_filePath; }
    bool isReadOnly() const { return m_readOnly; }
    QSqlDatabase connection() const;

    // Runs one statement with positional '?' values through the connection's statement cache:
    // prepared the first time, reused after. Throws StoreError.
    Query query(const QString &sql, const QVariantList &values = {}) const;
    // Prepares and runs one statement afresh, for statements run once (schema, pragmas).
    // Throws StoreError.
    QSqlQuery exec(const QString &sql, const QVariantList &values = {}) const;
    // First column of the first row (through the cache); a null QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const;
    // Runs a script of statements separated by ';' (schema creation). No values.
    void execScript(const QString &script) const;

    bool tableExists(const QString &table) const;
    int userVersion() const;
    void setUserVersion(int version) const;

    // Escapes '\', '%' and '_' for a LIKE pattern written with ESCAPE '\'.
    static QString likeEscaped(const QString &text);

    // The text of a failure on this file: what happened, what to do, the driver's words.
    QString failureText(const QString &nativeCode, const QString &driverText) const;
    // The failure itself, with what the engine's result code says of the disk.
    StoreError failure(const QString &nativeCode, const QString &driverText) const;

    const StatementCache &statements() const { return *m_statements; }

private:
    friend class Transaction;
    friend class ReadSnapshot;
    friend class BulkInsert;
    void open(const QString &name, const QString &options);
    void close();
    [[noreturn]] void fail(const QSqlError &error) const;

    QString m_filePath;
    QString m_connectionName;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    // Set while an all-or-nothing transaction is open: the ones inside it take no savepoints,
    // and one of them left uncommitted spoils the whole.
    bool m_allOrNothing = false;
    bool m_spoiled = false;
    // Shared with the queries lent out, which give their statements back only while the
    // connection is open.
    std::shared_ptr<StatementCache> m_statements;
};

// One business operation = one transaction. Rolls back when destroyed uncommitted. Nested
// transactions become savepoints, so an inner failure undoes only its own part when the
// caller catches it, and nothing when the outer one rolls back. A read-only database refuses
// to begin one.
//
// An outermost transaction may be all or nothing (a whole batch of operations imported at
// once): the transactions inside it then take no savepoints, whose journals copy every page
// they change, since nothing inside it is kept unless all of it is. One of them left
// uncommitted after it wrote (a failure, caught or not) spoils the whole: `spoiled()` tells,
// and the outermost commit refuses with a StoreError, so that nothing half undone is ever
// written.
class Transaction
{
public:
    enum class Kind { Usual, AllOrNothing };

    explicit Transaction(Database &db, Kind kind = Kind::Usual);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    // For an all-or-nothing transaction: whether something inside it failed.
    bool spoiled() const { return m_db.m_spoiled; }

private:
    Database &m_db;
    int m_level;
    bool m_whole = false;   // this one is the all-or-nothing transaction
    bool m_inWhole = false; // inside one: no savepoint of its own
    qint64 m_changesAtStart = 0;
    bool m_done = false;
};

// Every read made while it lives sees one state of the file, however other programs write it
// meanwhile. Transactions begun inside it become savepoints.
class ReadSnapshot
{
public:
    explicit ReadSnapshot(Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    Database &m_db;
    bool m_began = false;
};

} // namespace varnock
