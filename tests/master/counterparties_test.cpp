#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "store/errors.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;

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

int count(Database &db, const QString &sql, const QVariantList &values = {})
{
    return db.scalar(sql, values).toInt();
}

Suppliers::Supplier supplier(const QString &bh, const QString &mc)
{
    Suppliers::Supplier s;
    s.bh = bh;
    s.mc = mc;
    return s;
}

} // namespace

TEST(SuppliersTest, ProposesOneMoreThanTheNumericMaximum)
{
    test::TestAccountSet set;
    Suppliers suppliers(set.db());
    EXPECT_EQ(suppliers.proposeCode(), QStringLiteral("1"));

    set.addSupplier(QStringLiteral("1"), QStringLiteral("甲"));
    set.addSupplier(QStringLiteral("2"), QStringLiteral("乙"));
    set.addSupplier(QStringLiteral("10"), QStringLiteral("丙"));
    // Text order would see "2" as the greatest.
    EXPECT_EQ(suppliers.proposeCode(), QStringLiteral("11"));

    // The list follows the same numeric order.
    QStringList codes;
    for (const Suppliers::Entry &e : suppliers.list())
        codes << e.bh;
    EXPECT_EQ(codes, (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("10")}));

    // Codes that do not start with a number count as 0; a leading number counts.
    set.addSupplier(QStringLiteral("A7"), QStringLiteral("丁"));
    set.addSupplier(QStringLiteral("12b"), QStringLiteral("戊"));
    EXPECT_EQ(suppliers.proposeCode(), QStringLiteral("13"));
}

TEST(SuppliersTest, AddAndUpdateRefuseTakenCodesAndNames)
{
    test::TestAccountSet set;
    Suppliers suppliers(set.db());

    Suppliers::Supplier s = supplier(QStringLiteral("1"), QStringLiteral("O'Brien 100% _钢材_"));
    s.zgcp = QStringLiteral("螺纹钢");
    s.csqk = *Decimal::parse(QStringLiteral("1234.56"));
    suppliers.add(s);

    const std::optional<Suppliers::Supplier> stored = suppliers.find(QStringLiteral("1"));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->mc, s.mc);
    EXPECT_EQ(stored->zgcp, QStringLiteral("螺纹钢"));
    EXPECT_EQ(stored->csqk, s.csqk);

    EXPECT_EQ(refusalOf([&] { suppliers.add(supplier(QStringLiteral("1"), QStringLiteral("x"))); }),
              QStringLiteral("这个编号已经存在，请重新输入！！！"));
    EXPECT_EQ(refusalOf([&] { suppliers.add(supplier(QStringLiteral("2"), s.mc)); }),
              QStringLiteral("这个名称已经存在，请重新输入！！！"));
    EXPECT_EQ(refusalOf([&] { suppliers.add(supplier(QStringLiteral(" "), QStringLiteral("y"))); }),
              QStringLiteral("供应商编号不得为空！！！"));
    EXPECT_EQ(count(set.db(), QStringLiteral("SELECT COUNT(*) FROM GYS")), 1);

    suppliers.add(supplier(QStringLiteral("2"), QStringLiteral("乙公司")));
    Suppliers::Supplier changed = supplier(QStringLiteral("2"), s.mc);
    EXPECT_EQ(refusalOf([&] { suppliers.update(changed); }),
              QStringLiteral("这个名称已经存在，请重新输入！！！"));
    changed.mc = QString();
    EXPECT_EQ(refusalOf([&] { suppliers.update(changed); }),
              QStringLiteral("供应单位名称不得为空！！！"));

    // Keeping its own name is no conflict; the opening debt may change.
    changed.mc = QStringLiteral("乙公司");
    changed.csqk = *Decimal::parse(QStringLiteral("-20.5"));
    suppliers.update(changed);
    EXPECT_EQ(suppliers.find(QStringLiteral("2"))->csqk, *Decimal::parse(QStringLiteral("-20.5")));
}

TEST(SuppliersTest, DeletionGuardsStockInAndTakesPaymentsAlong)
{
    test::TestAccountSet set;
    Database &db = set.db();
    set.addSupplier(QStringLiteral("1"), QStringLiteral("有入库"));
    set.addSupplier(QStringLiteral("2"), QStringLiteral("只有付款"));
    db.exec(QStringLiteral("INSERT INTO RKD (XTBH, GYSBH, CLBH) VALUES (1, '1', '1001')"));
    db.exec(QStringLiteral("INSERT INTO FQFSAVE (GYSBH, JE) VALUES ('1', 100), ('2', 200), "
                           "('2', 300)"));
    db.exec(QStringLiteral("INSERT INTO HZCL (GYSBH, JE) VALUES ('2', 50)"));
    Suppliers suppliers(db);

    EXPECT_EQ(refusalOf([&] { suppliers.remove(QStringLiteral("1")); }),
              QStringLiteral("这个供应商已经做过入库操作！\n不能删除！！！"));
    EXPECT_EQ(count(db, QStringLiteral("SELECT COUNT(*) FROM FQFSAVE WHERE GYSBH = '1'")), 1);

    suppliers.remove(QStringLiteral("2"));
    EXPECT_FALSE(suppliers.find(QStringLiteral("2")));
    EXPECT_EQ(count(db, QStringLiteral("SELECT COUNT(*) FROM FQFSAVE WHERE GYSBH = '2'")), 0);
    // Repayment records stay.
    EXPECT_EQ(count(db, QStringLiteral("SELECT COUNT(*) FROM HZCL WHERE GYSBH = '2'")), 1);
}

TEST(SuppliersTest, FailedDeletionKeepsThePayments)
{
    test::TestAccountSet set;
    Database &db = set.db();
    set.addSupplier(QStringLiteral("2"), QStringLiteral("只有付款"));
    db.exec(QStringLiteral("INSERT INTO FQFSAVE (GYSBH, JE) VALUES ('2', 200)"));
    // Deleting the supplier row fails after the payments are gone: both must come back.
    db.exec(QStringLiteral("CREATE TRIGGER no_delete BEFORE DELETE ON GYS "
                           "BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    EXPECT_THROW(Suppliers(db).remove(QStringLiteral("2")), StoreError);
    EXPECT_EQ(count(db, QStringLiteral("SELECT COUNT(*) FROM FQFSAVE")), 1);
    EXPECT_EQ(count(db, QStringLiteral("SELECT COUNT(*) FROM GYS")), 1);
}

TEST(ConsumingUnitsTest, SaveChecksInOrderAndRefusesDuplicateCodes)
{
    test::TestAccountSet set;
    ConsumingUnits units(set.db());
    EXPECT_EQ(refusalOf([&] {
                  units.add({QString(), QString(), {}, {}, {}, {}});
              }),
              QStringLiteral("编号不允许为空！"));
    EXPECT_EQ(refusalOf([&] {
                  units.add({QStringLiteral("01"), QString(), {}, {}, {}, {}});
              }),
              QStringLiteral("名称不允许为空！"));
    units.add({QStringLiteral("01"), QStringLiteral("一工区 'A'"), QStringLiteral("东门"),
               QStringLiteral("张三"), QStringLiteral("123"), QString()});
    EXPECT_EQ(refusalOf([&] {
                  units.add({QStringLiteral("01"), QStringLiteral("二工区"), {}, {}, {}, {}});
              }),
              QStringLiteral("编号不允许重复！"));

    units.update({QStringLiteral("01"), QStringLiteral("一工区"), QString(), QStringLiteral("李四"),
                  QString(), QStringLiteral("改")});
    const std::optional<ConsumingUnits::Unit> unit = units.find(QStringLiteral("01"));
    ASSERT_TRUE(unit);
    EXPECT_EQ(unit->mc, QStringLiteral("一工区"));
    EXPECT_EQ(unit->lxr, QStringLiteral("李四"));
    EXPECT_EQ(unit->bz, QStringLiteral("改"));
}

TEST(ConsumingUnitsTest, UnitOnIssueLinesCannotBeDeletedButOneOnReturnsOnlyCan)
{
    test::TestAccountSet set;
    Database &db = set.db();
    set.addUnit(QStringLiteral("01"), QStringLiteral("领过料"));
    set.addUnit(QStringLiteral("02"), QStringLiteral("只有退料"));
    db.exec(QStringLiteral("INSERT INTO LLD (XTBH, LLDWBH, CLBH) VALUES (1, '01', '1001')"));
    db.exec(QStringLiteral("INSERT INTO TKD (XTBH, LLDWBH, CLBH) VALUES (1, '02', '1001')"));
    ConsumingUnits units(db);

    EXPECT_EQ(refusalOf([&] { units.remove(QStringLiteral("01")); }),
              QStringLiteral("该单位已经做过业务不允许删除！"));
    EXPECT_TRUE(units.find(QStringLiteral("01")));
    units.remove(QStringLiteral("02"));
    EXPECT_FALSE(units.find(QStringLiteral("02")));
}

TEST(CounterpartySearchTest, PrefixSearchTakesWildcardsLiterally)
{
    test::TestAccountSet set;
    set.addSupplier(QStringLiteral("1"), QStringLiteral("100%钢材"));
    set.addSupplier(QStringLiteral("2"), QStringLiteral("1000钢材"));
    set.addSupplier(QStringLiteral("3"), QStringLiteral("a_b建材"));
    set.addSupplier(QStringLiteral("4"), QStringLiteral("axb建材"));
    set.addSupplier(QStringLiteral("10"), QStringLiteral("华东"));
    Suppliers suppliers(set.db());

    auto codes = [](const QList<Counterparty> &rows) {
        QStringList out;
        for (const Counterparty &row : rows)
            out << row.code;
        return out;
    };
    EXPECT_EQ(codes(suppliers.search(CounterpartySearch::ByName, QStringLiteral("100%"))),
              QStringList{QStringLiteral("1")});
    EXPECT_EQ(codes(suppliers.search(CounterpartySearch::ByName, QStringLiteral("a_"))),
              QStringList{QStringLiteral("3")});
    EXPECT_TRUE(suppliers.search(CounterpartySearch::ByName, QStringLiteral("%")).isEmpty());
    EXPECT_EQ(codes(suppliers.search(CounterpartySearch::ByName, QStringLiteral("华"))),
              QStringList{QStringLiteral("10")});
    // Code prefix; the picker orders by the code's text.
    EXPECT_EQ(codes(suppliers.search(CounterpartySearch::ByCode, QStringLiteral("1"))),
              (QStringList{QStringLiteral("1"), QStringLiteral("10")}));
    EXPECT_EQ(suppliers.search(CounterpartySearch::All, QStringLiteral("ignored")).size(), 5);

    set.addUnit(QStringLiteral("U_1"), QStringLiteral("一队"));
    set.addUnit(QStringLiteral("UX1"), QStringLiteral("二队"));
    ConsumingUnits units(set.db());
    EXPECT_EQ(codes(units.search(CounterpartySearch::ByCode, QStringLiteral("U_"))),
              QStringList{QStringLiteral("U_1")});
    EXPECT_EQ(units.values(CounterpartySearch::ByName),
              (QStringList{QStringLiteral("一队"), QStringLiteral("二队")}));
}

TEST(CounterpartySearchTest, SupplierRowsCarryRepresentativeAsContact)
{
    test::TestAccountSet set;
    Suppliers suppliers(set.db());
    Suppliers::Supplier s = supplier(QStringLiteral("5"), QStringLiteral("某公司"));
    s.dz = QStringLiteral("北京");
    s.fr = QStringLiteral("王五");
    s.lxdh = QStringLiteral("010-1");
    suppliers.add(s);
    const QList<Counterparty> rows = suppliers.search(CounterpartySearch::All, QString());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].address, QStringLiteral("北京"));
    EXPECT_EQ(rows[0].contact, QStringLiteral("王五"));
    EXPECT_EQ(rows[0].phone, QStringLiteral("010-1"));
}
