#include "shell/commandmap.h"
#include "shell/operators.h"
#include "shell/screens/allscreens.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/testaccountset.h"
#include "widgets/recordingsink.h"
#include "widgets/screenparts.h"
#include "widgets/uitest.h"

#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

// Every working screen of the program in a main window of a 1280×800 desktop, logged in with
// every right, over an account set that is ready for vouchers.
class WorkArea : public ::testing::Test
{
protected:
    WorkArea()
    {
        Clock::setToday(QDate(2026, 5, 20));
        m_set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        m_set.addMaterial(QStringLiteral("101"), QStringLiteral("圆钢"));
        m_set.addSupplier(QStringLiteral("01"), QStringLiteral("第一建材"));
        m_set.addUnit(QStringLiteral("01"), QStringLiteral("一工区"));
        m_set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-04-30')"));
        Operators(m_set.db())
            .add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        m_main.setOperator(QStringLiteral("管理员"), Clock::today(), QTime(8, 0), 1);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), 2);
        registerAllScreens(m_dispatcher->registry());
        m_dispatcher->installCommands();
        m_main.applyPermissions(Permissions::all(), true);
        m_dispatcher->loggedIn(Permissions::all(), true);
        m_main.resize(1280, 800);
        m_main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_main));
    }
    ~WorkArea() override { Clock::setToday(std::nullopt); }

    // The first command of the map that opens `screen`.
    static QString commandOf(const QString &screen)
    {
        for (const CommandMap::Command &c : CommandMap::commands()) {
            if (c.screen == screen)
                return c.name;
        }
        return {};
    }
    QList<QMdiSubWindow *> windows() const { return m_main.mdiArea()->subWindowList(); }
    static QAbstractButton *exitButton(QWidget *screen)
    {
        // "退 出(&X)", and on a few screens "退 出(&E)" or "关闭 (&X)", their own words.
        static const QRegularExpression exit(
            QStringLiteral("^(退\\s*出|关\\s*闭)\\s*\\(&[XE]\\)$"));
        for (QAbstractButton *b : screen->findChildren<QAbstractButton *>()) {
            if (exit.match(b->text()).hasMatch())
                return b;
        }
        return nullptr;
    }

    test::RecordingSink m_sink;
    test::TestAccountSet m_set;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
};

} // namespace

// Opened one after another and all left open, every screen lies inside the work area with the
// program's icon, shows its whole content or scrolls to it, and comes to the front again
// instead of opening twice. 退出 then closes each with its frame.
TEST_F(WorkArea, EveryScreenFitsOpensOnceAndLeavesNoFrame)
{
    const QStringList screens =
        m_dispatcher->registry().screens(ScreenRegistry::Opening::InMainWindow);
    ASSERT_GE(screens.size(), 10);
    const QRect area = m_main.workArea();
    ASSERT_GE(area.width(), 800);
    const QImage programIcon = ScreenParts::programIcon().pixmap(16).toImage();

    QString previous;
    for (const QString &name : screens) {
        SCOPED_TRACE(name.toStdString());
        const QString command = commandOf(name);
        ASSERT_FALSE(command.isEmpty());
        const qsizetype before = windows().size();
        ASSERT_TRUE(m_dispatcher->run(command));
        ASSERT_EQ(windows().size(), before + 1);
        // The scroll bars settle with the layout.
        QTest::qWait(1);
        QMdiSubWindow *sub = windows().last();
        QWidget *screen = MDIFrmMain::screenOf(sub);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName().isEmpty(), false);

        EXPECT_TRUE(area.contains(sub->geometry()))
            << sub->geometry().x() << "," << sub->geometry().y() << " " << sub->geometry().width()
            << "x" << sub->geometry().height();
        auto *frame = qobject_cast<QScrollArea *>(sub->widget());
        ASSERT_NE(frame, nullptr);
        const QSize shown = frame->viewport()->size();
        EXPECT_TRUE(shown.width() >= screen->width() || frame->horizontalScrollBar()->isVisible());
        EXPECT_TRUE(shown.height() >= screen->height() || frame->verticalScrollBar()->isVisible());
        // A screen that can fit is shown whole, without scroll bars.
        const QSize room = area.size() - (sub->size() - frame->size());
        if (screen->minimumSizeHint().boundedTo(room) == screen->minimumSizeHint()) {
            EXPECT_FALSE(frame->horizontalScrollBar()->isVisible());
            EXPECT_FALSE(frame->verticalScrollBar()->isVisible());
        }
        EXPECT_EQ(sub->windowIcon().pixmap(16).toImage(), programIcon);
        EXPECT_EQ(sub->windowTitle(), screen->windowTitle());
        test::keepPicture(sub, QStringLiteral("workarea-") + name);

        // Asked for again, the open screen comes to the front; so does the one before.
        ASSERT_TRUE(m_dispatcher->run(command));
        EXPECT_EQ(windows().size(), before + 1);
        EXPECT_EQ(m_main.mdiArea()->currentSubWindow(), sub);
        if (!previous.isEmpty()) {
            ASSERT_TRUE(m_dispatcher->run(previous));
            EXPECT_EQ(windows().size(), before + 1);
            EXPECT_EQ(m_main.mdiArea()->currentSubWindow(), windows().at(before - 1));
        }
        previous = command;
    }

    for (QMdiSubWindow *sub : windows()) {
        QPointer<QMdiSubWindow> frame(sub);
        QWidget *screen = MDIFrmMain::screenOf(sub);
        SCOPED_TRACE(screen->objectName().toStdString());
        QAbstractButton *exit = exitButton(screen);
        ASSERT_NE(exit, nullptr);
        exit->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return frame.isNull(); }));
    }
    EXPECT_TRUE(windows().isEmpty());
}

// A minimised screen asked for again is shown again; a screen that closes itself by any way
// takes its frame along, and the next open makes a new one in its place.
TEST_F(WorkArea, MinimisedScreensComeBackAndClosedOnesLeaveNothing)
{
    ASSERT_TRUE(m_dispatcher->run(QStringLiteral("GYSSZ")));
    ASSERT_EQ(windows().size(), 1);
    QPointer<QMdiSubWindow> sub = windows().first();
    sub->showMinimized();
    ASSERT_TRUE(m_dispatcher->run(QStringLiteral("GYSSZ")));
    EXPECT_EQ(windows().size(), 1);
    EXPECT_FALSE(sub->isMinimized());

    MDIFrmMain::screenOf(sub)->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sub.isNull(); }));
    EXPECT_TRUE(windows().isEmpty());
    ASSERT_TRUE(m_dispatcher->run(QStringLiteral("GYSSZ")));
    ASSERT_EQ(windows().size(), 1);
    EXPECT_TRUE(m_main.workArea().contains(windows().first()->geometry()));
}

// Screens whose content is larger than a small work area scroll inside a frame that stays
// within the area; the frame grows with the area when maximised.
TEST_F(WorkArea, ASmallAreaScrollsTheScreenInsteadOfOverflowing)
{
    m_main.resize(700, 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_main.workArea().width() < 600; }));
    ASSERT_TRUE(m_dispatcher->run(QStringLiteral("CGRKD")));
    QMdiSubWindow *sub = windows().first();
    const QRect area = m_main.workArea();
    EXPECT_TRUE(area.contains(sub->geometry()));
    auto *frame = qobject_cast<QScrollArea *>(sub->widget());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->horizontalScrollBar()->isVisible() ||
                frame->verticalScrollBar()->isVisible());
    test::keepPicture(&m_main, QStringLiteral("workarea-small"));
}
