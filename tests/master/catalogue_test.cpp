#include "master/catalogue.h"
#include "store/errors.h"
#include "store/materiallibraries.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace varnock {
namespace {

QString refusalText(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QStringLiteral("<no refusal>");
}

const Catalogue::Confirm yes = [](const QString &) { return true; };
const Catalogue::Confirm no = [](const QString &) { return false; };

MaterialDraft draft(const QString &code, const QString &parent)
{
    MaterialDraft d;
    d.clbh = code;
    d.sjbh = parent;
    d.clmc = QStringLiteral("螺纹钢");
    d.clgg = QStringLiteral("Φ12");
    d.jzdw = QStringLiteral("吨");
    d.jhdj = QStringLiteral("3650.5");
    d.jhsl = QStringLiteral("2");
    return d;
}

QStringList codes(const QList<CatalogueRow> &rows)
{
    QStringList result;
    for (const CatalogueRow &r : rows)
        result << r.clbh;
    return result;
}

int count(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
}

class CatalogueTest : public ::testing::Test
{
protected:
    test::TestAccountSet set;
    Catalogue catalogue{set.db()};
};

TEST_F(CatalogueTest, ProposesCodesFromTheLargestSibling)
{
    EXPECT_EQ(catalogue.proposeCode(Catalogue::RootCode), QStringLiteral("1"));
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    EXPECT_EQ(catalogue.proposeCode(QStringLiteral("1001")), QStringLiteral("1001001"));

    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("a"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001004"), QStringLiteral("b"), QStringLiteral("1001"));
    EXPECT_EQ(catalogue.proposeCode(QStringLiteral("1001")), QStringLiteral("1001005"));

    // A gap is never filled; a deleted last code comes back.
    ASSERT_TRUE(catalogue.remove(QStringLiteral("1001004"), yes));
    EXPECT_EQ(catalogue.proposeCode(QStringLiteral("1001")), QStringLiteral("1001002"));
}

TEST_F(CatalogueTest, TopLevelCodesCountOnWithoutPadding)
{
    for (int i = 1; i <= 9; ++i) {
        const QString code = catalogue.proposeCode(Catalogue::RootCode);
        EXPECT_EQ(code, QString::number(i));
        catalogue.addCategory(code, QStringLiteral("类%1").arg(i), Catalogue::RootCode);
    }
    EXPECT_EQ(catalogue.proposeCode(Catalogue::RootCode), QStringLiteral("10"));
    catalogue.addCategory(QStringLiteral("10"), QStringLiteral("类10"), Catalogue::RootCode);
    EXPECT_EQ(catalogue.proposeCode(Catalogue::RootCode), QStringLiteral("11"));
    // Numeric, not text order: "9" is not larger than "10".
    EXPECT_EQ(catalogue.proposeCode(QStringLiteral("10")), QStringLiteral("10001"));
}

TEST_F(CatalogueTest, RefusesAThousandthChild)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1998"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_EQ(catalogue.proposeCode(QStringLiteral("1")), QStringLiteral("1999"));
    set.addCategory(QStringLiteral("1999"), QStringLiteral("y"), QStringLiteral("1"));
    EXPECT_EQ(refusalText([&] { catalogue.proposeCode(QStringLiteral("1")); }),
              QStringLiteral("该类别下已有999个编码，不能再增加！"));

    // Deep codes beyond any machine integer still count on.
    const QString deep = QStringLiteral("1234567890123456789");
    set.addMaterial(deep + QStringLiteral("998"), QStringLiteral("n"), deep);
    EXPECT_EQ(catalogue.proposeCode(deep), deep + QStringLiteral("999"));
}

TEST_F(CatalogueTest, CodeMustBeginWithItsParentsCode)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    EXPECT_EQ(refusalText([&] {
                  catalogue.addCategory(QStringLiteral("2001"), QStringLiteral("型钢"),
                                        QStringLiteral("1"));
              }),
              QStringLiteral("编码前1位必须为上级编号！"));
    EXPECT_EQ(refusalText([&] { catalogue.addMaterial(draft("1002001", "1001"), yes); }),
              QStringLiteral("编码前4位必须为上级编号！"));
    EXPECT_EQ(refusalText([] { Catalogue::checkPrefix(QStringLiteral("100"), "1001"); }),
              QStringLiteral("编码前4位必须为上级编号！"));
    // Top-level codes have no parent code to begin with.
    EXPECT_NO_THROW(Catalogue::checkPrefix(QStringLiteral("7"), Catalogue::RootCode));
    EXPECT_NO_THROW(catalogue.addMaterial(draft("1001001", "1001"), yes));
    EXPECT_EQ(count(set.db(), QStringLiteral("CLJBXXB")), 3);
}

TEST_F(CatalogueTest, RequiredFieldsAreCheckedInOrder)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    MaterialDraft d;
    d.sjbh = QStringLiteral("1");
    d.clgg = QStringLiteral("  "); // blanks count as empty
    const auto expectRefusal = [&](const char *text) {
        EXPECT_EQ(refusalText([&] { catalogue.addMaterial(d, yes); }), QString::fromUtf8(text));
    };
    expectRefusal("编号不允许为空！");
    d.clbh = QStringLiteral("1001");
    expectRefusal("名称不允许为空！");
    d.clmc = QStringLiteral("水泥");
    expectRefusal("计量单位不允许为空！");
    d.jzdw = QStringLiteral("吨");
    expectRefusal("材料规格不允许为空！");
    d.clgg = QStringLiteral("P.O42.5");
    expectRefusal("计划单价不允许为空！");
    d.jhdj = QStringLiteral("abc");
    expectRefusal("计划单价必须是数字！");
    d.jhdj = QStringLiteral("420");
    d.hsxs = QStringLiteral("1,5");
    expectRefusal("换算系数必须是数字！");
    d.hsxs = QStringLiteral("0.05");
    d.jhsl = QStringLiteral("x");
    expectRefusal("计划数量必须是数字！");
    EXPECT_EQ(count(set.db(), QStringLiteral("CLJBXXB")), 1);

    d.jhsl.clear();
    d.jjfs = true;
    ASSERT_TRUE(catalogue.addMaterial(d, yes));
    const auto row = catalogue.find(QStringLiteral("1001"));
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->sfmj);
    EXPECT_TRUE(row->jjfs);
    EXPECT_EQ(row->jhdj, Decimal::fromInt(420));
    EXPECT_TRUE(row->jhsl.isZero());
    ASSERT_TRUE(row->hsxs);
    EXPECT_DOUBLE_EQ(*row->hsxs, 0.05);
    EXPECT_EQ(refusalText([&] { catalogue.addMaterial(d, yes); }),
              QStringLiteral("该编号已经存在！"));

    // Editing checks the same fields and keeps code and parent.
    d.jzdw.clear();
    EXPECT_EQ(refusalText([&] { catalogue.updateMaterial(d, yes); }),
              QStringLiteral("计量单位不允许为空！"));
    d.jzdw = QStringLiteral("袋");
    d.hsxs.clear();
    d.jjfs = false;
    d.sjbh = QStringLiteral("9");
    ASSERT_TRUE(catalogue.updateMaterial(d, yes));
    const auto edited = catalogue.find(QStringLiteral("1001"));
    EXPECT_EQ(edited->jzdw, QStringLiteral("袋"));
    EXPECT_FALSE(edited->hsxs);
    EXPECT_FALSE(edited->jjfs);
    EXPECT_EQ(edited->sjbh, QStringLiteral("1"));
}

TEST_F(CatalogueTest, SameNameAndSpecAsksBeforeAdding)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addCategory(QStringLiteral("1002"), QStringLiteral("盘条"), QStringLiteral("1"));
    ASSERT_TRUE(catalogue.addMaterial(draft("1001001", "1001"), no));

    QStringList asked;
    const Catalogue::Confirm record = [&](const QString &q) {
        asked << q;
        return false;
    };
    EXPECT_FALSE(catalogue.addMaterial(draft("1002001", "1002"), record));
    EXPECT_EQ(asked, QStringList{QStringLiteral("该材料已经在钢筋中存在！你是否添加！")});
    EXPECT_FALSE(catalogue.find(QStringLiteral("1002001")));
    EXPECT_TRUE(catalogue.addMaterial(draft("1002001", "1002"), yes));

    // Editing a material does not find the material itself; another twin is asked about.
    asked.clear();
    MaterialDraft own = draft("1001001", "1001");
    own.clgg = QStringLiteral("Φ14");
    EXPECT_TRUE(catalogue.updateMaterial(own, record));
    EXPECT_TRUE(asked.isEmpty());
    own.clgg = QStringLiteral("Φ12");
    EXPECT_FALSE(catalogue.updateMaterial(own, record));
    EXPECT_EQ(asked, QStringList{QStringLiteral("该材料已经在盘条中存在！你是否添加或修改！")});
    EXPECT_EQ(catalogue.find(QStringLiteral("1001001"))->clgg, QStringLiteral("Φ14"));
}

TEST_F(CatalogueTest, CategoryCodeAndNameMustBeNew)
{
    EXPECT_EQ(refusalText([&] { catalogue.addCategory(" ", QStringLiteral("钢材"), "0"); }),
              QStringLiteral("编号和名称不允许为空！"));
    EXPECT_EQ(refusalText([&] { catalogue.addCategory("0", QStringLiteral("钢材"), "0"); }),
              QStringLiteral("编号不允许为0！"));
    catalogue.addCategory(QStringLiteral("1"), QStringLiteral("钢材"), Catalogue::RootCode);
    EXPECT_EQ(refusalText([&] { catalogue.addCategory("2", QStringLiteral("钢材"), "0"); }),
              QStringLiteral("编号和名称不允许重复！"));
    EXPECT_EQ(refusalText([&] { catalogue.addCategory("1", QStringLiteral("木材"), "0"); }),
              QStringLiteral("编号和名称不允许重复！"));
    EXPECT_EQ(refusalText([&] { catalogue.renameCategory("1", QString()); }),
              QStringLiteral("名称不允许为空！"));
    catalogue.addCategory(QStringLiteral("2"), QStringLiteral("木材"), Catalogue::RootCode);
    EXPECT_EQ(refusalText([&] { catalogue.renameCategory("2", QStringLiteral("钢材")); }),
              QStringLiteral("名称不允许重复！"));
    catalogue.renameCategory(QStringLiteral("2"), QStringLiteral("木料"));
    EXPECT_EQ(catalogue.find(QStringLiteral("2"))->clmc, QStringLiteral("木料"));
    EXPECT_FALSE(catalogue.find(QStringLiteral("2"))->sfmj);
}

TEST_F(CatalogueTest, DeletionGuards)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("a"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("b"), QStringLiteral("1001"));
    set.addMaterial(QStringLiteral("1001003"), QStringLiteral("c"), QStringLiteral("1001"));
    set.db().exec(QStringLiteral("INSERT INTO RKD (CLBH, SJSL) VALUES ('1001001', 0)"));
    // Opening balances are matched on the trimmed code.
    set.db().exec(QStringLiteral("INSERT INTO ZWCSH (CLBH, KCSL) VALUES ('1001002 ', 0)"));

    const QString inUse = QStringLiteral("该材料已经做过出入库，不允许删除！");
    bool asked = false;
    const Catalogue::Confirm track = [&](const QString &q) {
        asked = true;
        EXPECT_EQ(q, QStringLiteral("您确定要删除该材料吗？"));
        return false;
    };
    EXPECT_EQ(refusalText([&] { catalogue.remove(QStringLiteral("1001001"), track); }), inUse);
    EXPECT_EQ(refusalText([&] { catalogue.remove(QStringLiteral("1001002"), track); }), inUse);
    EXPECT_EQ(refusalText([&] { catalogue.remove(QStringLiteral("1"), track); }),
              QStringLiteral("请先删除下级编号！"));
    EXPECT_FALSE(asked);

    EXPECT_FALSE(catalogue.remove(QStringLiteral("1001003"), track));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(catalogue.find(QStringLiteral("1001003")));
    EXPECT_TRUE(catalogue.remove(QStringLiteral("1001003"), yes));
    EXPECT_FALSE(catalogue.find(QStringLiteral("1001003")));
    EXPECT_EQ(count(set.db(), QStringLiteral("CLJBXXB")), 4);
}

TEST_F(CatalogueTest, GridRowsFollowSelectionAndSort)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("2"), QStringLiteral("木材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addMaterial(QStringLiteral("1001001"), QStringLiteral("b"), QStringLiteral("1001"), false,
                    Decimal::fromInt(5));
    set.addMaterial(QStringLiteral("1001002"), QStringLiteral("a"), QStringLiteral("1001"), false,
                    Decimal::fromInt(3));
    set.addMaterial(QStringLiteral("2001"), QStringLiteral("c"), QStringLiteral("2"));

    EXPECT_EQ(codes(catalogue.rows(Catalogue::RootCode)),
              QStringList({"1", "1001", "1001001", "1001002", "2", "2001"}));
    EXPECT_EQ(codes(catalogue.rows(QStringLiteral("1001"))),
              QStringList({"1001", "1001001", "1001002"}));
    EXPECT_EQ(codes(catalogue.rows(QStringLiteral("1001"), Catalogue::Sort::Name)),
              QStringList({"1001002", "1001001", "1001"}));
    EXPECT_EQ(codes(catalogue.rows(QStringLiteral("1001"), Catalogue::Sort::PlannedPrice)),
              QStringList({"1001", "1001002", "1001001"}));
    EXPECT_EQ(codes(catalogue.children(Catalogue::RootCode)), QStringList({"1", "2"}));
    EXPECT_EQ(catalogue.parentName(QStringLiteral("1001")), QStringLiteral("钢筋"));
    EXPECT_EQ(catalogue.parentName(Catalogue::RootCode), QStringLiteral("全部材料"));
}

TEST_F(CatalogueTest, OddCharactersAreTakenLiterally)
{
    const QString name = QStringLiteral("O'Brien 100% 钢_材");
    catalogue.addCategory(QStringLiteral("1"), name, Catalogue::RootCode);
    catalogue.addCategory(QStringLiteral("1%_"), QStringLiteral("a_b"), QStringLiteral("1"));
    // A name differing only where a wildcard would match is a different name.
    catalogue.addCategory(QStringLiteral("1002"), QStringLiteral("axb"), QStringLiteral("1"));

    MaterialDraft d = draft(QStringLiteral("1%_ '甲"), QStringLiteral("1%_"));
    d.clmc = QStringLiteral("\"管\" 50%");
    d.clgg = QStringLiteral("_'");
    ASSERT_TRUE(catalogue.addMaterial(d, no));
    MaterialDraft twin = draft(QStringLiteral("1002001"), QStringLiteral("1002"));
    twin.clmc = QStringLiteral("\"管\" 5_%");
    twin.clgg = QStringLiteral("%'");
    EXPECT_TRUE(catalogue.addMaterial(twin, no)); // no question: not a duplicate

    EXPECT_EQ(codes(catalogue.children(QStringLiteral("1%_"))), QStringList{d.clbh});
    EXPECT_EQ(codes(catalogue.rows(QStringLiteral("1%_"))),
              QStringList({QStringLiteral("1%_"), d.clbh}));
    EXPECT_EQ(catalogue.find(d.clbh)->clmc, d.clmc);
    EXPECT_EQ(catalogue.parentName(QStringLiteral("1")), name);
    EXPECT_TRUE(catalogue.remove(d.clbh, yes));
    EXPECT_EQ(count(set.db(), QStringLiteral("CLJBXXB")), 4);
}

TEST_F(CatalogueTest, LibraryImportReplacesEverything)
{
    MaterialLibraries::seed(set.db());
    set.addCategory(QStringLiteral("1"), QStringLiteral("自建类别"));
    set.addMaterial(QStringLiteral("99001"), QStringLiteral("自建材料"), QStringLiteral("99"));
    // Vouchers do not stand in the way.
    set.db().exec(QStringLiteral("INSERT INTO RKD (CLBH, SJSL) VALUES ('99001', 0)"));

    const QList<CatalogueRow> library = catalogue.libraryRows(1);
    ASSERT_FALSE(library.isEmpty());
    catalogue.importLibrary(1);
    EXPECT_EQ(codes(catalogue.rows(Catalogue::RootCode)), codes(library));
    EXPECT_FALSE(catalogue.find(QStringLiteral("99001")));
    EXPECT_EQ(count(set.db(), QStringLiteral("RKD")), 1);

    const auto shipped = MaterialLibraries::rows(1);
    const MaterialLibraries::Row &leaf =
        *std::find_if(shipped.begin(), shipped.end(), [](const auto &r) { return r.sfmj; });
    const auto row = catalogue.find(leaf.clbh);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->sjbh, leaf.sjbh);
    EXPECT_EQ(row->clgg, leaf.clgg);
    EXPECT_EQ(row->jhdj, leaf.jhdj);
    EXPECT_TRUE(row->sfmj);
    EXPECT_EQ(row->crkbz, leaf.crkbz);

    // An empty library would only wipe the catalogue: refused, nothing changed.
    set.db().exec(QStringLiteral("DELETE FROM CLJBXXB2"));
    EXPECT_EQ(refusalText([&] { catalogue.importLibrary(2); }),
              QStringLiteral("所选材料库中没有材料！"));
    EXPECT_EQ(count(set.db(), QStringLiteral("CLJBXXB")), int(library.size()));
}

TEST_F(CatalogueTest, PricingStaysWhileStockOrUnpostedLinesAreValuedByIt)
{
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    MaterialDraft planned = draft(QStringLiteral("1001001"), QStringLiteral("1001"));
    planned.jjfs = true;
    planned.jhdj = QStringLiteral("5");
    MaterialDraft actual = draft(QStringLiteral("1001002"), QStringLiteral("1001"));
    actual.clgg = QStringLiteral("Φ14");
    ASSERT_TRUE(catalogue.addMaterial(planned, no));
    ASSERT_TRUE(catalogue.addMaterial(actual, no));
    const auto changed = [&](MaterialDraft d, const std::function<void(MaterialDraft &)> &edit) {
        edit(d);
        return refusalText([&] { catalogue.updateMaterial(d, no); });
    };
    const auto newPlan = [](MaterialDraft &d) { d.jhdj = QStringLiteral("6"); };
    const auto switched = [](MaterialDraft &d) { d.jjfs = !d.jjfs; };

    // Nothing is valued by the plan yet.
    planned.jhdj = QStringLiteral("5.5");
    ASSERT_TRUE(catalogue.updateMaterial(planned, no));

    set.db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES "
                                 "('1001001', 100000, 550000), ('1001002', 100000, 600000)"));
    const QString inStock = QStringLiteral("该材料还有库存，不允许修改计价方式或计划单价！");
    EXPECT_EQ(changed(planned, newPlan), inStock);
    EXPECT_EQ(changed(planned, switched), inStock);
    EXPECT_EQ(changed(actual, switched), inStock);
    EXPECT_EQ(catalogue.find(planned.clbh)->jhdj, Decimal::parse(u"5.5"));
    EXPECT_TRUE(catalogue.find(planned.clbh)->jjfs);
    EXPECT_FALSE(catalogue.find(actual.clbh)->jjfs);

    // What does not value the stock may change: the name, the same plan written otherwise,
    // the plan of an actual-price material.
    EXPECT_EQ(changed(planned,
                      [](MaterialDraft &d) {
                          d.clmc = QStringLiteral("光圆钢筋");
                          d.jhdj = QStringLiteral("5.50");
                      }),
              QStringLiteral("<no refusal>"));
    EXPECT_EQ(changed(actual, newPlan), QStringLiteral("<no refusal>"));

    // Stock issued to nothing, an unposted line still waits to be valued by the plan.
    set.db().exec(QStringLiteral("UPDATE KC SET KCSL = 0, KCJE = 0"));
    for (const char *table : {"RKD", "THD", "LLD", "TKD"}) {
        SCOPED_TRACE(table);
        set.db().exec(QStringLiteral("INSERT INTO %1 (CLBH, JZBZ) VALUES ('1001001', 0)")
                          .arg(QLatin1String(table)));
        EXPECT_EQ(changed(planned, newPlan),
                  QStringLiteral("该材料还有未登帐的单据，不允许修改计价方式或计划单价！"));
        set.db().exec(QStringLiteral("UPDATE %1 SET JZBZ = 1").arg(QLatin1String(table)));
    }
    EXPECT_EQ(changed(planned, newPlan), QStringLiteral("<no refusal>"));
    EXPECT_EQ(changed(planned, switched), QStringLiteral("<no refusal>"));
}

TEST_F(CatalogueTest, LibraryImportKeepsThePricingOfMaterialsInStock)
{
    MaterialLibraries::seed(set.db());
    catalogue.importLibrary(2);
    const QString clips = QStringLiteral("7001002"); // planned price 6.5 in the library
    ASSERT_TRUE(catalogue.find(clips)->jjfs);
    set.db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, 100000, 650000)"),
                  {clips});

    set.db().exec(QStringLiteral("UPDATE CLJBXXB2 SET JHDJ = 70000 WHERE CLBH = ?"), {clips});
    EXPECT_EQ(refusalText([&] { catalogue.importLibrary(2); }),
              QStringLiteral("材料7001002 扣件还有库存或未登帐的单据，新的材料库将改变它的计价"
                             "方式或计划单价，不允许替换！"));
    EXPECT_EQ(catalogue.find(clips)->jhdj, Decimal::parse(u"6.5"));

    set.db().exec(QStringLiteral("UPDATE CLJBXXB2 SET JHDJ = 65000, CLMC = '直角扣件' "
                                 "WHERE CLBH = ?"),
                  {clips});
    catalogue.importLibrary(2);
    EXPECT_EQ(catalogue.find(clips)->clmc, QStringLiteral("直角扣件"));
}

TEST(CataloguePlannedAmount, FourPlacesAndZeroForNonNumbers)
{
    EXPECT_EQ(Catalogue::plannedAmountText("12.5", "3"), QStringLiteral("37.5000"));
    EXPECT_EQ(Catalogue::plannedAmountText("0.3333", "0.3333"), QStringLiteral("0.1111"));
    EXPECT_EQ(Catalogue::plannedAmountText("abc", "3"), QStringLiteral("0.0000"));
    EXPECT_EQ(Catalogue::plannedAmountText("", ""), QStringLiteral("0.0000"));
}

} // namespace
} // namespace varnock
