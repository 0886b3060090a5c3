#include "vouchers/directvouchers.h"

#include "ledger/monthend.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const QString Steel = QStringLiteral("1001");
const QString Cement = QStringLiteral("1002");
const QDate Closing(2026, 1, 31);

// Books with two materials (the cement also counted in bags of 50), one supplier and one
// consuming unit, closed on 2026-01-31; today is 2026-02-10.
class DirectVouchersTest : public ::testing::Test
{
protected:
    DirectVouchersTest()
        : vouchers(set.db(), 2, formats)
    {
        set.setMode(2);
        set.addMaterial(Steel, QStringLiteral("钢筋"));
        set.addMaterial(Cement, QStringLiteral("水泥"));
        set.db().exec(QStringLiteral("UPDATE CLJBXXB SET HSDW = '袋', HSXS = 50 WHERE CLBH = ?"),
                      {Cement});
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        test::LedgerSeed(set.db()).opening(Steel, dec("10"), dec("100"));
        MonthEnd(set.db(), 2, formats).close(Closing);
        Clock::setToday(QDate(2026, 2, 10));
    }
    ~DirectVouchersTest() override { Clock::setToday(std::nullopt); }

    static StockInLine line(const QString &clbh, const char *price, const char *quantity,
                            const char *amount)
    {
        StockInLine l;
        l.clbh = clbh;
        l.price = dec(price);
        l.quantity = dec(quantity);
        l.amount = dec(amount);
        l.paid = dec("5");
        l.czzm = QStringLiteral("合格");
        return l;
    }

    DirectVoucher voucher() const
    {
        DirectVoucher v;
        v.czrq = QDate(2026, 2, 5);
        v.gysbh = QStringLiteral("G1");
        v.lldwbh = QStringLiteral("U1");
        v.sgbw = QStringLiteral("基础");
        v.dh = QStringLiteral("3#");
        v.fpbh = QStringLiteral("F1");
        v.zph = QStringLiteral("Z1");
        v.ysdjh = vouchers.proposeDocumentNumber();
        v.issueYsdjh = vouchers.proposeIssueDocumentNumber();
        // The cement is typed in bags.
        StockInLine bags = line(Cement, "400", "2", "800");
        bags.conversionUnit = QStringLiteral("袋");
        bags.hsxs = 50;
        v.lines = {line(Steel, "10", "3", "30"), bags};
        return v;
    }

    // The pairs of voucher `xtbh`: receipt and issue figures side by side, as text.
    QStringList pairs(qint64 xtbh)
    {
        QStringList rows;
        QSqlQuery q = set.db().exec(
            QStringLiteral("SELECT R.CLBH, R.SJDJ, R.SJSL, R.SJJE, R.YFJE, R.CZZM, L.SJDJ, "
                           "L.SJSL, L.SJJE, L.LLDWBH, L.SGBW, L.ZL, L.ZJZC, R.CKBH = L.XTBH, "
                           "R.ZL FROM RKD R JOIN LLD L ON L.ID = R.CKID "
                           "WHERE R.XTBH = ? ORDER BY R.ID"),
            {xtbh});
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < 15; ++i)
                row << q.value(i).toString();
            rows << row.join(QLatin1Char('|'));
        }
        return rows;
    }

    qint64 count(const char *sql) { return set.db().scalar(QString::fromUtf8(sql)).toLongLong(); }

    test::TestAccountSet set;
    Formats formats;
    DirectVouchers vouchers;
};

TEST_F(DirectVouchersTest, ASavedVoucherIsPairsOfReceiptAndIssueAtOneFigure)
{
    const qint64 xtbh = vouchers.saveNew(voucher());
    // Two bags of 50 are 100 of the accounting unit at 8.00 each.
    EXPECT_EQ(pairs(xtbh),
              (QStringList{"1001|100000|30000|300000|50000|合格|100000|30000|300000|U1|基础|1|1|1|"
                           "采购入库",
                           "1002|80000|1000000|8000000|50000|合格|80000|1000000|8000000|U1|基础|1|"
                           "1|1|采购入库"}));
    // Nothing moves in stock, and neither side is listed with the ordinary vouchers.
    const test::LedgerSeed::Stock kc = test::LedgerSeed(set.db()).kc(Steel);
    EXPECT_EQ(kc.quantity, dec("10"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM KC WHERE CLBH = '1002'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD WHERE JZBZ <> 0 OR CZBZ <> 0"), 0);

    const std::optional<DirectVoucher> loaded = vouchers.load(xtbh);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->lldwmc, QStringLiteral("一工区"));
    EXPECT_EQ(loaded->gysmc, QStringLiteral("第一建材"));
    EXPECT_EQ(loaded->lines.size(), 2);
    EXPECT_EQ(loaded->lines.at(1).quantity, dec("100"));
    EXPECT_FALSE(loaded->posted);
    EXPECT_EQ(vouchers.currentMonth().size(), 1);
    DirectConditions byUnit;
    byUnit.lldwbh = QStringLiteral("U1");
    byUnit.clbh = Cement;
    byUnit.from = QDate(2026, 2, 1);
    byUnit.to = QDate(2026, 2, 28);
    EXPECT_EQ(vouchers.find(byUnit).size(), 1);
    byUnit.lldwbh = QStringLiteral("U2");
    EXPECT_TRUE(vouchers.find(byUnit).isEmpty());
}

TEST_F(DirectVouchersTest, DocumentNumbersRunOnWithinTheMonthOnBothSides)
{
    EXPECT_EQ(vouchers.proposeDocumentNumber(), QStringLiteral("2026-02-10 - 1001"));
    EXPECT_EQ(vouchers.proposeIssueDocumentNumber(), QStringLiteral("2026-02-10 - 1001"));
    vouchers.saveNew(voucher());
    EXPECT_EQ(vouchers.proposeDocumentNumber(), QStringLiteral("2026-02-10 - 1002"));
    EXPECT_EQ(vouchers.proposeIssueDocumentNumber(), QStringLiteral("2026-02-10 - 1002"));
}

TEST_F(DirectVouchersTest, SavingStopsAtTheFirstFailedCheckWritingNothing)
{
    const auto refusal = [&](const DirectVoucher &v) {
        try {
            vouchers.saveNew(v);
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    };
    DirectVoucher v = voucher();
    v.czrq = Closing;
    v.gysbh = QStringLiteral("G9");
    EXPECT_EQ(refusal(v), QStringLiteral("操作时间不允许小于月结时间！"));
    v.czrq = QDate(2026, 2, 1);
    EXPECT_EQ(refusal(v), QStringLiteral("请选择正确供应商！"));
    v.gysbh = QStringLiteral("G1");
    v.lldwbh = QStringLiteral("U9");
    EXPECT_EQ(refusal(v), QStringLiteral("请选择正确耗料单位！"));
    v.lldwbh = QStringLiteral("U1");
    v.lines[1].price = Decimal();
    v.lines[1].quantity = Decimal();
    v.lines[1].amount = Decimal();
    EXPECT_EQ(refusal(v), QStringLiteral("2行请输入数据!"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD") + count("SELECT COUNT(*) FROM LLD"), 0);
}

TEST_F(DirectVouchersTest, AnEditChangesBothSidesInPlaceAndADeletionRemovesBoth)
{
    const qint64 xtbh = vouchers.saveNew(voucher());
    DirectVoucher v = *vouchers.load(xtbh);
    const qint64 keptIssue = v.issueIds.at(0);
    v.lines[0].quantity = dec("4");
    v.lines[0].amount = dec("40");
    v.lines.removeAt(1);
    v.issueIds.removeAt(1);
    v.lines.append(line(Cement, "9", "1", "9"));
    v.lldwbh = QStringLiteral("U1");
    v.sgbw = QStringLiteral("主体");
    vouchers.saveEdit(v);

    const DirectVoucher edited = *vouchers.load(xtbh);
    ASSERT_EQ(edited.lines.size(), 2);
    EXPECT_EQ(edited.issueIds.at(0), keptIssue);
    EXPECT_EQ(edited.sgbw, QStringLiteral("主体"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD"), 2);
    EXPECT_EQ(count("SELECT SUM(SJSL) FROM LLD"), dec("5").toVariant().toLongLong());
    // Every issue row still has its receipt partner and the voucher's one issue number.
    EXPECT_EQ(count("SELECT COUNT(DISTINCT XTBH) FROM LLD"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD L WHERE NOT EXISTS "
                    "(SELECT 1 FROM RKD R WHERE R.CKID = L.ID AND R.CKBH = L.XTBH)"),
              0);

    vouchers.remove(xtbh);
    EXPECT_EQ(count("SELECT COUNT(*) FROM RKD") + count("SELECT COUNT(*) FROM LLD"), 0);
}

TEST_F(DirectVouchersTest, ANewVoucherBegunFromAStoredOneDrawsItsOwnIssueNumber)
{
    const qint64 first = vouchers.saveNew(voucher());
    // What a screen shows after browsing the first voucher still carries its issue side.
    DirectVoucher copy = *vouchers.load(first);
    copy.xtbh = 0;
    copy.ysdjh = vouchers.proposeDocumentNumber();
    copy.issueYsdjh = vouchers.proposeIssueDocumentNumber();
    const qint64 second = vouchers.saveNew(copy);

    EXPECT_NE(vouchers.load(second)->issueXtbh, vouchers.load(first)->issueXtbh);
    EXPECT_EQ(count("SELECT COUNT(DISTINCT XTBH) FROM LLD"), 2);
    EXPECT_EQ(pairs(first).size(), 2);
    EXPECT_EQ(pairs(second).size(), 2);
}

TEST_F(DirectVouchersTest, APostedVoucherIsNeitherChangedNorDeleted)
{
    const qint64 xtbh = vouchers.saveNew(voucher());
    set.db().exec(QStringLiteral("UPDATE RKD SET JZBZ = 1"));
    set.db().exec(QStringLiteral("UPDATE LLD SET JZBZ = 1"));
    DirectVoucher v = *vouchers.load(xtbh);
    EXPECT_TRUE(v.posted);
    v.sgbw = QStringLiteral("主体");
    try {
        vouchers.saveEdit(v);
        ADD_FAILURE() << "a posted voucher was changed";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("该单据已经记账，不允许修改！"));
    }
    try {
        vouchers.remove(xtbh);
        ADD_FAILURE() << "a posted voucher was deleted";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("该票据已经记账，请做冲帐处理！"));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM LLD WHERE SGBW = '基础'"), 2);
}

} // namespace
} // namespace varnock
