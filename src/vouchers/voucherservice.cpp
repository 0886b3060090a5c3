#include "vouchers/voucherservice.h"

#include "store/clock.h"
#include "store/documentnumbers.h"
#include "store/inparts.h"

#include <QHash>
#include <QSet>

namespace varnock {

VoucherService::Row &VoucherService::Row::set(const char *column, const QVariant &value)
{
    m_columns.append(QString::fromLatin1(column));
    m_values.append(value);
    m_onInsertOnly.append(false);
    return *this;
}

VoucherService::Row &VoucherService::Row::setOnInsert(const char *column, const QVariant &value)
{
    set(column, value);
    m_onInsertOnly.last() = true;
    return *this;
}

VoucherService::VoucherService(Database &db, Table table, Rules rules, QString zl,
                               int accountingMode, const Formats &formats)
    : m_table(std::move(table))
    , m_rules(std::move(rules))
    , m_db(db)
    , m_zl(std::move(zl))
    , m_mode(accountingMode)
    , m_formats(formats)
{}

void VoucherService::checkCanOpen() const
{
    VoucherBook(m_db).checkCanOpen();
}

std::optional<QDate> VoucherService::latestClosing() const
{
    return VoucherBook(m_db).latestClosing();
}

QDate VoucherService::finderStart() const
{
    return VoucherBook(m_db).finderStart();
}

qint64 VoucherService::nextSystemNumber() const
{
    return VoucherBook(m_db).nextSystemNumber(m_table.name, m_table.systemColumn);
}

QString VoucherService::proposeDocumentNumber() const
{
    const VoucherBook book(m_db);
    const Numbering &n = m_table.numbering;
    if (n.rule == Numbering::Rule::Monthly)
        return book.monthlyDocumentNumber(m_table.name);
    const std::optional<qint64> greatest = book.greatestRunningNumber(m_table.name);
    const QString today = VoucherBook::dateText(Clock::today());
    if (!greatest)
        return today + n.firstSeparator + QStringLiteral("1001");
    return today + n.separator + QString::number(*greatest + 1);
}

QString VoucherService::numberOnSaving(const QString &number) const
{
    if (!VoucherBook::looksDrawn(number))
        return number;
    const VoucherBook book(m_db);
    const bool taken = m_table.numbering.rule == Numbering::Rule::Monthly
                           ? book.isMonthsDocumentNumber(m_table.name, number)
                           : book.numberUsed(m_table.name, number);
    return taken ? proposeDocumentNumber() : number;
}

QStringList VoucherService::documentNumbers() const
{
    // Table and column names are the family's own, never input.
    return VoucherBook(m_db).texts(QStringLiteral("SELECT %1 FROM %2 WHERE ZL = ? "
                                                  "GROUP BY %1 ORDER BY %1")
                                       .arg(m_table.numberColumn, m_table.name),
                                   {m_zl});
}

bool VoucherService::isPosted(qint64 xtbh) const
{
    if (!m_table.ledger)
        return false;
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE XTBH = ? AND JZBZ <> 0")
                           .arg(m_table.name),
                       {xtbh})
               .toLongLong() > 0;
}

QString VoucherService::voucherCondition() const
{
    return m_table.systemColumn +
           (m_table.ledger ? QStringLiteral(" = ? AND ZL = ?") : QStringLiteral(" = ?"));
}

QVariantList VoucherService::voucherValues(qint64 xtbh) const
{
    QVariantList values{storedKey(xtbh)};
    if (m_table.ledger)
        values.append(m_zl);
    return values;
}

QSqlQuery VoucherService::findVouchers(const QString &select, const FinderConditions &conditions,
                                       const QString &tail) const
{
    QString sql = select;
    if (!conditions.where().isEmpty())
        sql += (m_table.ledger ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) +
               conditions.where();
    QVariantList values;
    if (m_table.ledger)
        values.append(m_zl);
    values.append(conditions.values());
    return m_db.exec(sql + QLatin1Char(' ') + tail, values);
}

QStringList VoucherService::dateProblems(const QDate &date, const QString &closingMessage) const
{
    QStringList problems;
    if (const std::optional<QString> problem = VoucherBook::dateProblem(date))
        problems.append(*problem);
    const std::optional<QDate> closing = latestClosing();
    if (!date.isValid() || (closing && date <= *closing))
        problems.append(closingMessage);
    return problems;
}

bool VoucherService::isMaterial(const QString &clbh) const
{
    return materialsAmong({clbh}).contains(clbh.trimmed());
}

QSet<QString> VoucherService::materialsAmong(const QStringList &codes) const
{
    QVariantList trimmed;
    for (const QString &code : codes)
        trimmed << code.trimmed();
    QSet<QString> materials;
    queryInParts(
        m_db, trimmed,
        [](qsizetype count) {
            return QStringLiteral("SELECT CLBH FROM CLJBXXB WHERE SFMJ <> 0 AND CLBH IN (%1)")
                .arg(placesOf(count));
        },
        [&materials](Query &q) {
            while (q.next())
                materials.insert(q.value(0).toString());
        });
    return materials;
}

QList<Refusal> VoucherService::refusalsOf(const QString &title, const QStringList &messages)
{
    QList<Refusal> refusals;
    for (const QString &message : messages)
        refusals.append(Refusal(title, message));
    return refusals;
}

QStringList VoucherService::messagesOf(const QList<Refusal> &refusals)
{
    QStringList messages;
    for (const Refusal &r : refusals)
        messages.append(r.text.split(QLatin1Char('\n')));
    return messages;
}

void VoucherService::refuseIfAny(const QList<Refusal> &refusals) const
{
    if (refusals.isEmpty())
        return;
    if (m_rules.firstRefusalOnly)
        throw refusals.first();
    throw Refusal(refusals.first().title, messagesOf(refusals).join(QLatin1Char('\n')));
}

void VoucherService::refuseIfUnchangeable(qint64 xtbh, const Refusal &posted) const
{
    if (!m_table.ledger) {
        if (!m_rules.missing.isEmpty() &&
            m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                            .arg(m_table.name, m_table.systemColumn),
                        {storedKey(xtbh)})
                    .toLongLong() == 0)
            throw Refusal(QStringLiteral("提示"), m_rules.missing);
        return;
    }
    Query q = m_db.query(QStringLiteral("SELECT SUM(CASE WHEN ZL = ? THEN 1 ELSE 0 END), "
                                        "MAX(JZBZ) FROM %1 WHERE XTBH = ?")
                             .arg(m_table.name),
                         {m_zl, xtbh});
    q.next();
    if (!m_rules.missing.isEmpty() && q.value(0).toLongLong() == 0)
        throw Refusal(QStringLiteral("提示"), m_rules.missing);
    if (q.value(1).toInt() != 0)
        throw posted;
}

VoucherService::Row VoucherService::withRunningNumber(const Row &row) const
{
    const DocumentNumbers::RunningCopy *copy = DocumentNumbers::runningCopyOf(m_table.name);
    if (!copy)
        return row;
    const qsizetype number = row.m_columns.indexOf(QLatin1String(copy->numberColumn));
    if (number < 0)
        return row;
    Row numbered = row;
    numbered.set(copy->copyColumn, copy->of(row.m_values.at(number)));
    numbered.m_onInsertOnly.last() = row.m_onInsertOnly.at(number);
    return numbered;
}

void VoucherService::insert(qint64 xtbh, const Row &line)
{
    const Row row = withRunningNumber(line);
    QStringList marks;
    for (qsizetype i = 0; i < row.m_columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    QVariantList values{storedKey(xtbh)};
    values.append(row.m_values);
    m_db.query(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, %4)")
                   .arg(m_table.name, m_table.systemColumn,
                        row.m_columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
               values);
    if (marksSource())
        m_db.query(QStringLiteral("UPDATE %1 SET THBZ = 1 WHERE ID = ?").arg(m_table.sourceTable),
                   {row.m_source});
}

void VoucherService::insertRows(qint64 xtbh, const QList<Row> &rows)
{
    for (const Row &row : rows)
        insert(xtbh, row);
}

// A line that a return referred to stays marked only while some return line still does;
// otherwise a later reversal of it would be refused for a return that is gone.
void VoucherService::unmarkIfUnreferenced(qint64 source)
{
    if (!marksSource())
        return;
    m_db.exec(QStringLiteral("UPDATE %1 SET THBZ = 0 WHERE ID = ? AND THBZ <> 0 "
                             "AND NOT EXISTS (SELECT 1 FROM %2 WHERE %3 = ?)")
                  .arg(m_table.sourceTable, m_table.name, m_table.sourceColumn),
              {source, source});
}

void VoucherService::writeExact(qint64 xtbh, const QList<Row> &rows)
{
    const QString source =
        m_table.sourceColumn.isEmpty() ? QStringLiteral("0") : m_table.sourceColumn;
    QHash<qint64, qint64> stored; // ID → the line it refers to
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, %1 FROM %2 WHERE %3")
                                .arg(source, m_table.name, voucherCondition()),
                            voucherValues(xtbh));
    while (q.next())
        stored.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
    q.finish();

    QSet<qint64> kept;
    for (const Row &line : rows) {
        if (line.m_id == 0) {
            insert(xtbh, line);
            continue;
        }
        const Row row = withRunningNumber(line);
        if (!stored.contains(row.m_id) || stored.value(row.m_id) != row.m_source)
            throw StoreError(QStringLiteral("%1 line %2 is not part of voucher %3")
                                 .arg(m_table.name)
                                 .arg(row.m_id)
                                 .arg(xtbh));
        kept.insert(row.m_id);
        QStringList assignments;
        QVariantList values;
        for (qsizetype i = 0; i < row.m_columns.size(); ++i) {
            if (row.m_onInsertOnly.at(i))
                continue;
            assignments.append(row.m_columns.at(i) + QStringLiteral(" = ?"));
            values.append(row.m_values.at(i));
        }
        values.append(row.m_id);
        m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE ID = ?")
                      .arg(m_table.name, assignments.join(QStringLiteral(", "))),
                  values);
    }
    // Lines taken off the grid go too: the voucher is what the grid shows.
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (kept.contains(it.key()))
            continue;
        m_db.exec(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(m_table.name), {it.key()});
        unmarkIfUnreferenced(it.value());
    }
}

void VoucherService::remove(qint64 xtbh)
{
    Transaction tx(m_db);
    refuseIfUnchangeable(xtbh, m_rules.postedDelete);
    checkChange(xtbh);
    checkRemove(xtbh);
    QList<qint64> sources;
    if (!m_table.sourceColumn.isEmpty()) {
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %3 = ?")
                                    .arg(m_table.sourceColumn, m_table.name, m_table.systemColumn),
                                {storedKey(xtbh)});
        while (q.next())
            sources.append(q.value(0).toLongLong());
    }
    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table.name, m_table.systemColumn),
              {storedKey(xtbh)});
    for (qint64 source : std::as_const(sources))
        unmarkIfUnreferenced(source);
    tx.commit();
}

} // namespace varnock
