#include "ledger/posting.h"
#include "print/voucherslip.h"
#include "shell/accountsetsession.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <algorithm>

using namespace varnock;
using varnock::test::dec;

namespace {

class VoucherSlipTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("钢材公司"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
        set.db().exec(QStringLiteral("INSERT INTO YHZL (GSMC) VALUES ('第三建筑公司')"));
    }

    Slip fill(Posting::Family family, qint64 xtbh, int mode = 2, const SlipCaptions &c = {})
    {
        return VoucherSlips(set.db(), mode, formats, c).fill(family, xtbh);
    }

    // The rows of a print table as YS and CLBH ("" for a filler row), in the order written.
    QList<std::pair<int, QString>> printRows(const QString &table)
    {
        QList<std::pair<int, QString>> rows;
        QSqlQuery q = set.db().exec(QStringLiteral("SELECT YS, CLBH FROM %1").arg(table));
        while (q.next())
            rows << std::pair{q.value(0).toInt(), q.value(1).toString()};
        return rows;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed{set.db()};
    Formats formats;
};

QStringList codes(const Slip::Page &page)
{
    QStringList list;
    for (const Slip::Row &r : page.rows)
        list << r.clbh;
    return list;
}

TEST_F(VoucherSlipTest, GroupsOfTwoFiveAndSevenLinesFillFourPagesOfFive)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("2"), QStringLiteral("木材"));
    set.addCategory(QStringLiteral("3"), QStringLiteral("水泥"));
    const auto add = [&](const QString &parent, int count) {
        for (int i = 1; i <= count; ++i) {
            const QString code = parent + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
            set.addMaterial(code, QStringLiteral("材料") + code, parent);
            seed.receipt(7, code, dec("1"), dec("2.5"));
        }
    };
    add(QStringLiteral("2"), 5);
    add(QStringLiteral("1"), 2);
    add(QStringLiteral("3"), 7);

    const Slip slip = fill(Posting::Family::StockIn, 7);

    ASSERT_EQ(slip.pages.size(), 4);
    EXPECT_EQ(codes(slip.pages[0]), (QStringList{"1001", "1002", QString(), QString(), QString()}));
    EXPECT_EQ(slip.pages[0].group, QStringLiteral("钢材"));
    EXPECT_EQ(codes(slip.pages[1]), (QStringList{"2001", "2002", "2003", "2004", "2005"}));
    EXPECT_EQ(slip.pages[1].group, QStringLiteral("木材"));
    EXPECT_EQ(codes(slip.pages[2]), (QStringList{"3001", "3002", "3003", "3004", "3005"}));
    EXPECT_EQ(codes(slip.pages[3]), (QStringList{"3006", "3007", QString(), QString(), QString()}));
    EXPECT_EQ(slip.pages[3].group, QStringLiteral("水泥"));
    EXPECT_EQ(slip.pages[0].amount(), dec("5"));
    EXPECT_EQ(slip.total, dec("35"));

    // The print table holds the same pages: every page five rows, fillers carrying only YS.
    const auto rows = printRows(QStringLiteral("DY_TEMP"));
    ASSERT_EQ(rows.size(), 20);
    for (int page = 1; page <= 4; ++page) {
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                                [page](const auto &r) { return r.first == page; }),
                  5);
    }
    EXPECT_EQ(
        std::count_if(rows.begin(), rows.end(), [](const auto &r) { return r.second.isEmpty(); }),
        6);
    QSqlQuery q = set.db().exec(QStringLiteral(
        "SELECT ZL, GYSMC, KVMTMC, XTBH, YSDJH, JZRQ, SJJE FROM DY_TEMP WHERE CLBH = '3007'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("采购入库"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("钢材公司"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("水泥"));
    EXPECT_EQ(q.value(3).toLongLong(), 7);
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("R7"));
    EXPECT_EQ(q.value(5).toString(), QStringLiteral("2026-01-15"));
    EXPECT_EQ(Decimal::fromVariant(q.value(6)), dec("2.5"));
}

TEST_F(VoucherSlipTest, PlannedPriceMaterialsPrintAtThePlannedPriceAfterTheActualOnes)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"), QStringLiteral("1"), true,
                    dec("10"));
    set.addMaterial(QStringLiteral("1002"), QStringLiteral("角钢"));
    seed.receipt(3, QStringLiteral("1001"), dec("3"), dec("36.6"));
    seed.receipt(3, QStringLiteral("1002"), dec("2"), dec("9"));

    const Slip slip = fill(Posting::Family::StockIn, 3);

    ASSERT_EQ(slip.pages.size(), 1);
    const Slip::Row &actual = slip.pages[0].rows[0];
    const Slip::Row &planned = slip.pages[0].rows[1];
    EXPECT_EQ(actual.clbh, QStringLiteral("1002"));
    EXPECT_EQ(actual.price, dec("4.5"));
    EXPECT_EQ(planned.clbh, QStringLiteral("1001"));
    EXPECT_EQ(planned.price, dec("10"));
    EXPECT_EQ(planned.amount, dec("30"));
    EXPECT_EQ(slip.total, dec("39"));
    QSqlQuery q =
        set.db().exec(QStringLiteral("SELECT SJDJ, SJJE FROM DY_TEMP WHERE CLBH = '1001'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(Decimal::fromVariant(q.value(0)), dec("10"));
    EXPECT_EQ(Decimal::fromVariant(q.value(1)), dec("30"));
}

TEST_F(VoucherSlipTest, HeaderCarriesFirmKindCounterpartySiteAndCaptions)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    seed.issue(4, QStringLiteral("1001"), dec("2"), dec("3"), dec("6"));
    set.db().exec(QStringLiteral("UPDATE LLD SET ZL = '2', SGBW = '二号楼基础', DH = '2#'"));

    QFile captions(QDir(set.folder()).filePath(QStringLiteral("xiaopiao")));
    ASSERT_TRUE(captions.open(QIODevice::WriteOnly));
    captions.write("经理\n\n\n\n\n主任\n\n发料人\n");
    captions.close();
    const Slip slip =
        fill(Posting::Family::Issue, 4, 2, SlipCaptions::read(DataFolder(set.folder())));

    EXPECT_EQ(slip.title, QStringLiteral("第三建筑公司"));
    EXPECT_EQ(slip.kind, QStringLiteral("调拨出库"));
    EXPECT_EQ(slip.partnerCaption, QStringLiteral("调拨单位："));
    EXPECT_EQ(slip.partner, QStringLiteral("一工区"));
    EXPECT_EQ(slip.site, QStringLiteral("二号楼基础/2#"));
    EXPECT_EQ(slip.document, QStringLiteral("L4"));
    EXPECT_EQ(slip.signatures, (QStringList{"主任", "材料会计", "发料人", "审    核", "保 管 员"}));
    EXPECT_EQ(slip.table, QStringLiteral("DY_TEMP"));

    // Without a firm name the slip carries the program's, as the main window's title does.
    set.db().exec(QStringLiteral("DELETE FROM YHZL"));
    EXPECT_EQ(fill(Posting::Family::Issue, 4).title, AccountSetSession::DefaultFirmName);
}

TEST_F(VoucherSlipTest, ReturnSlipsUseTheirPrintNamesAndReturnFigures)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    const qint64 rkid = seed.receipt(1, QStringLiteral("1001"), dec("5"), dec("50"));
    seed.stockReturn(2, rkid, QStringLiteral("1001"), dec("2"), dec("20"));
    set.db().exec(QStringLiteral("UPDATE THD SET ZL = '甲供退货'"));
    const qint64 llid = seed.issue(3, QStringLiteral("1001"), dec("3"), dec("10"), dec("30"));
    set.db().exec(QStringLiteral("UPDATE LLD SET SGBW = '三号楼', DH = ''"));
    seed.issueReturn(4, llid, QStringLiteral("1001"), dec("1"), dec("10"), dec("10"));

    const Slip stockInReturn = fill(Posting::Family::StockInReturn, 2);
    EXPECT_EQ(stockInReturn.kind, QStringLiteral("甲方退货"));
    EXPECT_EQ(stockInReturn.document, QStringLiteral("T2"));
    EXPECT_EQ(stockInReturn.pages[0].rows[0].quantity, dec("2"));
    EXPECT_EQ(stockInReturn.total, dec("20"));
    EXPECT_EQ(stockInReturn.signatures, SlipCaptions::DefaultReceipt);

    const Slip issueReturn = fill(Posting::Family::IssueReturn, 4);
    EXPECT_EQ(issueReturn.kind, QStringLiteral("领料退货"));
    EXPECT_EQ(issueReturn.partner, QStringLiteral("一工区"));
    EXPECT_EQ(issueReturn.site, QStringLiteral("三号楼"));
    EXPECT_EQ(issueReturn.total, dec("10"));
    EXPECT_EQ(issueReturn.signatures, SlipCaptions::DefaultIssue);
}

TEST_F(VoucherSlipTest, FirstInFirstOutIssuesPrintTheirPiecesIntoTheSecondTable)
{
    set.setMode(1);
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    seed.opening(QStringLiteral("1001"), dec("10"), dec("20"));
    seed.receipt(1, QStringLiteral("1001"), dec("10"), dec("30"));
    Posting posting(set.db(), 1, formats);
    posting.post(Posting::Family::StockIn, QStringLiteral("采购入库"), 1);
    const qint64 line = seed.issue(2, QStringLiteral("1001"), dec("15"));

    // Not posted yet: the line prints once, without a price.
    Slip unposted = fill(Posting::Family::Issue, 2, 1);
    ASSERT_EQ(unposted.pages.size(), 1);
    EXPECT_EQ(unposted.pages[0].rows[0].quantity, dec("15"));
    EXPECT_FALSE(unposted.pages[0].rows[0].price.has_value());
    EXPECT_FALSE(unposted.pages[0].rows[0].amount.has_value());

    posting.post(Posting::Family::Issue, QStringLiteral("1"), 2);
    const Slip slip = fill(Posting::Family::Issue, 2, 1);

    EXPECT_EQ(slip.table, QStringLiteral("DY1_TEMP"));
    const QList<Slip::Row> &rows = slip.pages[0].rows;
    EXPECT_EQ(rows[0].quantity, dec("10"));
    EXPECT_EQ(rows[0].price, dec("2"));
    EXPECT_EQ(rows[0].amount, dec("20"));
    EXPECT_EQ(rows[1].quantity, dec("5"));
    EXPECT_EQ(rows[1].price, dec("3"));
    EXPECT_EQ(rows[1].amount, dec("15"));
    EXPECT_TRUE(rows[2].isFiller());
    EXPECT_EQ(slip.total, seed.issueAmount(line));
    EXPECT_EQ(printRows(QStringLiteral("DY1_TEMP")).size(), 5);
    EXPECT_TRUE(printRows(QStringLiteral("DY_TEMP")).isEmpty());
}

TEST_F(VoucherSlipTest, ARefusedOrReadOnlySlipLeavesThePrintTablesAsTheyWere)
{
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    seed.receipt(1, QStringLiteral("1001"), dec("1"), dec("1"));
    seed.receipt(2, QStringLiteral("1001"), dec("6"), dec("6"));
    seed.receipt(2, QStringLiteral("1001"), dec("2"), dec("2"));
    fill(Posting::Family::StockIn, 1);

    try {
        fill(Posting::Family::StockIn, 99);
        FAIL() << "a voucher without lines was printed";
    } catch (const Refusal &refusal) {
        EXPECT_EQ(refusal.text, QStringLiteral("没有记录！"));
    }
    EXPECT_EQ(printRows(QStringLiteral("DY_TEMP")).size(), 5);

    // A set opened only to read prints the same slip without writing its print tables.
    Database reader(set.filePath(), Database::Access::ReadOnly);
    const Slip slip = VoucherSlips(reader, 2, formats).fill(Posting::Family::StockIn, 2);
    ASSERT_EQ(slip.pages.size(), 1);
    EXPECT_EQ(codes(slip.pages[0]), (QStringList{"1001", "1001", QString(), QString(), QString()}));
    EXPECT_EQ(slip.total, dec("8"));
    const auto rows = printRows(QStringLiteral("DY_TEMP"));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows.first(), (std::pair{1, QStringLiteral("1001")}));
}

} // namespace
