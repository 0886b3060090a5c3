#include "reports/reportbuild.h"

#include "store/bulkinsert.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

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
    if (m_tx)
        write(m_db, temp, report);
}

void ReportBuild::write(Database &db, const QString &temp, const ReportTable &report)
{
    db.query(QStringLiteral("DELETE FROM %1").arg(temp));
    const QList<ReportTable::Column> &columns = report.columns();
    if (columns.isEmpty())
        return;
    QStringList fields;
    for (const ReportTable::Column &c : columns)
        fields << c.field;
    // Each text is encoded once, however many cells show it.
    std::vector<QByteArray> utf8;
    utf8.reserve(size_t(report.texts().size()));
    for (const QString &text : report.texts())
        utf8.push_back(text.toUtf8());
    BulkInsert insert(db, temp, fields);
    for (int r = 0; r < report.rowCount(); ++r) {
        for (int c = 0; c < columns.size(); ++c) {
            if (report.isNullAt(r, c))
                insert.addNull();
            else if (columns.at(c).kind == ReportTable::Column::Text)
                insert.addText(utf8[size_t(report.textIdAt(r, c))]);
            else
                insert.addInteger(report.integerAt(r, c));
        }
    }
    insert.finish();
}

void ReportBuild::commit()
{
    if (m_tx)
        m_tx->commit();
}

} // namespace varnock
