#include "store/database.h"

#include "store/errors.h"
#include "store/sqlfunctions.h"

#include <QAtomicInt>
#include <QDate>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

namespace varnock {

namespace {

QAtomicInt s_connectionCounter;

QString errorText(const QSqlError &error, const QString &sql)
{
    QString text = error.text().trimmed();
    if (!sql.isEmpty())
        text += QStringLiteral("\n") + sql.simplified();
    return text;
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

} // namespace

Database::Database(const QString &filePath)
    : m_filePath(filePath)
    , m_connectionName(QStringLiteral("varnock-%1").arg(s_connectionCounter.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString text = errorText(db.lastError(), QString());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw StoreError(text.isEmpty() ? filePath : text + QStringLiteral(": ") + filePath);
    }
    sqlite3 *handle = sqliteHandle(db);
    if (!handle) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw StoreError(QStringLiteral("SQLite driver handle unavailable"));
    }
    registerScaledFunctions(handle);
    try {
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
    } catch (...) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
        throw;
    }
}

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::exec(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StoreError(errorText(query.lastError(), sql));
    for (const QVariant &v : values) {
        if (v.typeId() == QMetaType::QDate)
            query.addBindValue(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        else
            query.addBindValue(v);
    }
    if (!query.exec())
        throw StoreError(errorText(query.lastError(), sql));
    return query;
}

QVariant Database::scalar(const QString &sql, const QVariantList &values) const
{
    QSqlQuery query = exec(sql, values);
    if (query.next())
        return query.value(0);
    return QVariant();
}

void Database::execScript(const QString &script) const
{
    const QStringList statements = script.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &statement : statements) {
        if (!statement.trimmed().isEmpty())
            exec(statement);
    }
}

bool Database::tableExists(const QString &table) const
{
    return scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type='table' "
                                 "AND name=? COLLATE NOCASE"),
                  {table})
               .toInt()
           > 0;
}

int Database::userVersion() const
{
    return scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

void Database::setUserVersion(int version) const
{
    exec(QStringLiteral("PRAGMA user_version=%1").arg(version));
}

QString Database::likeEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

Transaction::Transaction(Database &db)
    : m_db(db)
    , m_level(db.m_transactionDepth)
{
    if (m_level == 0)
        m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
    else
        m_db.exec(QStringLiteral("SAVEPOINT sp%1").arg(m_level));
    ++m_db.m_transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_db.m_transactionDepth;
    try {
        if (m_level == 0) {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } else {
            m_db.exec(QStringLiteral("ROLLBACK TO sp%1").arg(m_level));
            m_db.exec(QStringLiteral("RELEASE sp%1").arg(m_level));
        }
    } catch (const StoreError &) {
        // A failed rollback leaves SQLite to roll back on close; nothing more can be done here.
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    if (m_level == 0)
        m_db.exec(QStringLiteral("COMMIT"));
    else
        m_db.exec(QStringLiteral("RELEASE sp%1").arg(m_level));
    m_done = true;
    --m_db.m_transactionDepth;
}

} // namespace varnock
