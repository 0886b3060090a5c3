#include "ledger/costengine.h"
#include "ledger/stockcount.h"
#include "print/reporttemplate.h"
#include "reports/ledgerreports.h"
#include "reports/masterlists.h"
#include "reports/reportcatalog.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;

namespace {

// Code, name and amount of every row, with the row's style.
QStringList rowsOf(const ReportTable &table, const Formats &formats)
{
    QStringList rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        const QString style =
            table.style(r) == ReportTable::RowStyle::Detail ? QString() : QStringLiteral("*");
        rows << style + table.displayText(r, 0, formats) + QLatin1Char('|') +
                    table.displayText(r, 1, formats) + QLatin1Char('|') +
                    table.displayText(r, table.columnCount() - 1, formats);
    }
    return rows;
}

TEST(MasterLists, OpeningBalancesCarrySubtotalsPerParentAndTotalsPerGrandparent)
{
    test::TestAccountSet set;
    test::LedgerSeed seed(set.db());
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("圆钢"), QStringLiteral("1"));
    set.addCategory(QStringLiteral("1002"), QStringLiteral("角钢"), QStringLiteral("1"));
    set.addCategory(QStringLiteral("2"), QStringLiteral("木材"));
    set.addCategory(QStringLiteral("2001"), QStringLiteral("板材"), QStringLiteral("2"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("圆钢6"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("圆钢8"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1002001"), QStringLiteral("角钢50"), QStringLiteral("1002"));
    set.addMaterial(QStringLiteral("2001001"), QStringLiteral("松木板"), QStringLiteral("2001"));
    seed.opening(QStringLiteral("2001001"), dec("2"), dec("7"));
    seed.opening(QStringLiteral("1001002"), dec("1"), dec("2"));
    seed.opening(QStringLiteral("1001001"), dec("1"), dec("1.5"));
    seed.opening(QStringLiteral("1002001"), dec("3"), dec("9"));

    const ReportTable table = MasterLists::openingBalances(set.db());

    EXPECT_EQ(rowsOf(table, Formats()),
              (QStringList{"1001001|圆钢6|1.50", "1001002|圆钢8|2.00", "*1001|圆钢 小计|3.50",
                           "1002001|角钢50|9.00", "*1002|角钢 小计|9.00", "*1|钢材 合计|12.50",
                           "2001001|松木板|7.00", "*2001|板材 小计|7.00", "*2|木材 合计|7.00",
                           "*0|全部材料 总计|19.50"}));
    EXPECT_EQ(table.style(2), ReportTable::RowStyle::Subtotal);
    EXPECT_EQ(table.style(5), ReportTable::RowStyle::Total);
    EXPECT_TRUE(MasterLists::openingBalances(test::TestAccountSet().db()).isEmpty());
}

TEST(LedgerReports, StockListSumsUpTheLevelAskedForAndFillsItsWorkTable)
{
    test::TestAccountSet set;
    test::LedgerSeed seed(set.db());
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("圆钢"), QStringLiteral("1"));
    set.addCategory(QStringLiteral("10"), QStringLiteral("木材"));
    set.addCategory(QStringLiteral("10001"), QStringLiteral("板材"), QStringLiteral("10"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("圆钢6"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("圆钢8"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("10001001"), QStringLiteral("松木板"), QStringLiteral("10001"),
                    true, dec("3"));
    seed.opening(QStringLiteral("1001001"), dec("2"), dec("5"));
    seed.opening(QStringLiteral("1001002"), dec("1"), dec("2"));
    seed.opening(QStringLiteral("10001001"), dec("2"), dec("7"));
    set.db().exec(QStringLiteral("UPDATE KC SET KCSL = 0, KCJE = 0 WHERE CLBH = '1001002'"));

    // Material 10001001 of category 10 is not counted under 1; it stands at plan.
    const ReportTable every = LedgerReports::stockList(set.db(), LedgerReports::Level::Every);
    EXPECT_EQ(rowsOf(every, Formats()),
              (QStringList{"1001001|圆钢6|5.00", "*1001|圆钢 小计|5.00", "*1|钢材 合计|5.00",
                           "10001001|松木板|6.00", "*10001|板材 小计|6.00", "*10|木材 合计|6.00",
                           "*0|全部材料 总计|11.00"}));
    EXPECT_EQ(every.displayText(0, every.columnOf(QStringLiteral("KCDJ")), Formats()),
              QStringLiteral("2.50"));
    EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM KCPD_TEMP")).toInt(), 7);
    EXPECT_EQ(rowsOf(LedgerReports::stockList(set.db(), LedgerReports::Level::First), Formats()),
              (QStringList{"*1|钢材 合计|5.00", "*10|木材 合计|6.00", "*0|全部材料 总计|11.00"}));
    EXPECT_EQ(
        rowsOf(LedgerReports::stockList(set.db(), LedgerReports::Level::Second), Formats()).first(),
        QStringLiteral("*1001|圆钢 小计|5.00"));
}

TEST(LedgerReports, CountResultShowsBookCountedSurplusAndDeficitUpToItsEnd)
{
    test::TestAccountSet set;
    test::LedgerSeed seed(set.db());
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"));
    set.addMaterial(QStringLiteral("1002"), QStringLiteral("角钢"));
    set.addMaterial(QStringLiteral("1003"), QStringLiteral("扁钢"));
    seed.opening(QStringLiteral("1001"), dec("10"), dec("100"));
    seed.opening(QStringLiteral("1002"), dec("4"), dec("10"));
    StockCount(set.db(), CostEngine::MovingAverage, Formats())
        .save({{QStringLiteral("1001"), dec("12"), {}}, {QStringLiteral("1002"), dec("3"), {}}},
              QDate(2026, 2, 10));

    const ReportTable t = LedgerReports::countResult(set.db(), QDate(2026, 2, 28));
    const auto at = [&t](int row, const char *field) {
        return t.figureAt(row, t.columnOf(QString::fromLatin1(field)));
    };
    // Two materials, their group and the total; 1003 never held anything.
    ASSERT_EQ(t.rowCount(), 4);
    EXPECT_EQ(at(0, "DJ"), dec("10"));
    EXPECT_EQ(at(0, "ZMSL"), dec("10"));
    EXPECT_EQ(at(0, "QDSL"), dec("12"));
    EXPECT_EQ(at(0, "PYJE"), dec("20"));
    EXPECT_EQ(at(1, "PKSL"), dec("-1"));
    EXPECT_EQ(at(1, "QDJE"), dec("7.5"));
    EXPECT_EQ(t.displayText(3, 1, Formats()), QStringLiteral("全部材料  总计"));
    EXPECT_EQ(at(3, "QDJE"), dec("127.5"));
    // Before the count the counted balance is the book.
    const ReportTable before = LedgerReports::countResult(set.db(), QDate(2026, 2, 9));
    EXPECT_EQ(before.figureAt(0, before.columnOf(QStringLiteral("QDSL"))), dec("10"));
    test::expectBooksBalance(set.db(), CostEngine::MovingAverage, Formats());
}

TEST(MasterLists, CatalogueAndCounterpartyListsShowEveryRowReadably)
{
    test::TestAccountSet set;
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢"), QStringLiteral("1"), true,
                    dec("12.345"));
    set.addSupplier(QStringLiteral("2"), QStringLiteral("乙公司"));
    set.addSupplier(QStringLiteral("1"), QStringLiteral("甲公司"));
    set.db().exec(QStringLiteral("UPDATE GYS SET CSQK = ? WHERE BH = '1'"),
                  {dec("1500").toVariant()});
    set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));

    const Formats formats(QStringLiteral("0"), QStringLiteral("0.000"));
    const ReportTable catalogue = MasterLists::catalogue(set.db());
    ASSERT_EQ(catalogue.rowCount(), 2);
    const int price = catalogue.columnOf(QStringLiteral("JHDJ"));
    const int pricing = catalogue.columnOf(QStringLiteral("JJFS"));
    const int leaf = catalogue.columnOf(QStringLiteral("SFMJ"));
    // A category has no price or pricing of its own.
    EXPECT_TRUE(catalogue.isEmptyAt(0, price));
    EXPECT_TRUE(catalogue.isEmptyAt(0, pricing));
    EXPECT_EQ(catalogue.displayText(0, leaf, formats), QStringLiteral("否"));
    EXPECT_EQ(catalogue.displayText(1, price, formats), QStringLiteral("12.345"));
    EXPECT_EQ(catalogue.displayText(1, pricing, formats), QStringLiteral("计划单价"));

    const ReportTable suppliers = MasterLists::suppliers(set.db());
    ASSERT_EQ(suppliers.rowCount(), 2);
    EXPECT_EQ(suppliers.displayText(0, 1, formats), QStringLiteral("甲公司"));
    EXPECT_EQ(suppliers.figureAt(0, suppliers.columnOf(QStringLiteral("CSQK"))), dec("1500"));
    EXPECT_EQ(MasterLists::units(set.db()).displayText(0, 1, formats), QStringLiteral("一工区"));
}

TEST(ReportCatalog, MasterListsAreFoundByNameAndByTableKey)
{
    for (const auto &[name, key] :
         {std::pair{"材料信息一览表", "CLJBXXB"}, std::pair{"供应商设置一览表", "GYS"},
          std::pair{"领料单位设置一览表", "LLDW"}, std::pair{"账务初始资料", "ZWCSH"}}) {
        const ReportCatalog::Entry *byName = ReportCatalog::find(QString::fromUtf8(name));
        ASSERT_TRUE(byName) << name;
        EXPECT_EQ(ReportCatalog::find(QString::fromUtf8(key).toLower()), byName);
        EXPECT_FALSE(byName->hasPeriod);
    }
    EXPECT_EQ(ReportCatalog::find(QStringLiteral("无此报表")), nullptr);
}

TEST(ReportCatalog, EveryReportHasADeliveredTemplateThatFitsIt)
{
    test::TestAccountSet set;
    for (const ReportCatalog::Entry &e : ReportCatalog::entries()) {
        const auto sheet = ReportTemplate::parse(ReportTemplates::deliveredCopy(e.name));
        ASSERT_TRUE(sheet) << e.name.toStdString();
        const std::optional<ReportPeriod> period =
            e.hasPeriod ? std::optional(ReportPeriod{QDate(2026, 3, 1), QDate(2026, 3, 31)})
                        : std::nullopt;
        const ReportTable table = e.build(set.db(), period);
        const auto placement = sheet->place(table);
        ASSERT_TRUE(placement) << e.name.toStdString();
        // Every field of the report has its column.
        EXPECT_EQ(placement->fields.size(), table.columnCount()) << e.name.toStdString();
        EXPECT_EQ(sheet->rows().at(sheet->headingRow() - 1).size(), table.columnCount());
    }
}

} // namespace
