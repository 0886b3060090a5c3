#include "vouchers/vouchermaterials.h"

#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;

namespace {

using Family = VoucherMaterials::Family;
using By = VoucherMaterials::By;

// Cement and steel with an opening balance each, two receipts of cement (one reversed), a
// return of steel to its supplier, and issues of both, steel's reversed.
class VoucherMaterialsTest : public ::testing::Test
{
protected:
    VoucherMaterialsTest()
    {
        set.addMaterial(QStringLiteral("0101"), QStringLiteral("水泥"));
        set.addMaterial(QStringLiteral("0102"), QStringLiteral("钢筋_50%"));
        set.addMaterial(QStringLiteral("0201"), QStringLiteral("砂"));
        seed.opening(QStringLiteral("0101"), dec("10"), dec("100"));
        seed.opening(QStringLiteral("0102"), dec("2"), dec("60"));
        seed.receipt(1, QStringLiteral("0101"), dec("5"), dec("55"));
        seed.receipt(1, QStringLiteral("0101"), dec("1"), dec("11"));
        const qint64 steel = seed.receipt(2, QStringLiteral("0102"), dec("3"), dec("90"));
        seed.receipt(3, QStringLiteral("0101"), dec("4"), dec("40"));
        set.db().exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE XTBH = 3"));
        seed.stockReturn(1, steel, QStringLiteral("0102"), dec("1"), dec("30"));
        seed.issue(1, QStringLiteral("0101"), dec("2"), dec("10"), dec("20"));
        const qint64 issued = seed.issue(2, QStringLiteral("0102"), dec("1"), dec("30"), dec("30"));
        set.db().exec(QStringLiteral("UPDATE LLD SET CZBZ = 1 WHERE ID = ?"), {issued});
        // A direct delivery's pair belongs to its own screens.
        seed.receipt(4, QStringLiteral("0201"), dec("7"), dec("70"));
        set.db().exec(QStringLiteral("UPDATE RKD SET CKID = 99 WHERE XTBH = 4"));
        const qint64 direct = seed.issue(3, QStringLiteral("0201"), dec("7"), dec("10"), dec("70"));
        set.db().exec(QStringLiteral("UPDATE LLD SET ZJZC = 1 WHERE ID = ?"), {direct});
    }

    QStringList codes(Family family, bool reversed, By by = By::Code, const char *text = "")
    {
        QStringList found;
        for (const VoucherMaterials::Row &r :
             materials.find(family, reversed, by, QString::fromUtf8(text)))
            found << r.clbh;
        return found;
    }

    test::TestAccountSet set;
    test::LedgerSeed seed{set.db()};
    VoucherMaterials materials{set.db()};
};

TEST_F(VoucherMaterialsTest, EachFamilyListsItsMaterialsReversedOrNotWithTheirSums)
{
    const QList<VoucherMaterials::Row> received = materials.find(Family::StockIn, false);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0].clbh, QStringLiteral("0101"));
    EXPECT_EQ(received[0].clmc, QStringLiteral("水泥"));
    EXPECT_EQ(received[0].vouchers, 1);
    EXPECT_EQ(received[0].quantity, dec("6"));
    EXPECT_EQ(received[0].amount, dec("66"));
    EXPECT_EQ(received[1].clbh, QStringLiteral("0102"));

    EXPECT_EQ(codes(Family::StockIn, true), QStringList{QStringLiteral("0101")});
    EXPECT_EQ(codes(Family::Issue, false), QStringList{QStringLiteral("0101")});
    EXPECT_EQ(codes(Family::Issue, true), QStringList{QStringLiteral("0102")});
    EXPECT_EQ(codes(Family::Opening, false),
              (QStringList{QStringLiteral("0101"), QStringLiteral("0102")}));
    EXPECT_EQ(codes(Family::StockInReturn, false), QStringList{QStringLiteral("0102")});
    // Opening balances and returns to suppliers are never reversed.
    EXPECT_TRUE(codes(Family::Opening, true).isEmpty());
    EXPECT_TRUE(codes(Family::StockInReturn, true).isEmpty());
}

TEST_F(VoucherMaterialsTest, CodesAndNamesAreMatchedAsTypedFromTheirStart)
{
    EXPECT_EQ(codes(Family::Opening, false, By::Code, "0102"), QStringList{QStringLiteral("0102")});
    EXPECT_EQ(codes(Family::Opening, false, By::Name, "钢筋_5"),
              QStringList{QStringLiteral("0102")});
    // '_' and '%' are no wildcards.
    EXPECT_TRUE(codes(Family::Opening, false, By::Name, "钢筋%").isEmpty());
    EXPECT_TRUE(codes(Family::Opening, false, By::Name, "泥").isEmpty());
    EXPECT_TRUE(codes(Family::StockIn, false, By::Code, "02").isEmpty());
}

} // namespace
