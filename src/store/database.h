#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

namespace varnock {

// One open database file on a connection of its own. The master database, the open account
// set and a report connection can be open at the same time. Every connection runs in WAL
// mode with synchronous=FULL and has the scaled arithmetic functions registered.
//
// All statements take bound values only; user text never becomes SQL text. QDate values are
// bound as 'yyyy-MM-dd' text, Decimal values through Decimal::toVariant().
class Database
{
public:
    // Opens (creating when absent) the SQLite file. Throws StoreError.
    explicit Database(const QString &filePath);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QString filePath() const { return m_filePath; }
    QSqlDatabase connection() const;

    // Prepares and runs one statement with positional '?' values. Throws StoreError.
    QSqlQuery exec(const QString &sql, const QVariantList &values = {}) const;
    // First column of the first row; a null QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const;
    // Runs a script of statements separated by ';' (schema creation). No values.
    void execScript(const QString &script) const;

    bool tableExists(const QString &table) const;
    int userVersion() const;
    void setUserVersion(int version) const;

    // Escapes '\', '%' and '_' for a LIKE pattern written with ESCAPE '\'.
    static QString likeEscaped(const QString &text);

private:
    friend class Transaction;
    QString m_filePath;
    QString m_connectionName;
    int m_transactionDepth = 0;
};

// One business operation = one transaction. Rolls back when destroyed uncommitted. Nested
// transactions become savepoints, so an inner failure undoes only its own part when the
// caller catches it, and nothing when the outer one rolls back.
class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Database &m_db;
    int m_level;
    bool m_done = false;
};

} // namespace varnock
