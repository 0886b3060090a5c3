#include "master/consumingunits.h"

#include "store/database.h"
#include "store/errors.h"

#include <QSqlQuery>

namespace varnock {

namespace {

ConsumingUnits::Unit unitFrom(const QSqlQuery &q)
{
    return {q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString(), q.value(4).toString(), q.value(5).toString()};
}

void checkFields(const ConsumingUnits::Unit &unit)
{
    if (unit.bh.trimmed().isEmpty())
        throw Refusal(ConsumingUnits::Title, QStringLiteral("编号不允许为空！"));
    if (unit.mc.trimmed().isEmpty())
        throw Refusal(ConsumingUnits::Title, QStringLiteral("名称不允许为空！"));
}

} // namespace

const QString ConsumingUnits::Title = QStringLiteral("提示");

ConsumingUnits::ConsumingUnits(Database &db)
    : m_db(db)
{}

QList<ConsumingUnits::Unit> ConsumingUnits::list() const
{
    QList<Unit> units;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH, MC, DZ, LXR, DH, BZ FROM LLDW ORDER BY BH"));
    while (q.next())
        units.append(unitFrom(q));
    return units;
}

std::optional<ConsumingUnits::Unit> ConsumingUnits::find(const QString &bh) const
{
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT BH, MC, DZ, LXR, DH, BZ FROM LLDW WHERE BH = ?"), {bh});
    if (!q.next())
        return std::nullopt;
    return unitFrom(q);
}

void ConsumingUnits::add(const Unit &u)
{
    checkFields(u);
    Transaction tx(m_db);
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM LLDW WHERE BH = ?"), {u.bh}).toInt() != 0)
        throw Refusal(Title, QStringLiteral("编号不允许重复！"));
    m_db.exec(
        QStringLiteral("INSERT INTO LLDW (BH, MC, DZ, LXR, DH, BZ) VALUES (?, ?, ?, ?, ?, ?)"),
        {u.bh, u.mc, u.dz, u.lxr, u.dh, u.bz});
    tx.commit();
}

void ConsumingUnits::update(const Unit &u)
{
    checkFields(u);
    Transaction tx(m_db);
    const QSqlQuery q =
        m_db.exec(QStringLiteral("UPDATE LLDW SET MC = ?, DZ = ?, LXR = ?, DH = ?, BZ = ? "
                                 "WHERE BH = ?"),
                  {u.mc, u.dz, u.lxr, u.dh, u.bz, u.bh});
    if (q.numRowsAffected() == 0)
        throw Refusal(Title, QStringLiteral("这个单位已经不存在！"));
    tx.commit();
}

void ConsumingUnits::remove(const QString &bh)
{
    Transaction tx(m_db);
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE LLDWBH = ?"), {bh}).toInt() != 0)
        throw Refusal(Title, QStringLiteral("该单位已经做过业务不允许删除！"));
    m_db.exec(QStringLiteral("DELETE FROM LLDW WHERE BH = ?"), {bh});
    tx.commit();
}

QList<Counterparty> ConsumingUnits::search(CounterpartySearch by, const QString &text) const
{
    return CounterpartyQueries::search(m_db, QStringLiteral("LLDW"),
                                       QStringLiteral("BH, MC, DZ, LXR, DH"), by, text);
}

QStringList ConsumingUnits::values(CounterpartySearch by) const
{
    return CounterpartyQueries::values(m_db, QStringLiteral("LLDW"), by);
}

} // namespace varnock
