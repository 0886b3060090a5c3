#include "queryplan.h"

#include <QSqlDriver>

#include <sqlite3.h>

#include <stdexcept>

namespace varnock::test {

QStringList queryPlan(Database &db, const QString &sql)
{
    sqlite3 *handle =
        *static_cast<sqlite3 *const *>(db.connection().driver()->handle().constData());
    const QByteArray text = (QStringLiteral("EXPLAIN QUERY PLAN ") + sql).toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(handle));
    QStringList lines;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        lines << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
    sqlite3_finalize(stmt);
    return lines;
}

StatementRecorder::StatementRecorder(Database &db)
    : m_handle(*static_cast<sqlite3 *const *>(db.connection().driver()->handle().constData()))
{}

void StatementRecorder::run(const std::function<void()> &work)
{
    sqlite3_trace_v2(m_handle, SQLITE_TRACE_PROFILE, &StatementRecorder::finished, this);
    try {
        work();
    } catch (...) {
        sqlite3_trace_v2(m_handle, 0, nullptr, nullptr);
        throw;
    }
    sqlite3_trace_v2(m_handle, 0, nullptr, nullptr);
}

int StatementRecorder::finished(unsigned, void *self, void *p, void *)
{
    auto *stmt = static_cast<sqlite3_stmt *>(p);
    Ran &r = static_cast<StatementRecorder *>(self)->m_ran[QString::fromUtf8(sqlite3_sql(stmt))];
    r.sql = QString::fromUtf8(sqlite3_sql(stmt));
    r.fullScanSteps += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_FULLSCAN_STEP, 0);
    r.sorts += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_SORT, 0);
    r.autoIndexes += sqlite3_stmt_status(stmt, SQLITE_STMTSTATUS_AUTOINDEX, 0);
    return 0;
}

bool isData(const QString &sql)
{
    const QString s = sql.trimmed().toUpper();
    return s.startsWith(QLatin1String("SELECT")) || s.startsWith(QLatin1String("INSERT")) ||
           s.startsWith(QLatin1String("UPDATE")) || s.startsWith(QLatin1String("DELETE"));
}

} // namespace varnock::test
