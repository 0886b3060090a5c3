#include "shell/operationlog.h"
#include "shell/operators.h"
#include "store/clock.h"
#include "support/testaccountset.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

class OperationLogTest : public ::testing::Test
{
protected:
    OperationLogTest()
    {
        Operators ops(m_set.db());
        ops.add(1, QStringLiteral("管理员"), {}, QStringLiteral("secret"), Permissions::all());
        ops.add(2, QStringLiteral("张三"), {}, QStringLiteral("two"), {});
    }
    ~OperationLogTest() override { Clock::setToday(std::nullopt); }

    qint64 count() const
    {
        return m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ")).toLongLong();
    }
    void recordOn(const QDate &day, const QString &op, const QString &text)
    {
        Clock::setToday(day);
        m_log.record(op, text);
    }
    static QStringList texts(const QList<OperationLog::Row> &rows)
    {
        QStringList t;
        for (const OperationLog::Row &r : rows)
            t << r.text;
        return t;
    }

    mutable test::TestAccountSet m_set;
    OperationLog m_log{m_set.db()};
};

} // namespace

TEST_F(OperationLogTest, RecordWritesOperatorTodayTextAndTime)
{
    Clock::setToday(QDate(2026, 3, 15));
    const QTime before = QTime::currentTime().addSecs(-1);
    m_log.record(QStringLiteral("2"), QStringLiteral("采购入库单填写"));
    const QTime after = QTime::currentTime().addSecs(1);

    ASSERT_EQ(count(), 1);
    QSqlQuery q = m_set.db().exec(QStringLiteral("SELECT CZY, RQ, CZXX, \"TIME\" FROM CZRZ"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("2"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("2026-03-15"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("采购入库单填写"));
    const QTime at = QTime::fromString(q.value(3).toString(), QStringLiteral("hh:mm:ss"));
    ASSERT_TRUE(at.isValid()) << q.value(3).toString().toStdString();
    EXPECT_GE(at, before);
    EXPECT_LE(at, after);
}

TEST_F(OperationLogTest, BrowseJoinsTheOperatorNameByNumber)
{
    recordOn(QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("设置材料信息"));
    recordOn(QDate(2026, 3, 2), QStringLiteral("2"), QStringLiteral("月结处理"));
    // A record whose operator has since been deleted has nobody to show it under.
    recordOn(QDate(2026, 3, 3), QStringLiteral("9"), QStringLiteral("库存盘点"));

    const QList<OperationLog::Row> rows = m_log.browse();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].operatorName, QStringLiteral("管理员"));
    EXPECT_EQ(rows[0].date, QDate(2026, 3, 1));
    EXPECT_EQ(rows[1].operatorName, QStringLiteral("张三"));
    EXPECT_EQ(rows[1].text, QStringLiteral("月结处理"));
    EXPECT_LT(rows[0].id, rows[1].id);
}

TEST_F(OperationLogTest, FilterTakesBothEndsAndOneOrAllOperators)
{
    recordOn(QDate(2026, 2, 28), QStringLiteral("1"), QStringLiteral("before"));
    recordOn(QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("first"));
    recordOn(QDate(2026, 3, 10), QStringLiteral("2"), QStringLiteral("middle"));
    recordOn(QDate(2026, 3, 31), QStringLiteral("1"), QStringLiteral("last"));
    recordOn(QDate(2026, 4, 1), QStringLiteral("2"), QStringLiteral("after"));

    const QDate from(2026, 3, 1), to(2026, 3, 31);
    EXPECT_EQ(
        texts(m_log.filter(from, to, std::nullopt)),
        (QStringList{QStringLiteral("first"), QStringLiteral("middle"), QStringLiteral("last")}));
    EXPECT_EQ(texts(m_log.filter(from, to, 1)),
              (QStringList{QStringLiteral("first"), QStringLiteral("last")}));
    EXPECT_EQ(texts(m_log.filter(from, to, 2)), QStringList{QStringLiteral("middle")});
    EXPECT_EQ(texts(m_log.filter(QDate(2026, 3, 10), QDate(2026, 3, 10), std::nullopt)),
              QStringList{QStringLiteral("middle")});
}

TEST_F(OperationLogTest, StartAfterEndIsRefused)
{
    recordOn(QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("x"));
    try {
        m_log.filter(QDate(2026, 3, 2), QDate(2026, 3, 1), std::nullopt);
        FAIL() << "no refusal";
    } catch (const Refusal &r) {
        EXPECT_EQ(r.text, QStringLiteral("起始日期不允许大于终止日期"));
    }
    EXPECT_EQ(count(), 1);
}

TEST_F(OperationLogTest, ClearNeedsTheLoggedInOperatorsPassword)
{
    recordOn(QDate(2026, 3, 1), QStringLiteral("1"), QStringLiteral("a"));
    recordOn(QDate(2026, 3, 2), QStringLiteral("2"), QStringLiteral("b'c"));

    // Another operator's password does not do, nor a wrong one, nor an unknown operator.
    for (const auto &[op, typed] :
         {std::pair{2, QStringLiteral("secret")}, std::pair{1, QStringLiteral("wrong")},
          std::pair{1, QString()}, std::pair{7, QString()}}) {
        try {
            m_log.clear(op, typed);
            FAIL() << "cleared with " << typed.toStdString();
        } catch (const Refusal &r) {
            EXPECT_EQ(r.text, QStringLiteral("密码错误！，不允许删除！！！"));
        }
        EXPECT_EQ(count(), 2);
    }

    // Spaces around the typed password do not count.
    m_log.clear(1, QStringLiteral(" secret "));
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(m_log.browse().isEmpty());
}
