#include "leasing/leasepayments.h"
#include "leasing/leasereturns.h"
#include "leasing/leases.h"
#include "leasing/rentcharge.h"
#include "shell/operators.h"
#include "shell/permissions.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

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

QDate day(int d, int month = 3)
{
    return QDate(2026, month, d);
}

class LeasingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(day(31));
        set.addSupplier(QStringLiteral("1"), QStringLiteral("恒达租赁"));
        set.addSupplier(QStringLiteral("2"), QStringLiteral("宏远模板"));
        set.addSupplier(QStringLiteral("3"), QStringLiteral("未租供应商"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.addMaterial(QStringLiteral("5001"), QStringLiteral("钢管"));
        set.addMaterial(QStringLiteral("5002"), QStringLiteral("扣件"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }

    static LeaseLine line(const char *clbh, const char *quantity, const char *rent,
                          const char *deposit = "0")
    {
        LeaseLine l;
        l.clbh = QString::fromLatin1(clbh);
        l.quantity = dec(quantity);
        l.rent = dec(rent);
        l.deposit = dec(deposit);
        return l;
    }
    LeaseVoucher voucher(const QDate &date, const QList<LeaseLine> &lines,
                         const QString &gysbh = QStringLiteral("1"))
    {
        LeaseVoucher v;
        v.gysbh = gysbh;
        v.lldwbh = QStringLiteral("U1");
        v.czrq = date;
        v.lines = lines;
        return v;
    }
    qint64 lease(const QDate &date, const QList<LeaseLine> &lines,
                 const QString &gysbh = QStringLiteral("1"))
    {
        return leases.saveNew(voucher(date, lines, gysbh));
    }
    // Returns `quantity` of the lease's line of `clbh` on `date`.
    qint64 giveBack(qint64 djbh, const QDate &date,
                    const QList<std::pair<QString, const char *>> &q)
    {
        LeaseReturnVoucher v = *returns.draft(djbh, date);
        for (const auto &[clbh, quantity] : q) {
            for (LeaseReturnLine &l : v.lines) {
                if (l.clbh == clbh && !l.isReturned()) {
                    EXPECT_TRUE(returns.setQuantity(l, dec(quantity), v.rentDays()));
                }
            }
        }
        return returns.saveNew(v);
    }
    QList<RentCharge::Period> periods(const QDate &from, const QDate &to)
    {
        return RentCharge(db()).periods(from, to);
    }

    test::TestAccountSet set;
    Leases leases{set.db(), Formats()};
    LeaseReturns returns{set.db(), Formats()};
    LeasePayments payments{set.db(), Formats()};
};

TEST_F(LeasingTest, RentIsChargedByTheDayCountingBothEnds)
{
    // Ten units at 2 a day from the 1st, charged to the 10th: 10 × 2 × 10.
    lease(day(1), {line("5001", "10", "2")});
    QList<RentCharge::Period> p = periods(day(1), day(10));
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].ts, 10);
    EXPECT_EQ(p[0].je, dec("200"));

    // Leased and returned on one day: one day.
    const qint64 same = lease(day(12), {line("5002", "3", "1.5")});
    giveBack(same, day(12), {{QStringLiteral("5002"), "3"}});
    p = periods(day(12), day(20));
    ASSERT_EQ(p.size(), 1);
    EXPECT_EQ(p[0].clbh, QStringLiteral("5002"));
    EXPECT_EQ(p[0].ksrq, day(12));
    EXPECT_EQ(p[0].jsrq, day(12));
    EXPECT_EQ(p[0].ts, 1);
    EXPECT_EQ(p[0].je, dec("4.5"));
}

TEST_F(LeasingTest, EachReturnStartsANewPeriodWithWhatIsStillOut)
{
    const qint64 djbh = lease(day(1), {line("5001", "10", "0.35")});
    giveBack(djbh, day(5), {{QStringLiteral("5001"), "4"}});
    giveBack(djbh, day(5), {{QStringLiteral("5001"), "1"}}); // the same day: one change
    giveBack(djbh, day(8), {{QStringLiteral("5001"), "2"}});
    const QList<RentCharge::Period> p = periods(day(1), day(10));
    ASSERT_EQ(p.size(), 3);
    // 1st–5th: 10 out for 5 days; 6th–8th: 5 for 3 days; 9th–10th: 3 for 2 days.
    EXPECT_EQ(p[0].jssl, dec("10"));
    EXPECT_EQ(p[0].zjsl, dec("10"));
    EXPECT_EQ(p[0].ts, 5);
    EXPECT_EQ(p[1].ksrq, day(6));
    EXPECT_EQ(p[1].jsrq, day(8));
    EXPECT_EQ(p[1].jssl, dec("5"));
    EXPECT_EQ(p[1].zjsl, dec("-5"));
    EXPECT_EQ(p[2].jssl, dec("3"));
    EXPECT_EQ(p[2].ts, 2);
    // Exact: 17.5 + 5.25 + 2.1.
    EXPECT_EQ(p[0].je + p[1].je + p[2].je, dec("24.85"));

    // Returns after the report's last day are not in it: the line is out to that day.
    const QList<RentCharge::Period> early = periods(day(1), day(3));
    ASSERT_EQ(early.size(), 1);
    EXPECT_EQ(early[0].jssl, dec("10"));
    EXPECT_EQ(early[0].ts, 3);

    // All back: nothing is charged after the last return.
    giveBack(djbh, day(9), {{QStringLiteral("5001"), "3"}});
    const QList<RentCharge::Period> done = periods(day(1), day(31));
    ASSERT_EQ(done.size(), 3);
    EXPECT_EQ(done[2].jsrq, day(9));
}

TEST_F(LeasingTest, TheReportLeavesOutEarlierLeasesWhileThePaymentCountsThemAll)
{
    lease(day(1, 2), {line("5001", "1", "1")}); // February: 28 days to the 28th
    lease(day(1), {line("5001", "10", "2"), line("5002", "4", "0.5")});
    lease(day(2), {line("5002", "1", "1")}, QStringLiteral("2"));

    RentCharge charge(db());
    const ReportTable report = charge.build(ReportPeriod{day(1), day(10)});
    // March's lines only, each material's subtotal after its periods.
    ASSERT_EQ(report.rowCount(), 5);
    const int je = report.columnOf(QStringLiteral("JE"));
    const int name = report.columnOf(QStringLiteral("CLMC"));
    EXPECT_EQ(report.figureAt(0, je), dec("200"));
    EXPECT_EQ(report.style(1), ReportTable::RowStyle::Subtotal);
    EXPECT_EQ(report.textAt(1, name), QStringLiteral("钢管  小计"));
    EXPECT_EQ(report.figureAt(1, je), dec("200"));
    EXPECT_EQ(report.figureAt(4, je), dec("20") + dec("9"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM ZL_TEMP")).toInt(), 5);

    // The payment starts from the earliest lease: February's line is owed too, to the day.
    const LeasePayments::Balance b = payments.balance(QStringLiteral("1"), day(10));
    EXPECT_EQ(b.owed, dec("38") + dec("200") + dec("20"));
    EXPECT_EQ(payments.balance(QStringLiteral("2"), day(10)).owed, dec("9"));
    // A supplier without leases owes nothing.
    EXPECT_EQ(payments.balance(QStringLiteral("3"), day(10)).owed, Decimal());

    EXPECT_EQ(refusalOf([&] { charge.fill(day(10), day(1)); }),
              QStringLiteral("起始时间不允许 大于终止时间!"));
}

TEST_F(LeasingTest, PaymentsAreRefusedBeyondWhatIsLeft)
{
    lease(day(1), {line("5001", "10", "2")}); // 200 by the 10th
    EXPECT_EQ(refusalOf([&] { payments.pay(QStringLiteral("1"), day(10), dec("200.01"), {}); }),
              LeasePayments::WrongAmountText);
    EXPECT_EQ(refusalOf([&] { payments.pay(QStringLiteral("1"), day(10), Decimal(), {}); }),
              LeasePayments::WrongAmountText);
    EXPECT_EQ(refusalOf([&] { payments.pay(QStringLiteral("9"), day(10), dec("1"), {}); }),
              QStringLiteral("请正确选择供应商"));
    const qint64 first =
        payments.pay(QStringLiteral("1"), day(10), dec("150"), QStringLiteral("三月"));
    EXPECT_EQ(payments.balance(QStringLiteral("1"), day(10)).remaining(), dec("50"));
    EXPECT_EQ(refusalOf([&] { payments.pay(QStringLiteral("1"), day(10), dec("60"), {}); }),
              LeasePayments::WrongAmountText);
    // A payment counts from its own day on.
    EXPECT_EQ(payments.balance(QStringLiteral("1"), day(9)).paid, Decimal());

    ASSERT_EQ(payments.list().size(), 1);
    EXPECT_EQ(
        payments.list({{}, QStringLiteral("恒达租赁"), QStringLiteral("三月"), {}, {}}).size(), 1);
    EXPECT_TRUE(payments.list({{}, {}, QStringLiteral("四月"), {}, {}}).isEmpty());
    // Deleted only with the operator's password.
    Operators(db()).add(1, QStringLiteral("管理员"), QString(), QStringLiteral("secret"),
                        Permissions::all());
    EXPECT_EQ(refusalOf([&] { payments.remove(first, 1, QStringLiteral("guess")); }),
              QStringLiteral("密码错误！不允许删除！"));
    EXPECT_EQ(payments.list().size(), 1);
    payments.remove(first, 1, QStringLiteral(" secret "));
    EXPECT_EQ(payments.balance(QStringLiteral("1"), day(10)).remaining(), dec("200"));
    EXPECT_EQ(refusalOf([&] { payments.remove(first, 1, QStringLiteral("secret")); }),
              QStringLiteral("该笔还款不存在！"));
}

TEST_F(LeasingTest, ReturnsNeverExceedWhatIsStillOut)
{
    const qint64 djbh = lease(day(3), {line("5001", "10", "2")});
    giveBack(djbh, day(5), {{QStringLiteral("5001"), "6"}});

    LeaseReturnVoucher v = *returns.draft(djbh, day(6));
    ASSERT_EQ(v.lines.size(), 1);
    EXPECT_EQ(v.lines[0].remaining(), dec("4"));
    EXPECT_EQ(v.rentDays(), 4);
    EXPECT_FALSE(returns.setQuantity(v.lines[0], dec("4.01"), v.rentDays()));
    ASSERT_TRUE(returns.setQuantity(v.lines[0], dec("4"), v.rentDays()));
    EXPECT_EQ(v.lines[0].amount, dec("32")); // 4 × 2 × 4 days

    // Checked against the books, not the figures the voucher carries.
    v.lines[0].quantity = dec("5");
    EXPECT_EQ(refusalOf([&] { returns.saveNew(v); }), LeaseReturns::OverReturnText);
    // Before the lease, rent would run backwards.
    v.lines[0].quantity = dec("1");
    v.czrq = day(2);
    EXPECT_EQ(refusalOf([&] { returns.saveNew(v); }), QStringLiteral("还租日期不能早于租用日期！"));
    v.czrq = day(6);
    v.lines[0].quantity = Decimal();
    EXPECT_EQ(refusalOf([&] { returns.saveNew(v); }), QStringLiteral("请输入归还数量！"));
    // A return that was never given its lease names none; one naming a lease that is gone is
    // told so.
    v.lines[0].quantity = dec("1");
    v.zldjbh = 0;
    EXPECT_EQ(refusalOf([&] { returns.saveNew(v); }), QStringLiteral("请填写租赁单据编号"));
    v.zldjbh = djbh + 1;
    EXPECT_EQ(refusalOf([&] { returns.saveNew(v); }), QStringLiteral("该租赁单据不存在！"));
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM ZLHZ")).toInt(), 1);

    // An edited return may take back up to what it held and what was still out.
    const qint64 first = db().scalar(QStringLiteral("SELECT DJBH FROM ZLHZ")).toLongLong();
    LeaseReturnVoucher edit = *returns.load(first);
    EXPECT_EQ(edit.lines[0].quantity, dec("6"));
    EXPECT_EQ(edit.lines[0].remaining(), dec("10"));
    edit.lines[0].quantity = dec("10");
    returns.saveEdit(edit);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT HZSL FROM ZLHZ")).toLongLong(), dec("10").raw());
    returns.remove(first);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM ZLHZ")).toInt(), 0);
}

TEST_F(LeasingTest, LeaseLinesAreSavedWholeAndThoseReturnedAgainstAreProtected)
{
    // 64-bit numbers: the next lease after 5,000,000,000.
    db().exec(QStringLiteral("INSERT INTO ZLBIAO (DJBH, CLBH, GYSBH, LLDWBH, ZLRQ, ZLSL, DJ) "
                             "VALUES (5000000000, '5002', '2', 'U1', '2026-02-01', 10000, 0)"));
    const qint64 djbh = lease(day(1), {line("5001", "10", "2", "100"), line("5002", "20", "0.1")});
    EXPECT_EQ(djbh, Q_INT64_C(5000000001));
    LeaseVoucher v = *leases.load(djbh);
    ASSERT_EQ(v.lines.size(), 2);
    EXPECT_EQ(v.lines[0].amount, dec("20"));
    EXPECT_EQ(v.gysmc, QStringLiteral("恒达租赁"));
    giveBack(djbh, day(4), {{QStringLiteral("5001"), "3"}});
    const qint64 returnedId = v.lines[0].id;

    // Edited whole: the returned line keeps its ID, the other goes, a new one comes.
    v = *leases.load(djbh);
    EXPECT_EQ(v.lines[0].returned, dec("3"));
    v.lines[0].quantity = dec("3");
    v.lines[1] = line("5002", "5", "0.2");
    leases.saveEdit(v);
    v = *leases.load(djbh);
    ASSERT_EQ(v.lines.size(), 2);
    EXPECT_EQ(v.lines[0].id, returnedId);
    EXPECT_EQ(v.lines[0].quantity, dec("3"));
    EXPECT_EQ(v.lines[1].quantity, dec("5"));

    // Never below what came back, never without it, never another material.
    const auto refusedEdit = [&](const std::function<void(LeaseVoucher &)> &change) {
        LeaseVoucher e = *leases.load(djbh);
        change(e);
        const QString text = refusalOf([&] { leases.saveEdit(e); });
        EXPECT_EQ(leases.load(djbh)->lines.size(), 2); // nothing half-written
        EXPECT_EQ(leases.load(djbh)->lines[0].quantity, dec("3"));
        return text;
    };
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) { e.lines[0].quantity = dec("2"); }),
              QStringLiteral("第1行租赁数量不能小于已还租数量！"));
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) { e.lines.removeFirst(); }),
              QStringLiteral("材料5001已做还租，不能删除！"));
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) { e.lines[0].clbh = QStringLiteral("5002"); }),
              QStringLiteral("第1行已做还租，不能更换材料！"));
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) { e.czrq = day(5); }),
              QStringLiteral("租赁日期不能晚于还租日期！"));
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) { e.gysbh = QStringLiteral("2"); }),
              QStringLiteral("该租赁单已做还租，不能更换供应商或领料单位！"));
    // A refused save also changes nothing on the other line.
    EXPECT_EQ(refusedEdit([](LeaseVoucher &e) {
                  e.lines[1].quantity = dec("50");
                  e.lines[0].quantity = dec("1");
              }),
              QStringLiteral("第1行租赁数量不能小于已还租数量！"));
    EXPECT_EQ(leases.load(djbh)->lines[1].quantity, dec("5"));

    EXPECT_EQ(refusalOf([&] { leases.remove(djbh); }),
              QStringLiteral("该租赁单已做还租，不能删除！"));
    db().exec(QStringLiteral("DELETE FROM ZLHZ"));
    leases.remove(djbh);
    EXPECT_FALSE(leases.load(djbh));
}

TEST_F(LeasingTest, ALeaseNamesItsSupplierItsUnitAndItsMaterials)
{
    EXPECT_EQ(leases.validate(voucher(day(1), {line("5001", "1", "1")}, QStringLiteral("9"))),
              QStringList{QStringLiteral("请正确选择供应商")});
    LeaseVoucher v =
        voucher(day(1), {line("5001", "1", "1"), line("9999", "1", "1"), line("5002", "0", "1")});
    v.lldwbh = QStringLiteral("U9");
    EXPECT_EQ(leases.validate(v), (QStringList{QStringLiteral("请正确选择领料单位"),
                                               QStringLiteral("第2行材料编号不存在!"),
                                               QStringLiteral("第3行请输入数据!")}));
    EXPECT_EQ(leases.validate(voucher(day(1), {})),
              QStringList{QStringLiteral("请输入租赁材料！")});

    lease(day(1), {line("5001", "1", "1")});
    lease(day(9), {line("5002", "1", "1")}, QStringLiteral("2"));
    EXPECT_EQ(leases.all().size(), 2);
    const QList<LeaseListRow> found =
        leases.find({QStringLiteral("2"), {}, QStringLiteral("5002"), day(1), day(31)});
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].gysmc, QStringLiteral("宏远模板"));
    EXPECT_EQ(found[0].lldwmc, QStringLiteral("一工区"));
    EXPECT_TRUE(leases.find({{}, {}, {}, day(2), day(8)}).isEmpty());
}

} // namespace
