#include "ledger/closingsums.h"

#include "ledger/costengine.h"
#include "ledger/periodmovements.h"
#include "store/database.h"

#include <map>
#include <tuple>

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString shifted(const QString &day, int days)
{
    return QDate::fromString(day, DateFormat).addDays(days).toString(DateFormat);
}

QString dayAfter(const QString &day)
{
    return shifted(day, 1);
}

using RowKey = std::tuple<QString, std::optional<qint64>, int, QString, QString>;
using Sums = std::map<RowKey, std::pair<Decimal, Decimal>>;

void addRows(Query &q, Sums &into)
{
    while (q.next()) {
        const PeriodMovements::Row r = PeriodMovements::row(q);
        auto &[quantity, amount] = into[{r.clbh, r.price, int(r.kind), r.zl, r.lldwbh}];
        quantity += r.quantity;
        amount += r.amount;
    }
}

void dropZeros(Sums &sums)
{
    for (auto it = sums.begin(); it != sums.end();)
        it = it->second.first.isZero() && it->second.second.isZero() ? sums.erase(it)
                                                                     : std::next(it);
}

QString describe(const RowKey &key)
{
    const auto &[clbh, price, kind, zl, lldwbh] = key;
    return QStringLiteral("LX %1, price %2, ZL %3, unit %4")
        .arg(kind)
        .arg(price ? Decimal::fromRaw(*price).toString() : QStringLiteral("NULL"), zl, lldwbh);
}

} // namespace

ClosingSums::ClosingSums(Database &db, int accountingMode)
    : m_db(db)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
{}

bool ClosingSums::kept(const Database &db)
{
    return db.tableExists(QStringLiteral("YJFSB"));
}

QList<ClosingSums::Closing> ClosingSums::closings(const Database &db)
{
    const bool marked = kept(db);
    Query q = db.query(marked ? QStringLiteral("SELECT YJID, YJSJ, FSBZ FROM YJSJB ORDER BY YJID")
                              : QStringLiteral("SELECT YJID, YJSJ, 0 FROM YJSJB ORDER BY YJID"));
    QList<Closing> closings;
    QString previous;
    while (q.next()) {
        const QString day = q.value(1).toString();
        closings.append({q.value(0).toInt(),
                         previous.isEmpty() ? PeriodMovements::Earliest : dayAfter(previous), day,
                         q.value(2).toInt() != 0});
        previous = day;
    }
    return closings;
}

QList<ClosingSums::Span> ClosingSums::spans(const Database &db, const QString &first,
                                            const QString &last)
{
    QList<Span> spans;
    QString next = first;
    for (const Closing &c : closings(db)) {
        if (!c.summed || c.first < next || c.first > c.last || c.last > last)
            continue;
        if (next < c.first)
            spans.append({next, shifted(c.first, -1), {}});
        spans.append({c.first, c.last, c.yjid});
        next = dayAfter(c.last);
    }
    if (next <= last)
        spans.append({next, last, {}});
    return spans;
}

void ClosingSums::write(int yjid)
{
    const QString day =
        m_db.scalar(QStringLiteral("SELECT YJSJ FROM YJSJB WHERE YJID = ?"), {yjid}).toString();
    const QVariant previous = m_db.scalar(
        QStringLiteral("SELECT YJSJ FROM YJSJB WHERE YJID < ? ORDER BY YJID DESC LIMIT 1"), {yjid});
    write({yjid, previous.isNull() ? PeriodMovements::Earliest : dayAfter(previous.toString()), day,
           false});
}

void ClosingSums::write(const Closing &closing)
{
    m_db.query(QStringLiteral("DELETE FROM YJFSB WHERE YJID = ?"), {closing.yjid});
    PeriodMovements(m_fifo).store(m_db, closing.yjid, closing.first, closing.last);
    m_db.query(QStringLiteral("UPDATE YJSJB SET FSBZ = 1 WHERE YJID = ?"), {closing.yjid});
}

int ClosingSums::fillMissing()
{
    QList<Closing> unmarked = closings(m_db);
    unmarked.removeIf([](const Closing &c) { return c.summed; });
    if (unmarked.isEmpty())
        return 0;
    Transaction tx(m_db);
    for (const Closing &c : std::as_const(unmarked))
        write(c);
    tx.commit();
    return int(unmarked.size());
}

QList<ClosingSums::Difference> ClosingSums::latestDifferences() const
{
    const QList<Closing> all = closings(m_db);
    if (all.isEmpty() || !all.last().summed)
        return {};
    const Closing &latest = all.last();
    const PeriodMovements movements(m_fifo);

    PeriodMovements::Options options;
    options.postedOnly = false;
    Sums regrouped;
    for (const PeriodMovements::Statement &s :
         movements.dated(latest.first, latest.last, options)) {
        Query q = m_db.query(s.sql, s.values);
        addRows(q, regrouped);
    }
    dropZeros(regrouped);
    Sums stored;
    const PeriodMovements::Statement s = movements.closed(latest.yjid, options);
    Query q = m_db.query(s.sql, s.values);
    addRows(q, stored);
    dropZeros(stored);

    QList<Difference> differences;
    const auto figures = [](const Sums &sums, const RowKey &key) {
        const auto it = sums.find(key);
        return it == sums.end() ? QStringLiteral("0 / 0")
                                : QStringLiteral("%1 / %2").arg(it->second.first.toString(),
                                                                it->second.second.toString());
    };
    const auto differ = [&](const RowKey &key) {
        differences.append(
            {std::get<0>(key), QStringLiteral("YJFSB %1 in closing %2: sums %3, "
                                              "movements %4")
                                   .arg(describe(key))
                                   .arg(latest.yjid)
                                   .arg(figures(stored, key), figures(regrouped, key))});
    };
    for (const auto &[key, sums] : regrouped) {
        const auto it = stored.find(key);
        if (it == stored.end() || it->second != sums)
            differ(key);
    }
    for (const auto &[key, sums] : stored) {
        if (!regrouped.count(key))
            differ(key);
    }
    return differences;
}

} // namespace varnock
