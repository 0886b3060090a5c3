#include "ledger/posting.h"

#include "ledger/postinggridmodel.h"

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

#include <functional>

namespace varnock {
namespace {

using test::dec;
using Family = Posting::Family;

const QString A = QStringLiteral("1001"); // actual prices
const QString B = QStringLiteral("1002"); // actual prices
const QString P = QStringLiteral("1003"); // planned price 2.50
const QString Purchase = QStringLiteral("采购入库");
const QString PurchaseReturn = QStringLiteral("采购退货");
const QString Requisition = QStringLiteral("1");
const QString IssueRefusal = QStringLiteral("警告！\n出库数量已经超过库存数量,请做出入库！");
const QString ReturnRefusal = QStringLiteral("库存不允许出负！");
const QString AlreadyPosted = QStringLiteral("该单据已经记帐，不能重复记帐！");

// Every statement the connection prepares while the object lives.
class StatementTrace
{
public:
    explicit StatementTrace(Database &db)
        : m_handle(*static_cast<sqlite3 *const *>(db.connection().driver()->handle().constData()))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &StatementTrace::record, this);
    }
    ~StatementTrace() { stop(); }
    void stop() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    QStringList statements() const
    {
        return QSet<QString>(m_statements.begin(), m_statements.end()).values();
    }

private:
    static int record(unsigned, void *self, void *stmt, void *)
    {
        static_cast<StatementTrace *>(self)->m_statements.append(
            QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt))));
        return 0;
    }
    sqlite3 *m_handle;
    QStringList m_statements;
};

class PostingTest : public ::testing::TestWithParam<int>
{
protected:
    PostingTest()
        : seed(set.db())
        , mode(GetParam())
    {
        set.setMode(mode);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(B, QStringLiteral("铁丝"));
        set.addMaterial(P, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    }

    void TearDown() override { test::expectBooksBalance(set.db(), mode, formats); }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    Posting posting() { return Posting(set.db(), mode, formats); }

    qint64 receive(qint64 xtbh, const QString &clbh, const char *quantity, const char *amount)
    {
        const qint64 id = seed.receipt(xtbh, clbh, dec(quantity), dec(amount));
        posting().post(Family::StockIn, Purchase, xtbh);
        return id;
    }

    // An unposted requisition line, priced at entry under moving average as the voucher
    // screen prices it.
    qint64 issueLine(qint64 xtbh, const QString &clbh, const char *quantity)
    {
        if (fifo())
            return seed.issue(xtbh, clbh, dec(quantity));
        const CostEngine::IssuePrice price =
            CostEngine(set.db(), mode, formats).priceIssueLine(clbh, dec(quantity));
        return seed.issue(xtbh, clbh, dec(quantity), price.unitPrice, price.amount);
    }

    void expectStock(const QString &clbh, const char *quantity, const char *amount)
    {
        const test::LedgerSeed::Stock s = seed.kc(clbh);
        EXPECT_TRUE(s.exists) << clbh.toStdString();
        EXPECT_EQ(s.quantity, dec(quantity)) << clbh.toStdString();
        EXPECT_EQ(s.amount, dec(amount)) << clbh.toStdString();
    }

    void expectRefusal(const std::function<void()> &operation, const QString &text,
                       const QString &title = {})
    {
        try {
            operation();
            ADD_FAILURE() << "not refused: " << text.toStdString();
        } catch (const Refusal &r) {
            EXPECT_EQ(r.text, text);
            if (!title.isEmpty()) {
                EXPECT_EQ(r.title, title);
            }
        }
    }

    int posted(const QString &table, qint64 xtbh)
    {
        return set.db()
            .scalar(
                QStringLiteral("SELECT COUNT(*) FROM %1 WHERE XTBH = ? AND JZBZ <> 0").arg(table),
                {xtbh})
            .toInt();
    }

    int flag(const QString &table, const QString &field, qint64 id)
    {
        return set.db()
            .scalar(QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(field, table), {id})
            .toInt();
    }

    // Pieces of issue line `lldId` as "ZWCSH|RKD <layer id> <CKSL> <SYSL>".
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

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    Formats formats;
};

TEST_P(PostingTest, StockInVouchersPostOnceAndLeaveTheList)
{
    seed.receipt(1, A, dec("5"), dec("60.00"));
    seed.receipt(2, A, dec("3"), dec("33.00"));
    seed.receipt(2, B, dec("2"), dec("10.00"));
    seed.receipt(2, P, dec("4"), dec("12.00"));

    const PostingGrid vouchers = posting().voucherGrid(Family::StockIn, Purchase);
    EXPECT_EQ(vouchers.columns.first(), QStringLiteral("系统编号"));
    EXPECT_EQ(vouchers.keys, QList<qint64>({1, 2}));
    EXPECT_EQ(vouchers.rows[1][3], QStringLiteral("第一建材"));
    PostingGridModel model;
    model.setGrid(vouchers);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(6, Qt::Horizontal).toString(), QStringLiteral("账类"));
    EXPECT_EQ(model.data(model.index(1, 6)).toString(), Purchase);
    EXPECT_EQ(model.keyAt(1), 2);
    EXPECT_EQ(model.keyAt(2), 0);
    const PostingGrid lines = posting().lineGrid(Family::StockIn, 2);
    ASSERT_EQ(lines.rows.size(), 3);
    // Planned amount = planned price × quantity.
    EXPECT_EQ(lines.rows[2][7], QStringLiteral("10.00"));
    EXPECT_EQ(lines.rows[2][8], QStringLiteral("12.00"));

    posting().post(Family::StockIn, Purchase, 1);
    expectStock(A, "5", "60.00");
    EXPECT_EQ(posting().unpostedVouchers(Family::StockIn, Purchase), QList<qint64>({2}));

    posting().post(Family::StockIn, Purchase, 2);
    expectStock(A, "8", "93.00");
    expectStock(B, "2", "10.00");
    // A planned-price material enters at planned value in both modes.
    expectStock(P, "4", "10.00");
    EXPECT_EQ(posted(QStringLiteral("RKD"), 2), 3);
    EXPECT_TRUE(posting().voucherGrid(Family::StockIn, Purchase).keys.isEmpty());

    expectRefusal([&] { posting().post(Family::StockIn, Purchase, 2); }, AlreadyPosted);
    expectRefusal([&] { posting().post(Family::StockIn, Purchase, 9); },
                  QStringLiteral("该单据不存在，可能已被删除！"));
    expectStock(A, "8", "93.00");
}

TEST_P(PostingTest, StockInReturnIsCheckedAgainstStockSummedOverItsLines)
{
    const qint64 r = receive(1, A, "5", "60.00");
    seed.stockReturn(1, r, A, dec("2"), dec("24.00"));
    seed.stockReturn(2, r, A, dec("2"), dec("24.00"));
    seed.stockReturn(2, r, A, dec("2"), dec("24.00"));

    posting().post(Family::StockInReturn, PurchaseReturn, 1);
    expectStock(A, "3", "36.00");
    EXPECT_EQ(posted(QStringLiteral("THD"), 1), 1);

    // 2 + 2 out of 3: each line alone would fit, the voucher does not.
    expectRefusal([&] { posting().post(Family::StockInReturn, PurchaseReturn, 2); }, ReturnRefusal);
    EXPECT_EQ(posted(QStringLiteral("THD"), 2), 0);
    expectStock(A, "3", "36.00");

    const PostingGrid lines = posting().lineGrid(Family::StockInReturn, 2);
    ASSERT_EQ(lines.rows.size(), 2);
    EXPECT_EQ(lines.rows[0][5], QStringLiteral("5.00")); // received
    EXPECT_EQ(lines.rows[0][7], QStringLiteral("6.00")); // returned on every line so far
    EXPECT_EQ(lines.rows[0][9], QStringLiteral("2.00")); // this line
    set.db().exec(QStringLiteral("DELETE FROM THD WHERE XTBH = 2"));

    // A material that never had stock cannot go back to the supplier.
    const qint64 rb = seed.receipt(3, B, dec("1"), dec("5.00"));
    seed.stockReturn(3, rb, B, dec("1"), dec("5.00"));
    expectRefusal([&] { posting().post(Family::StockInReturn, PurchaseReturn, 3); }, ReturnRefusal);
    EXPECT_FALSE(seed.kc(B).exists);
    set.db().exec(QStringLiteral("DELETE FROM THD WHERE XTBH = 3"));
    set.db().exec(QStringLiteral("DELETE FROM RKD WHERE XTBH = 3"));
}

TEST_P(PostingTest, IssuesMoveStockAndLayersExactly)
{
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(1, A, "5", "60.00");

    const qint64 first = issueLine(1, A, "12");
    const PostingGrid list = posting().voucherGrid(Family::Issue, Requisition);
    EXPECT_EQ(list.keys, QList<qint64>({1}));
    EXPECT_EQ(list.rows[0][1], QStringLiteral("一工区"));
    posting().post(Family::Issue, Requisition, 1);
    if (fifo()) {
        EXPECT_EQ(pieces(first), QStringList({QStringLiteral("ZWCSH %1 10 0").arg(o),
                                              QStringLiteral("RKD %1 2 3").arg(r)}));
        EXPECT_EQ(seed.issueAmount(first), dec("124.00"));
        expectStock(A, "3", "36.00");
    } else {
        // 160 / 15 = 10.67 a piece, priced at entry.
        EXPECT_EQ(seed.issueAmount(first), dec("128.04"));
        EXPECT_EQ(seed.pieceCount(), 0);
        expectStock(A, "3", "31.96");
    }
    EXPECT_TRUE(posting().unpostedVouchers(Family::Issue, Requisition).isEmpty());

    const qint64 second = issueLine(2, A, "3");
    posting().post(Family::Issue, Requisition, 2);
    expectStock(A, "0", "0");
    if (fifo()) {
        EXPECT_EQ(pieces(second), QStringList({QStringLiteral("RKD %1 3 0").arg(r)}));
    } else {
        EXPECT_EQ(seed.issueAmount(second), dec("31.96"));
    }
    expectRefusal([&] { posting().post(Family::Issue, Requisition, 2); }, AlreadyPosted);
}

TEST_P(PostingTest, IssueRefusalsLeaveTheVoucherUntouched)
{
    seed.opening(A, dec("5"), dec("50.00"));
    // Two lines of one material are checked against their sum.
    issueLine(1, A, "3");
    issueLine(1, A, "3");
    expectRefusal([&] { posting().post(Family::Issue, Requisition, 1); }, IssueRefusal,
                  QStringLiteral("提示窗口"));
    EXPECT_EQ(posted(QStringLiteral("LLD"), 1), 0);
    EXPECT_EQ(seed.pieceCount(), 0);
    expectStock(A, "5", "50.00");

    // A material without a KC row counts as stock 0.
    seed.issue(2, B, dec("1"));
    expectRefusal([&] { posting().post(Family::Issue, Requisition, 2); }, IssueRefusal);
    EXPECT_FALSE(seed.kc(B).exists);

    // A transfer-out voucher is posted under its own kind only.
    issueLine(3, A, "1");
    set.db().exec(QStringLiteral("UPDATE LLD SET ZL = '2' WHERE XTBH = 3"));
    EXPECT_EQ(posting().unpostedVouchers(Family::Issue, QStringLiteral("2")), QList<qint64>({3}));
    expectRefusal([&] { posting().post(Family::Issue, Requisition, 3); },
                  QStringLiteral("该单据不属于所选账类，不能记帐！"));
    posting().post(Family::Issue, QStringLiteral("2"), 3);
    expectStock(A, "4", "40.00");
    set.db().exec(QStringLiteral("DELETE FROM LLD WHERE JZBZ = 0"));
}

TEST_P(PostingTest, IssueReturnAddsItsOwnAmountAndUnderFifoANewestLayer)
{
    Clock::setToday(QDate(2026, 1, 20));
    const qint64 o = seed.opening(A, dec("10"), dec("100.00"));
    const qint64 r = receive(1, A, "3", "36.00");
    const qint64 line = issueLine(1, A, "4");
    posting().post(Family::Issue, Requisition, 1);

    // Returned at 9.00, not at the current average.
    seed.issueReturn(1, line, A, dec("2"), dec("9.00"), dec("18.00"));
    EXPECT_EQ(posting().voucherGrid(Family::IssueReturn, Requisition).keys, QList<qint64>({1}));
    posting().post(Family::IssueReturn, Requisition, 1);
    EXPECT_EQ(posted(QStringLiteral("TKD"), 1), 1);
    if (fifo()) {
        expectStock(A, "11", "114.00");
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT ID, SJSL, SJJE, CZRQ, JZBZ, XTBH "
                                                   "FROM RKD WHERE ID > ?"),
                                    {r});
        ASSERT_TRUE(q.next());
        const qint64 layer = q.value(0).toLongLong();
        EXPECT_EQ(Decimal::fromVariant(q.value(1)), dec("2"));
        EXPECT_EQ(Decimal::fromVariant(q.value(2)), dec("18.00"));
        EXPECT_EQ(q.value(3).toString(), QStringLiteral("2026-01-20"));
        EXPECT_NE(q.value(4).toInt(), 0);
        EXPECT_TRUE(q.value(5).isNull());
        q.finish();
        // The returned goods are drawn after every older layer.
        const qint64 next = issueLine(2, A, "10");
        posting().post(Family::Issue, Requisition, 2);
        EXPECT_EQ(pieces(next), QStringList({QStringLiteral("ZWCSH %1 6 0").arg(o),
                                             QStringLiteral("RKD %1 3 0").arg(r),
                                             QStringLiteral("RKD %1 1 1").arg(layer)}));
        expectStock(A, "1", "9.00");
    } else {
        expectStock(A, "11", "112.16");
    }
    Clock::setToday(std::nullopt);
}

TEST_P(PostingTest, PostAllPostsTheGoodVouchersAndReportsTheRefusedOne)
{
    seed.opening(A, dec("10"), dec("100.00"));
    issueLine(1, A, "4");
    const qint64 refused = issueLine(2, A, "100");
    issueLine(3, A, "3");

    const QList<Posting::Outcome> outcomes = posting().postAll(Family::Issue, Requisition);
    ASSERT_EQ(outcomes.size(), 3);
    EXPECT_TRUE(outcomes[0].posted);
    EXPECT_FALSE(outcomes[1].posted);
    EXPECT_EQ(outcomes[1].xtbh, 2);
    EXPECT_EQ(outcomes[1].text, IssueRefusal);
    EXPECT_EQ(outcomes[1].title, QStringLiteral("提示窗口"));
    EXPECT_TRUE(outcomes[2].posted);
    expectStock(A, "3", "30.00");
    EXPECT_EQ(posting().unpostedVouchers(Family::Issue, Requisition), QList<qint64>({2}));
    EXPECT_TRUE(pieces(refused).isEmpty());
    if (fifo()) {
        EXPECT_EQ(seed.pieceCount(), 2);
    }

    // Stock-in returns likewise go voucher by voucher.
    const qint64 r = receive(5, B, "4", "40.00");
    seed.stockReturn(1, r, B, dec("9"), dec("90.00"));
    seed.stockReturn(2, r, B, dec("1"), dec("10.00"));
    const QList<Posting::Outcome> returns =
        posting().postAll(Family::StockInReturn, PurchaseReturn);
    ASSERT_EQ(returns.size(), 2);
    EXPECT_EQ(returns[0].text, ReturnRefusal);
    EXPECT_TRUE(returns[1].posted);
    expectStock(B, "3", "30.00");
    set.db().exec(QStringLiteral("DELETE FROM LLD WHERE JZBZ = 0"));
    set.db().exec(QStringLiteral("DELETE FROM THD WHERE JZBZ = 0"));
}

TEST_P(PostingTest, DeletingALineRepairsReturnMarksAndWaitsForItsReturns)
{
    const qint64 r = receive(1, A, "5", "60.00");
    const qint64 t1 = seed.stockReturn(7, r, A, dec("1"), dec("12.00"));
    const qint64 t2 = seed.stockReturn(8, r, A, dec("1"), dec("12.00"));
    set.db().exec(QStringLiteral("UPDATE RKD SET THBZ = 1 WHERE ID = ?"), {r});

    posting().deleteLine(Family::StockInReturn, t1);
    EXPECT_EQ(flag(QStringLiteral("RKD"), QStringLiteral("THBZ"), r), 1);
    posting().deleteLine(Family::StockInReturn, t2);
    EXPECT_EQ(flag(QStringLiteral("RKD"), QStringLiteral("THBZ"), r), 0);

    // An unposted stock-in line named by a return waits until the return is deleted.
    const qint64 pending = seed.receipt(2, B, dec("2"), dec("20.00"));
    const qint64 t3 = seed.stockReturn(9, pending, B, dec("1"), dec("10.00"));
    expectRefusal([&] { posting().deleteLine(Family::StockIn, pending); },
                  QStringLiteral("该记录已有退货单引用，请先删除以下退货单：\nT9（系统编号 9）"),
                  QStringLiteral("删除窗口"));
    posting().deleteLine(Family::StockInReturn, t3);
    posting().deleteLine(Family::StockIn, pending);
    EXPECT_FALSE(
        set.db().scalar(QStringLiteral("SELECT 1 FROM RKD WHERE ID = ?"), {pending}).isValid());

    // Issue lines and their returns alike.
    const qint64 issued = issueLine(3, A, "2");
    posting().post(Family::Issue, Requisition, 3);
    const qint64 k1 = seed.issueReturn(4, issued, A, dec("1"), dec("12.00"), dec("12.00"));
    set.db().exec(QStringLiteral("UPDATE LLD SET THBZ = 1 WHERE ID = ?"), {issued});
    const qint64 open = issueLine(5, A, "1");
    seed.issueReturn(6, open, A, dec("1"), dec("12.00"), dec("12.00"));
    expectRefusal([&] { posting().deleteLine(Family::Issue, open); },
                  QStringLiteral("该记录已有退货单引用，请先删除以下退货单：\nK6（系统编号 6）"));
    posting().deleteLine(Family::IssueReturn, k1);
    EXPECT_EQ(flag(QStringLiteral("LLD"), QStringLiteral("THBZ"), issued), 0);

    // Posted lines are never deleted.
    expectRefusal([&] { posting().deleteLine(Family::Issue, issued); },
                  QStringLiteral("该记录已经记帐，不能删除！"));
    expectRefusal([&] { posting().deleteLine(Family::StockIn, r); },
                  QStringLiteral("该记录已经记帐，不能删除！"));
    set.db().exec(QStringLiteral("DELETE FROM TKD WHERE JZBZ = 0"));
    set.db().exec(QStringLiteral("DELETE FROM LLD WHERE JZBZ = 0"));
}

TEST_P(PostingTest, DeletingTheLastReversalLineClearsTheReversedMark)
{
    const qint64 r = receive(1, A, "5", "60.00");
    const qint64 provisional = receive(2, A, "1", "10.00");
    // A reversed line whose mirror was unposted again by cancel posting, and a replaced
    // provisional line that is marked for another reason.
    set.db().exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE ID = ?"), {r});
    set.db().exec(QStringLiteral("UPDATE RKD SET CZBZ = 1, ZJBZ = 1 WHERE ID = ?"), {provisional});
    set.db().exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, "
                                 "SJSL, SJJE, CZBZ, ZJBZ, JZBZ) VALUES (4, '2冲帐', 'G1', "
                                 "'2026-01-16', ?, ?, 100000, -10000, -100000, 1, 1, 1)"),
                  {Purchase, A});
    set.db().exec(QStringLiteral("UPDATE KC SET KCSL = KCSL - 10000, KCJE = KCJE - 100000 "
                                 "WHERE CLBH = ?"),
                  {A});
    set.db().exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, "
                                 "SJSL, SJJE, CZBZ) VALUES (3, '冲帐', 'G1', '2026-01-16', ?, ?, "
                                 "120000, -50000, -600000, 1)"),
                  {Purchase, A});
    const qint64 mirror = set.db().scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();
    posting().deleteLine(Family::StockIn, mirror);
    EXPECT_EQ(flag(QStringLiteral("RKD"), QStringLiteral("CZBZ"), r), 0);
    EXPECT_EQ(flag(QStringLiteral("RKD"), QStringLiteral("CZBZ"), provisional), 1);

    // Issues: the mark stays while another reversal line of the material remains.
    const qint64 issued = issueLine(4, A, "1");
    posting().post(Family::Issue, Requisition, 4);
    EXPECT_EQ(seed.kc(A).quantity, dec("4"));
    set.db().exec(QStringLiteral("UPDATE LLD SET CZBZ = 1 WHERE ID = ?"), {issued});
    for (int xtbh : {5, 6}) {
        set.db().exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, CLBH, SJSL, "
                                     "SJJE, ZL, CZBZ) VALUES (?, '冲帐', 'U1', '2026-01-16', ?, "
                                     "-10000, -120000, '1', 1)"),
                      {xtbh, A});
    }
    QList<qint64> mirrors;
    QSqlQuery q = set.db().exec(QStringLiteral("SELECT ID FROM LLD WHERE XTBH IN (5, 6)"));
    while (q.next())
        mirrors.append(q.value(0).toLongLong());
    q.finish();
    ASSERT_EQ(mirrors.size(), 2);
    posting().deleteLine(Family::Issue, mirrors[0]);
    EXPECT_EQ(flag(QStringLiteral("LLD"), QStringLiteral("CZBZ"), issued), 1);
    posting().deleteLine(Family::Issue, mirrors[1]);
    EXPECT_EQ(flag(QStringLiteral("LLD"), QStringLiteral("CZBZ"), issued), 0);
}

TEST_P(PostingTest, DirectDeliveryLinesAreLeftToTheirDelivery)
{
    // A direct delivery: its stock-in half names the issue line created with it.
    const qint64 out = seed.issue(1, A, dec("2"), dec("5.00"), dec("10.00"));
    set.db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 1 WHERE ID = ?"), {out});
    const qint64 in = seed.receipt(1, A, dec("2"), dec("10.00"));
    set.db().exec(QStringLiteral("UPDATE RKD SET CKID = ? WHERE ID = ?"), {out, in});
    seed.receipt(2, A, dec("1"), dec("6.00"));

    EXPECT_EQ(posting().unpostedVouchers(Family::StockIn, Purchase), QList<qint64>({2}));
    EXPECT_TRUE(posting().unpostedVouchers(Family::Issue, Requisition).isEmpty());
    EXPECT_TRUE(posting().voucherGrid(Family::Issue, Requisition).keys.isEmpty());
    expectRefusal([&] { posting().post(Family::StockIn, Purchase, 1); },
                  QStringLiteral("该单据不存在，可能已被删除！"));
    expectRefusal([&] { posting().deleteLine(Family::StockIn, in); },
                  QStringLiteral("该记录属于直进直出单据，不能在此删除！"));
    expectRefusal([&] { posting().deleteLine(Family::Issue, out); },
                  QStringLiteral("该记录属于直进直出单据，不能在此删除！"));

    posting().postAll(Family::StockIn, Purchase);
    expectStock(A, "1", "6.00");
    EXPECT_EQ(flag(QStringLiteral("RKD"), QStringLiteral("JZBZ"), in), 0);
    set.db().exec(QStringLiteral("DELETE FROM RKD WHERE ID = ?"), {in});
    set.db().exec(QStringLiteral("DELETE FROM LLD WHERE ID = ?"), {out});
}

// No statement of the posting path runs through a whole ledger table.
TEST_P(PostingTest, PostingSearchesByIndexOnly)
{
    Clock::setToday(QDate(2026, 1, 20));
    seed.opening(A, dec("10"), dec("100.00"));
    StatementTrace trace(set.db());
    const qint64 r = seed.receipt(1, A, dec("5"), dec("60.00"));
    Posting p = posting();
    p.voucherGrid(Family::StockIn, Purchase);
    p.lineGrid(Family::StockIn, 1);
    p.postAll(Family::StockIn, Purchase);
    const qint64 t = seed.stockReturn(1, r, A, dec("1"), dec("12.00"));
    p.voucherGrid(Family::StockInReturn, PurchaseReturn);
    p.lineGrid(Family::StockInReturn, 1);
    seed.stockReturn(2, r, A, dec("1"), dec("12.00"));
    p.deleteLine(Family::StockInReturn, t);
    p.post(Family::StockInReturn, PurchaseReturn, 2);
    const qint64 line = issueLine(1, A, "12");
    p.voucherGrid(Family::Issue, Requisition);
    p.lineGrid(Family::Issue, 1);
    p.post(Family::Issue, Requisition, 1);
    seed.issueReturn(1, line, A, dec("1"), dec("10.00"), dec("10.00"));
    p.voucherGrid(Family::IssueReturn, Requisition);
    p.lineGrid(Family::IssueReturn, 1);
    p.postAll(Family::IssueReturn, Requisition);
    const qint64 spare = issueLine(2, A, "1");
    p.deleteLine(Family::Issue, spare);
    trace.stop();
    Clock::setToday(std::nullopt);

    static const QRegularExpression scan(QStringLiteral("\\bSCAN (RKD|THD|LLD|TKD|KC|XJXCSJB)\\b"));
    int checked = 0;
    for (const QString &sql : trace.statements()) {
        if (!sql.startsWith(QLatin1String("SELECT")) && !sql.startsWith(QLatin1String("INSERT")) &&
            !sql.startsWith(QLatin1String("UPDATE")) && !sql.startsWith(QLatin1String("DELETE")))
            continue;
        // Statements of the seeding helper are not the posting's.
        if (sql.contains(QLatin1String("MAX(ID)")) || sql.contains(QLatin1String("ON CONFLICT")))
            continue;
        for (const QString &detail : test::queryPlan(set.db(), sql)) {
            EXPECT_FALSE(scan.match(detail).hasMatch())
                << sql.toStdString() << "\n  " << detail.toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

TEST_P(PostingTest, EveryVoucherAfterTheFirstRunsOnPreparedStatements)
{
    seed.opening(A, dec("100"), dec("1000.00"));
    seed.opening(B, dec("100"), dec("1000.00"));
    const auto postBoth = [&](qint64 xtbh) {
        seed.receipt(xtbh, A, dec("5"), dec("55.00"));
        seed.receipt(xtbh, B, dec("3"), dec("36.00"));
        posting().post(Family::StockIn, Purchase, xtbh);
        issueLine(xtbh, A, "7");
        issueLine(xtbh, B, "2");
        posting().post(Family::Issue, Requisition, xtbh);
    };
    postBoth(1);
    const qint64 prepared = set.db().statements().misses();
    postBoth(2);
    postBoth(3);
    EXPECT_EQ(set.db().statements().misses(), prepared);
}

INSTANTIATE_TEST_SUITE_P(Modes, PostingTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &param) {
                             return param.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
} // namespace varnock
