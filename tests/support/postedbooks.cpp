#include "support/postedbooks.h"

#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "store/clock.h"

namespace varnock::test {

namespace {

QDate dateOf(const char *date)
{
    return QDate::fromString(QString::fromLatin1(date), Qt::ISODate);
}

} // namespace

PostedBooks::PostedBooks(Database &db, int mode, qint64 lastVoucher)
    : m_db(db)
    , m_mode(mode)
    , m_seed(db)
    , m_xtbh(lastVoucher)
{}

void PostedBooks::close(const char *date)
{
    MonthEnd(m_db, m_mode, m_formats).close(dateOf(date));
}

qint64 PostedBooks::receive(const char *date, const QString &clbh, const char *quantity,
                            const char *amount, const QString &supplier, const QString &kind)
{
    const qint64 id = m_seed.receipt(++m_xtbh, clbh, dec(quantity), dec(amount));
    m_db.exec(QStringLiteral("UPDATE RKD SET GYSBH = ?, ZL = ? WHERE ID = ?"),
              {supplier, kind, id});
    redate(QStringLiteral("RKD"), id, date);
    Posting(m_db, m_mode, m_formats).post(Posting::Family::StockIn, kind, m_xtbh);
    return id;
}

void PostedBooks::giveBack(const char *date, qint64 rkid, const QString &clbh, const char *quantity,
                           const char *amount)
{
    const QString kind = QStringLiteral("采购退货");
    const qint64 id = m_seed.stockReturn(++m_xtbh, rkid, clbh, dec(quantity), dec(amount));
    m_db.exec(QStringLiteral("UPDATE THD SET ZL = ?, "
                             "GYSBH = (SELECT GYSBH FROM RKD WHERE ID = ?) WHERE ID = ?"),
              {kind, rkid, id});
    redate(QStringLiteral("THD"), id, date);
    Posting(m_db, m_mode, m_formats).post(Posting::Family::StockInReturn, kind, m_xtbh);
}

qint64 PostedBooks::issue(const char *date, const QString &clbh, const char *quantity,
                          const char *unit, const char *kind)
{
    Clock::setToday(dateOf(date));
    qint64 id = 0;
    if (m_mode == CostEngine::FirstInFirstOut) {
        id = m_seed.issue(++m_xtbh, clbh, dec(quantity));
    } else {
        const CostEngine::IssuePrice p =
            CostEngine(m_db, m_mode, m_formats).priceIssueLine(clbh, dec(quantity));
        id = m_seed.issue(++m_xtbh, clbh, dec(quantity), p.unitPrice, p.amount);
    }
    m_db.exec(
        QStringLiteral("UPDATE LLD SET LLDWBH = ?, ZL = ?, CZRQ = ? WHERE ID = ?"),
        {QString::fromLatin1(unit), QString::fromLatin1(kind), QString::fromLatin1(date), id});
    Posting(m_db, m_mode, m_formats)
        .post(Posting::Family::Issue, QString::fromLatin1(kind), m_xtbh);
    return id;
}

void PostedBooks::takeBack(const char *date, qint64 llid, const char *quantity)
{
    Clock::setToday(dateOf(date));
    const Decimal q = dec(quantity);
    const Decimal price = m_seed.issueAmount(llid) /
                          Decimal::fromVariant(m_db.scalar(
                              QStringLiteral("SELECT SJSL FROM LLD WHERE ID = ?"), {llid}));
    const QString clbh =
        m_db.scalar(QStringLiteral("SELECT CLBH FROM LLD WHERE ID = ?"), {llid}).toString();
    const qint64 id =
        m_seed.issueReturn(++m_xtbh, llid, clbh, q, price, m_formats.amountAt(q, price));
    m_db.exec(QStringLiteral("UPDATE TKD SET CZRQ = ?, ZL = (SELECT ZL FROM LLD WHERE ID = ?), "
                             "LLDWBH = (SELECT LLDWBH FROM LLD WHERE ID = ?) WHERE ID = ?"),
              {QString::fromLatin1(date), llid, llid, id});
    Posting(m_db, m_mode, m_formats)
        .post(Posting::Family::IssueReturn, QStringLiteral("1"), m_xtbh);
}

void PostedBooks::redate(const QString &table, qint64 id, const char *date)
{
    m_db.exec(QStringLiteral("UPDATE %1 SET CZRQ = ? WHERE ID = ?").arg(table),
              {QString::fromLatin1(date), id});
}

qint64 PostedBooks::lastId(const QString &table) const
{
    return m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM ") + table).toLongLong();
}

void addReportCatalogue(TestAccountSet &set)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("螺纹钢"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("圆钢"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001003"), QStringLiteral("盘条"), QStringLiteral("1001"), true,
                    dec("3.30"));
    set.addCategory(QStringLiteral("10"), QStringLiteral("水泥"));
    set.addCategory(QStringLiteral("10001"), QStringLiteral("散装水泥"), QStringLiteral("10"));
    set.addMaterial(QStringLiteral("10001001"), QStringLiteral("P.O42.5"), QStringLiteral("10001"));
    set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
    set.addSupplier(QStringLiteral("G2"), QStringLiteral("第二建材"));
    set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    set.addUnit(QStringLiteral("U2"), QStringLiteral("二工区"));
}

} // namespace varnock::test
