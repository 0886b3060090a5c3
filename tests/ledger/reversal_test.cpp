#include "ledger/reversal.h"

#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>

namespace varnock {
namespace {

using test::dec;
using Family = Posting::Family;

const QString A = QStringLiteral("1001"); // actual prices
const QString P = QStringLiteral("1003"); // planned price 2.50
const QString Purchase = QStringLiteral("采购入库");
const QString TooEarly = QStringLiteral("冲帐时间应大于月结时间");
const QString Taken = QStringLiteral("此单据已冲帐,或退货，请另选单据");
const QDate Closing(2026, 1, 31);
const QDate DayAfter(2026, 2, 1);
const QDate Later(2026, 2, 6);
const char *const OpenMonth = "2026-02-05";
const char *const ClosedMonth = "2026-01-15";

// Books opened with 10 of A at 10.00 and 8 of P at 2.50; the closing falls on 2026-01-31,
// vouchers of the open month are dated 2026-02-05, today is 2026-02-10.
class ReversalTest : public ::testing::TestWithParam<int>
{
protected:
    ReversalTest()
        : seed(set.db())
        , mode(GetParam())
    {
        set.setMode(mode);
        set.addMaterial(A, QStringLiteral("钢筋"));
        set.addMaterial(P, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        seed.opening(A, dec("10"), dec("100"));
        seed.opening(P, dec("8"), dec("20"));
        Clock::setToday(QDate(2026, 2, 10));
    }

    void TearDown() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(set.db(), mode, formats);
    }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    Reversal reversal() { return Reversal(set.db(), mode, formats); }
    Posting posting() { return Posting(set.db(), mode, formats); }

    void close() { MonthEnd(set.db(), mode, formats).close(Closing); }
    void dateInOpenMonth(const char *table, qint64 id)
    {
        set.db().exec(QStringLiteral("UPDATE %1 SET CZRQ = ? WHERE ID = ?").arg(table),
                      {Later.toString(Qt::ISODate), id});
    }

    void dateLine(const char *table, qint64 id, const char *date)
    {
        set.db().exec(
            QStringLiteral("UPDATE %1 SET CZRQ = ? WHERE ID = ?").arg(QLatin1String(table)),
            {QString::fromLatin1(date), id});
    }

    // An unposted purchase line with its invoice, cheque, certificate and 20.00 paid.
    qint64 receiptLine(qint64 xtbh, const QString &clbh, const char *quantity, const char *amount,
                       const char *date = OpenMonth)
    {
        const qint64 id = seed.receipt(xtbh, clbh, dec(quantity), dec(amount));
        set.db().exec(QStringLiteral("UPDATE RKD SET FPBH = 'F9', ZPH = 'Z9', CZZM = '合格', "
                                     "YFJE = ? WHERE ID = ?"),
                      {dec("20").toVariant(), id});
        dateLine("RKD", id, date);
        return id;
    }

    // The last line of stock-in voucher `xtbh`; the voucher is posted.
    qint64 receive(qint64 xtbh, const QString &clbh, const char *quantity, const char *amount,
                   const char *date = OpenMonth)
    {
        const qint64 id = receiptLine(xtbh, clbh, quantity, amount, date);
        posting().post(Family::StockIn, Purchase, xtbh);
        return id;
    }

    // An unposted requisition line, priced at entry under moving average as the voucher
    // screen prices it.
    qint64 issueLine(qint64 xtbh, const QString &clbh, const char *quantity,
                     const char *date = OpenMonth)
    {
        qint64 id = 0;
        if (fifo()) {
            id = seed.issue(xtbh, clbh, dec(quantity));
        } else {
            const CostEngine::IssuePrice price =
                CostEngine(set.db(), mode, formats).priceIssueLine(clbh, dec(quantity));
            id = seed.issue(xtbh, clbh, dec(quantity), price.unitPrice, price.amount);
        }
        dateLine("LLD", id, date);
        return id;
    }

    // The last line of issue voucher `xtbh`; the voucher is posted.
    qint64 issue(qint64 xtbh, const QString &clbh, const char *quantity,
                 const char *date = OpenMonth)
    {
        const qint64 id = issueLine(xtbh, clbh, quantity, date);
        posting().post(Family::Issue, QStringLiteral("1"), xtbh);
        return id;
    }

    void expectStock(const QString &clbh, const char *quantity, const char *amount)
    {
        const test::LedgerSeed::Stock s = seed.kc(clbh);
        EXPECT_EQ(s.quantity, dec(quantity)) << clbh.toStdString();
        EXPECT_EQ(s.amount, dec(amount)) << clbh.toStdString();
    }

    int rows(const char *table)
    {
        return set.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .toInt();
    }

    // Refused with `text`, and nothing written.
    void expectRefused(const std::function<void()> &operation, const QString &text)
    {
        const int receipts = rows("RKD");
        const int issues = rows("LLD");
        const int pieces = rows("XJXCSJB");
        const test::LedgerSeed::Stock before = seed.kc(A);
        try {
            operation();
            ADD_FAILURE() << "not refused: " << text.toStdString();
        } catch (const Refusal &r) {
            EXPECT_EQ(r.text, text);
        }
        EXPECT_EQ(rows("RKD"), receipts);
        EXPECT_EQ(rows("LLD"), issues);
        EXPECT_EQ(rows("XJXCSJB"), pieces);
        EXPECT_EQ(seed.kc(A).quantity, before.quantity);
        EXPECT_EQ(seed.kc(A).amount, before.amount);
    }

    // The texts of the steps, "?" before a question and "!" before a refusal.
    static QStringList texts(const QList<OperationStep> &steps)
    {
        QStringList out;
        for (const OperationStep &s : steps)
            out << (s.isRefusal() ? QStringLiteral("!") : QStringLiteral("?")) + s.text;
        return out;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    int mode;
    Formats formats;
};

TEST_P(ReversalTest, StockInLineIsMirroredAndLeavesStock)
{
    close();
    receiptLine(1, A, "5", "60");
    const qint64 second = receive(1, A, "2", "30");
    expectStock(A, "17", "190");

    EXPECT_EQ(texts(reversal().stockInSteps(second, Later)),
              QStringList{QStringLiteral("?该帐目将被冲掉！您确定要进行吗？")});
    const Reversal::Mirror mirror = reversal().reverseStockInLine(second, Later);
    EXPECT_EQ(mirror.xtbh, 2);
    expectStock(A, "15", "160");

    QSqlQuery q = set.db().exec(QStringLiteral("SELECT XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, "
                                               "CLBH, SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, CZBZ "
                                               "FROM RKD WHERE ID = ?"),
                                {mirror.id});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 2);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("冲帐"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("G1"));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("2026-02-06"));
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("F9"));
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("Z9"));
    EXPECT_EQ(q.value(6).toString(), Purchase);
    EXPECT_EQ(q.value(7).toString(), A);
    EXPECT_EQ(Decimal::fromVariant(q.value(8)), dec("15"));
    EXPECT_EQ(Decimal::fromVariant(q.value(9)), dec("-2"));
    EXPECT_EQ(Decimal::fromVariant(q.value(10)), dec("-30"));
    // What was paid for the line nets to nothing with its mirror.
    EXPECT_EQ(Decimal::fromVariant(q.value(11)), dec("-20"));
    EXPECT_EQ(q.value(12).toString(), QStringLiteral("合格"));
    EXPECT_NE(q.value(13).toInt(), 0);
    EXPECT_NE(q.value(14).toInt(), 0);
    q.finish();
    EXPECT_NE(
        set.db().scalar(QStringLiteral("SELECT CZBZ FROM RKD WHERE ID = ?"), {second}).toInt(), 0);

    // The reversed line is not offered again; the voucher stays while a line of it remains,
    // and the mirror voucher is never offered.
    EXPECT_EQ(reversal().stockInLines(1).rows.size(), 1);
    EXPECT_EQ(reversal().stockInVouchers(Purchase).keys, QList<qint64>{1});
    expectRefused([&] { reversal().reverseStockInLine(second, Later); }, Taken);
    expectRefused([&] { reversal().reverseStockInLine(mirror.id, Later); }, Taken);
}

TEST_P(ReversalTest, ClosingDayIsRefusedAndTheDayAfterAccepted)
{
    const qint64 receipt = receive(1, A, "5", "60", ClosedMonth);
    const qint64 line = issue(2, A, "3", ClosedMonth);
    close();
    for (const auto &steps :
         {reversal().stockInSteps(receipt, Closing), reversal().issueSteps(line, Closing, 1)})
        EXPECT_EQ(texts(steps), QStringList{QStringLiteral("!") + TooEarly});
    expectRefused([&] { reversal().reverseStockInLine(receipt, Closing); }, TooEarly);
    expectRefused([&] { reversal().reverseIssueLine(line, Closing); }, TooEarly);

    reversal().reverseIssueLine(line, DayAfter);
    reversal().reverseStockInLine(receipt, DayAfter);
    expectStock(A, "10", "100");
}

TEST_P(ReversalTest, PlannedPriceMaterialsStayAtPlan)
{
    close();
    // Bought at 3.00, carried at 2.50: the stock takes and gives back 4 × 2.50.
    const qint64 receipt = receive(1, P, "4", "12");
    expectStock(P, "12", "30");
    const qint64 line = issue(2, P, "2");
    expectStock(P, "10", "25");

    const Reversal::Mirror issueMirror = reversal().reverseIssueLine(line, Later);
    expectStock(P, "12", "30");
    EXPECT_EQ(seed.issueAmount(issueMirror.id), dec("-5"));

    const Reversal::Mirror receiptMirror = reversal().reverseStockInLine(receipt, Later);
    expectStock(P, "8", "20");
    EXPECT_EQ(Decimal::fromVariant(set.db().scalar(
                  QStringLiteral("SELECT SJJE FROM RKD WHERE ID = ?"), {receiptMirror.id})),
              dec("-12"));
}

TEST_P(ReversalTest, StockInRefusals)
{
    close();
    const qint64 returned = receive(1, A, "5", "60");
    // Dated in the open month, as a saved return would be: the closing holds what came before.
    dateInOpenMonth("THD", seed.stockReturn(1, returned, A, dec("1"), dec("12")));
    expectRefused([&] { reversal().reverseStockInLine(returned, Later); }, Taken);

    const qint64 unposted = receiptLine(2, A, "1", "10");
    expectRefused([&] { reversal().reverseStockInLine(unposted, Later); },
                  QStringLiteral("该记录未记账，不能冲帐！"));
    expectRefused([&] { reversal().reverseStockInLine(9999, Later); },
                  QStringLiteral("该记录不存在，可能已被删除！"));
    const qint64 line = receive(3, A, "4", "40");
    expectRefused([&] { reversal().reverseStockInLine(line, QDate(2026, 2, 4)); },
                  QStringLiteral("冲帐日期不能早于原单据日期（2026-02-05）！"));

    // Goods of the receipt already issued: the stock cannot give them back.
    issue(4, A, "17");
    expectRefused([&] { reversal().reverseStockInLine(line, Later); },
                  QStringLiteral("库存不允许出负！"));
}

TEST_P(ReversalTest, LaterDateIsAsked)
{
    close();
    const qint64 line = receive(1, A, "5", "60");
    const QStringList steps = texts(reversal().stockInSteps(line, QDate(2026, 2, 12)));
    ASSERT_EQ(steps.size(), 2);
    EXPECT_TRUE(steps.first().startsWith(QStringLiteral("?凭单日期2026-02-12晚于今天")));
}

TEST_P(ReversalTest, IssueLineComesBackIntoStock)
{
    close();
    receive(1, A, "5", "60");
    issueLine(2, A, "1");
    const qint64 line = issue(2, A, "4");
    const test::LedgerSeed::Stock before = seed.kc(A);
    const Decimal amount = seed.issueAmount(line);

    EXPECT_EQ(texts(reversal().issueSteps(line, Later, 2)),
              QStringList{QStringLiteral("?你确实要冲掉第 2 笔单据吗？")});
    const Reversal::Mirror mirror = reversal().reverseIssueLine(line, Later);
    EXPECT_EQ(mirror.xtbh, 3);
    EXPECT_EQ(seed.kc(A).quantity, before.quantity + dec("4"));
    EXPECT_EQ(seed.kc(A).amount, before.amount + amount);

    QSqlQuery q = set.db().exec(QStringLiteral("SELECT XTBH, YSDJH, SJSL, SJJE, CLBH, CZRQ, JZBZ, "
                                               "ZL, LLDWBH, CZBZ FROM LLD WHERE ID = ?"),
                                {mirror.id});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("冲帐"));
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), dec("-4"));
    EXPECT_EQ(Decimal::fromVariant(q.value(3)), -amount);
    EXPECT_EQ(q.value(4).toString(), A);
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("2026-02-06"));
    EXPECT_NE(q.value(6).toInt(), 0);
    EXPECT_EQ(q.value(7).toString(), QStringLiteral("1"));
    EXPECT_EQ(q.value(8).toString(), QStringLiteral("U1"));
    EXPECT_NE(q.value(9).toInt(), 0);
    q.finish();

    // Offered no more; the voucher stays for its other line, the mirror voucher never shows.
    EXPECT_EQ(reversal().issueLines(2).rows.size(), 1);
    EXPECT_EQ(reversal().issueVouchers(QStringLiteral("1"), Closing, QDate(2026, 2, 28)).keys,
              QList<qint64>{2});
    expectRefused([&] { reversal().reverseIssueLine(line, Later); }, Taken);
}

TEST_P(ReversalTest, IssueRefusals)
{
    close();
    const qint64 line = issue(1, A, "4");
    dateInOpenMonth("TKD", seed.issueReturn(2, line, A, dec("1"), dec("10"), dec("10")));
    expectRefused([&] { reversal().reverseIssueLine(line, Later); }, Taken);

    const qint64 other = issue(3, A, "2");
    // A system date not after the closing cannot carry a reversal dated after it.
    Clock::setToday(Closing);
    const QList<OperationStep> steps = reversal().issueSteps(other, Later, 1);
    ASSERT_EQ(steps.size(), 1);
    EXPECT_EQ(steps.first().title, QStringLiteral("提示窗口"));
    expectRefused([&] { reversal().reverseIssueLine(other, Later); },
                  QStringLiteral("系统日期至少大于月结日期！请修改系统日期！"));
    Clock::setToday(QDate(2026, 2, 10));

    set.db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 1 WHERE ID = ?"), {other});
    expectRefused([&] { reversal().reverseIssueLine(other, Later); },
                  QStringLiteral("该记录属于直进直出单据，请在直进直出冲帐中处理！"));
    set.db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 0 WHERE ID = ?"), {other});
}

TEST_P(ReversalTest, VoucherListsNarrowByDates)
{
    close();
    receive(1, A, "5", "60");
    issue(2, A, "1");
    EXPECT_EQ(reversal().stockInVouchers(Purchase, DayAfter, QDate(2026, 2, 4)).keys.size(), 0);
    EXPECT_EQ(reversal().stockInVouchers(Purchase, DayAfter, QDate(2026, 2, 5)).keys.size(), 1);
    EXPECT_EQ(
        reversal().issueVouchers(QStringLiteral("2"), DayAfter, QDate(2026, 2, 5)).keys.size(), 0);
    try {
        reversal().issueVouchers(QStringLiteral("1"), QDate(2026, 2, 5), DayAfter);
        ADD_FAILURE() << "start after end accepted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("起始日期不允许大于终止日期"));
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, ReversalTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage));

class FifoReversalTest : public ReversalTest
{
};

TEST_P(FifoReversalTest, IssuedAgainFromTheRestoredLayers)
{
    close();
    const qint64 receipt = receive(1, A, "5", "60"); // 12.00 each after 10 at 10.00
    const qint64 first = issue(2, A, "12");
    EXPECT_EQ(seed.issueAmount(first), dec("124"));
    reversal().reverseIssueLine(first, Later);
    expectStock(A, "15", "160");
    // Every piece has its mirror: the layers hold all 15 again.
    EXPECT_EQ(Decimal::fromVariant(set.db().scalar(
                  QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE CLBH = ?"), {A})),
              Decimal());

    // The next issue takes what the newest piece left in the receipt, then the restored
    // quantity of the opening layer.
    // The mirror voucher took system number 3.
    const qint64 again = issue(4, A, "12");
    EXPECT_EQ(seed.issueAmount(again), dec("126"));
    expectStock(A, "3", "34");

    // The receipt has goods out again: it cannot be reversed.
    expectRefused([&] { reversal().reverseStockInLine(receipt, Later); },
                  QStringLiteral("库存不允许出负！"));
    const qint64 rest = issue(5, A, "3");
    EXPECT_EQ(seed.issueAmount(rest), dec("34"));
    expectStock(A, "0", "0");
}

TEST_P(FifoReversalTest, ReceiptWithGoodsDrawnIsRefused)
{
    close();
    const qint64 receipt = receive(1, A, "5", "60");
    receive(2, A, "20", "200");
    // 12 drawn: the opening's 10 and 2 of the receipt, while stock still covers its 5.
    issue(3, A, "12");
    expectRefused([&] { reversal().reverseStockInLine(receipt, Later); },
                  QStringLiteral("该入库材料已经出库，不能冲帐！"));
}

INSTANTIATE_TEST_SUITE_P(FirstInFirstOut, FifoReversalTest,
                         ::testing::Values(CostEngine::FirstInFirstOut));

} // namespace
} // namespace varnock
