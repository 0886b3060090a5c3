#include "ledger/posting.h"
#include "ledger/postinggridmodel.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;
using test::dec;

// Issue lines are stored in the accounting unit. The issue posting grid names the conversion
// unit only on a line marked as entered in it: a line typed in tonnes must not read as
// kilograms.
TEST(PostingGrid, IssueLinesShowTheUnitTheyWereEnteredIn)
{
    test::TestAccountSet set;
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET JZDW = ?, HSDW = ?, HSXS = 1000 "
                                 "WHERE CLBH = '1001'"),
                  {QStringLiteral("吨"), QStringLiteral("千克")});
    test::LedgerSeed seed(set.db());
    seed.opening(QStringLiteral("1001"), dec("10"), dec("40000"));
    const qint64 inTonnes = seed.issue(1, QStringLiteral("1001"), dec("2"), dec("4000"));
    const qint64 inKilograms = seed.issue(1, QStringLiteral("1001"), dec("0.5"), dec("4000"));
    set.db().exec(QStringLiteral("UPDATE LLD SET HSBZ = 1 WHERE ID = ?"), {inKilograms});

    PostingGridModel model;
    model.setGrid(Posting(set.db(), 2, Formats()).lineGrid(Posting::Family::Issue, 1));
    ASSERT_EQ(model.rowCount(), 2);
    const int unit = int(model.grid().columns.indexOf(QStringLiteral("记账单位")));
    const int conversion = int(model.grid().columns.indexOf(QStringLiteral("换算单位")));
    ASSERT_GE(unit, 0);
    ASSERT_GE(conversion, 0);
    EXPECT_EQ(model.keyAt(0), inTonnes);
    EXPECT_EQ(model.index(0, unit).data().toString(), QStringLiteral("吨"));
    EXPECT_EQ(model.index(0, conversion).data().toString(), QString());
    EXPECT_EQ(model.index(1, unit).data().toString(), QStringLiteral("吨"));
    EXPECT_EQ(model.index(1, conversion).data().toString(), QStringLiteral("千克"));
}
