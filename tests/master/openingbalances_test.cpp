#include "master/materiallookup.h"
#include "master/openingbalancemodel.h"
#include "master/openingbalances.h"
#include "store/database.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;

namespace {

Decimal d(const char *text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

OpeningBalances::NewRow newRow(const QString &clbh, const char *price, const char *quantity,
                               const char *amount)
{
    return {clbh, {d(price), d(quantity), d(amount)}};
}

QString refusalOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QString();
}

struct Stock
{
    Decimal kcsl;
    Decimal kcje;
    bool exists = false;
};

Stock stockOf(Database &db, const QString &clbh)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT KCSL, KCJE FROM KC WHERE CLBH = ?"), {clbh});
    if (!q.next())
        return {};
    return {Decimal::fromVariant(q.value(0)), Decimal::fromVariant(q.value(1)), true};
}

int rowCount(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
}

class OpeningBalancesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        set.addMaterial(QStringLiteral("1001001"), QStringLiteral("螺纹钢"));
        set.addMaterial(QStringLiteral("1001002"), QStringLiteral("水泥"));
    }
    test::TestAccountSet set;
    Formats formats;
    const QString steel = QStringLiteral("1001001");
    const QString cement = QStringLiteral("1001002");
};

} // namespace

TEST_F(OpeningBalancesTest, FifoKeepsOneRowPerPriceAndSumsTheStock)
{
    OpeningBalances balances(set.db(), 1, formats);
    balances.add({newRow(steel, "10", "5", "50"), newRow(steel, "12", "3", "36")});

    EXPECT_EQ(rowCount(set.db(), QStringLiteral("ZWCSH")), 2);
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("KC")), 1);
    const Stock stock = stockOf(set.db(), steel);
    EXPECT_EQ(stock.kcsl, d("8"));
    EXPECT_EQ(stock.kcje, d("86"));
    EXPECT_EQ(balances.total(), d("86"));

    EXPECT_EQ(refusalOf([&] { balances.add({newRow(steel, "10", "1", "10")}); }),
              QStringLiteral("1001001 螺纹钢单价为10.00已经做过初始化！"));

    // Deleting one layer takes only its figures out of the stock.
    const QList<OpeningBalances::Row> rows = balances.rows();
    ASSERT_EQ(rows.size(), 2);
    balances.remove(rows[0].id);
    EXPECT_EQ(stockOf(set.db(), steel).kcsl, d("3"));
    EXPECT_EQ(stockOf(set.db(), steel).kcje, d("36"));
}

TEST_F(OpeningBalancesTest, MovingAverageKeepsOneRowPerMaterial)
{
    OpeningBalances balances(set.db(), 2, formats);
    balances.add({newRow(steel, "10", "5", "50")});
    EXPECT_EQ(refusalOf([&] { balances.add({newRow(steel, "12", "1", "12")}); }),
              QStringLiteral("1001001 螺纹钢已经做过初始化！"));
    // Within one save too; the first row does not stay behind either.
    EXPECT_EQ(refusalOf([&] {
                  balances.add({newRow(cement, "300", "2", "600"), newRow(cement, "1", "1", "1")});
              }),
              QStringLiteral("1001002 水泥已经做过初始化！"));
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("ZWCSH")), 1);
    EXPECT_FALSE(stockOf(set.db(), cement).exists);

    // Deleting removes the stock row entirely, whatever else it holds.
    set.db().exec(QStringLiteral("UPDATE KC SET KCSL = KCSL + 10000 WHERE CLBH = ?"), {steel});
    balances.remove(balances.rows().first().id);
    EXPECT_FALSE(stockOf(set.db(), steel).exists);
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("ZWCSH")), 0);
}

TEST_F(OpeningBalancesTest, EditingMovesStockByTheDifferenceOnly)
{
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        set.db().exec(QStringLiteral("DELETE FROM ZWCSH"));
        set.db().exec(QStringLiteral("DELETE FROM KC"));
        OpeningBalances balances(set.db(), mode, formats);
        balances.add({newRow(steel, "10", "5", "50")});
        // Something else has moved the stock since.
        set.db().exec(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                      {d("7").toVariant(), d("71").toVariant(), steel});

        balances.update(balances.rows().first().id, {d("11"), d("4"), d("44")});
        const Stock stock = stockOf(set.db(), steel);
        EXPECT_EQ(stock.kcsl, d("6"));
        EXPECT_EQ(stock.kcje, d("65"));
        const OpeningBalances::Row row = balances.rows().first();
        EXPECT_EQ(row.kcdj, d("11"));
        EXPECT_EQ(row.kcsl, d("4"));
        EXPECT_EQ(row.kcje, d("44"));
    }
}

TEST_F(OpeningBalancesTest, FifoEditRefusesAPriceAnotherLayerHas)
{
    OpeningBalances balances(set.db(), 1, formats);
    balances.add({newRow(steel, "10", "5", "50"), newRow(steel, "12", "3", "36")});
    const qint64 second = balances.rows().at(1).id;
    EXPECT_EQ(refusalOf([&] {
                  balances.update(second, {d("10"), d("3"), d("30")});
              }),
              QStringLiteral("1001001 螺纹钢单价为10.00已经做过初始化！"));
    // Its own price is no conflict.
    balances.update(second, {d("12"), d("4"), d("48")});
    EXPECT_EQ(stockOf(set.db(), steel).kcsl, d("9"));
}

TEST_F(OpeningBalancesTest, RefusesEmptyNegativeAndUnknownRows)
{
    OpeningBalances balances(set.db(), 2, formats);
    EXPECT_EQ(refusalOf([&] {
                  balances.add({{steel, {d("10"), std::nullopt, d("50")}}});
              }),
              QStringLiteral("具体数据不允许为空！"));
    EXPECT_EQ(refusalOf([&] { balances.add({newRow(steel, "10", "-5", "-50")}); }),
              QStringLiteral("库存数量不允许为负数！"));
    EXPECT_EQ(refusalOf([&] { balances.add({newRow(steel, "-10", "5", "-50")}); }),
              QStringLiteral("库存单价和库存金额不允许为负数！"));
    EXPECT_EQ(refusalOf([&] { balances.add({newRow(QStringLiteral("9'%_"), "1", "1", "1")}); }),
              QStringLiteral("材料编号9'%_不存在，请重新选择！"));
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("ZWCSH")), 0);
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("KC")), 0);

    balances.add({newRow(steel, "10", "5", "50")});
    const qint64 id = balances.rows().first().id;
    EXPECT_EQ(refusalOf([&] {
                  balances.update(id, {d("10"), d("-1"), d("-10")});
              }),
              QStringLiteral("库存数量不允许为负数！"));
    EXPECT_EQ(stockOf(set.db(), steel).kcsl, d("5"));
}

TEST_F(OpeningBalancesTest, FixedOnceAClosingExists)
{
    OpeningBalances balances(set.db(), 1, formats);
    balances.add({newRow(steel, "10", "5", "50")});
    const qint64 id = balances.rows().first().id;
    set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-01-31')"));

    EXPECT_TRUE(balances.isClosed());
    const QString closed = QStringLiteral("已经做过业务不允许再做初始化！！！");
    EXPECT_EQ(refusalOf([&] { balances.update(id, {d("10"), d("6"), d("60")}); }), closed);
    EXPECT_EQ(refusalOf([&] { balances.remove(id); }), closed);
    EXPECT_EQ(refusalOf([&] { balances.add({newRow(cement, "1", "1", "1")}); }), closed);
    EXPECT_EQ(stockOf(set.db(), steel).kcsl, d("5"));
    EXPECT_EQ(rowCount(set.db(), QStringLiteral("ZWCSH")), 1);
}

TEST_F(OpeningBalancesTest, FiguresAreKeptThroughTheDisplayFormats)
{
    OpeningBalances balances(set.db(), 2, Formats(QStringLiteral("0.0"), QStringLiteral("0.00")));
    balances.add({newRow(steel, "3.333", "2.25", "7.4999")});
    const OpeningBalances::Row row = balances.rows().first();
    EXPECT_EQ(row.kcdj, d("3.33"));
    EXPECT_EQ(row.kcsl, d("2.3"));
    EXPECT_EQ(row.kcje, d("7.5"));

    // One rounding, straight to the format: 0.0995 × 0.05 = 0.004975 gives 0.00, not the
    // 0.01 that rounding to four places first would give.
    EXPECT_EQ(balances.amountFor(d("0.0995"), d("0.05")), d("0"));
    EXPECT_EQ(balances.amountFor(d("10.5"), d("3")), d("31.5"));
    EXPECT_EQ(balances.priceFor(d("10"), d("3")), d("3.33"));
    EXPECT_FALSE(balances.priceFor(d("10"), d("0")));
}

TEST_F(OpeningBalancesTest, GridModelRecomputesAndHandsOverItsRows)
{
    OpeningBalances balances(set.db(), 1, formats);
    OpeningBalanceModel model(set.db(), balances);
    model.load(balances.rows());
    const int row = model.appendNew();
    auto cell = [&](int column) { return model.index(row, column); };

    // A typed code fills the material's texts.
    ASSERT_TRUE(model.setData(cell(OpeningBalanceModel::Code), steel));
    EXPECT_EQ(model.data(cell(OpeningBalanceModel::Name)).toString(), QStringLiteral("螺纹钢"));
    EXPECT_EQ(model.data(cell(OpeningBalanceModel::Unit)).toString(), QStringLiteral("个"));

    model.setData(cell(OpeningBalanceModel::Price), QStringLiteral("2.5"));
    model.setData(cell(OpeningBalanceModel::Quantity), QStringLiteral("3"));
    EXPECT_EQ(model.data(cell(OpeningBalanceModel::Amount)).toString(), QStringLiteral("7.50"));
    model.setData(cell(OpeningBalanceModel::Amount), QStringLiteral("10"));
    EXPECT_EQ(model.data(cell(OpeningBalanceModel::Price)).toString(), QStringLiteral("3.33"));
    EXPECT_FALSE(model.setData(cell(OpeningBalanceModel::Quantity), QStringLiteral("abc")));

    // The lookup's empty row below is no row to save.
    model.appendNew();
    ASSERT_EQ(model.newRows().size(), 1);
    balances.add(model.newRows());
    model.load(balances.rows());
    EXPECT_FALSE(model.hasPending());
    EXPECT_EQ(stockOf(set.db(), steel).kcje, d("10"));

    // Saved rows are read-only until changed, and then only their figures.
    EXPECT_FALSE(model.flags(model.index(0, OpeningBalanceModel::Price)) & Qt::ItemIsEditable);
    ASSERT_TRUE(model.beginChange(0));
    EXPECT_TRUE(model.flags(model.index(0, OpeningBalanceModel::Price)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.index(0, OpeningBalanceModel::Code)) & Qt::ItemIsEditable);
    model.setData(model.index(0, OpeningBalanceModel::Quantity), QStringLiteral("4"));
    ASSERT_EQ(model.changedRows().size(), 1);
    EXPECT_EQ(model.changedRows().first().second.amount, d("13.32"));
}

TEST_F(OpeningBalancesTest, PlannedPriceMaterialEntersStockAtPlanAndKeepsWhatWasPaid)
{
    const QString plank = QStringLiteral("1001003");
    set.addMaterial(plank, QStringLiteral("模板"), QStringLiteral("1"), true, d("5"));
    for (int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        set.db().exec(QStringLiteral("DELETE FROM ZWCSH"));
        set.db().exec(QStringLiteral("DELETE FROM KC"));
        OpeningBalances balances(set.db(), mode, formats);
        balances.add({newRow(plank, "6", "10", "60")});
        EXPECT_EQ(stockOf(set.db(), plank).kcsl, d("10"));
        EXPECT_EQ(stockOf(set.db(), plank).kcje, d("50"));
        const OpeningBalances::Row row = balances.rows().first();
        EXPECT_EQ(row.kcdj, d("6"));
        EXPECT_EQ(row.kcje, d("60"));
        EXPECT_EQ(balances.total(), d("60"));

        // A new quantity moves stock by its planned value; a new price alone does not.
        balances.update(row.id, {d("6.5"), d("8"), d("52")});
        EXPECT_EQ(stockOf(set.db(), plank).kcsl, d("8"));
        EXPECT_EQ(stockOf(set.db(), plank).kcje, d("40"));
        balances.update(row.id, {d("7"), d("8"), d("56")});
        EXPECT_EQ(stockOf(set.db(), plank).kcje, d("40"));
        EXPECT_EQ(balances.rows().first().kcje, d("56"));

        if (mode == 1) {
            // A second layer at another price, then the first one deleted.
            balances.add({newRow(plank, "4", "2", "8")});
            EXPECT_EQ(stockOf(set.db(), plank).kcje, d("50"));
            balances.remove(row.id);
            EXPECT_EQ(stockOf(set.db(), plank).kcsl, d("2"));
            EXPECT_EQ(stockOf(set.db(), plank).kcje, d("10"));
            balances.remove(balances.rows().first().id);
            EXPECT_EQ(stockOf(set.db(), plank).kcje, d("0"));
        } else {
            balances.remove(row.id);
            EXPECT_FALSE(stockOf(set.db(), plank).exists);
        }
        test::expectBooksBalance(set.db(), mode, formats);
    }
}

TEST_F(OpeningBalancesTest, GridShowsWhatAPlannedPriceRowPutsIntoStock)
{
    const QString plank = QStringLiteral("1001003");
    set.addMaterial(plank, QStringLiteral("模板"), QStringLiteral("1"), true, d("5"));
    OpeningBalances balances(set.db(), 2, formats);
    balances.add({newRow(steel, "10", "5", "50"), newRow(plank, "6", "10", "60")});
    OpeningBalanceModel model(set.db(), balances);
    model.load(balances.rows());
    const auto planned = [&](int row) {
        return model.data(model.index(row, OpeningBalanceModel::Planned)).toString();
    };
    EXPECT_EQ(model.headerData(OpeningBalanceModel::Planned, Qt::Horizontal).toString().trimmed(),
              QStringLiteral("计划价金额"));
    EXPECT_EQ(planned(0), QString());
    EXPECT_EQ(model.data(model.index(1, OpeningBalanceModel::Amount)).toString(),
              QStringLiteral("60.00"));
    EXPECT_EQ(planned(1), QStringLiteral("50.00"));
    EXPECT_FALSE(model.flags(model.index(1, OpeningBalanceModel::Planned)) & Qt::ItemIsEditable);

    // While a row is changed or typed, the planned value follows its quantity.
    ASSERT_TRUE(model.beginChange(1));
    model.setData(model.index(1, OpeningBalanceModel::Quantity), QStringLiteral("4"));
    EXPECT_EQ(planned(1), QStringLiteral("20.00"));
    const int row = model.appendNew();
    model.setData(model.index(row, OpeningBalanceModel::Code), plank);
    EXPECT_EQ(planned(row), QString());
    model.setData(model.index(row, OpeningBalanceModel::Quantity), QStringLiteral("3"));
    EXPECT_EQ(planned(row), QStringLiteral("15.00"));
    model.setData(model.index(row, OpeningBalanceModel::Code), steel);
    EXPECT_EQ(planned(row), QString());
}

TEST(MaterialLookupTest, ListsLeavesWithStockAndSearchesLiterally)
{
    test::TestAccountSet set;
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("50%钢"));
    set.addMaterial(QStringLiteral("1002"), QStringLiteral("5a0钢"));
    set.addMaterial(QStringLiteral("2001"), QStringLiteral("水泥"), QStringLiteral("2"));
    set.db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES ('1001', ?, ?)"),
                  {d("3").toVariant(), d("10").toVariant()});
    MaterialLookup lookup(set.db());

    const QList<MaterialLookup::Row> all = lookup.search();
    ASSERT_EQ(all.size(), 3); // the category is no material
    EXPECT_EQ(all[0].clbh, QStringLiteral("1001"));
    EXPECT_EQ(all[0].stockPrice(), d("3.3333"));
    EXPECT_FALSE(all[1].stockPrice());

    EXPECT_EQ(lookup.search(MaterialLookup::By::Code, QStringLiteral("10")).size(), 2);
    const QList<MaterialLookup::Row> byName =
        lookup.search(MaterialLookup::By::Name, QStringLiteral("50%"));
    ASSERT_EQ(byName.size(), 1);
    EXPECT_EQ(byName[0].clbh, QStringLiteral("1001"));
    EXPECT_TRUE(lookup.search(MaterialLookup::By::Code, QStringLiteral("_")).isEmpty());
    EXPECT_TRUE(lookup.find(QStringLiteral("2001")));
    EXPECT_FALSE(lookup.find(QStringLiteral("1")));
}
