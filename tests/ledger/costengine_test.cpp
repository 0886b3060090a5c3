#include "ledger/costengine.h"

#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/queryplan.h"
#include "support/testaccountset.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlQuery>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace varnock {
namespace {

using test::dec;

const QString A = QStringLiteral("1001"); // steel, actual prices
const QString B = QStringLiteral("1002"); // wire, actual prices
const QString P = QStringLiteral("1003"); // cement, planned price 2.50
const QString IssueRefusal = QStringLiteral("警告！\n出库数量已经超过库存数量,请做出入库！");
const QString ReturnRefusal = QStringLiteral("库存不允许出负！");

// Every statement the connection prepares while the object lives.
class StatementTrace
{
public:
    explicit StatementTrace(Database &db)
        : m_handle(handleOf(db))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &StatementTrace::record, this);
    }
    ~StatementTrace() { stop(); }
    void stop() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    const QStringList &statements() const { return m_statements; }
    bool anyContains(const QString &text) const
    {
        for (const QString &s : m_statements) {
            if (s.contains(text))
                return true;
        }
        return false;
    }

private:
    static sqlite3 *handleOf(Database &db)
    {
        const QVariant v = db.connection().driver()->handle();
        return *static_cast<sqlite3 *const *>(v.constData());
    }
    static int record(unsigned, void *self, void *stmt, void *)
    {
        static_cast<StatementTrace *>(self)->m_statements.append(
            QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt))));
        return 0;
    }
    sqlite3 *m_handle;
    QStringList m_statements;
};

class CostEngineTest : public ::testing::Test
{
protected:
    CostEngineTest()
        : seed(set.db())
    {
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addMaterial(P, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
    }

    // Every ledger test ends with the books checked against their history.
    void TearDown() override { test::expectBooksBalance(set.db(), mode, formats, allowZeroRest); }

    CostEngine engine() { return CostEngine(set.db(), mode, formats); }

    // A stock-in voucher of one line, posted.
    qint64 receive(qint64 xtbh, const QString &clbh, const char *quantity, const char *amount)
    {
        const qint64 id = seed.receipt(xtbh, clbh, dec(quantity), dec(amount));
        Transaction tx(set.db());
        engine().addReceiptToStock(xtbh);
        seed.post(QStringLiteral("RKD"), xtbh);
        tx.commit();
        return id;
    }

    // Posts return voucher `xtbh` as one transaction.
    void postReturn(qint64 xtbh)
    {
        Transaction tx(set.db());
        seed.post(QStringLiteral("THD"), xtbh);
        engine().removeReturnFromStock(xtbh);
        tx.commit();
    }

    // Posts issue voucher `xtbh` as one transaction.
    void postIssue(qint64 xtbh)
    {
        Transaction tx(set.db());
        seed.post(QStringLiteral("LLD"), xtbh);
        engine().removeIssueVoucherFromStock(xtbh);
        tx.commit();
    }

    // An issue voucher of one line, priced at entry under moving average, posted.
    qint64 issue(qint64 xtbh, const QString &clbh, const char *quantity)
    {
        const CostEngine::IssuePrice price = engine().priceIssueLine(clbh, dec(quantity));
        const qint64 id =
            mode == CostEngine::FirstInFirstOut
                ? seed.issue(xtbh, clbh, dec(quantity))
                : seed.issue(xtbh, clbh, dec(quantity), price.unitPrice, price.amount);
        postIssue(xtbh);
        return id;
    }

    void postIssueReturn(qint64 xtbh)
    {
        Transaction tx(set.db());
        seed.post(QStringLiteral("TKD"), xtbh);
        engine().addIssueReturnToStock(xtbh);
        tx.commit();
    }

    // The pieces written for issue line `lldId`, as "ZWCSH|RKD <layer id> <CKSL> <SYSL>".
    QStringList pieces(qint64 lldId)
    {
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT CSHID, RKID, CKSL, SYSL FROM XJXCSJB "
                                                   "WHERE CKID = ? ORDER BY ID"),
                                    {lldId});
        QStringList out;
        while (q.next()) {
            const bool opening = !q.value(0).isNull();
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(opening ? QStringLiteral("ZWCSH") : QStringLiteral("RKD"),
                            q.value(opening ? 0 : 1).toString(),
                            Decimal::fromVariant(q.value(2)).toString(),
                            Decimal::fromVariant(q.value(3)).toString());
        }
        return out;
    }

    static QString piece(const char *table, qint64 id, const char *cksl, const char *sysl)
    {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(QLatin1String(table))
            .arg(id)
            .arg(QLatin1String(cksl), QLatin1String(sysl));
    }

    void expectStock(const QString &clbh, const char *quantity, const char *amount)
    {
        const test::LedgerSeed::Stock s = seed.kc(clbh);
        EXPECT_TRUE(s.exists) << clbh.toStdString();
        EXPECT_EQ(s.quantity, dec(quantity)) << clbh.toStdString();
        EXPECT_EQ(s.amount, dec(amount)) << clbh.toStdString();
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode = CostEngine::FirstInFirstOut;
    Formats formats;
    bool allowZeroRest = false;
};

// ---- first in first out -------------------------------------------------------------------

TEST_F(CostEngineTest, FifoDrawsOpeningLayerFirstThenGoesOnFromTheNewestPiece)
{
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(1, A, "5", "60.00");

    const qint64 first = issue(1, A, "12");
    EXPECT_EQ(pieces(first),
              QStringList({piece("ZWCSH", o, "10", "0"), piece("RKD", r, "2", "3")}));
    EXPECT_EQ(seed.issueAmount(first), dec("124.00"));
    expectStock(A, "3", "36.00");

    StatementTrace trace(set.db());
    const qint64 second = issue(2, A, "3");
    trace.stop();
    EXPECT_EQ(pieces(second), QStringList({piece("RKD", r, "3", "0")}));
    EXPECT_EQ(seed.issueAmount(second), dec("36.00"));
    expectStock(A, "0", "0");
    // The newest piece says where to go on: no layer is walked again.
    EXPECT_FALSE(trace.anyContains(QStringLiteral("FROM ZWCSH")));
    EXPECT_FALSE(trace.anyContains(QStringLiteral("FROM RKD WHERE CLBH")));
}

TEST_F(CostEngineTest, FifoReceiptLayerOffersOnlyWhatWasNotReturned)
{
    const qint64 ra = receive(1, A, "5", "50.00");
    seed.stockReturn(1, ra, A, dec("2"), dec("20.00"));
    postReturn(1);
    expectStock(A, "3", "30.00");
    const qint64 rb = receive(2, A, "4", "48.00");

    const qint64 line = issue(1, A, "5");
    EXPECT_EQ(pieces(line), QStringList({piece("RKD", ra, "3", "0"), piece("RKD", rb, "2", "2")}));
    EXPECT_EQ(seed.issueAmount(line), dec("54.00"));
    expectStock(A, "2", "24.00");
}

TEST_F(CostEngineTest, FifoReturnAfterAnIssueNeverLetsTheNextIssueOverdrawTheLayer)
{
    const qint64 ra = receive(1, A, "5", "50.00");
    const qint64 rb = receive(2, A, "5", "100.00");
    const qint64 first = issue(1, A, "3");
    EXPECT_EQ(pieces(first), QStringList({piece("RKD", ra, "3", "2")}));

    // The two pieces left in the first receipt go back to the supplier.
    seed.stockReturn(1, ra, A, dec("2"), dec("20.00"));
    postReturn(1);
    expectStock(A, "5", "100.00");

    // Nothing is left in that receipt to return.
    seed.stockReturn(2, ra, A, dec("1"), dec("10.00"));
    try {
        postReturn(2);
        ADD_FAILURE() << "return of issued goods accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, ReturnRefusal);
    }
    set.db().exec(QStringLiteral("DELETE FROM THD WHERE XTBH = 2"));
    expectStock(A, "5", "100.00");

    // The newest piece still says 2 are left in the first receipt; they are gone.
    const qint64 second = issue(2, A, "4");
    EXPECT_EQ(pieces(second), QStringList({piece("RKD", rb, "4", "1")}));
    EXPECT_EQ(seed.issueAmount(second), dec("80.00"));
    expectStock(A, "1", "20.00");
}

TEST_F(CostEngineTest, FifoRunningOutOfLayersRefusesAndWritesNothing)
{
    const qint64 layer = receive(1, A, "5", "50.00");
    // A return that is entered but not yet posted keeps its goods in the layer: stock says 5,
    // the layer offers 2.
    seed.stockReturn(1, layer, A, dec("3"), dec("30.00"));
    const qint64 fits = seed.issue(1, A, dec("1"), {}, dec("9.99"));
    const qint64 short_ = seed.issue(1, A, dec("3"), {}, dec("8.88"));

    try {
        postIssue(1);
        ADD_FAILURE() << "allocation beyond the layers accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.title, QStringLiteral("提示窗口"));
        EXPECT_EQ(r.text, IssueRefusal);
    }
    EXPECT_EQ(seed.pieceCount(), 0);
    EXPECT_EQ(seed.issueAmount(fits), dec("9.99"));
    EXPECT_EQ(seed.issueAmount(short_), dec("8.88"));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT SUM(JZBZ) FROM LLD")).toInt(), 0);
    expectStock(A, "5", "50.00");

    // A caller that catches the refusal and carries on keeps no half-costed line either.
    {
        Transaction tx(set.db());
        EXPECT_THROW(engine().allocateIssueLine(short_, A, dec("3")), Refusal);
        tx.commit();
    }
    EXPECT_EQ(seed.pieceCount(), 0);
    EXPECT_EQ(seed.issueAmount(short_), dec("8.88"));
    set.db().exec(QStringLiteral("DELETE FROM LLD"));
}

TEST_F(CostEngineTest, FifoReversalMirrorsThePiecesAndTheNextIssueStartsAtTheNewestPiece)
{
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(1, A, "5", "60.00");
    const qint64 line = issue(1, A, "12");

    const qint64 mirror = seed.reverseIssueLine(line, mode);
    EXPECT_EQ(pieces(mirror),
              QStringList({piece("ZWCSH", o, "-10", "10"), piece("RKD", r, "-2", "5")}));
    expectStock(A, "15", "160.00");
    // Every layer holds again what it held before the issue.
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB")).toLongLong(), 0);
    test::expectBooksBalance(set.db(), mode, formats);

    // The reversed quantity is not offered again from the newest piece: the next issue takes
    // the 3 left in the receipt.
    const qint64 next = issue(20, A, "3");
    EXPECT_EQ(pieces(next), QStringList({piece("RKD", r, "3", "0")}));
    EXPECT_EQ(seed.issueAmount(next), dec("36.00"));

    // Once the layers ahead are used up, the quantity given back is drawn, oldest first,
    // rather than refused while stock holds it.
    const qint64 rest = issue(21, A, "12");
    EXPECT_EQ(pieces(rest), QStringList({piece("ZWCSH", o, "10", "0"), piece("RKD", r, "2", "0")}));
    EXPECT_EQ(seed.issueAmount(rest), dec("124.00"));
    expectStock(A, "0", "0");
}

TEST_F(CostEngineTest, FifoIssueReturnBecomesTheNewestReceiptLayer)
{
    Clock::setToday(QDate(2026, 2, 3));
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    const qint64 line = issue(1, A, "5");
    const qint64 r = receive(1, A, "5", "100.00");

    seed.issueReturn(1, line, A, dec("2"), dec("10.00"), dec("20.00"));
    postIssueReturn(1);
    expectStock(A, "12", "170.00");
    QSqlQuery q = set.db().exec(QStringLiteral("SELECT ID, XTBH, SJDJ, SJSL, SJJE, JZBZ, CZRQ "
                                               "FROM RKD WHERE ID > ?"),
                                {r});
    ASSERT_TRUE(q.next());
    const qint64 returned = q.value(0).toLongLong();
    EXPECT_TRUE(q.value(1).isNull());
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), dec("10"));
    EXPECT_EQ(Decimal::fromVariant(q.value(3)), dec("2"));
    EXPECT_EQ(Decimal::fromVariant(q.value(4)), dec("20"));
    EXPECT_EQ(q.value(5).toInt(), 1);
    EXPECT_EQ(q.value(6).toString(), QStringLiteral("2026-02-03"));
    EXPECT_FALSE(q.next());
    Clock::setToday(std::nullopt);

    const qint64 all = issue(2, A, "12");
    EXPECT_EQ(pieces(all), QStringList({piece("ZWCSH", o, "5", "0"), piece("RKD", r, "5", "0"),
                                        piece("RKD", returned, "2", "0")}));
    EXPECT_EQ(seed.issueAmount(all), dec("170.00"));
    expectStock(A, "0", "0");
}

TEST_F(CostEngineTest, FifoLayerDrawnInRoundedPiecesCanLeaveAnAmountWithoutQuantity)
{
    seed.opening(A, dec("3"), dec("10.00"));
    EXPECT_EQ(seed.issueAmount(issue(1, A, "1")), dec("3.33"));
    EXPECT_EQ(seed.issueAmount(issue(2, A, "1")), dec("3.33"));
    EXPECT_EQ(seed.issueAmount(issue(3, A, "1")), dec("3.33"));
    expectStock(A, "0", "0.01");
    allowZeroRest = true;
}

TEST_F(CostEngineTest, FifoCountDeficitIsAllocatedLikeAnIssueLine)
{
    const qint64 o = seed.opening(A, dec("4"), dec("40.00"));
    const qint64 r = receive(1, A, "2", "30.00");
    // The count writes a posted issue row without a voucher number and books the difference
    // in PYK; the row itself carries the allocation only.
    set.db().exec(QStringLiteral("INSERT INTO LLD (CLBH, SJSL, CZRQ, ZL, JZBZ) "
                                 "VALUES (?, 50000, '2026-01-20', '1', 1)"),
                  {A});
    const qint64 deficit = set.db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD")).toLongLong();
    engine().removeIssueLineFromStock(deficit);
    EXPECT_EQ(pieces(deficit),
              QStringList({piece("ZWCSH", o, "4", "0"), piece("RKD", r, "1", "1")}));
    EXPECT_EQ(seed.issueAmount(deficit), dec("55.00"));
    expectStock(A, "1", "15.00");
    set.db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE) "
                                 "VALUES (?, '2026-01-20', -50000, -550000)"),
                  {A});
}

// ---- moving average -----------------------------------------------------------------------

TEST_F(CostEngineTest, AverageIgnoresAllocationsAndTakesTheStoredLineAmounts)
{
    mode = CostEngine::MovingAverage;
    seed.opening(A, dec("10"), dec("100.00"));
    receive(1, A, "5", "60.00");

    const CostEngine::IssuePrice price = engine().priceIssueLine(A, dec("4"));
    EXPECT_EQ(price.unitPrice, dec("10.67"));
    EXPECT_EQ(price.amount, dec("42.68"));
    const qint64 priced = seed.issue(1, A, dec("4"), price.unitPrice, price.amount);
    const qint64 typed = seed.issue(1, A, dec("1"), dec("10.00"), dec("10.00"));
    postIssue(1);

    EXPECT_EQ(seed.pieceCount(), 0);
    EXPECT_EQ(seed.issueAmount(priced), dec("42.68"));
    EXPECT_EQ(seed.issueAmount(typed), dec("10.00"));
    expectStock(A, "10", "107.32");
}

TEST_F(CostEngineTest, AverageIssueTakingTheWholeQuantityTakesTheWholeAmount)
{
    mode = CostEngine::MovingAverage;
    seed.opening(A, dec("3"), dec("10.00"));
    EXPECT_EQ(seed.issueAmount(issue(1, A, "1")), dec("3.33"));
    expectStock(A, "2", "6.67");
    // Priced at 3.34 (6.67 / 2), the line would take 6.68; it takes what is there.
    const qint64 last = issue(2, A, "2");
    EXPECT_EQ(seed.issueAmount(last), dec("6.67"));
    expectStock(A, "0", "0");

    // Two lines of one material in one voucher: the later one absorbs the rest.
    seed.opening(B, dec("3"), dec("10.00"));
    const qint64 one = seed.issue(3, B, dec("1"), dec("3.33"), dec("3.33"));
    const qint64 two = seed.issue(3, B, dec("2"), dec("3.33"), dec("6.66"));
    postIssue(3);
    EXPECT_EQ(seed.issueAmount(one), dec("3.33"));
    EXPECT_EQ(seed.issueAmount(two), dec("6.67"));
    expectStock(B, "0", "0");
}

TEST_F(CostEngineTest, AveragePriceIsRoundedToTheAmountFormat)
{
    mode = CostEngine::MovingAverage;
    seed.opening(A, dec("3"), dec("10.00"));
    seed.opening(B, dec("8"), dec("1.00"));

    CostEngine::IssuePrice p = engine().priceIssueLine(A, dec("2"));
    EXPECT_EQ(p.unitPrice, dec("3.33"));
    EXPECT_EQ(p.amount, dec("6.66"));
    p = engine().priceIssueLine(B, dec("1"));
    EXPECT_EQ(p.unitPrice, dec("0.13")); // 0.125, half away from zero
    EXPECT_EQ(p.amount, dec("0.13"));

    formats = Formats(QStringLiteral("0.00"), QStringLiteral("0.0000"));
    p = engine().priceIssueLine(A, dec("2"));
    EXPECT_EQ(p.unitPrice, dec("3.3333"));
    EXPECT_EQ(p.amount, dec("6.6666"));
    p = engine().priceIssueLine(B, dec("1"));
    EXPECT_EQ(p.unitPrice, dec("0.125"));

    // Without stock the price is 0; a planned-price material is priced at its plan anyway.
    const QString c = QStringLiteral("1005");
    set.addMaterial(c, QStringLiteral("铁钉"));
    EXPECT_EQ(engine().priceIssueLine(c, dec("5")).unitPrice, Decimal());
    set.db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, 0, 0)"), {c});
    EXPECT_EQ(engine().priceIssueLine(c, dec("5")).amount, Decimal());
    EXPECT_EQ(engine().priceIssueLine(P, dec("5")).amount, dec("12.50"));
}

TEST_F(CostEngineTest, AveragePlannedIssueLeavesAtPlanEvenFromStockThatWasNot)
{
    mode = CostEngine::MovingAverage;
    // Books written before openings entered at plan: 10 pieces at 3.00 instead of 2.50.
    seed.opening(P, dec("10"), dec("30.00"));
    set.db().exec(QStringLiteral("UPDATE KC SET KCJE = 300000 WHERE CLBH = ?"), {P});

    const CostEngine::IssuePrice price = engine().priceIssueLine(P, dec("2"));
    EXPECT_EQ(price.unitPrice, dec("2.50"));
    EXPECT_EQ(price.amount, dec("5.00"));

    // A line priced from that stock is posted at plan, and the stock is back on plan.
    const qint64 line = seed.issue(1, P, dec("2"), dec("3.00"), dec("6.00"));
    postIssue(1);
    EXPECT_EQ(seed.issueAmount(line), dec("5.00"));
    EXPECT_EQ(Decimal::fromVariant(
                  set.db().scalar(QStringLiteral("SELECT SJDJ FROM LLD WHERE ID = ?"), {line})),
              dec("2.50"));
    expectStock(P, "8", "20.00");
}

TEST_F(CostEngineTest, AverageIssueReturnAddsItsOwnAmount)
{
    mode = CostEngine::MovingAverage;
    seed.opening(A, dec("10"), dec("100.00"));
    const qint64 line = issue(1, A, "5");
    receive(1, A, "5", "100.00");
    expectStock(A, "10", "150.00");

    seed.issueReturn(1, line, A, dec("2"), dec("10.00"), dec("20.00"));
    postIssueReturn(1);
    // At the line's own 10.00, not at the current average of 15.00.
    expectStock(A, "12", "170.00");
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM RKD")).toInt(), 1);
}

// ---- both modes ---------------------------------------------------------------------------

class CostEngineBothModes : public CostEngineTest, public ::testing::WithParamInterface<int>
{
protected:
    CostEngineBothModes() { mode = GetParam(); }
};

TEST_P(CostEngineBothModes, PlannedPriceMaterialMovesQuantityTimesPlannedPrice)
{
    const qint64 r = receive(1, P, "10", "30.00");
    expectStock(P, "10", "25.00");
    seed.stockReturn(1, r, P, dec("2"), dec("6.00"));
    postReturn(1);
    expectStock(P, "8", "20.00");

    const qint64 line = issue(1, P, "3");
    EXPECT_EQ(seed.issueAmount(line), dec("7.50"));
    expectStock(P, "5", "12.50");
    if (mode == CostEngine::FirstInFirstOut) {
        EXPECT_EQ(pieces(line), QStringList({piece("RKD", r, "3", "5")}));
    } else {
        EXPECT_EQ(seed.pieceCount(), 0);
    }

    // Returned at another price, it still comes back at planned value.
    seed.issueReturn(1, line, P, dec("1"), dec("2.80"), dec("2.80"));
    postIssueReturn(1);
    expectStock(P, "6", "15.00");
}

TEST_P(CostEngineBothModes, PlannedPriceStockIsItsQuantityAtPlanWhateverTheLinesRound)
{
    // At 0.125 every single piece rounds up to 0.13, three of them are worth 0.38 only.
    const QString q = QStringLiteral("1004");
    set.addMaterial(q, QStringLiteral("垫片"), QStringLiteral("1"), true, dec("0.125"));
    receive(1, q, "1", "0.20");
    receive(2, q, "1", "0.20");
    const qint64 last = receive(3, q, "1", "0.20");
    expectStock(q, "3", "0.38");

    const qint64 line = issue(1, q, "1");
    EXPECT_EQ(seed.issueAmount(line), dec("0.13"));
    expectStock(q, "2", "0.25");
    seed.stockReturn(1, last, q, dec("1"), dec("0.20"));
    postReturn(1);
    expectStock(q, "1", "0.13");
    seed.issueReturn(1, line, q, dec("1"), dec("0.20"), dec("0.20"));
    postIssueReturn(1);
    expectStock(q, "2", "0.25");
    issue(2, q, "2");
    expectStock(q, "0", "0.00");
}

TEST_P(CostEngineBothModes, StockRowsAreCreatedByReceiptsAndRequiredByRemovals)
{
    // A direct delivery never enters the store.
    const qint64 direct = seed.receipt(1, A, dec("4"), dec("40.00"));
    set.db().exec(QStringLiteral("UPDATE RKD SET CKID = 99 WHERE ID = ?"), {direct});
    engine().addReceiptToStock(1);
    EXPECT_FALSE(seed.kc(A).exists);
    set.db().exec(QStringLiteral("DELETE FROM RKD"));

    receive(2, A, "4", "40.00");
    receive(3, A, "1", "12.00");
    expectStock(A, "5", "52.00");

    seed.issue(1, B, dec("1"), dec("1.00"), dec("1.00"));
    try {
        postIssue(1);
        ADD_FAILURE() << "issue without stock accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, IssueRefusal);
    }
    seed.issue(2, A, dec("6"), dec("10.40"), dec("62.40"));
    EXPECT_THROW(postIssue(2), Refusal);
    set.db().exec(QStringLiteral("DELETE FROM LLD"));

    seed.stockReturn(1, 0, B, dec("1"), dec("1.00"));
    try {
        postReturn(1);
        ADD_FAILURE() << "return without stock accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, ReturnRefusal);
    }
    EXPECT_FALSE(seed.kc(B).exists);
    expectStock(A, "5", "52.00");
    set.db().exec(QStringLiteral("DELETE FROM THD"));
}

// No statement of the costing runs through a whole ledger table.
TEST_P(CostEngineBothModes, StatementsSearchByIndexOnly)
{
    StatementTrace trace(set.db());
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    Q_UNUSED(o);
    const qint64 r = receive(1, A, "5", "60.00");
    seed.stockReturn(1, r, A, dec("1"), dec("12.00"));
    postReturn(1);
    const qint64 line = issue(1, A, "12");
    engine().priceIssueLine(A, dec("1"));
    seed.reverseIssueLine(line, mode);
    issue(20, A, "3");
    seed.issueReturn(1, line, A, dec("1"), dec("10.00"), dec("10.00"));
    postIssueReturn(1);
    issue(21, A, "12");
    trace.stop();

    static const QRegularExpression scan(
        QStringLiteral("\\bSCAN (RKD|THD|LLD|TKD|KC|ZWCSH|XJXCSJB|CLJBXXB)\\b"));
    const QStringList statements(
        QSet<QString>(trace.statements().begin(), trace.statements().end()).values());
    int checked = 0;
    for (const QString &sql : statements) {
        if (!sql.startsWith(QLatin1String("SELECT")) && !sql.startsWith(QLatin1String("INSERT")) &&
            !sql.startsWith(QLatin1String("UPDATE")))
            continue;
        // Statements of the seeding helper are not the engine's.
        if (sql.contains(QLatin1String("MAX(")) || sql.contains(QLatin1String("ON CONFLICT")))
            continue;
        for (const QString &detail : test::queryPlan(set.db(), sql)) {
            EXPECT_FALSE(scan.match(detail).hasMatch())
                << sql.toStdString() << "\n  " << detail.toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

INSTANTIATE_TEST_SUITE_P(Modes, CostEngineBothModes,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
