#include "print/reporttemplate.h"
#include "print/workbookexport.h"
#include "reports/masterlists.h"
#include "reports/materialledger.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "support/workbookreader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::WorkbookReader;

namespace {

QByteArray hashOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class WorkbookExportTest : public ::testing::Test
{
protected:
    QString reports() const { return QDir(set.folder()).filePath(QStringLiteral("Reports")); }
    QString target(const QString &name = QStringLiteral("out.xlsx")) const
    {
        return QDir(set.folder()).filePath(name);
    }

    // Exports `table` under its own name through the working templates.
    void run(const ReportTable &table, const QString &file)
    {
        const ReportTemplates templates(reports());
        WorkbookExport(templates, formats)
            .run(
                table.name(), [&] { return table; }, QStringLiteral("第三建筑公司"), file,
                [this](int, int, const QString &step) {
                    if (!step.isEmpty())
                        steps << step;
                });
    }

    QString refusalOf(const ReportTable &table, const QString &file)
    {
        try {
            run(table, file);
        } catch (const Refusal &refusal) {
            return refusal.text;
        }
        return {};
    }

    test::TestAccountSet set;
    test::LedgerSeed seed{set.db()};
    Formats formats{QStringLiteral("0.000"), QStringLiteral("0.0")};
    QStringList steps;
};

TEST_F(WorkbookExportTest, CatalogueGoesInAsNumbersInTheSetsFormatsBelowFrozenHeadings)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("热轧带肋钢筋HRB400E直径二十五毫米"),
                    QStringLiteral("1"), true, dec("4350.25"));
    set.db().exec(QStringLiteral("UPDATE CLJBXXB SET JHSL = ?, HSXS = 2.5 WHERE CLBH = '1001'"),
                  {dec("12.5").toVariant()});

    run(MasterLists::catalogue(set.db()), target());

    EXPECT_EQ(steps, (QStringList{WorkbookExport::ScanningText, WorkbookExport::ReadingText}));
    const auto book = WorkbookReader::read(target());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->sheetName(), QStringLiteral("材料信息一览表"));
    EXPECT_EQ(book->text(QStringLiteral("B1")), QStringLiteral("第三建筑公司"));
    EXPECT_EQ(book->text(QStringLiteral("A2")), QStringLiteral("材料信息一览表"));
    EXPECT_EQ(book->text(QStringLiteral("C3")), QStringLiteral("材料名称"));
    EXPECT_TRUE(book->cell(QStringLiteral("C3"))->bold);
    EXPECT_EQ(book->frozenAt(), QStringLiteral("A4"));

    // Row 4: the category, row 5: the material; no placeholder is left.
    EXPECT_EQ(book->text(QStringLiteral("A4")), QStringLiteral("1"));
    EXPECT_EQ(book->text(QStringLiteral("J4")), QString());
    EXPECT_EQ(book->text(QStringLiteral("A5")), QStringLiteral("1001"));
    const auto price = book->cell(QStringLiteral("H5"));
    ASSERT_TRUE(price && price->isNumber);
    EXPECT_DOUBLE_EQ(price->number, 4350.25);
    EXPECT_EQ(price->format, QStringLiteral("0.0"));
    const auto quantity = book->cell(QStringLiteral("I5"));
    ASSERT_TRUE(quantity && quantity->isNumber);
    EXPECT_DOUBLE_EQ(quantity->number, 12.5);
    EXPECT_EQ(quantity->format, QStringLiteral("0.000"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("G5"))->number, 2.5);
    EXPECT_EQ(book->text(QStringLiteral("J5")), QStringLiteral("计划单价"));
    EXPECT_EQ(book->text(QStringLiteral("K5")), QStringLiteral("是"));
    EXPECT_EQ(book->rowCount(), 5);
    // The long name is readable: its column grew past the template's width to the name's.
    EXPECT_GE(book->columnWidth(2), 33);
    EXPECT_GE(book->columnWidth(0), 12);
}

TEST_F(WorkbookExportTest, GroupRowsOfTheOpeningBalancesAreBold)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("圆钢"), QStringLiteral("1"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("圆钢6"), QStringLiteral("1001"));
    seed.opening(QStringLiteral("1001001"), dec("4"), dec("10"));

    run(MasterLists::openingBalances(set.db()), target());

    const auto book = WorkbookReader::read(target());
    ASSERT_TRUE(book);
    EXPECT_FALSE(book->cell(QStringLiteral("G4"))->bold);
    EXPECT_EQ(book->text(QStringLiteral("B5")), QStringLiteral("圆钢 小计"));
    EXPECT_TRUE(book->cell(QStringLiteral("B5"))->bold);
    EXPECT_EQ(book->text(QStringLiteral("B6")), QStringLiteral("钢材 合计"));
    EXPECT_EQ(book->text(QStringLiteral("B7")), QStringLiteral("全部材料 总计"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("G7"))->number, 10);
    EXPECT_EQ(book->cell(QStringLiteral("G7"))->format, QStringLiteral("0.0"));
}

TEST_F(WorkbookExportTest, TheMaterialLedgerGoesOnTheSheetItsTemplateNames)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addMaterial(QStringLiteral("1001"), QStringLiteral("圆钢6"), QStringLiteral("1"));
    seed.opening(QStringLiteral("1001"), dec("4"), dec("10"));

    const MaterialLedger ledger(set.db(), 2);
    run(ledger.build({QStringLiteral("1001")}, QDate(2026, 3, 1), QDate(2026, 3, 31)).table,
        target());

    const auto book = WorkbookReader::read(target());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->sheetName(), QStringLiteral("明细账"));
    EXPECT_EQ(book->text(QStringLiteral("A2")), MaterialLedger::Name);
}

TEST_F(WorkbookExportTest, EveryOtherLayoutOfAReportPlacesTheFieldsOfItsOwnTemplate)
{
    const ReportTemplates templates(reports());
    for (const char *report :
         {"GYSGH", "lldwll", "CLDBBB", "材料出入库查询报表1", "JXCMXZ", "JXCMX", "JXCHZ"}) {
        const QStringList layouts = ReportTemplates::layoutsOf(QString::fromUtf8(report));
        ASSERT_GT(layouts.size(), 1) << report;
        // The report's fields as its own template's placeholder row names them.
        QList<ReportTable::Column> columns;
        const ReportTemplate own = templates.read(layouts.first());
        for (const QString &field : own.rows().last())
            columns.append({field, field, ReportTable::Column::Text});
        const ReportTable table(layouts.first(), QString(), columns);
        for (const QString &layout : layouts) {
            EXPECT_NO_THROW(ReportTemplates::place(templates.read(layout), table))
                << layout.toStdString();
        }
    }
    EXPECT_EQ(ReportTemplates::layoutsOf(QStringLiteral("材料信息一览表")),
              QStringList{QStringLiteral("材料信息一览表")});
}

TEST_F(WorkbookExportTest, AMonthlyLayoutTakesTheFirstThreeEntriesWithoutTheCodes)
{
    using Column = ReportTable::Column;
    QList<Column> columns{{QStringLiteral("CLBH"), QStringLiteral("材料编号")},
                          {QStringLiteral("CLMC"), QStringLiteral("材料名称")},
                          {QStringLiteral("CLGG"), QStringLiteral("规格型号")},
                          {QStringLiteral("JZDW"), QStringLiteral("单位")}};
    for (int i = 1; i <= 5; ++i) {
        columns.append(
            {QStringLiteral("SL%1").arg(i), QStringLiteral("第%1家数量").arg(i), Column::Quantity});
        columns.append(
            {QStringLiteral("JE%1").arg(i), QStringLiteral("第%1家金额").arg(i), Column::Amount});
    }
    columns.append({QStringLiteral("SL"), QStringLiteral("数量"), Column::Quantity});
    columns.append({QStringLiteral("JE"), QStringLiteral("金额"), Column::Amount});
    ReportTable table(QStringLiteral("GYSGH"), QStringLiteral("供应商供货情况"), columns);
    QVariantList cells{QStringLiteral("1001"), QStringLiteral("水泥"), QStringLiteral("P.O42.5"),
                       QStringLiteral("吨")};
    for (int i = 1; i <= 6; ++i)
        cells << ReportTable::figure(Decimal::fromInt(2 * i))
              << ReportTable::figure(Decimal::fromInt(10 * i));
    table.addRow(cells);

    const ReportTemplates templates(reports());
    WorkbookExport(templates, formats)
        .run(
            QStringLiteral("出入库月度汇总"), [&] { return table; }, QStringLiteral("第三建筑公司"),
            target());

    const auto book = WorkbookReader::read(target());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("A2")), QStringLiteral("出入库月度汇总"));
    EXPECT_EQ(book->text(QStringLiteral("D4")), QStringLiteral("第1家数量"));
    EXPECT_EQ(book->text(QStringLiteral("A5")), QStringLiteral("水泥"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("I5"))->number, 30);
    EXPECT_EQ(book->text(QStringLiteral("J5")), QString());
}

TEST_F(WorkbookExportTest, AnEmptyReportSaysSoAndLeavesTheTemplateUntouched)
{
    const ReportTemplates templates(reports());
    templates.restore(QStringLiteral("供应商设置一览表"));
    const QString file = templates.path(QStringLiteral("供应商设置一览表"));
    const QByteArray before = hashOf(file);

    EXPECT_EQ(refusalOf(MasterLists::suppliers(set.db()), target()), QStringLiteral("没有记录！"));

    EXPECT_EQ(hashOf(file), before);
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_FALSE(QFile::exists(target() + QStringLiteral(".part")));
}

TEST_F(WorkbookExportTest, DamagedTemplatesAreRefusedAndMissingOnesComeBackFromTheDelivered)
{
    set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
    const ReportTable units = MasterLists::units(set.db());
    const ReportTemplates templates(reports());
    const QString file = templates.path(units.name());

    // Missing: the delivered copy is put in place and used.
    ASSERT_FALSE(QFile::exists(file));
    run(units, target());
    EXPECT_EQ(hashOf(file), QCryptographicHash::hash(ReportTemplates::deliveredCopy(units.name()),
                                                     QCryptographicHash::Sha256));
    EXPECT_EQ(WorkbookReader::read(target())->text(QStringLiteral("B4")), QStringLiteral("一工区"));

    const QString damaged = ReportTemplates::DamagedText;
    writeFile(file, "{\"rows\": [[\"编制单位：\"], [\"领料单位设置一览表\"]");
    EXPECT_EQ(refusalOf(units, target(QStringLiteral("a.xlsx"))), damaged);
    // The placeholder row without its last field.
    writeFile(file, R"({"rows": [["编制单位："], ["BH", "MC", "DZ", "LXR", "DH"]]})");
    EXPECT_EQ(refusalOf(units, target(QStringLiteral("b.xlsx"))), damaged);
    // A cell between the placeholders that names no field of the report.
    writeFile(file, R"({"rows": [["BH", "MC", "XYZ", "LXR", "DH", "BZ"]]})");
    EXPECT_EQ(refusalOf(units, target(QStringLiteral("c.xlsx"))), damaged);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("a.xlsx"))));

    // A template of our own: fewer fields in another order, a blank column.
    writeFile(file, R"({"rows": [["编制单位："], ["BH", "", "MC", "BZ"]]})");
    run(units, target(QStringLiteral("d.xlsx")));
    const auto book = WorkbookReader::read(target(QStringLiteral("d.xlsx")));
    EXPECT_EQ(book->text(QStringLiteral("A2")), QStringLiteral("01"));
    EXPECT_EQ(book->text(QStringLiteral("B2")), QString());
    EXPECT_EQ(book->text(QStringLiteral("C2")), QStringLiteral("一工区"));
}

TEST_F(WorkbookExportTest, PeriodLineGoesInAndRowsBelowThePlaceholderMoveBelowTheData)
{
    using Column = ReportTable::Column;
    ReportTable table(QStringLiteral("测试月报"), QStringLiteral("测试月报"),
                      {{QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("SL"), QStringLiteral("数量"), Column::Quantity},
                       {QStringLiteral("TS"), QStringLiteral("天数"), Column::Integer}});
    table.setPeriod({QDate(2026, 3, 1), QDate(2026, 3, 31)});
    table.addRow({QStringLiteral("圆钢"), ReportTable::figure(dec("1.5")), qlonglong(3)});
    table.addRow({QStringLiteral("角钢"), {}, qlonglong(4)});
    QDir().mkpath(reports());
    writeFile(ReportTemplates(reports()).path(table.name()),
              R"({"rows": [["单位："], ["测试月报"], [""], ["名称", "数量", "天数"],
                            ["CLMC", "SL", "TS"], ["制表："]],
                  "titleRow": 2, "headingRow": 4, "periodCell": "A3"})");

    run(table, target());

    const auto book = WorkbookReader::read(target());
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("A3")),
              QStringLiteral("     2026-03-01   至   2026-03-31"));
    EXPECT_EQ(book->text(QStringLiteral("A5")), QStringLiteral("圆钢"));
    EXPECT_EQ(book->cell(QStringLiteral("B5"))->format, QStringLiteral("0.000"));
    EXPECT_FALSE(book->cell(QStringLiteral("B6"))->isNumber);
    EXPECT_EQ(book->cell(QStringLiteral("C6"))->format, QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("C6"))->number, 4);
    EXPECT_EQ(book->text(QStringLiteral("A7")), QStringLiteral("制表："));
    EXPECT_EQ(book->frozenAt(), QStringLiteral("A5"));
}

TEST_F(WorkbookExportTest, AWorkbookReplacesTheOldOneAndAFailedWriteLeavesNothing)
{
    set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
    writeFile(target(), "an older export");
    run(MasterLists::units(set.db()), target());
    EXPECT_TRUE(WorkbookReader::read(target()));

    const QString nowhere = QDir(set.folder()).filePath(QStringLiteral("missing/out.xlsx"));
    EXPECT_THROW(run(MasterLists::units(set.db()), nowhere), StoreError);
    EXPECT_FALSE(QFile::exists(nowhere + QStringLiteral(".part")));
}

} // namespace
