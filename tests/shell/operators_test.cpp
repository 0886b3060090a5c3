#include "shell/operators.h"
#include "shell/passwords.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;

namespace {

class OperatorsTest : public ::testing::Test
{
protected:
    Database &db() { return m_set.db(); }

    // An operator row written the way an older version kept it: password in plain text.
    void addPlain(int number, const QString &name, const QString &pass)
    {
        db().exec(QStringLiteral("INSERT INTO CZY (BH, CZY, DH, PASS) VALUES (?, ?, '', ?)"),
                  {number, name, pass});
        db().exec(QStringLiteral("INSERT INTO CZYQX (BH) VALUES (?)"), {number});
    }

    QString refusalOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const Refusal &r) {
            return r.text;
        }
        return QString();
    }

    void failOn(const QString &event)
    {
        db().exec(QStringLiteral("CREATE TRIGGER fail BEFORE ") + event +
                  QStringLiteral(" ON CZYQX BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    }

    int count(const QString &table)
    {
        return db().scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    }

    test::TestAccountSet m_set;
    Operators m_ops{m_set.db()};
};

} // namespace

TEST_F(OperatorsTest, LoginRefusesEmptyFieldsAndUnknownNames)
{
    addPlain(1, QStringLiteral("系统管理员"), QStringLiteral("1"));
    EXPECT_EQ(refusalOf([&] { m_ops.login(QString(), QStringLiteral("1")); }),
              QStringLiteral("请输入操作员姓名或口令！"));
    EXPECT_EQ(refusalOf([&] { m_ops.login(QStringLiteral("系统管理员"), QString()); }),
              QStringLiteral("请输入操作员姓名或口令！"));
    EXPECT_EQ(refusalOf([&] { m_ops.login(QStringLiteral("某人"), QStringLiteral("1")); }),
              QStringLiteral("该操作员不存在！"));
    // The name is a value, never SQL.
    EXPECT_EQ(refusalOf([&] { m_ops.login(QStringLiteral("' OR '1'='1"), QStringLiteral("1")); }),
              QStringLiteral("该操作员不存在！"));

    try {
        m_ops.login(QStringLiteral("系统管理员"), QStringLiteral("2"));
        FAIL() << "a wrong password was accepted";
    } catch (const Operators::WrongPassword &r) {
        EXPECT_EQ(r.text, QStringLiteral("口令错误！请重新输入！"));
    }
}

TEST_F(OperatorsTest, LoginTrimsStoredAndTypedPasswordsAndTakesNumberFromRow)
{
    addPlain(7, QStringLiteral(" 张三 "), QStringLiteral("  abc  "));
    const Operators::Login login = m_ops.login(QStringLiteral("张三"), QStringLiteral(" abc"));
    EXPECT_EQ(login.number, 7);
    EXPECT_EQ(login.name, QStringLiteral("张三"));

    // The plain-text password was replaced by its hash, and still opens the account.
    const QString stored =
        db().scalar(QStringLiteral("SELECT PASS FROM CZY WHERE BH = 7")).toString();
    EXPECT_TRUE(Passwords::isHash(stored));
    EXPECT_EQ(m_ops.login(QStringLiteral("张三 "), QStringLiteral("abc ")).number, 7);
    EXPECT_THROW(m_ops.login(QStringLiteral("张三"), QStringLiteral("ab c")),
                 Operators::WrongPassword);
}

TEST_F(OperatorsTest, OperatorsSharingANameEachLogInWithTheirOwnPassword)
{
    addPlain(2, QStringLiteral("李四"), QStringLiteral("first"));
    addPlain(5, QStringLiteral("李四"), QStringLiteral("second"));
    EXPECT_EQ(m_ops.login(QStringLiteral("李四"), QStringLiteral("second")).number, 5);
    EXPECT_EQ(m_ops.login(QStringLiteral("李四"), QStringLiteral("first")).number, 2);
    EXPECT_THROW(m_ops.login(QStringLiteral("李四"), QStringLiteral("third")),
                 Operators::WrongPassword);
}

TEST_F(OperatorsTest, EachPermissionFlagIsReadFromItsOwnField)
{
    addPlain(3, QStringLiteral("王五"), QStringLiteral("p"));
    for (int f = 0; f < Permissions::FlagCount; ++f) {
        const auto flag = Permissions::Flag(f);
        db().exec(QStringLiteral("UPDATE CZYQX SET ") + Permissions::fieldName(flag) +
                  QStringLiteral(" = 1 WHERE BH = 3"));
        const Permissions p = m_ops.permissions(3);
        for (int g = 0; g < Permissions::FlagCount; ++g)
            EXPECT_EQ(p.allowed[g], g == f) << qPrintable(Permissions::fieldName(flag));
        db().exec(QStringLiteral("UPDATE CZYQX SET ") + Permissions::fieldName(flag) +
                  QStringLiteral(" = 0 WHERE BH = 3"));
    }
    // The login hands over the same rights.
    db().exec(QStringLiteral("UPDATE CZYQX SET GYSHK = 1 WHERE BH = 3"));
    EXPECT_TRUE(
        m_ops.login(QStringLiteral("王五"), QStringLiteral("p")).permissions[Permissions::GYSHK]);
    // No rights row: everything denied.
    EXPECT_EQ(m_ops.permissions(99).allowed, Permissions().allowed);
}

TEST_F(OperatorsTest, AddWritesBothTablesAndHashesThePassword)
{
    EXPECT_EQ(m_ops.nextNumber(), 1);
    Permissions p;
    p[Permissions::CKYW] = true;
    p[Permissions::ZJZC] = true;
    const QString name = QStringLiteral("O'Brien 100% 赵_六");
    m_ops.add(m_ops.nextNumber(), name, QStringLiteral("010-'1'"), QStringLiteral(" pw "), p);
    EXPECT_EQ(m_ops.nextNumber(), 2);

    const auto details = m_ops.find(1);
    ASSERT_TRUE(details);
    EXPECT_EQ(details->name, name);
    EXPECT_EQ(details->phone, QStringLiteral("010-'1'"));
    EXPECT_EQ(details->permissions.allowed, p.allowed);
    // Random salt and hash text may contain "pw" by chance: check the form instead.
    const QString stored = db().scalar(QStringLiteral("SELECT PASS FROM CZY")).toString();
    EXPECT_TRUE(Passwords::isHash(stored));
    EXPECT_NE(stored.trimmed(), QStringLiteral("pw"));
    EXPECT_TRUE(m_ops.passwordMatches(1, QStringLiteral("pw")));
    EXPECT_FALSE(m_ops.passwordMatches(1, QStringLiteral("pv")));
    EXPECT_FALSE(m_ops.passwordMatches(42, QStringLiteral("pw")));
    EXPECT_EQ(m_ops.login(name, QStringLiteral("pw")).number, 1);

    EXPECT_EQ(refusalOf([&] { m_ops.add(2, QStringLiteral("  "), {}, {}, {}); }),
              QStringLiteral("操作员姓名不允许为空！"));
    EXPECT_FALSE(refusalOf([&] { m_ops.add(1, QStringLiteral("x"), {}, {}, {}); }).isEmpty());
    EXPECT_EQ(count(QStringLiteral("CZY")), 1);
    EXPECT_EQ(m_ops.list().size(), 1);
}

TEST_F(OperatorsTest, UpdateKeepsThePasswordWhenLeftBlank)
{
    m_ops.add(1, QStringLiteral("甲"), {}, QStringLiteral("old"), Permissions::all());
    m_ops.add(2, QStringLiteral("乙"), {}, QStringLiteral("two"), {});

    Permissions p;
    p[Permissions::YJCL] = true;
    m_ops.update(1, QStringLiteral("甲一"), QStringLiteral("123"), QString(), p);
    EXPECT_TRUE(m_ops.passwordMatches(1, QStringLiteral("old")));
    EXPECT_EQ(m_ops.find(1)->name, QStringLiteral("甲一"));
    EXPECT_EQ(m_ops.find(1)->phone, QStringLiteral("123"));
    EXPECT_EQ(m_ops.permissions(1).allowed, p.allowed);

    m_ops.update(1, QStringLiteral("甲一"), {}, QStringLiteral("new"), p);
    EXPECT_TRUE(m_ops.passwordMatches(1, QStringLiteral("new")));
    EXPECT_FALSE(m_ops.passwordMatches(1, QStringLiteral("old")));
    // The other operator is untouched.
    EXPECT_EQ(m_ops.find(2)->name, QStringLiteral("乙"));
    EXPECT_TRUE(m_ops.passwordMatches(2, QStringLiteral("two")));

    EXPECT_EQ(refusalOf([&] { m_ops.update(1, QString(), {}, {}, p); }),
              QStringLiteral("操作员姓名不允许为空！"));
    EXPECT_EQ(m_ops.find(1)->name, QStringLiteral("甲一"));

    // An operator without a rights row gets one.
    db().exec(QStringLiteral("DELETE FROM CZYQX WHERE BH = 2"));
    m_ops.update(2, QStringLiteral("乙"), {}, {}, Permissions::all());
    EXPECT_EQ(m_ops.permissions(2).allowed, Permissions::all().allowed);
}

TEST_F(OperatorsTest, RemoveDeletesBothRowsButNeverTheLastOperator)
{
    m_ops.add(1, QStringLiteral("甲"), {}, QStringLiteral("a"), Permissions::all());
    m_ops.add(2, QStringLiteral("乙"), {}, QStringLiteral("b"), Permissions::all());
    m_ops.remove(1);
    EXPECT_EQ(count(QStringLiteral("CZY")), 1);
    EXPECT_EQ(count(QStringLiteral("CZYQX")), 1);
    EXPECT_FALSE(m_ops.find(1));

    EXPECT_FALSE(refusalOf([&] { m_ops.remove(2); }).isEmpty());
    EXPECT_EQ(count(QStringLiteral("CZY")), 1);
    EXPECT_EQ(count(QStringLiteral("CZYQX")), 1);
}

TEST_F(OperatorsTest, AFailureHalfWayLeavesBothTablesAsTheyWere)
{
    m_ops.add(1, QStringLiteral("甲"), {}, QStringLiteral("a"), Permissions::all());
    m_ops.add(2, QStringLiteral("乙"), {}, QStringLiteral("b"), {});

    failOn(QStringLiteral("INSERT"));
    EXPECT_THROW(m_ops.add(3, QStringLiteral("丙"), {}, {}, {}), StoreError);
    EXPECT_FALSE(m_ops.find(3));
    db().exec(QStringLiteral("DROP TRIGGER fail"));

    failOn(QStringLiteral("UPDATE"));
    EXPECT_THROW(
        m_ops.update(2, QStringLiteral("乙二"), {}, QStringLiteral("c"), Permissions::all()),
        StoreError);
    EXPECT_EQ(m_ops.find(2)->name, QStringLiteral("乙"));
    EXPECT_TRUE(m_ops.passwordMatches(2, QStringLiteral("b")));
    db().exec(QStringLiteral("DROP TRIGGER fail"));

    failOn(QStringLiteral("DELETE"));
    EXPECT_THROW(m_ops.remove(2), StoreError);
    EXPECT_TRUE(m_ops.find(2));
    EXPECT_EQ(count(QStringLiteral("CZYQX")), 2);
}
