#include "ledger/directdeliveries.h"

#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "reports/statisticmovements.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/directvouchers.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString Steel = QStringLiteral("1001");
const QString Cement = QStringLiteral("1003"); // planned price 2.50
const QDate Closing(2026, 1, 31);
const QDate Delivered(2026, 2, 5);

// Books opened with 10 of steel at 10.00 and 8 of cement at its planned 2.50, closed on
// 2026-01-31; a direct delivery of both is dated 2026-02-05 and today is 2026-02-10.
class DirectDeliveriesTest : public ::testing::TestWithParam<int>
{
protected:
    DirectDeliveriesTest()
        : mode(GetParam())
    {
        set.setMode(mode);
        set.addMaterial(Steel, QStringLiteral("钢筋"));
        set.addMaterial(Cement, QStringLiteral("水泥"), QStringLiteral("1"), true, dec("2.50"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        test::LedgerSeed seed(set.db());
        seed.opening(Steel, dec("10"), dec("100"));
        seed.opening(Cement, dec("8"), dec("20"));
        MonthEnd(set.db(), mode, formats).close(Closing);
        Clock::setToday(QDate(2026, 2, 10));
    }

    void TearDown() override
    {
        Clock::setToday(std::nullopt);
        test::expectBooksBalance(set.db(), mode, formats);
    }

    bool fifo() const { return mode == CostEngine::FirstInFirstOut; }
    DirectDeliveries deliveries() { return DirectDeliveries(set.db(), mode, formats); }

    qint64 deliver()
    {
        DirectVouchers vouchers(set.db(), mode, formats);
        DirectVoucher v;
        v.czrq = Delivered;
        v.gysbh = QStringLiteral("G1");
        v.lldwbh = QStringLiteral("U1");
        v.ysdjh = QStringLiteral("R-1");
        v.issueYsdjh = QStringLiteral("C-1");
        for (const auto &[clbh, quantity, amount] :
             {std::tuple{Steel, "6", "66"}, std::tuple{Cement, "4", "12"}}) {
            StockInLine line;
            line.clbh = clbh;
            line.quantity = dec(quantity);
            line.amount = dec(amount);
            line.price = formats.roundAmount(line.amount / line.quantity);
            line.paid = dec("6");
            v.lines.append(line);
        }
        return vouchers.saveNew(v);
    }

    // KC and the layers' remainders, as text: what a direct delivery must leave alone.
    QString store()
    {
        QStringList rows;
        QSqlQuery q =
            set.db().exec(QStringLiteral("SELECT CLBH, KCSL, KCJE FROM KC ORDER BY CLBH"));
        while (q.next())
            rows << q.value(0).toString() + ':' + q.value(1).toString() + '/' +
                        q.value(2).toString();
        return rows.join(QLatin1Char(' '));
    }

    qint64 count(const QString &sql, const QVariantList &values = {})
    {
        return set.db().scalar(sql, values).toLongLong();
    }

    QString refusalOf(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    }

    test::TestAccountSet set;
    Formats formats;
    int mode;
};

TEST_P(DirectDeliveriesTest, PostingSetsBothSidesAndLeavesStockAndLayersAlone)
{
    const qint64 xtbh = deliver();
    const QString before = store();
    EXPECT_EQ(deliveries().unpostedVouchers().keys, QList<qint64>{xtbh});
    EXPECT_EQ(deliveries().lines(xtbh).rows.size(), 2);
    // The ordinary posting lists never offer a direct delivery.
    Posting posting(set.db(), mode, formats);
    EXPECT_TRUE(
        posting.unpostedVouchers(Posting::Family::StockIn, QStringLiteral("采购入库")).isEmpty());
    EXPECT_TRUE(posting.unpostedVouchers(Posting::Family::Issue, QStringLiteral("1")).isEmpty());

    deliveries().post(xtbh);
    EXPECT_EQ(store(), before);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE JZBZ = 0")) +
                  count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE JZBZ = 0")),
              0);
    EXPECT_TRUE(deliveries().unpostedVouchers().keys.isEmpty());
    // Under first in first out each receipt goes wholly to its own issue, nothing left over;
    // under moving average nothing is allocated.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB X JOIN RKD R ON R.ID = X.RKID "
                                   "JOIN LLD L ON L.ID = X.CKID WHERE R.CKID = L.ID "
                                   "AND X.CKSL = L.SJSL AND X.SYSL = 0")),
              fifo() ? 2 : 0);
    EXPECT_EQ(refusalOf([&] { deliveries().post(xtbh); }),
              QStringLiteral("该单据已经记帐，不能重复记帐！"));

    // An issue afterwards still draws from the opening layer alone.
    test::LedgerSeed seed(set.db());
    const qint64 issued = seed.issue(50, Steel, dec("4"), dec("10"), dec("40"));
    set.db().exec(QStringLiteral("UPDATE LLD SET CZRQ = ? WHERE ID = ?"),
                  {Delivered.toString(Qt::ISODate), issued});
    posting.post(Posting::Family::Issue, QStringLiteral("1"), 50);
    EXPECT_EQ(seed.kc(Steel).quantity, dec("6"));
    EXPECT_EQ(seed.kc(Steel).amount, dec("60"));

    // The month's closing freezes the store alone: under first in first out its layers by
    // unit price hold what KC holds, the delivery's allocations counting nowhere.
    MonthEnd(set.db(), mode, formats).close(QDate(2026, 2, 10));
    if (fifo()) {
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM XJXCYJKCB WHERE JCSL < 0")), 0);
        EXPECT_EQ(Decimal::fromVariant(set.db().scalar(
                      QStringLiteral("SELECT SUM(JCSL) FROM XJXCYJKCB WHERE CLBH = ? AND YJID = "
                                     "(SELECT MAX(YJID) FROM YJSJB)"),
                      {Steel})),
                  dec("6"));
    }
}

TEST_P(DirectDeliveriesTest, AnUnpostedLineIsDeletedWithItsPartner)
{
    const qint64 xtbh = deliver();
    const QList<qint64> lines = deliveries().lines(xtbh).keys;
    deliveries().deleteLine(lines.first());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD")), 1);
    deliveries().post(xtbh);
    EXPECT_EQ(refusalOf([&] { deliveries().deleteLine(lines.last()); }),
              QStringLiteral("该记录已经记帐，不能删除！"));
}

TEST_P(DirectDeliveriesTest, ReversalMirrorsBothSidesOnceAndOnlyAfterTheClosing)
{
    const qint64 xtbh = deliver();
    EXPECT_EQ(refusalOf([&] { deliveries().reverse(xtbh, QDate(2026, 2, 6)); }),
              QStringLiteral("该单据未记账，不能冲帐！"));
    deliveries().post(xtbh);
    const QString before = store();

    EXPECT_EQ(refusalOf([&] { deliveries().reverse(xtbh, Closing); }),
              QStringLiteral("冲帐时间应大于月结时间"));
    EXPECT_EQ(refusalOf([&] { deliveries().reverse(xtbh, QDate(2026, 2, 4)); }),
              QStringLiteral("冲帐日期不能早于原单据日期（2026-02-05）！"));
    EXPECT_EQ(deliveries().postedVouchers(Delivered, Delivered).keys, QList<qint64>{xtbh});

    const DirectDeliveries::Mirror mirror = deliveries().reverse(xtbh, QDate(2026, 2, 6));
    EXPECT_EQ(mirror.lines, 2);
    EXPECT_EQ(store(), before);
    // Each original row is marked; each mirror row is posted, marked, negated and joined to
    // its own mirror partner; the paid amounts net to nothing.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZBZ <> 0")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE CZBZ <> 0 AND ZJZC <> 0")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD R JOIN LLD L ON L.ID = R.CKID "
                                   "AND L.XTBH = R.CKBH WHERE R.XTBH = ? AND L.XTBH = ? "
                                   "AND R.JZBZ <> 0 AND L.JZBZ <> 0 AND R.SJSL = L.SJSL "
                                   "AND R.SJSL < 0 AND R.CZRQ = '2026-02-06' "
                                   "AND R.YSDJH = 'R-1 冲帐' AND L.YSDJH = 'C-1 冲帐'"),
                    {mirror.xtbh, mirror.issueXtbh}),
              2);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(SJSL) + SUM(SJJE) + SUM(YFJE) FROM RKD")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(SJSL) + SUM(SJJE) FROM LLD")), 0);

    // A reversed voucher is never offered again, nor reversed twice.
    EXPECT_TRUE(deliveries().postedVouchers(Delivered, QDate(2026, 2, 10)).keys.isEmpty());
    EXPECT_EQ(refusalOf([&] { deliveries().reverse(xtbh, QDate(2026, 2, 7)); }),
              QStringLiteral("此单据已冲帐,或退货，请另选单据"));
    EXPECT_EQ(refusalOf([&] { deliveries().reverse(mirror.xtbh, QDate(2026, 2, 7)); }),
              QStringLiteral("此单据已冲帐,或退货，请另选单据"));
    // Nor is either side offered by the ordinary reversals' lists.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZBZ = 0")), 0);
}

TEST_P(DirectDeliveriesTest, AReversedDeliveryCountsAsNothingIssuedInEitherMethod)
{
    const qint64 xtbh = deliver();
    deliveries().post(xtbh);
    const auto issued = [&] {
        return StatisticMovements(set.db(), mode)
            .perMaterial(Movement::Issues, Delivered, QDate(2026, 2, 10), false);
    };
    ASSERT_EQ(issued().size(), 2u);
    EXPECT_EQ(issued().at({Steel, StockBalances::Price()}), (Figure{dec("6"), dec("66")}));

    deliveries().reverse(xtbh, QDate(2026, 2, 6));
    EXPECT_TRUE(issued().empty());
    const QString mirrorPieces = QStringLiteral(
        "SELECT COUNT(*) FROM XJXCSJB X JOIN LLD L ON L.ID = X.CKID WHERE L.ZJZC <> 0 "
        "AND X.CKSL < 0");
    EXPECT_EQ(count(mirrorPieces), fifo() ? 2 : 0);

    // A file whose reversals were written without their mirror pieces gets them once.
    set.db().exec(QStringLiteral("DELETE FROM XJXCSJB WHERE CKSL < 0"));
    EXPECT_EQ(deliveries().restoreMirrorPieces(), fifo() ? 2 : 0);
    EXPECT_EQ(deliveries().restoreMirrorPieces(), 0);
    EXPECT_EQ(count(mirrorPieces), fifo() ? 2 : 0);
    EXPECT_TRUE(issued().empty());
}

INSTANTIATE_TEST_SUITE_P(BothModes, DirectDeliveriesTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage));

} // namespace
} // namespace varnock
