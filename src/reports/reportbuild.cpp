#include "reports/reportbuild.h"

#include <QStringList>

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
    QStringList fields;
    QStringList places;
    for (const ReportTable::Column &c : report.columns()) {
        fields << c.field;
        places << QStringLiteral("?");
    }
    const QString insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(temp, fields.join(QLatin1Char(',')), places.join(QLatin1Char(',')));
    for (const ReportTable::Row &row : report.rows())
        m_db.query(insert, row.cells);
}

void ReportBuild::commit()
{
    if (m_tx)
        m_tx->commit();
}

} // namespace varnock
