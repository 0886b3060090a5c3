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

} // namespace varnock::test
