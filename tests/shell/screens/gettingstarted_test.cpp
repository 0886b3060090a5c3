#include "master/screens/frmclsz.h"
#include "shell/operators.h"
#include "shell/screens/allscreens.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/gettingstarted.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnock;
using Step = SetupProgress::Step;

namespace {

// A new account set without a closing, in the main window with every screen registered.
class GettingStartedTest : public ::testing::Test
{
protected:
    GettingStartedTest()
    {
        Clock::setToday(QDate(2026, 5, 20));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), 2);
        registerAllScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.resize(1280, 800);
        m_main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_main));
    }
    ~GettingStartedTest() override { Clock::setToday(std::nullopt); }

    void login(const Permissions &rights)
    {
        m_main.applyPermissions(rights, false);
        m_dispatcher->loggedIn(rights, false);
    }
    qint64 logCount()
    {
        return m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ")).toLongLong();
    }
    // Closes every working screen the way its user would, and waits for the frames to go.
    void closeScreens()
    {
        m_main.mdiArea()->closeAllSubWindows();
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_main.mdiArea()->subWindowList().isEmpty(); }));
        QCoreApplication::processEvents();
    }

    test::RecordingSink m_sink;
    test::TestAccountSet m_set;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

// The guide's buttons run the menu commands: the screen opens over the guide with its log
// record, and what the screens save ticks the steps off once the user is back on the area.
TEST_F(GettingStartedTest, StepsOpenTheirScreensAndTickOffWhatIsDone)
{
    login(Permissions::all());
    QPointer<GettingStarted> guide = m_dispatcher->guide();
    ASSERT_FALSE(guide.isNull());
    EXPECT_TRUE(guide->isVisible());
    EXPECT_TRUE(m_main.workArea().contains(guide->geometry()));
    test::keepPicture(&m_main, QStringLiteral("gettingstarted-new"));
    for (const SetupProgress::StepInfo &info : SetupProgress::steps())
        EXPECT_FALSE(guide->isTicked(info.step));

    guide->button(QStringLiteral("CLSZ"))->click();
    ASSERT_EQ(m_main.mdiArea()->subWindowList().size(), 1);
    EXPECT_NE(qobject_cast<FrmClsz *>(MDIFrmMain::screenOf(m_main.mdiArea()->subWindowList()[0])),
              nullptr);
    EXPECT_EQ(logCount(), 1);
    EXPECT_EQ(
        m_set.db().scalar(QStringLiteral("SELECT CZXX FROM CZRZ ORDER BY ID DESC")).toString(),
        QStringLiteral("设置材料信息"));

    m_set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    m_set.addMaterial(QStringLiteral("101"), QStringLiteral("圆钢"));
    closeScreens();
    EXPECT_TRUE(guide->isTicked(Step::Catalogue));

    guide->button(QStringLiteral("GYSSZ"))->click();
    m_set.addSupplier(QStringLiteral("01"), QStringLiteral("第一建材"));
    closeScreens();
    EXPECT_FALSE(guide->isTicked(Step::Counterparties));
    guide->button(QStringLiteral("LLDWSZ"))->click();
    m_set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
    closeScreens();
    EXPECT_TRUE(guide->isTicked(Step::Counterparties));
    EXPECT_EQ(logCount(), 3);

    test::LedgerSeed(m_set.db()).opening(QStringLiteral("101"), test::dec("2"), test::dec("90"));
    guide->button(QStringLiteral("a"))->click();
    closeScreens();
    EXPECT_TRUE(guide->isTicked(Step::Openings));
    EXPECT_FALSE(guide->isTicked(Step::Closing));
    test::keepPicture(&m_main, QStringLiteral("gettingstarted-three"));

    // The closing answers its questions with Yes; the guide goes, the set takes vouchers.
    guide->button(QStringLiteral("YJCL"))->click();
    EXPECT_TRUE(m_main.hasClosing());
    EXPECT_EQ(m_dispatcher->guide(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return guide.isNull(); }));
    EXPECT_FALSE(m_main.action(QStringLiteral("a"))->isEnabled());
}

// Without a right the step's button is disabled and says why; a set that already has a
// closing shows no guide at all.
TEST_F(GettingStartedTest, ButtonsFollowTheRightsAndAClosedSetHasNoGuide)
{
    Permissions rights = Permissions::all();
    rights[Permissions::CLSZ] = false;
    login(rights);
    GettingStarted *guide = m_dispatcher->guide();
    ASSERT_NE(guide, nullptr);
    EXPECT_FALSE(guide->button(QStringLiteral("CLSZ"))->isEnabled());
    EXPECT_EQ(guide->button(QStringLiteral("CLSZ"))->toolTip(),
              QStringLiteral("对不起,您没有被授予该项权限!"));
    EXPECT_TRUE(guide->button(QStringLiteral("GYSSZ"))->isEnabled());

    m_dispatcher->loggedOff();
    EXPECT_EQ(m_dispatcher->guide(), nullptr);
    m_main.applyPermissions(Permissions::all(), true);
    m_dispatcher->loggedIn(Permissions::all(), true);
    EXPECT_EQ(m_dispatcher->guide(), nullptr);
}
