#include "store/query.h"

#include "store/errors.h"

#include <QDate>
#include <QDateTime>
#include <QStringEncoder>
#include <QTime>

#include <sqlite3.h>

#include <utility>

namespace varnock {

namespace {

// Text goes to SQLite in UTF-8, the files' encoding, in a buffer SQLite takes over: bound as
// UTF-16 it would be copied once and converted once more before it is stored or compared.
int bindText(sqlite3_stmt *stmt, int index, QStringView text)
{
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    char *buffer = static_cast<char *>(
        sqlite3_malloc64(sqlite3_uint64(toUtf8.requiredSpace(text.size())) + 1));
    if (!buffer)
        return SQLITE_NOMEM;
    const char *end = toUtf8.appendToBuffer(buffer, text);
    return sqlite3_bind_text64(stmt, index, buffer, sqlite3_uint64(end - buffer), sqlite3_free,
                               SQLITE_UTF8);
}

// As the SQLite driver of Qt binds them, so that both paths store the same values.
int bindValue(sqlite3_stmt *stmt, int index, const QVariant &v)
{
    if (v.isNull())
        return sqlite3_bind_null(stmt, index);
    QString text;
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, v.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = v.toByteArray();
        return sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()),
                                 SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
        text = v.toDate().toString(Qt::ISODate);
        break;
    case QMetaType::QDateTime:
        text = v.toDateTime().toString(Qt::ISODateWithMs);
        break;
    case QMetaType::QTime:
        text = v.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
        break;
    default:
        text = v.toString();
        break;
    }
    return bindText(stmt, index, text);
}

} // namespace

Query::Query(const std::shared_ptr<StatementCache> &cache, const QString &sql,
             std::shared_ptr<StatementCache::Lent> lent)
    : m_cache(cache)
    , m_lent(std::move(lent))
    , m_sql(sql)
{}

Query::Query(Query &&other) noexcept
    : m_cache(std::move(other.m_cache))
    , m_lent(std::move(other.m_lent))
    , m_sql(std::move(other.m_sql))
    , m_row(std::exchange(other.m_row, false))
    , m_pending(std::exchange(other.m_pending, false))
    , m_failed(other.m_failed)
    , m_columns(other.m_columns)
    , m_changes(other.m_changes)
    , m_lastId(other.m_lastId)
{}

Query &Query::operator=(Query &&other) noexcept
{
    if (this != &other) {
        release();
        m_cache = std::move(other.m_cache);
        m_lent = std::move(other.m_lent);
        m_sql = std::move(other.m_sql);
        m_row = std::exchange(other.m_row, false);
        m_pending = std::exchange(other.m_pending, false);
        m_failed = other.m_failed;
        m_columns = other.m_columns;
        m_changes = other.m_changes;
        m_lastId = other.m_lastId;
    }
    return *this;
}

Query::~Query()
{
    release();
}

void Query::start(const QVariantList &values)
{
    sqlite3_stmt *stmt = m_lent->stmt;
    // Values left bound from an earlier use would silently fill missing places.
    const int places = sqlite3_bind_parameter_count(stmt);
    if (places != values.size())
        throw StoreError(QStringLiteral("%1 values for %2 parameters\n%3")
                             .arg(values.size())
                             .arg(places)
                             .arg(m_sql.simplified()));
    for (int i = 0; i < places; ++i) {
        if (bindValue(stmt, i + 1, values.at(i)) != SQLITE_OK) {
            m_failed = true;
            m_cache.lock()->fail();
        }
    }
    step();
    // Counted once it ran: a statement made anew for a changed schema may have others.
    m_columns = sqlite3_column_count(stmt);
    sqlite3 *db = sqlite3_db_handle(stmt);
    m_changes = sqlite3_changes(db);
    m_lastId = sqlite3_last_insert_rowid(db);
    m_pending = true;
}

void Query::step()
{
    sqlite3_stmt *stmt = m_lent->stmt;
    const int rc = sqlite3_step(stmt);
    m_row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    m_failed = true;
    m_cache.lock()->fail();
}

bool Query::next()
{
    if (!m_lent)
        return false;
    if (!m_lent->stmt) {
        m_row = false;
        throw StoreError(QStringLiteral("the database is closed\n") + m_sql.simplified());
    }
    if (m_pending) {
        m_pending = false;
        return m_row;
    }
    if (m_row)
        step();
    return m_row;
}

sqlite3_stmt *Query::onRow(int column) const
{
    if (!m_row || m_pending || !m_lent || !m_lent->stmt)
        return nullptr;
    return column >= 0 && column < m_columns ? m_lent->stmt : nullptr;
}

QVariant Query::value(int column) const
{
    sqlite3_stmt *stmt = onRow(column);
    if (!stmt)
        return QVariant();
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(bytes, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

bool Query::isNull(int column) const
{
    sqlite3_stmt *stmt = onRow(column);
    return !stmt || sqlite3_column_type(stmt, column) == SQLITE_NULL;
}

qint64 Query::integer(int column) const
{
    sqlite3_stmt *stmt = onRow(column);
    if (stmt && sqlite3_column_type(stmt, column) == SQLITE_INTEGER)
        return sqlite3_column_int64(stmt, column);
    return value(column).toLongLong();
}

Decimal Query::decimal(int column) const
{
    sqlite3_stmt *stmt = onRow(column);
    if (stmt && sqlite3_column_type(stmt, column) == SQLITE_INTEGER)
        return Decimal::fromRaw(sqlite3_column_int64(stmt, column));
    return Decimal::fromVariant(value(column));
}

QByteArrayView Query::utf8(int column) const
{
    sqlite3_stmt *stmt = onRow(column);
    if (!stmt)
        return {};
    // NULL has no text; an empty text is an empty one.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    if (!text)
        return {};
    return QByteArrayView(text, sqlite3_column_bytes(stmt, column));
}

QVariant Query::lastInsertId() const
{
    return m_lastId != 0 ? QVariant(m_lastId) : QVariant();
}

void Query::finish()
{
    release();
}

void Query::release()
{
    m_row = false;
    m_pending = false;
    if (!m_lent)
        return;
    const std::shared_ptr<StatementCache::Lent> lent = std::move(m_lent);
    if (const std::shared_ptr<StatementCache> cache = m_cache.lock())
        cache->giveBack(m_sql, *lent, m_failed);
}

} // namespace varnock
