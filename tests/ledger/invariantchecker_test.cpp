#include "ledger/invariantchecker.h"

#include "ledger/costengine.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;
using Kind = InvariantBreach::Kind;

const QString A = QStringLiteral("1001");
const QString P = QStringLiteral("1003"); // planned price 2.50

class InvariantCheckerTest : public ::testing::Test
{
protected:
    InvariantCheckerTest()
        : seed(set.db())
    {
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(P, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
    }

    QList<InvariantBreach> check(int mode)
    {
        return InvariantChecker::check(set.db(), mode, formats);
    }

    void exec(const QString &sql, const QVariantList &values = {}) { set.db().exec(sql, values); }

    // Posts a one-line voucher through the engine.
    qint64 receive(int mode, qint64 xtbh, const QString &clbh, const char *q, const char *amount)
    {
        const qint64 id = seed.receipt(xtbh, clbh, dec(q), dec(amount));
        seed.post(QStringLiteral("RKD"), xtbh);
        CostEngine(set.db(), mode, formats).addReceiptToStock(xtbh);
        return id;
    }
    qint64 issue(int mode, qint64 xtbh, const QString &clbh, const char *q)
    {
        CostEngine engine(set.db(), mode, formats);
        const CostEngine::IssuePrice price = engine.priceIssueLine(clbh, dec(q));
        const qint64 id = seed.issue(xtbh, clbh, dec(q), price.unitPrice, price.amount);
        seed.post(QStringLiteral("LLD"), xtbh);
        engine.removeIssueVoucherFromStock(xtbh);
        return id;
    }

    static QStringList kinds(const QList<InvariantBreach> &breaches)
    {
        QStringList out;
        for (const InvariantBreach &b : breaches) {
            out << QStringLiteral("%1 %2").arg(b.clbh).arg(int(b.kind));
        }
        return out;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    Formats formats;
};

TEST_F(InvariantCheckerTest, EveryKindOfMovementBalancesAndADriftOfOneCentIsFound)
{
    const int mode = CostEngine::MovingAverage;
    seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(mode, 1, A, "5", "60.00");
    seed.stockReturn(1, r, A, dec("1"), dec("12.00"));
    seed.post(QStringLiteral("THD"), 1);
    CostEngine(set.db(), mode, formats).removeReturnFromStock(1);
    const qint64 line = issue(mode, 1, A, "4");
    seed.issueReturn(1, line, A, dec("1"), dec("10.67"), dec("10.67"));
    seed.post(QStringLiteral("TKD"), 1);
    CostEngine(set.db(), mode, formats).addIssueReturnToStock(1);
    seed.reverseIssueLine(issue(mode, 2, A, "2"), mode);

    // A reversed receipt and its posted mirror line.
    const qint64 reversed = receive(mode, 2, A, "3", "36.00");
    exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE ID = ?"), {reversed});
    exec(QStringLiteral("UPDATE KC SET KCSL = KCSL - 30000, KCJE = KCJE - 360000"));
    exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, CLBH, SJDJ, SJSL, SJJE, JZBZ, CZBZ) "
                        "VALUES (3, '冲帐', ?, 120000, -30000, -360000, 1, 1)"),
         {A});

    // A count surplus and a deficit (the deficit's issue row has no voucher number), and an
    // amount adjustment.
    exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE) VALUES (?, '2026-01-20', "
                        "10000, 105000)"),
         {A});
    exec(QStringLiteral("INSERT INTO LLD (CLBH, SJSL, CZRQ, ZL, JZBZ) VALUES (?, 20000, "
                        "'2026-01-20', '1', 1)"),
         {A});
    exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE) VALUES (?, '2026-01-20', "
                        "-20000, -210000)"),
         {A});
    exec(QStringLiteral("UPDATE KC SET KCSL = KCSL - 10000, KCJE = KCJE - 105000"));
    seed.adjustment(A, dec("-5.00"));

    // A direct delivery pair never touches stock; unposted lines do not count yet.
    const qint64 direct = seed.issue(4, A, dec("7"), dec("1"), dec("7"));
    exec(QStringLiteral("UPDATE LLD SET ZJZC = 1, JZBZ = 1 WHERE ID = ?"), {direct});
    const qint64 directIn = seed.receipt(4, A, dec("7"), dec("7"));
    exec(QStringLiteral("UPDATE RKD SET CKID = ?, JZBZ = 1 WHERE ID = ?"), {direct, directIn});
    seed.issue(5, A, dec("1"), dec("10"), dec("10"));

    EXPECT_TRUE(check(mode).isEmpty()) << kinds(check(mode)).join(QLatin1Char(',')).toStdString();

    exec(QStringLiteral("UPDATE KC SET KCJE = KCJE + 100"));
    const QList<InvariantBreach> breaches = check(mode);
    ASSERT_EQ(breaches.size(), 1);
    EXPECT_EQ(breaches.first().clbh, A);
    EXPECT_EQ(breaches.first().kind, Kind::Stock);
    EXPECT_EQ(breaches.first().what, QStringLiteral("KC 10 / 100.9, movements 10 / 100.89"));
}

TEST_F(InvariantCheckerTest, PlannedPriceMaterialIsCheckedAtPlannedValue)
{
    for (int mode : {CostEngine::FirstInFirstOut, CostEngine::MovingAverage}) {
        SCOPED_TRACE(mode);
        receive(mode, mode, P, "10", "30.00");
        seed.opening(P, dec("4"), dec("12.00"));
        EXPECT_TRUE(check(mode).isEmpty());

        // Off plan by one cent: its own kind, once, not also a stock breach.
        exec(QStringLiteral("UPDATE KC SET KCJE = KCJE + 100 WHERE CLBH = ?"), {P});
        QList<InvariantBreach> breaches = check(mode);
        EXPECT_EQ(kinds(breaches), QStringList({QStringLiteral("1003 3")}));
        EXPECT_EQ(breaches.value(0).what, QStringLiteral("KC 14 / 35.01, planned value 35"));

        // A quantity that drifted is a stock breach, and its amount is then off plan too
        // (under first in first out the layers no longer hold it either).
        exec(QStringLiteral("UPDATE KC SET KCSL = KCSL + 10000, KCJE = 350000 WHERE CLBH = ?"),
             {P});
        EXPECT_EQ(kinds(check(mode)).mid(0, 2),
                  QStringList({QStringLiteral("1003 0"), QStringLiteral("1003 3")}));

        // An actual-price material may stand at any amount its movements add up to.
        EXPECT_TRUE(kinds(check(mode)).filter(A).isEmpty());
        exec(QStringLiteral("DELETE FROM KC"));
        exec(QStringLiteral("DELETE FROM RKD"));
        exec(QStringLiteral("DELETE FROM ZWCSH"));
    }
}

TEST_F(InvariantCheckerTest, MovementsWithoutAStockRowAreABreach)
{
    seed.receipt(1, A, dec("2"), dec("20.00"));
    seed.post(QStringLiteral("RKD"), 1);
    const QList<InvariantBreach> breaches = check(CostEngine::MovingAverage);
    ASSERT_EQ(breaches.size(), 1);
    EXPECT_EQ(breaches.first().kind, Kind::Stock);
}

TEST_F(InvariantCheckerTest, FifoLayersMustHoldTheStockAndNeverLessThanNothing)
{
    const int fifo = CostEngine::FirstInFirstOut;
    seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(fifo, 1, A, "5", "60.00");
    issue(fifo, 1, A, "12");
    EXPECT_TRUE(check(fifo).isEmpty());

    // A piece drawing more than the receipt holds.
    exec(QStringLiteral("INSERT INTO XJXCSJB (CLBH, RKID, CKID, CKSL, SYSL) "
                        "VALUES (?, ?, 999, 40000, 0)"),
         {A, r});
    // It is also newer than the piece the next issue would start from.
    const QList<InvariantBreach> breaches = check(fifo);
    EXPECT_EQ(kinds(breaches), QStringList({QStringLiteral("1001 1"), QStringLiteral("1001 1"),
                                            QStringLiteral("1001 1")}));
    ASSERT_EQ(breaches.size(), 3);
    EXPECT_TRUE(breaches[0].what.contains(QLatin1String("left -1")))
        << breaches[0].what.toStdString();
    EXPECT_TRUE(breaches[1].what.contains(QLatin1String("layers hold -1")))
        << breaches[1].what.toStdString();
    EXPECT_TRUE(breaches[2].what.startsWith(QLatin1String("newest piece")))
        << breaches[2].what.toStdString();

    // Moving average keeps no layers.
    EXPECT_TRUE(check(CostEngine::MovingAverage).isEmpty());
}

TEST_F(InvariantCheckerTest, TheNewestPieceKeptForAMaterialMustBeItsNewestDrawnFromALayer)
{
    const int fifo = CostEngine::FirstInFirstOut;
    seed.opening(A, dec("10"), dec("100.00"));
    issue(fifo, 1, A, "4");
    issue(fifo, 2, A, "3");
    EXPECT_TRUE(check(fifo).isEmpty());

    const qint64 newest =
        set.db().scalar(QStringLiteral("SELECT MAX(ID) FROM XJXCSJB")).toLongLong();
    exec(QStringLiteral("UPDATE KC SET SJID = ? WHERE CLBH = ?"), {newest - 1, A});
    QList<InvariantBreach> breaches = check(fifo);
    ASSERT_EQ(breaches.size(), 1);
    EXPECT_EQ(breaches.first().kind, Kind::Layer);
    EXPECT_EQ(breaches.first().what,
              QStringLiteral("newest piece %1, KC %2").arg(newest).arg(newest - 1));

    exec(QStringLiteral("UPDATE KC SET SJID = NULL"));
    breaches = check(fifo);
    ASSERT_EQ(breaches.size(), 1);
    EXPECT_EQ(breaches.first().what, QStringLiteral("newest piece %1, KC 0").arg(newest));
}

TEST_F(InvariantCheckerTest, AmountLeftWithoutQuantityIsItsOwnKind)
{
    const int fifo = CostEngine::FirstInFirstOut;
    seed.opening(A, dec("3"), dec("10.00"));
    issue(fifo, 1, A, "1");
    issue(fifo, 2, A, "1");
    issue(fifo, 3, A, "1");
    const QList<InvariantBreach> breaches = check(fifo);
    ASSERT_EQ(breaches.size(), 1);
    EXPECT_EQ(breaches.first().kind, Kind::ZeroQuantityAmount);
    EXPECT_EQ(breaches.first().clbh, A);
}

} // namespace
} // namespace varnock
