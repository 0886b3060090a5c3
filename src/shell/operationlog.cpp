#include "shell/operationlog.h"

#include "shell/operators.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"

#include <QSqlQuery>
#include <QVariant>

namespace varnock {

OperationLog::OperationLog(Database &db)
    : m_db(db)
{}

void OperationLog::record(const QString &operatorNumber, const QString &text)
{
    // One statement: written whole or not at all, inside the caller's transaction if any.
    const QTime now = Clock::now();
    m_db.query(QStringLiteral("INSERT INTO CZRZ (CZY, RQ, CZXX, \"TIME\") VALUES (?, ?, ?, ?)"),
               {operatorNumber, Clock::today(), text,
                QString::asprintf("%02d:%02d:%02d", now.hour(), now.minute(), now.second())});
}

QList<OperationLog::Row> OperationLog::browse() const
{
    return rows(QString(), {});
}

QList<OperationLog::Row> OperationLog::filter(QDate from, QDate to,
                                              std::optional<int> operatorNumber) const
{
    if (from > to)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("起始日期不允许大于终止日期"));
    QString where = QStringLiteral(" WHERE CZRZ.RQ BETWEEN ? AND ?");
    QVariantList values{from, to};
    if (operatorNumber) {
        where += QStringLiteral(" AND CZY.BH = ?");
        values << *operatorNumber;
    }
    return rows(where, values);
}

void OperationLog::clear(int loggedInOperator, const QString &typedPassword)
{
    if (!Operators(m_db).passwordMatches(loggedInOperator, typedPassword))
        throw Refusal(QStringLiteral("提示"), wrongPasswordText());
    Transaction tx(m_db);
    m_db.exec(QStringLiteral("DELETE FROM CZRZ"));
    tx.commit();
}

QList<OperationLog::Row> OperationLog::rows(const QString &where, const QVariantList &values) const
{
    // CZRZ keeps the operator number as the status bar's text; the join reads it as a number.
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT CZRZ.ID, CZY.CZY, CZRZ.RQ, CZRZ.\"TIME\", "
                                           "CZRZ.CZXX FROM CZY INNER JOIN CZRZ "
                                           "ON CZY.BH = CAST(CZRZ.CZY AS INTEGER)") +
                                where + QStringLiteral(" ORDER BY CZRZ.ID"),
                            values);
    QList<Row> result;
    while (q.next()) {
        Row r;
        r.id = q.value(0).toLongLong();
        r.operatorName = q.value(1).toString().trimmed();
        r.date = QDate::fromString(q.value(2).toString(), QStringLiteral("yyyy-MM-dd"));
        r.time = q.value(3).toString();
        r.text = q.value(4).toString();
        result << r;
    }
    return result;
}

} // namespace varnock
