#include "store/database.h"

#include "store/errors.h"
#include "store/sqlfunctions.h"

#include <QAtomicInt>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <QUrl>

#include <sqlite3.h>

#include <mutex>
#include <optional>
#include <stdexcept>

namespace varnock {

namespace {

QAtomicInt s_connectionCounter;

const char SqliteHeader[] = "SQLite format 3";

// Inside a usual transaction every operation runs in a savepoint of its own, and SQLite keeps
// the pages a savepoint changes in a sub-journal so that the savepoint can be rolled back. By
// default that journal moves to a temporary file beyond 64 KB, where an ordinary voucher's
// posting or a command of a batch writes every page it touches a second time. It is kept in
// memory instead: it holds the pages one savepoint or statement changes, no more than that
// operation writes anyway. A larger threshold is no way out: the journal then spills in pieces
// as large as the threshold, the file layer writes at most 128 KB at a time and reports the
// short write as a full disk.
constexpr int SubJournalAlwaysInMemory = -1;

// Engine settings that hold for the whole process: they must be made before SQLite starts,
// that is before the first connection opens. Should something have started it earlier, the
// defaults stay: slower, never wrong.
void configureEngine()
{
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, SubJournalAlwaysInMemory);
        // No memory statistics: they take a lock and count on every allocation, about a tenth
        // of a posting's work, and nothing here reads them.
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    });
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3 *const *>(v.constData());
    return nullptr;
}

// The primary result code of a driver error (the extended code's low byte).
int primaryCode(const QString &nativeCode)
{
    bool ok = false;
    const int code = nativeCode.toInt(&ok);
    return ok ? (code & 0xff) : SQLITE_ERROR;
}

StoreError::Cause causeOf(const QString &nativeCode)
{
    switch (primaryCode(nativeCode)) {
    case SQLITE_FULL:
        return StoreError::Cause::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return StoreError::Cause::WriteProtected;
    case SQLITE_IOERR:
        return StoreError::Cause::InputOutput;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreError::Cause::Damaged;
    default:
        return StoreError::Cause::Other;
    }
}

// Whether a file may be written: opening it for writing changes nothing in it, and a
// temporary file shows whether the folder takes the journal files beside it.
bool canWrite(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    file.close();
    QTemporaryFile probe(
        QFileInfo(filePath).absoluteDir().filePath(QStringLiteral(".kvmt-XXXXXX")));
    return probe.open();
}

} // namespace

Database::Database(const QString &filePath, Access access)
    : m_filePath(filePath)
    , m_connectionName(QStringLiteral("varnock-%1").arg(s_connectionCounter.fetchAndAddRelaxed(1)))
{
    const QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    if (access == Access::Create) {
        open(filePath, options);
    } else {
        // Opening an empty file would quietly make a new database of it, and the journal
        // mode would be written into a file that is no database: neither is touched.
        QFile file(filePath);
        if (!file.exists())
            throw failure(QString::number(SQLITE_CANTOPEN), QString());
        if (!file.open(QIODevice::ReadOnly))
            throw failure(QString::number(SQLITE_CANTOPEN), file.errorString());
        const QByteArray header = file.read(sizeof SqliteHeader);
        file.close();
        if (header != QByteArray(SqliteHeader, sizeof SqliteHeader))
            throw failure(QString::number(SQLITE_NOTADB), header.isEmpty()
                                                              ? QStringLiteral("empty file")
                                                              : QStringLiteral("no SQLite header"));
        m_readOnly = access == Access::ReadOnly || !canWrite(filePath);
        const QString uri = QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath())
                                .toString(QUrl::FullyEncoded);
        const QString uriOptions = options + QStringLiteral(";QSQLITE_OPEN_URI");
        if (!m_readOnly) {
            open(uri + QStringLiteral("?mode=rw"), uriOptions);
        } else {
            const QString readOnly = uriOptions + QStringLiteral(";QSQLITE_OPEN_READONLY");
            try {
                open(uri + QStringLiteral("?mode=ro"), readOnly);
            } catch (const StoreError &) {
                // A folder that cannot be written cannot take the shared-memory file either;
                // nothing can change the file there, so it is read as it stands.
                open(uri + QStringLiteral("?mode=ro&immutable=1"), readOnly);
            }
        }
    }
    try {
        sqlite3 *handle = sqliteHandle(connection());
        registerScaledFunctions(handle);
        m_statements =
            std::make_shared<StatementCache>(handle, [this](int code, const QString &text) {
                // A scaled function that left the exact range: the same failure as Decimal's.
                if (text.endsWith(QLatin1String(OverflowMessage)))
                    throw std::overflow_error(OverflowMessage);
                throw failure(QString::number(code), text);
            });
        if (!m_readOnly)
            exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
    } catch (...) {
        close();
        throw;
    }
}

// Opens the connection and reads the schema once, so that a damaged file fails here, before
// anything is written to it.
void Database::open(const QString &name, const QString &options)
{
    configureEngine();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(name);
    db.setConnectOptions(options);
    std::optional<StoreError> failed;
    if (!db.open()) {
        failed = failure(db.lastError().nativeErrorCode(), db.lastError().text());
    } else if (!sqliteHandle(db)) {
        failed = failure(QString(), QStringLiteral("SQLite driver handle unavailable"));
    } else {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
            failed = failure(probe.lastError().nativeErrorCode(), probe.lastError().text());
    }
    db = QSqlDatabase();
    if (failed) {
        close();
        throw *failed;
    }
}

void Database::close()
{
    if (m_statements) {
        m_statements->close();
        m_statements.reset();
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::fail(const QSqlError &error) const
{
    // A scaled function that left the exact range: the same failure as Decimal's own.
    if (error.databaseText().endsWith(QLatin1String(OverflowMessage)))
        throw std::overflow_error(OverflowMessage);
    throw failure(error.nativeErrorCode(), error.databaseText());
}

StoreError Database::failure(const QString &nativeCode, const QString &driverText) const
{
    return StoreError(failureText(nativeCode, driverText), causeOf(nativeCode));
}

QString Database::failureText(const QString &nativeCode, const QString &driverText) const
{
    const QString file = QDir::toNativeSeparators(m_filePath);
    QString text;
    switch (primaryCode(nativeCode)) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        text = QStringLiteral("数据文件已损坏，或不是本系统的数据文件：%1\n"
                              "文件未被改动。请从备份中恢复该文件。");
        break;
    case SQLITE_CANTOPEN:
        text = QStringLiteral("无法打开数据文件：%1\n请检查该文件是否存在、其文件夹能否访问。");
        break;
    case SQLITE_READONLY:
        text = QStringLiteral("数据文件只读，不能保存修改：%1\n请检查该文件及其文件夹的写入权限。");
        break;
    case SQLITE_FULL:
        text = QStringLiteral("磁盘已满，数据未能写入：%1\n请腾出磁盘空间后重试。");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        text = QStringLiteral("数据文件正被另一个程序写入：%1\n请稍后再试。");
        break;
    case SQLITE_IOERR:
        text = QStringLiteral("读写数据文件时出错：%1\n请检查磁盘，必要时从备份中恢复该文件。");
        break;
    default:
        text = QStringLiteral("数据文件操作失败：%1\n请检查该文件，必要时从备份中恢复。");
        break;
    }
    text = text.arg(file);
    const QString detail = driverText.trimmed();
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return text;
}

Database::~Database()
{
    close();
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
        fail(query.lastError());
    for (const QVariant &v : values) {
        if (v.typeId() == QMetaType::QDate)
            query.addBindValue(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        else
            query.addBindValue(v);
    }
    if (!query.exec())
        fail(query.lastError());
    return query;
}

Query Database::query(const QString &sql, const QVariantList &values) const
{
    Query q(m_statements, sql, m_statements->lend(sql));
    q.start(values);
    return q;
}

QVariant Database::scalar(const QString &sql, const QVariantList &values) const
{
    Query q = query(sql, values);
    if (q.next())
        return q.value(0);
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
               .toInt() > 0;
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

Transaction::Transaction(Database &db, Kind kind)
    : m_db(db)
    , m_level(db.m_transactionDepth)
{
    if (m_db.isReadOnly()) {
        throw Refusal(QStringLiteral("提示"),
                      m_db.failureText(QString::number(SQLITE_READONLY), QString()),
                      Refusal::Icon::Critical);
    }
    if (m_level == 0) {
        m_db.query(QStringLiteral("BEGIN IMMEDIATE"));
        m_whole = kind == Kind::AllOrNothing;
        m_db.m_allOrNothing = m_whole;
        m_db.m_spoiled = false;
    } else if (m_db.m_allOrNothing) {
        m_inWhole = true;
        m_changesAtStart = sqlite3_total_changes64(m_db.m_statements->connection());
    } else {
        m_db.query(QStringLiteral("SAVEPOINT sp%1").arg(m_level));
    }
    ++m_db.m_transactionDepth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_db.m_transactionDepth;
    if (m_inWhole) {
        // Nothing to roll back to: the whole goes, unless nothing was written meanwhile (an
        // operation that found nothing to do and left).
        if (sqlite3_total_changes64(m_db.m_statements->connection()) != m_changesAtStart)
            m_db.m_spoiled = true;
        return;
    }
    try {
        if (m_level == 0) {
            m_db.m_allOrNothing = false;
            m_db.m_spoiled = false;
            m_db.query(QStringLiteral("ROLLBACK"));
        } else {
            m_db.query(QStringLiteral("ROLLBACK TO sp%1").arg(m_level));
            m_db.query(QStringLiteral("RELEASE sp%1").arg(m_level));
        }
    } catch (const StoreError &) {
        // A failed rollback leaves SQLite to roll back on close; nothing more can be done here.
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    if (m_whole && m_db.m_spoiled)
        throw StoreError(QStringLiteral("an operation inside failed: nothing of the whole is "
                                        "written"));
    if (m_inWhole) {
        // Kept or dropped with the whole.
    } else if (m_level == 0) {
        m_db.query(QStringLiteral("COMMIT"));
        m_db.m_allOrNothing = false;
    } else {
        m_db.query(QStringLiteral("RELEASE sp%1").arg(m_level));
    }
    m_done = true;
    --m_db.m_transactionDepth;
}

ReadSnapshot::ReadSnapshot(Database &db)
    : m_db(db)
{
    if (m_db.m_transactionDepth > 0)
        return;
    // Deferred: the snapshot is taken at the first read and holds until the end.
    m_db.query(QStringLiteral("BEGIN"));
    m_began = true;
    ++m_db.m_transactionDepth;
}

ReadSnapshot::~ReadSnapshot()
{
    if (!m_began)
        return;
    --m_db.m_transactionDepth;
    try {
        m_db.query(QStringLiteral("COMMIT"));
    } catch (const StoreError &) {
        // Nothing was written; closing the connection ends the read as well.
    }
}

} // namespace varnock
