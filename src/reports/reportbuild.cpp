#include "reports/reportbuild.h"

#include <QStringList>

#include <algorithm>

namespace varnock {

ReportBuild::ReportBuild(Database &db)
    : m_db(db)
{
    if (db.isReadOnly())
        m_snapshot.emplace(db);
    else
        m_tx.emplace(db);
}

void ReportBuild::fill(const QString &temp, const ReportTable &report)
{
    if (!m_tx)
        return;
    m_db.query(QStringLiteral("DELETE FROM %1").arg(temp));
    const QList<ReportTable::Column> &columns = report.columns();
    if (columns.isEmpty())
        return;
    QStringList fields;
    for (const ReportTable::Column &c : columns)
        fields << c.field;
    const QString row =
        QStringLiteral("(") + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    // Several rows to a statement; within the smallest limit on bound values engines have.
    const qsizetype perStatement = std::max<qsizetype>(1, 999 / columns.size());
    const auto insert = [&](qsizetype rows) {
        return QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                   .arg(temp, fields.join(QLatin1Char(','))) +
               QStringList(rows, row).join(u',');
    };
    const QList<ReportTable::Row> &rows = report.rows();
    const qsizetype fullCount = std::min(perStatement, rows.size());
    const QString full = insert(fullCount);
    QVariantList values;
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const qsizetype count = std::min(perStatement, rows.size() - first);
        values.clear();
        for (qsizetype r = first; r < first + count; ++r)
            values << rows.at(r).cells;
        m_db.query(count == fullCount ? full : insert(count), values);
    }
}

void ReportBuild::commit()
{
    if (m_tx)
        m_tx->commit();
}

} // namespace varnock
