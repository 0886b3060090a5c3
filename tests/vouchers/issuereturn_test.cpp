#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/issuereturns.h"

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

struct StoredReturn
{
    qint64 xtbh = 0;
    qint64 llid = 0;
    QString thdjh;
    QString ysbh;
    QString lldwbh;
    QString czrq;
    QString zl;
    Decimal thdj;
    Decimal thsl;
    Decimal thje;
};

class IssueReturnTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.addMaterial(QStringLiteral("1001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1002"), QStringLiteral("水泥"));
        db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-02-28')"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    IssueReturns returns(int mode = 2, const QString &zl = QStringLiteral("1"))
    {
        return IssueReturns(db(), zl, mode, Formats());
    }

    // A posted requisition of one line per (material, quantity, price) under moving average
    // prices; under first in first out the posting prices it.
    QList<qint64>
    postedIssue(qint64 xtbh,
                const QList<std::tuple<QString, const char *, const char *, const char *>> &lines,
                int mode = 2)
    {
        QList<qint64> ids;
        for (const auto &[clbh, quantity, price, amount] : lines)
            ids.append(seed.issue(xtbh, clbh, dec(quantity), dec(price), dec(amount)));
        Posting(db(), mode, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), xtbh);
        return ids;
    }

    QList<StoredReturn> stored()
    {
        QSqlQuery q = db().exec(QStringLiteral("SELECT XTBH, LLID, THDJH, YSBH, LLDWBH, CZRQ, ZL, "
                                               "THDJ, THSL, THJE FROM TKD ORDER BY ID"));
        QList<StoredReturn> rows;
        while (q.next()) {
            rows.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                         q.value(3).toString(), q.value(4).toString(), q.value(5).toString(),
                         q.value(6).toString(), Decimal::fromVariant(q.value(7)),
                         Decimal::fromVariant(q.value(8)), Decimal::fromVariant(q.value(9))});
        }
        return rows;
    }
    bool marked(qint64 llid)
    {
        return db().scalar(QStringLiteral("SELECT THBZ FROM LLD WHERE ID = ?"), {llid}).toInt() !=
               0;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed{set.db()};
};

TEST_F(IssueReturnTest, NumbersRunOnFromTheGreatestOnes)
{
    IssueReturns r = returns();
    EXPECT_EQ(r.nextSystemNumber(), 1);
    EXPECT_EQ(r.proposeDocumentNumber(), QStringLiteral("2026-03-10  1001"));

    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    postedIssue(1, {{QStringLiteral("1001"), "4", "2", "8"}});
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    EXPECT_EQ(v.thdjh, QStringLiteral("2026-03-10  1001"));
    ASSERT_TRUE(r.setQuantityOf(v, QStringLiteral("1001"), dec("1")));
    EXPECT_EQ(r.saveNew(v), 1);
    EXPECT_EQ(r.nextSystemNumber(), 2);
    // One blank from the second number on, as the store has always numbered them.
    EXPECT_EQ(r.proposeDocumentNumber(), QStringLiteral("2026-03-10 1002"));
    // System numbers run across both kinds.
    EXPECT_EQ(returns(2, QStringLiteral("2")).nextSystemNumber(), 2);
    // A number that does not end in digits starts again.
    db().exec(QStringLiteral("UPDATE TKD SET THDJH = '手工单号'"));
    EXPECT_EQ(r.proposeDocumentNumber(), QStringLiteral("2026-03-10  1001"));
}

TEST_F(IssueReturnTest, ALineTakesBackNoMoreThanIssuedLessEveryEarlierReturn)
{
    seed.opening(QStringLiteral("1001"), dec("20"), dec("40"));
    const qint64 llid = postedIssue(1, {{QStringLiteral("1001"), "10", "2", "20"}}).first();
    // 3 returned and posted, 1 entered but not posted: both count.
    seed.issueReturn(7, llid, QStringLiteral("1001"), dec("3"), dec("2"), dec("6"));
    seed.post(QStringLiteral("TKD"), 7);
    seed.issueReturn(8, llid, QStringLiteral("1001"), dec("1"), dec("2"), dec("2"));

    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    ASSERT_EQ(v.lines.size(), 1);
    EXPECT_EQ(v.lines.at(0).returnedBefore, dec("4"));
    EXPECT_EQ(v.lines.at(0).issuedQuantity, dec("10"));
    EXPECT_EQ(v.ysbh, QStringLiteral("L1"));
    EXPECT_EQ(v.lldwmc, QStringLiteral("一工区"));

    r.setQuantity(v.lines[0], dec("7"));
    EXPECT_EQ(refusalOf([&] { r.saveNew(v); }), QStringLiteral("已经超过数量，请仔细输入"));
    EXPECT_EQ(stored().size(), 2);

    // The grid clears an over-return and says so; 6 fits exactly.
    IssueReturnLineModel model(r);
    model.setLines(v.lines);
    EXPECT_FALSE(
        model.setData(model.index(0, IssueReturnLineModel::Quantity), QStringLiteral("6")));
    model.setEditable(true);
    int overReturns = 0;
    QObject::connect(&model, &IssueReturnLineModel::overReturn, [&](int row) {
        EXPECT_EQ(row, 0);
        ++overReturns;
    });
    EXPECT_FALSE(model.setData(model.index(0, IssueReturnLineModel::Price), QStringLiteral("1")));
    EXPECT_FALSE(
        model.setData(model.index(0, IssueReturnLineModel::Quantity), QStringLiteral("x")));
    EXPECT_TRUE(model.setData(model.index(0, IssueReturnLineModel::Quantity), QStringLiteral("7")));
    EXPECT_EQ(overReturns, 1);
    EXPECT_FALSE(model.line(0).isReturned());
    EXPECT_EQ(model.index(0, IssueReturnLineModel::Quantity).data().toString(), QString());
    EXPECT_TRUE(model.setData(model.index(0, IssueReturnLineModel::Quantity), QStringLiteral("6")));
    EXPECT_EQ(overReturns, 1);
    EXPECT_EQ(model.index(0, IssueReturnLineModel::Amount).data().toString(),
              QStringLiteral("12.00"));

    v.lines = model.lines();
    const qint64 xtbh = r.saveNew(v);
    const QList<StoredReturn> rows = stored();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(2).xtbh, xtbh);
    EXPECT_EQ(rows.at(2).llid, llid);
    EXPECT_EQ(rows.at(2).ysbh, QStringLiteral("L1"));
    EXPECT_EQ(rows.at(2).lldwbh, QStringLiteral("U1"));
    EXPECT_EQ(rows.at(2).zl, QStringLiteral("1"));
    EXPECT_EQ(rows.at(2).czrq, QStringLiteral("2026-03-10"));
    EXPECT_EQ(rows.at(2).thsl, dec("6"));
    EXPECT_EQ(rows.at(2).thje, dec("12"));
    EXPECT_TRUE(marked(llid));

    // Nothing left to return now, not even a little.
    IssueReturnVoucher more = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(more.lines[0], dec("0.01"));
    EXPECT_EQ(refusalOf([&] { r.saveNew(more); }), QStringLiteral("已经超过数量，请仔细输入"));
}

TEST_F(IssueReturnTest, RefusalsOnTheClosingDayForEmptyReturnsAndForForeignLines)
{
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    const qint64 llid = postedIssue(1, {{QStringLiteral("1001"), "5", "2", "10"}}).first();
    IssueReturns r = returns();

    IssueReturnVoucher v = r.draft(1, QDate(2026, 2, 28));
    EXPECT_EQ(refusalOf([&] { r.saveNew(v); }),
              QStringLiteral("操作日期应大于月结时间，请选择其他日期！"));
    v.czrq = QDate(2026, 3, 1);
    EXPECT_EQ(refusalOf([&] { r.saveNew(v); }), QStringLiteral("所有数据输入有误，没有保存！"));
    r.setQuantity(v.lines[0], dec("0"));
    EXPECT_EQ(refusalOf([&] { r.saveNew(v); }), QStringLiteral("所有数据输入有误，没有保存！"));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_FALSE(marked(llid));

    r.setQuantity(v.lines[0], dec("2"));
    const qint64 xtbh = r.saveNew(v);
    IssueReturnVoucher edit = *r.load(xtbh);
    edit.czrq = QDate(2026, 2, 28);
    EXPECT_EQ(refusalOf([&] { r.saveEdit(edit); }), QStringLiteral("操作时间不允许小于月结时间！"));
    EXPECT_EQ(stored().at(0).czrq, QStringLiteral("2026-03-01"));

    // Unposted, transfer-out and unknown issue lines give nothing back.
    seed.issue(2, QStringLiteral("1001"), dec("1"), dec("2"), dec("2"));
    EXPECT_EQ(refusalOf([&] { r.draft(2, QDate(2026, 3, 10)); }),
              QStringLiteral("该出库单未记账或已冲帐，不能退货！"));
    EXPECT_FALSE(
        refusalOf([&] { returns(2, QStringLiteral("2")).draft(1, QDate(2026, 3, 10)); }).isEmpty());
    IssueReturnVoucher forged = r.draft(1, QDate(2026, 3, 10));
    forged.lines[0].llid = 999;
    forged.lines[0].quantity = dec("1");
    EXPECT_EQ(refusalOf([&] { r.saveNew(forged); }), QStringLiteral("第1行的出库记录不能退货！"));
    EXPECT_EQ(stored().size(), 1);
}

TEST_F(IssueReturnTest, ChooserOffersPostedIssuesOfTheKindOnly)
{
    seed.opening(QStringLiteral("1001"), dec("100"), dec("200"));
    postedIssue(1, {{QStringLiteral("1001"), "5", "2", "10"}});
    seed.issue(2, QStringLiteral("1001"), dec("1"), dec("2"), dec("2")); // not posted
    const qint64 direct = seed.issue(3, QStringLiteral("1001"), dec("1"), dec("2"), dec("2"));
    db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 1, JZBZ = 1 WHERE ID = ?"), {direct});
    const qint64 reversed = postedIssue(4, {{QStringLiteral("1001"), "2", "2", "4"}}).first();
    seed.reverseIssueLine(reversed, 2);
    const qint64 transfer = seed.issue(6, QStringLiteral("1001"), dec("1"), dec("2"), dec("2"));
    db().exec(QStringLiteral("UPDATE LLD SET ZL = '2', JZBZ = 1, SGBW = '三号楼' WHERE ID = ?"),
              {transfer});

    const QList<ReturnableIssueRow> rows = returns().returnableIssues();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).xtbh, 1);
    EXPECT_EQ(rows.at(0).ysdjh, QStringLiteral("L1"));
    EXPECT_EQ(rows.at(0).lldwmc, QStringLiteral("一工区"));
    EXPECT_EQ(rows.at(0).czrq, QDate(2026, 1, 15));

    IssueReturns transfers = returns(2, QStringLiteral("2"));
    ASSERT_EQ(transfers.returnableIssues().size(), 1);
    ReturnableIssueConditions c;
    c.from = QDate(2026, 1, 1);
    c.to = QDate(2026, 1, 31);
    c.sgbw = QStringLiteral("三号楼");
    EXPECT_EQ(transfers.findReturnableIssues(c).size(), 1);
    c.sgbw = QStringLiteral("三号楼' OR '1'='1");
    EXPECT_TRUE(transfers.findReturnableIssues(c).isEmpty());
    c.sgbw.clear();
    c.to = QDate(2026, 1, 14);
    EXPECT_TRUE(transfers.findReturnableIssues(c).isEmpty());
}

TEST_F(IssueReturnTest, AnEditStoresExactlyTheGridAndKeepsTheMarksTrue)
{
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    seed.opening(QStringLiteral("1002"), dec("10"), dec("30"));
    const QList<qint64> ids = postedIssue(
        1, {{QStringLiteral("1001"), "5", "2", "10"}, {QStringLiteral("1002"), "4", "3", "12"}});
    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(v.lines[0], dec("2"));
    const qint64 xtbh = r.saveNew(v);
    EXPECT_TRUE(marked(ids.at(0)));
    EXPECT_FALSE(marked(ids.at(1)));

    // Loaded with both lines of the issue voucher, the stored one filled.
    IssueReturnVoucher edit = *r.load(xtbh);
    ASSERT_EQ(edit.lines.size(), 2);
    EXPECT_NE(edit.lines.at(0).id, 0);
    EXPECT_EQ(edit.lines.at(0).quantity, dec("2"));
    EXPECT_EQ(edit.lines.at(0).returnedBefore, dec("0"));
    EXPECT_EQ(edit.lines.at(1).id, 0);
    EXPECT_EQ(edit.issueXtbh, 1);

    // The first line emptied, the second one returned.
    r.setQuantity(edit.lines[0], Decimal());
    r.setQuantity(edit.lines[1], dec("4"));
    edit.thdjh = QStringLiteral("手改 2");
    r.saveEdit(edit);
    QList<StoredReturn> rows = stored();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).llid, ids.at(1));
    EXPECT_EQ(rows.at(0).xtbh, xtbh);
    EXPECT_EQ(rows.at(0).thje, dec("12"));
    EXPECT_EQ(rows.at(0).thdjh, QStringLiteral("手改 2"));
    EXPECT_FALSE(marked(ids.at(0)));
    EXPECT_TRUE(marked(ids.at(1)));

    // A mark another return still needs stays when this voucher lets go of the line.
    IssueReturnVoucher other = r.draft(1, QDate(2026, 3, 10));
    EXPECT_EQ(other.lines.at(1).returnedBefore, dec("4"));
    r.setQuantity(other.lines[0], dec("1"));
    const qint64 second = r.saveNew(other);
    edit = *r.load(xtbh);
    r.setQuantity(edit.lines[0], dec("1"));
    r.setQuantity(edit.lines[1], Decimal());
    r.saveEdit(edit);
    EXPECT_TRUE(marked(ids.at(0)));
    EXPECT_FALSE(marked(ids.at(1)));
    // An edit that would return nothing at all is refused, not saved as an empty voucher.
    edit = *r.load(xtbh);
    r.setQuantity(edit.lines[0], Decimal());
    EXPECT_EQ(refusalOf([&] { r.saveEdit(edit); }), QStringLiteral("所有数据输入有误，没有保存！"));

    // Deleting clears only the marks no other return needs.
    r.remove(second);
    EXPECT_TRUE(marked(ids.at(0)));
    r.remove(xtbh);
    EXPECT_FALSE(marked(ids.at(0)));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(IssueReturnTest, AnEditCountsItsOwnLineOnlyOnce)
{
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    postedIssue(1, {{QStringLiteral("1001"), "3", "3.33", "9.99"}});
    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(v.lines[0], dec("2"));
    const qint64 xtbh = r.saveNew(v);

    // 2 stored on this voucher, 3 issued: raising it to 3 is the whole line, not 5.
    IssueReturnVoucher edit = *r.load(xtbh);
    EXPECT_EQ(edit.lines.at(0).returnedBefore, dec("0"));
    r.setQuantity(edit.lines[0], dec("3"));
    EXPECT_NO_THROW(r.saveEdit(edit));
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().at(0).thsl, dec("3"));
    EXPECT_EQ(stored().at(0).thje, dec("9.99"));
    edit = *r.load(xtbh);
    r.setQuantity(edit.lines[0], dec("3.01"));
    EXPECT_EQ(refusalOf([&] { r.saveEdit(edit); }), QStringLiteral("已经超过数量，请仔细输入"));
}

TEST_F(IssueReturnTest, APostedReturnCanNeitherBeEditedNorDeleted)
{
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    const qint64 llid = postedIssue(1, {{QStringLiteral("1001"), "5", "2", "10"}}).first();
    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(v.lines[0], dec("2"));
    const qint64 xtbh = r.saveNew(v);
    r.postNow(xtbh);
    EXPECT_TRUE(r.isPosted(xtbh));
    EXPECT_TRUE(r.load(xtbh)->posted);

    EXPECT_EQ(refusalOf([&] { r.remove(xtbh); }), QStringLiteral("已记账，本单据不允许删除！"));
    IssueReturnVoucher edit = *r.load(xtbh);
    r.setQuantity(edit.lines[0], dec("1"));
    EXPECT_EQ(refusalOf([&] { r.saveEdit(edit); }), QStringLiteral("已记账，本单据不允许修改！"));
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().at(0).thsl, dec("2"));
    EXPECT_TRUE(marked(llid));
    // Posting twice is refused by the posting itself.
    EXPECT_FALSE(refusalOf([&] { r.postNow(xtbh); }).isEmpty());
}

TEST_F(IssueReturnTest, AWholeLineComesBackAtExactlyItsIssuedAmount)
{
    // The emptying issue took the rounding rest: 3 at 3.33 cost 10.00.
    seed.opening(QStringLiteral("1001"), dec("3"), dec("10"));
    const qint64 llid = postedIssue(1, {{QStringLiteral("1001"), "3", "3.33", "9.99"}}).first();
    ASSERT_EQ(seed.issueAmount(llid), dec("10"));
    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    EXPECT_EQ(v.lines.at(0).price, dec("3.33"));
    r.setQuantity(v.lines[0], dec("1"));
    EXPECT_EQ(v.lines.at(0).amount, dec("3.33"));
    r.postNow(r.saveNew(v));

    IssueReturnVoucher rest = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(rest.lines[0], dec("2"));
    EXPECT_EQ(rest.lines.at(0).amount, dec("6.67"));
    r.postNow(r.saveNew(rest));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("3"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, dec("10"));
    test::expectBooksBalance(db(), 2, Formats());
}

TEST_F(IssueReturnTest, FindersListThisKindsReturns)
{
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    postedIssue(1, {{QStringLiteral("1001"), "5", "2", "10"}});
    IssueReturns r = returns();
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    r.setQuantity(v.lines[0], dec("1"));
    const qint64 xtbh = r.saveNew(v);
    seed.issueReturn(9, 999, QStringLiteral("1001"), dec("1"), dec("2"), dec("2"));
    db().exec(QStringLiteral("UPDATE TKD SET ZL = '2', CZRQ = '2026-03-05' WHERE XTBH = 9"));

    const QList<IssueReturnListRow> month = r.currentMonth();
    ASSERT_EQ(month.size(), 1);
    EXPECT_EQ(month.at(0).xtbh, xtbh);
    EXPECT_EQ(month.at(0).thdjh, QStringLiteral("2026-03-10  1001"));
    EXPECT_EQ(month.at(0).lldwmc, QStringLiteral("一工区"));
    EXPECT_FALSE(month.at(0).posted);

    IssueReturnConditions c;
    c.from = QDate(2026, 3, 10);
    c.to = QDate(2026, 3, 10);
    c.ysbh = QStringLiteral("L1");
    EXPECT_EQ(r.find(c).size(), 1);
    c.clbh = QStringLiteral("1002");
    EXPECT_TRUE(r.find(c).isEmpty());
    EXPECT_EQ(returns(2, QStringLiteral("2")).currentMonth().size(), 1);
    EXPECT_EQ(r.finderStart(), QDate(2026, 2, 28));
}

// Both costing methods: the return comes back at what the issue line cost.
class IssueReturnPostingTest : public IssueReturnTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(IssueReturnPostingTest, AReturnIsPricedAtTheIssueCostAndTheBooksBalance)
{
    const int mode = GetParam();
    set.setMode(mode);
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    const qint64 rkid = seed.receipt(1, QStringLiteral("1001"), dec("10"), dec("30"));
    Posting(db(), mode, Formats()).post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
    ASSERT_NE(rkid, 0);
    // Moving average: 2.5 a piece. First in first out: 10 at 2 and 5 at 3, 35 in all.
    const CostEngine::IssuePrice price =
        CostEngine(db(), mode, Formats()).priceIssueLine(QStringLiteral("1001"), dec("15"));
    const qint64 llid =
        mode == CostEngine::FirstInFirstOut
            ? postedIssue(1, {{QStringLiteral("1001"), "15", "0", "0"}}, mode).first()
            : postedIssue(1, {{QStringLiteral("1001"), "15", "2.5", "37.5"}}, mode).first();
    const Decimal issued = seed.issueAmount(llid);
    EXPECT_EQ(issued, mode == CostEngine::FirstInFirstOut ? dec("35") : price.amount);

    IssueReturns r = returns(mode);
    IssueReturnVoucher v = r.draft(1, QDate(2026, 3, 10));
    ASSERT_EQ(v.lines.size(), 1);
    EXPECT_EQ(v.lines.at(0).price, mode == CostEngine::FirstInFirstOut ? dec("2.33") : dec("2.5"));
    r.setQuantity(v.lines[0], dec("5"));
    const Decimal first = mode == CostEngine::FirstInFirstOut ? dec("11.67") : dec("12.5");
    EXPECT_EQ(v.lines.at(0).amount, first);
    const qint64 xtbh = r.saveNew(v);
    const test::LedgerSeed::Stock before = seed.kc(QStringLiteral("1001"));
    r.postNow(xtbh);
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, before.quantity + dec("5"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, before.amount + first);
    EXPECT_TRUE(r.isPosted(xtbh));
    test::expectBooksBalance(db(), mode, Formats());

    // The rest of the line comes back at the rest of its cost: stock is whole again.
    IssueReturnVoucher rest = r.draft(1, QDate(2026, 3, 11));
    r.setQuantity(rest.lines[0], dec("10"));
    EXPECT_EQ(rest.lines.at(0).amount, issued - first);
    r.postNow(r.saveNew(rest));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("20"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, dec("50"));
    test::expectBooksBalance(db(), mode, Formats());

    // The returned goods can go out again.
    seed.issue(2, QStringLiteral("1001"), dec("20"), dec("2.5"), dec("50"));
    Posting(db(), mode, Formats()).post(Posting::Family::Issue, QStringLiteral("1"), 2);
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).quantity, dec("0"));
    EXPECT_EQ(seed.kc(QStringLiteral("1001")).amount, dec("0"));
    test::expectBooksBalance(db(), mode, Formats());
}

INSTANTIATE_TEST_SUITE_P(BothModes, IssueReturnPostingTest,
                         ::testing::Values(CostEngine::FirstInFirstOut, CostEngine::MovingAverage),
                         [](const ::testing::TestParamInfo<int> &p) {
                             return p.param == CostEngine::FirstInFirstOut
                                        ? std::string("FirstInFirstOut")
                                        : std::string("MovingAverage");
                         });

} // namespace
