#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/stockinreturnlinemodel.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using varnock::test::dec;

namespace {

QString refusalOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QString();
}

struct Received
{
    const char *clbh;
    const char *quantity;
    const char *amount;
};

class StockInReturnTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("钢材公司"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        set.addMaterial(QStringLiteral("1003"), QStringLiteral("砂"));
        set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-01-31')"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    // A stock-in voucher of the kind, posted unless told otherwise; returns its XTBH.
    qint64 stockIn(StockInKind::Kind kind, const QDate &date, const QList<Received> &lines,
                   bool post = true)
    {
        StockInVoucher v;
        v.ysdjh = QStringLiteral("RK-") + date.toString(Qt::ISODate);
        v.gysbh = QStringLiteral("1");
        v.fpbh = QStringLiteral("FP1");
        v.zph = QStringLiteral("ZP1");
        v.czrq = date;
        for (const Received &r : lines) {
            StockInLine l;
            l.clbh = QString::fromLatin1(r.clbh);
            l.quantity = dec(r.quantity);
            l.amount = dec(r.amount);
            l.price = l.amount / l.quantity;
            v.lines.append(l);
        }
        const qint64 xtbh =
            StockInVouchers(set.db(), StockInKind::of(kind), m_mode, Formats()).saveNew(v);
        if (post)
            posting().post(Posting::Family::StockIn, StockInKind::of(kind).zl, xtbh);
        return xtbh;
    }

    StockInReturns returns(StockInKind::Kind kind = StockInKind::Purchase)
    {
        return StockInReturns(set.db(), StockInKind::of(kind), m_mode, Formats());
    }
    Posting posting() { return Posting(set.db(), m_mode, Formats()); }

    // A draft against `stockInXtbh` with the given quantities, line by line ("" = none).
    StockInReturnVoucher draft(StockInReturns &r, qint64 stockInXtbh,
                               const QList<const char *> &quantities,
                               const QDate &date = QDate(2026, 3, 10))
    {
        StockInReturnVoucher v = r.draft(stockInXtbh, date);
        for (int i = 0; i < quantities.size() && i < v.lines.size(); ++i) {
            if (*quantities.at(i))
                v.lines[i].quantity = dec(quantities.at(i));
        }
        return v;
    }

    int count(const QString &sql, const QVariantList &values = {})
    {
        return set.db().scalar(sql, values).toInt();
    }
    bool returnMark(qint64 rkid)
    {
        return count(QStringLiteral("SELECT THBZ FROM RKD WHERE ID = ?"), {rkid}) != 0;
    }

    test::TestAccountSet set;
    int m_mode = 2;
};

TEST_F(StockInReturnTest, NumbersRunOnAcrossDaysMonthsAndKinds)
{
    StockInReturns purchase = returns();
    EXPECT_EQ(purchase.nextSystemNumber(), 1);
    EXPECT_EQ(purchase.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1001"));

    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2), {{"1001", "10", "20"}});
    const qint64 transfer =
        stockIn(StockInKind::TransferIn, QDate(2026, 2, 5), {{"1002", "10", "20"}});
    EXPECT_EQ(purchase.saveNew(draft(purchase, in, {"1"})), 1);

    Clock::setToday(QDate(2026, 3, 12));
    StockInReturns transfers = returns(StockInKind::TransferIn);
    EXPECT_EQ(transfers.nextSystemNumber(), 2);
    StockInReturnVoucher second = draft(transfers, transfer, {"1"}, QDate(2026, 3, 12));
    EXPECT_EQ(second.thdjh, QStringLiteral("2026-03-12 - 1002"));
    transfers.saveNew(second);

    Clock::setToday(QDate(2026, 4, 1));
    EXPECT_EQ(purchase.proposeDocumentNumber(), QStringLiteral("2026-04-01 - 1003"));
    // Beyond five digits the number still runs on, never back.
    set.db().exec(QStringLiteral("UPDATE THD SET THDJH = '2026-03-12 - 99999' WHERE XTBH = 2"));
    EXPECT_EQ(purchase.proposeDocumentNumber(), QStringLiteral("2026-04-01 - 100000"));
    set.db().exec(QStringLiteral("UPDATE THD SET THDJH = '2026-03-10 - 100000' WHERE XTBH = 1"));
    EXPECT_EQ(purchase.proposeDocumentNumber(), QStringLiteral("2026-04-01 - 100001"));
}

TEST_F(StockInReturnTest, EveryLineKeepsTheRunningNumberOfItsReturnNumber)
{
    // A new return's number runs on from these copies: one that lags behind its number would
    // hand the same number out twice.
    const auto runningNumbers = [&] {
        QList<qint64> numbers;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT THXH FROM THD ORDER BY ID"));
        while (q.next())
            numbers.append(q.value(0).isNull() ? -2 : q.value(0).toLongLong());
        return numbers;
    };
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2),
                              {{"1001", "10", "20"}, {"1002", "10", "10"}, {"1003", "10", "30"}});
    StockInReturns r = returns();
    const qint64 xtbh = r.saveNew(draft(r, in, {"1", "1"}));
    StockInReturnVoucher typed = draft(r, in, {"", "", "1"});
    typed.thdjh = QStringLiteral("手工退货单");
    r.saveNew(typed);
    EXPECT_EQ(runningNumbers(), (QList<qint64>{1001, 1001, -1}));

    // Renumbered by hand, lines kept and added alike; past five digits the whole number.
    StockInReturnVoucher edited = *r.load(xtbh);
    edited.thdjh = QStringLiteral("2026-03-10 - 123456");
    edited.lines[2].quantity = dec("1");
    r.saveEdit(edited);
    EXPECT_EQ(runningNumbers(), (QList<qint64>{123456, 123456, -1, 123456}));
    EXPECT_EQ(r.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 123457"));

    // A statement that changes the number without its copy leaves the copy empty, and the
    // number is then read from the line itself, for the next number and for a drawn number
    // taken meanwhile alike.
    set.db().exec(QStringLiteral("UPDATE THD SET THDJH = '2026-03-10 - 1020' WHERE XTBH = ?"),
                  {xtbh});
    EXPECT_EQ(runningNumbers(), (QList<qint64>{-2, -2, -1, -2}));
    EXPECT_EQ(r.proposeDocumentNumber(), QStringLiteral("2026-03-10 - 1021"));
    EXPECT_EQ(r.numberOnSaving(QStringLiteral("2026-03-10 - 1020")),
              QStringLiteral("2026-03-10 - 1021"));
    EXPECT_EQ(r.numberOnSaving(QStringLiteral("2026-03-10 - 1001")),
              QStringLiteral("2026-03-10 - 1001"));
    StockInReturnVoucher drawn = draft(r, in, {"", "", "1"});
    drawn.thdjh = QStringLiteral("2026-03-10 - 1021");
    r.saveNew(drawn);
    EXPECT_EQ(r.numberOnSaving(QStringLiteral("2026-03-10 - 1021")),
              QStringLiteral("2026-03-10 - 1022"));
}

TEST_F(StockInReturnTest, OnlyPostedVouchersAreOfferedAndPurchasesOnlyThisMonth)
{
    const qint64 february =
        stockIn(StockInKind::Purchase, QDate(2026, 2, 20), {{"1001", "1", "1"}});
    const qint64 march = stockIn(StockInKind::Purchase, QDate(2026, 3, 2), {{"1001", "1", "1"}});
    stockIn(StockInKind::Purchase, QDate(2026, 3, 3), {{"1001", "1", "1"}}, false);
    const qint64 direct = stockIn(StockInKind::Purchase, QDate(2026, 3, 4), {{"1001", "1", "1"}});
    set.db().exec(QStringLiteral("UPDATE RKD SET CKID = 9 WHERE XTBH = ?"), {direct});
    const qint64 oldTransfer =
        stockIn(StockInKind::TransferIn, QDate(2026, 2, 3), {{"1001", "1", "1"}});
    stockIn(StockInKind::TransferIn, QDate(2026, 3, 3), {{"1001", "1", "1"}}, false);
    // A posted mirror line with negated figures is nothing to return.
    set.db().exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, ZL, CLBH, SJDJ, "
                                 "SJSL, SJJE, JZBZ) VALUES (90, '冲帐', '1', '2026-03-05', "
                                 "'调拨入库', '1001', 10000, -10000, -10000, 1)"));

    const auto numbers = [](const QList<StockInListRow> &rows) {
        QList<qint64> xtbhs;
        for (const StockInListRow &r : rows)
            xtbhs.append(r.xtbh);
        return xtbhs;
    };
    StockInReturns purchase = returns();
    EXPECT_EQ(numbers(purchase.offerableStockIns()), QList<qint64>({march}));
    EXPECT_EQ(numbers(returns(StockInKind::TransferIn).offerableStockIns()),
              QList<qint64>({oldTransfer}));
    EXPECT_TRUE(returns(StockInKind::Provisional).offerableStockIns().isEmpty());

    EXPECT_EQ(refusalOf([&] { purchase.draft(february, QDate(2026, 3, 10)); }),
              QStringLiteral("该入库单不能做退货，请另选单据！"));
    EXPECT_EQ(refusalOf([&] { purchase.draft(oldTransfer, QDate(2026, 3, 10)); }),
              QStringLiteral("该入库单不能做退货，请另选单据！"));
    const StockInReturnVoucher v = purchase.draft(march, QDate(2026, 3, 10));
    EXPECT_EQ(v.ysbh, QStringLiteral("RK-2026-03-02"));
    EXPECT_EQ(v.gysmc, QStringLiteral("钢材公司"));
    EXPECT_EQ(v.zph, QStringLiteral("ZP1"));
    ASSERT_EQ(v.lines.size(), 1);
    EXPECT_FALSE(v.lines.at(0).isReturned());
}

TEST_F(StockInReturnTest, AReturnNeverExceedsWhatIsLeftOfTheLine)
{
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2),
                              {{"1001", "10", "25"}, {"1002", "5", "5"}});
    StockInReturns r = returns();
    const qint64 first = r.saveNew(draft(r, in, {"4"}));

    // The unposted return of 4 counts already.
    StockInReturnVoucher v = draft(r, in, {"6.5"});
    EXPECT_EQ(v.lines.at(0).returnedBefore, dec("4"));
    EXPECT_EQ(refusalOf([&] { r.saveNew(v); }), QStringLiteral("退货数量不允许大于入库数量！"));
    v.lines[0].quantity = dec("6");
    const qint64 second = r.saveNew(v);
    EXPECT_EQ(count(QStringLiteral("SELECT SUM(THSL) FROM THD")), 100000);

    // Editing the first return counts its own stored line once, not twice.
    StockInReturnVoucher edit = *r.load(first);
    EXPECT_EQ(edit.lines.at(0).returnedBefore, dec("6"));
    EXPECT_NO_THROW(r.saveEdit(edit));
    edit.lines[0].quantity = dec("4.01");
    EXPECT_EQ(refusalOf([&] { r.saveEdit(edit); }), QStringLiteral("退货数量不允许大于入库数量！"));

    // Two lines of one voucher against the same stock-in line add up.
    r.remove(second);
    StockInReturnVoucher twice = draft(r, in, {"3"});
    twice.lines.append(twice.lines.at(0));
    twice.lines.last().quantity = dec("3.5");
    EXPECT_EQ(refusalOf([&] { r.saveNew(twice); }), QStringLiteral("退货数量不允许大于入库数量！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 1);
}

TEST_F(StockInReturnTest, SavingWritesTheLineAndMarksTheStockInLine)
{
    const qint64 in = stockIn(StockInKind::Provisional, QDate(2026, 3, 2),
                              {{"1001", "3", "10"}, {"1002", "5", "5"}});
    StockInReturns r = returns(StockInKind::Provisional);
    const QList<StockInReturnLine> offered = r.linesForReturn(in);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered.at(0).price, dec("3.33"));

    // A refused save gathers its messages and writes nothing.
    StockInReturnVoucher none = draft(r, in, {}, QDate(2026, 1, 31));
    EXPECT_EQ(refusalOf([&] { r.saveNew(none); }),
              QStringLiteral("操作时间不允许小于月结时间！\n请输入数据!"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 0);

    StockInReturnVoucher v = draft(r, in, {"3"});
    v.thdjh = QStringLiteral("2026-03-10 - 1001");
    const qint64 xtbh = r.saveNew(v);
    QSqlQuery q = set.db().exec(QStringLiteral(
        "SELECT XTBH, YSBH, THDJH, GYSBH, CZRQ, ZL, FPBH, CLBH, THSL, RKID, THJE, THDJ, JZBZ "
        "FROM THD"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), xtbh);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("RK-2026-03-02"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("2026-03-10 - 1001"));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("1"));
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("2026-03-10"));
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("暂估退货"));
    EXPECT_EQ(q.value(6).toString(), QStringLiteral("FP1"));
    EXPECT_EQ(q.value(7).toString(), QStringLiteral("1001"));
    EXPECT_EQ(Decimal::fromVariant(q.value(8)), dec("3"));
    EXPECT_EQ(q.value(9).toLongLong(), offered.at(0).rkid);
    // The amount is quantity × the stock-in price, what the supplier credits.
    EXPECT_EQ(Decimal::fromVariant(q.value(10)), dec("9.99"));
    EXPECT_EQ(Decimal::fromVariant(q.value(11)), dec("3.33"));
    EXPECT_EQ(q.value(12).toInt(), 0);
    EXPECT_FALSE(q.next());
    EXPECT_TRUE(returnMark(offered.at(0).rkid));
    EXPECT_FALSE(returnMark(offered.at(1).rkid));

    // Lines of another voucher or kind never slip in.
    const qint64 other = stockIn(StockInKind::Purchase, QDate(2026, 3, 3), {{"1003", "1", "1"}});
    StockInReturnVoucher mixed = draft(r, in, {"", "1"});
    mixed.lines[0].rkid = returns().linesForReturn(other).at(0).rkid;
    mixed.lines[0].quantity = dec("1");
    EXPECT_EQ(refusalOf([&] { r.saveNew(mixed); }), QStringLiteral("1行入库记录不能退货!"));
}

TEST_F(StockInReturnTest, AnEditStoresExactlyWhatTheGridShows)
{
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2),
                              {{"1001", "10", "20"}, {"1002", "10", "10"}, {"1003", "10", "30"}});
    StockInReturns r = returns();
    const qint64 xtbh = r.saveNew(draft(r, in, {"2", "1"}));
    StockInReturnVoucher v = *r.load(xtbh);
    ASSERT_EQ(v.lines.size(), 3);
    EXPECT_EQ(v.stockInXtbh, in);
    const qint64 keptId = v.lines.at(0).id;
    const qint64 droppedRkid = v.lines.at(1).rkid;
    const qint64 addedRkid = v.lines.at(2).rkid;
    EXPECT_EQ(v.lines.at(2).id, 0);

    v.lines[0].quantity = dec("3");
    v.lines[1].quantity = Decimal();
    v.lines[2].quantity = dec("1.5");
    v.czrq = QDate(2026, 3, 9);
    v.thdjh = QStringLiteral("手改'单号");
    r.saveEdit(v);

    QSqlQuery q = set.db().exec(
        QStringLiteral("SELECT ID, RKID, THSL, THJE, CZRQ, THDJH FROM THD ORDER BY ID"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), keptId);
    EXPECT_EQ(Decimal::fromVariant(q.value(2)), dec("3"));
    EXPECT_EQ(Decimal::fromVariant(q.value(3)), dec("6"));
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("2026-03-09"));
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("手改'单号"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(1).toLongLong(), addedRkid);
    EXPECT_EQ(Decimal::fromVariant(q.value(3)), dec("4.5"));
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("2026-03-09"));
    EXPECT_FALSE(q.next());
    q.finish();
    EXPECT_FALSE(returnMark(droppedRkid));
    EXPECT_TRUE(returnMark(addedRkid));

    // A refused edit changes nothing.
    StockInReturnVoucher refused = *r.load(xtbh);
    refused.lines[0].quantity = dec("11");
    refused.lines[2].quantity = Decimal();
    EXPECT_EQ(refusalOf([&] { r.saveEdit(refused); }),
              QStringLiteral("退货数量不允许大于入库数量！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 2);

    // Emptying every line is refused rather than leaving a voucher without lines.
    for (StockInReturnLine &l : refused.lines)
        l.quantity = Decimal();
    EXPECT_EQ(refusalOf([&] { r.saveEdit(refused); }), QStringLiteral("请输入数据!"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 2);
}

TEST_F(StockInReturnTest, DeletingAReturnUnlessItIsPosted)
{
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2), {{"1001", "10", "20"}});
    StockInReturns r = returns();
    const qint64 first = r.saveNew(draft(r, in, {"2"}));
    const qint64 second = r.saveNew(draft(r, in, {"3"}));
    const qint64 rkid = r.load(first)->lines.at(0).rkid;

    // The mark stays while any return still names the line.
    r.remove(first);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = ?"), {first}), 0);
    EXPECT_TRUE(returnMark(rkid));

    posting().post(Posting::Family::StockInReturn, QStringLiteral("采购退货"), second);
    EXPECT_EQ(refusalOf([&] { r.remove(second); }),
              QStringLiteral("该票据已经记账，请做冲帐处理！"));
    StockInReturnVoucher posted = *r.load(second);
    EXPECT_TRUE(posted.posted);
    EXPECT_EQ(refusalOf([&] { r.saveEdit(posted); }),
              QStringLiteral("该单据已经记账，不允许修改！"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 1);

    // The posted return leaves the books whole: 10 at 2 less 3 at 2.
    const test::LedgerSeed::Stock kc = test::LedgerSeed(set.db()).kc(QStringLiteral("1001"));
    EXPECT_EQ(kc.quantity, dec("7"));
    EXPECT_EQ(kc.amount, dec("14"));
    test::expectBooksBalance(set.db(), m_mode, Formats());

    r.saveNew(draft(r, in, {"1"}));
    const qint64 unposted = r.nextSystemNumber() - 1;
    r.remove(unposted);
    EXPECT_TRUE(returnMark(rkid));
    EXPECT_EQ(refusalOf([&] { r.remove(unposted); }),
              QStringLiteral("该票据不存在，可能已被删除！"));
}

TEST_F(StockInReturnTest, UnderFifoALineAnIssueDrewOnCannotBeReturned)
{
    m_mode = 1;
    set.setMode(1);
    set.addUnit(QStringLiteral("U1"), QStringLiteral("一队"));
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2),
                              {{"1001", "10", "20"}, {"1002", "10", "10"}});
    StockInReturns r = returns();
    // A draft begun before the issue is refused when saved after it.
    StockInReturnVoucher early = draft(r, in, {"", "1"});

    test::LedgerSeed seed(set.db());
    seed.issue(70, QStringLiteral("1001"), dec("4"));
    posting().post(Posting::Family::Issue, QStringLiteral("1"), 70);

    const QString message = QStringLiteral("材料已做过出库,不能做退货,请先做退库");
    EXPECT_EQ(refusalOf([&] { r.linesForReturn(in); }), message);
    early.lines[0].quantity = dec("1");
    EXPECT_EQ(refusalOf([&] { r.saveNew(early); }), message);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM THD")), 0);

    // A line nothing was drawn from may still go back, and posts cleanly.
    early.lines[0].quantity = Decimal();
    const qint64 xtbh = r.saveNew(early);
    posting().post(Posting::Family::StockInReturn, QStringLiteral("采购退货"), xtbh);
    EXPECT_EQ(seed.kc(QStringLiteral("1002")).quantity, dec("9"));
    test::expectBooksBalance(set.db(), 1, Formats());
}

TEST_F(StockInReturnTest, TextWithQuotesAndChineseAndTheFinder)
{
    set.addSupplier(QStringLiteral("O'5"), QStringLiteral("\"钢\"铁'厂"));
    const qint64 in =
        stockIn(StockInKind::ClientSupplied, QDate(2026, 3, 2), {{"1001", "10", "20"}});
    set.db().exec(QStringLiteral("UPDATE RKD SET GYSBH = ?, FPBH = ?, YSDJH = ?"),
                  {QStringLiteral("O'5"), QStringLiteral("发票'; DROP TABLE THD; --"),
                   QStringLiteral("单号\"1\"")});
    StockInReturns r = returns(StockInKind::ClientSupplied);
    StockInReturnVoucher v = draft(r, in, {"1"});
    v.thdjh = QStringLiteral("退'货\"1 100%_");
    const qint64 xtbh = r.saveNew(v);

    const StockInReturnVoucher out = *r.load(xtbh);
    EXPECT_EQ(out.gysbh, QStringLiteral("O'5"));
    EXPECT_EQ(out.gysmc, QStringLiteral("\"钢\"铁'厂"));
    EXPECT_EQ(out.fpbh, QStringLiteral("发票'; DROP TABLE THD; --"));
    EXPECT_EQ(out.ysbh, QStringLiteral("单号\"1\""));
    EXPECT_EQ(out.thdjh, v.thdjh);
    EXPECT_EQ(out.lines.at(0).clmc, QStringLiteral("螺纹钢"));

    ASSERT_EQ(r.currentMonth().size(), 1);
    EXPECT_EQ(r.currentMonth().at(0).ysbh, out.ysbh);
    EXPECT_EQ(r.currentMonth().at(0).zph, QStringLiteral("ZP1"));
    EXPECT_TRUE(returns().currentMonth().isEmpty());
    StockInReturnConditions c;
    c.gysbh = QStringLiteral("O'5");
    c.thdjh = v.thdjh;
    c.from = QDate(2026, 3, 10);
    c.to = QDate(2026, 3, 10);
    EXPECT_EQ(r.find(c).size(), 1);
    c.clbh = QStringLiteral("1002");
    EXPECT_TRUE(r.find(c).isEmpty());
    EXPECT_EQ(r.finderStart(), QDate(2026, 1, 31));
    Clock::setToday(QDate(2026, 4, 2));
    EXPECT_TRUE(r.currentMonth().isEmpty());
}

TEST_F(StockInReturnTest, TheGridTakesOnlyAReturnQuantityAndFollowsItWithTheAmount)
{
    const qint64 in = stockIn(StockInKind::Purchase, QDate(2026, 3, 2), {{"1001", "4", "10"}});
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET JHDJ = 30000 WHERE CLBH = '1001'"));
    StockInReturns r = returns();
    StockInReturnLineModel model(r);
    model.setLines(r.linesForReturn(in));
    const QModelIndex quantity = model.index(0, StockInReturnLineModel::Quantity);
    EXPECT_FALSE(model.setData(quantity, QStringLiteral("1")));
    model.setEditable(true);
    EXPECT_FALSE(model.flags(model.index(0, StockInReturnLineModel::Amount)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(quantity, QStringLiteral("1a")));
    EXPECT_FALSE(model.setData(quantity, QStringLiteral("-1")));
    ASSERT_TRUE(model.setData(quantity, QStringLiteral("1.5")));
    EXPECT_EQ(model.index(0, StockInReturnLineModel::Amount).data().toString(),
              QStringLiteral("3.75"));
    EXPECT_EQ(model.index(0, StockInReturnLineModel::PlannedAmount).data().toString(),
              QStringLiteral("4.50"));
    ASSERT_TRUE(model.setData(quantity, QString()));
    EXPECT_TRUE(model.index(0, StockInReturnLineModel::Amount).data().toString().isEmpty());
    EXPECT_FALSE(model.line(0).isReturned());
}

} // namespace
