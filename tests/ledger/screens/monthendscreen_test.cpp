#include "ledger/screens/ledgerscreens.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmdht.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/recordingsink.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString Confirm = QStringLiteral("月结代表封存本月账目，对本月的账目只得查看不得进行修改。\n"
                                       "月结时间是根据系统时间来确定的。\n"
                                       "您确认要进行月结吗？");

// The main window logged in over an account set holding one posted receipt, with the real
// month-end command and a stand-in for the opening-balance screen.
class MonthEndCommand : public ::testing::Test
{
protected:
    MonthEndCommand()
    {
        Clock::setToday(QDate(2026, 5, 20));
        m_set.addMaterial(QStringLiteral("0101"), QStringLiteral("水泥"));
        test::LedgerSeed seed(m_set.db());
        seed.opening(QStringLiteral("0101"), dec("10"), dec("100"));
        seed.receipt(1, QStringLiteral("0101"), dec("5"), dec("60"));
        seed.post(QStringLiteral("RKD"), 1);
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), 2);
        m_dispatcher->registry().add(QStringLiteral("FrmZwcsh"), ScreenRegistry::Opening::Run,
                                     [](const ScreenRequest &) { return nullptr; });
        registerLedgerScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), false);
        m_dispatcher->loggedIn(Permissions::all(), false);
    }
    ~MonthEndCommand() override { Clock::setToday(std::nullopt); }

    qint64 count(const char *table)
    {
        return m_set.db()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM ") + QString::fromLatin1(table))
            .toLongLong();
    }
    QString value(const char *sql)
    {
        return m_set.db().scalar(QString::fromLatin1(sql)).toString();
    }
    QAction *openingBalance() { return m_main.action(QStringLiteral("a")); }
    QAction *closeMonth() { return m_main.action(QStringLiteral("YJCL")); }

    test::TestAccountSet m_set;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

TEST_F(MonthEndCommand, YesClosesTheMonthAndLocksTheOpeningBalances)
{
    ASSERT_TRUE(closeMonth()->isEnabled());
    ASSERT_TRUE(openingBalance()->isEnabled());
    ASSERT_NE(m_dispatcher->navigationPanel(), nullptr);
    RecordingSink sink;

    // Started from the navigation panel, whose button goes away with the old panel once
    // its click is over.
    QPointer<FrmDHT> before = m_dispatcher->navigationPanel();
    before->button(QStringLiteral("月结处理"))->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return before.isNull(); }, 2000));

    EXPECT_EQ(sink.questionTexts(), QStringList{Confirm});
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].title, QStringLiteral("提示窗口！！！"));
    EXPECT_EQ(sink.shown[0].text, QStringLiteral("月结结束！！！"));
    EXPECT_EQ(value("SELECT YJSJ FROM YJSJB WHERE YJID = 1"), QStringLiteral("2026-05-20"));
    EXPECT_EQ(count("YJKCB"), 1);
    EXPECT_EQ(value("SELECT CZXX FROM CZRZ"), QStringLiteral("月结处理"));

    EXPECT_FALSE(openingBalance()->isEnabled());
    FrmDHT *panel = m_dispatcher->navigationPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->button(QStringLiteral("账务初始化"))->isEnabled());

    // A second closing the same day is refused after the question.
    sink.clear();
    closeMonth()->trigger();
    EXPECT_EQ(sink.lastText(), QStringLiteral("今天已经做过月结，不能再做！"));
    EXPECT_EQ(count("YJSJB"), 1);
}

TEST_F(MonthEndCommand, NoOrARefusalWritesNothing)
{
    RecordingSink sink;
    sink.answer({false});
    closeMonth()->trigger();
    EXPECT_EQ(sink.questionTexts(), QStringList{Confirm});
    EXPECT_TRUE(sink.shown.empty());

    // An unposted line: the question is put, then the refusal stops the closing.
    test::LedgerSeed(m_set.db()).receipt(2, QStringLiteral("0101"), dec("1"), dec("12"));
    sink.clear();
    closeMonth()->trigger();
    EXPECT_EQ(sink.questions.size(), 1u);
    EXPECT_EQ(sink.shownTexts(), QStringList{QStringLiteral("入库数据还有未登帐数据，不能月结！")});

    for (const char *table : {"YJSJB", "YJKCB", "XJXCYJKCB"})
        EXPECT_EQ(count(table), 0) << table;
    EXPECT_TRUE(openingBalance()->isEnabled());
}

TEST_F(MonthEndCommand, NoToTheTwentyEightDayQuestionStops)
{
    RecordingSink sink;
    closeMonth()->trigger();
    ASSERT_EQ(count("YJSJB"), 1);

    Clock::setToday(QDate(2026, 6, 10));
    sink.clear();
    sink.answer({true, false});
    closeMonth()->trigger();
    EXPECT_EQ(
        sink.questionTexts(),
        (QStringList{Confirm, QStringLiteral("两次月结时间间隔没有超过28天，你确实要做月结吗？")}));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(count("YJSJB"), 1);
}
