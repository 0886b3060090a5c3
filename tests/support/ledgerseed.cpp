#include "ledgerseed.h"

#include "ledger/costengine.h"
#include "ledger/invariantchecker.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <stdexcept>

namespace varnock {

void PrintTo(const Decimal &value, std::ostream *out)
{
    *out << value.toString().toStdString();
}

} // namespace varnock

namespace varnock::test {

namespace {

const QString SeedDate = QStringLiteral("2026-01-15");

qint64 lastId(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT MAX(ID) FROM ") + table).toLongLong();
}

} // namespace

Decimal dec(const char *text)
{
    const auto value = Decimal::parse(QString::fromLatin1(text));
    if (!value)
        throw std::invalid_argument(text);
    return *value;
}

LedgerSeed::LedgerSeed(Database &db)
    : m_db(db)
{}

qint64 LedgerSeed::opening(const QString &clbh, Decimal quantity, Decimal amount)
{
    const Decimal price = quantity.isZero() ? Decimal() : amount / quantity;
    m_db.exec(QStringLiteral("INSERT INTO ZWCSH (CLBH, KCSL, KCJE, KCDJ) VALUES (?, ?, ?, ?)"),
              {clbh, quantity.toVariant(), amount.toVariant(), price.toVariant()});
    const qint64 id = lastId(m_db, QStringLiteral("ZWCSH"));
    m_db.exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, ?, ?) "
                             "ON CONFLICT (CLBH) DO UPDATE SET KCSL = KCSL + excluded.KCSL, "
                             "KCJE = KCJE + excluded.KCJE"),
              {clbh, quantity.toVariant(), amount.toVariant()});
    // A planned-price material's stock is its quantity at plan (default amount format).
    m_db.exec(QStringLiteral("UPDATE KC SET KCJE = (SELECT SMUL(KC.KCSL, C.JHDJ, 2) "
                             "FROM CLJBXXB C WHERE C.CLBH = KC.CLBH) WHERE CLBH = ? AND EXISTS "
                             "(SELECT 1 FROM CLJBXXB C WHERE C.CLBH = KC.CLBH AND C.JJFS <> 0)"),
              {clbh});
    return id;
}

qint64 LedgerSeed::receipt(qint64 xtbh, const QString &clbh, Decimal quantity, Decimal amount)
{
    const Decimal price = quantity.isZero() ? Decimal() : amount / quantity;
    m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, SJSL, "
                             "SJJE, YFJE) VALUES (?, ?, 'G1', ?, ?, ?, ?, ?, ?, 0)"),
              {xtbh, QStringLiteral("R%1").arg(xtbh), SeedDate, QStringLiteral("采购入库"), clbh,
               price.toVariant(), quantity.toVariant(), amount.toVariant()});
    return lastId(m_db, QStringLiteral("RKD"));
}

qint64 LedgerSeed::stockReturn(qint64 xtbh, qint64 rkid, const QString &clbh, Decimal quantity,
                               Decimal amount)
{
    const Decimal price = quantity.isZero() ? Decimal() : amount / quantity;
    m_db.exec(QStringLiteral("INSERT INTO THD (XTBH, THDJH, GYSBH, CZRQ, ZL, CLBH, THDJ, THSL, "
                             "THJE, RKID) VALUES (?, ?, 'G1', ?, ?, ?, ?, ?, ?, ?)"),
              {xtbh, QStringLiteral("T%1").arg(xtbh), SeedDate, QStringLiteral("采购退货"), clbh,
               price.toVariant(), quantity.toVariant(), amount.toVariant(), rkid});
    return lastId(m_db, QStringLiteral("THD"));
}

qint64 LedgerSeed::issue(qint64 xtbh, const QString &clbh, Decimal quantity, Decimal price,
                         Decimal amount)
{
    m_db.exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, CLBH, SJDJ, SJSL, SJJE, "
                             "ZL) VALUES (?, ?, 'U1', ?, ?, ?, ?, ?, '1')"),
              {xtbh, QStringLiteral("L%1").arg(xtbh), SeedDate, clbh, price.toVariant(),
               quantity.toVariant(), amount.toVariant()});
    return lastId(m_db, QStringLiteral("LLD"));
}

qint64 LedgerSeed::issueReturn(qint64 xtbh, qint64 llid, const QString &clbh, Decimal quantity,
                               Decimal price, Decimal amount)
{
    m_db.exec(QStringLiteral("INSERT INTO TKD (XTBH, THDJH, LLDWBH, CZRQ, CLBH, THDJ, THSL, THJE, "
                             "LLID, ZL) VALUES (?, ?, 'U1', ?, ?, ?, ?, ?, ?, '1')"),
              {xtbh, QStringLiteral("K%1").arg(xtbh), SeedDate, clbh, price.toVariant(),
               quantity.toVariant(), amount.toVariant(), llid});
    return lastId(m_db, QStringLiteral("TKD"));
}

void LedgerSeed::post(const QString &table, qint64 xtbh)
{
    static const QStringList tables = {QStringLiteral("RKD"), QStringLiteral("THD"),
                                       QStringLiteral("LLD"), QStringLiteral("TKD")};
    if (!tables.contains(table))
        throw std::invalid_argument("not a voucher table");
    m_db.exec(QStringLiteral("UPDATE %1 SET JZBZ = 1 WHERE XTBH = ?").arg(table), {xtbh});
}

void LedgerSeed::adjustment(const QString &clbh, Decimal amount)
{
    m_db.exec(QStringLiteral("INSERT INTO CLKVMT (CLBH, CZRQ, JE, BZ) VALUES (?, ?, ?, '')"),
              {clbh, SeedDate, amount.toVariant()});
    m_db.exec(QStringLiteral("UPDATE KC SET KCJE = KCJE + ? WHERE CLBH = ?"),
              {amount.toVariant(), clbh});
}

qint64 LedgerSeed::reverseIssueLine(qint64 lldId, int mode)
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT CLBH, SJSL, SJJE, ZL, LLDWBH FROM LLD "
                                           "WHERE ID = ?"),
                            {lldId});
    if (!q.next())
        throw std::invalid_argument("no such issue line");
    const QString clbh = q.value(0).toString();
    const Decimal quantity = Decimal::fromVariant(q.value(1));
    const Decimal amount = Decimal::fromVariant(q.value(2));
    const qint64 xtbh = m_db.scalar(QStringLiteral("SELECT MAX(XTBH) FROM LLD")).toLongLong() + 1;
    m_db.exec(QStringLiteral("UPDATE LLD SET CZBZ = 1 WHERE ID = ?"), {lldId});
    m_db.exec(QStringLiteral("UPDATE KC SET KCSL = KCSL + ?, KCJE = KCJE + ? WHERE CLBH = ?"),
              {quantity.toVariant(), amount.toVariant(), clbh});
    m_db.exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, SJSL, SJJE, CLBH, CZRQ, JZBZ, ZL, "
                             "LLDWBH, CZBZ) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, 1)"),
              {xtbh, QStringLiteral("冲帐"), (-quantity).toVariant(), (-amount).toVariant(), clbh,
               SeedDate, q.value(3), q.value(4)});
    const qint64 mirror = lastId(m_db, QStringLiteral("LLD"));
    if (mode == CostEngine::FirstInFirstOut)
        CostEngine(m_db, mode, Formats()).restoreIssueLinePieces(lldId, mirror);
    return mirror;
}

LedgerSeed::Stock LedgerSeed::kc(const QString &clbh) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT KCSL, KCJE FROM KC WHERE CLBH = ?"), {clbh});
    Stock s;
    if (q.next()) {
        s.exists = true;
        s.quantity = Decimal::fromVariant(q.value(0));
        s.amount = Decimal::fromVariant(q.value(1));
    }
    return s;
}

Decimal LedgerSeed::issueAmount(qint64 lldId) const
{
    return Decimal::fromVariant(
        m_db.scalar(QStringLiteral("SELECT SJJE FROM LLD WHERE ID = ?"), {lldId}));
}

int LedgerSeed::pieceCount() const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB")).toInt();
}

void expectBooksBalance(Database &db, int mode, const Formats &formats,
                        bool allowZeroQuantityAmount)
{
    const QList<InvariantBreach> breaches = InvariantChecker::check(db, mode, formats);
    for (const InvariantBreach &b : breaches) {
        if (allowZeroQuantityAmount && b.kind == InvariantBreach::Kind::ZeroQuantityAmount)
            continue;
        ADD_FAILURE() << "books out of balance for " << b.clbh.toStdString() << ": "
                      << b.what.toStdString();
    }
}

} // namespace varnock::test
