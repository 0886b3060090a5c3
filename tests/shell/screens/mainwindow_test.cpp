#include "shell/menutree.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/recordingsink.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTextEdit>
#include <QToolBar>
#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;
using varnock::test::RecordingSink;

namespace {

QString n(const char *name)
{
    return QString::fromLatin1(name);
}

QStringList captions(const QList<QAction *> &actions)
{
    QStringList result;
    for (QAction *a : actions)
        result << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return result;
}

// Gives every command a handler, as the finished program will.
void provideAllCommands(MDIFrmMain &w)
{
    for (const MenuTree::Entry &e : MenuTree::entries()) {
        if (e.kind == MenuTree::Entry::Kind::Command && !w.hasCommand(e.name))
            w.setCommand(e.name, [] {});
    }
}

// A screen that refuses to close, like one holding unsaved input.
class StubbornEdit : public QTextEdit
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

TEST(MainWindow, MenusAndPopupsAreBuiltFromTheTree)
{
    MDIFrmMain w;
    QStringList bar;
    for (QAction *a : w.menuBar()->actions())
        bar << a->objectName();
    EXPECT_EQ(bar, MenuTree::menuBar());

    EXPECT_EQ(
        captions(w.menu(n("about"))->actions()),
        (QStringList{QStringLiteral("账套注销"), QStringLiteral("系统注销"), QStringLiteral("-"),
                     QStringLiteral("关于系统"), QStringLiteral("-"), QStringLiteral("退出系统")}));
    EXPECT_EQ(captions(w.menu(n("DZCL"))->actions()).first(), QStringLiteral("入  库  登  帐"));

    ASSERT_NE(w.popup(n("POPUP5")), nullptr);
    EXPECT_EQ(captions(w.popup(n("POPUP5"))->actions()),
              (QStringList{QStringLiteral("入 库 冲 帐"), QStringLiteral("-"),
                           QStringLiteral("领 料 冲 帐"), QStringLiteral("调拨领料冲帐"),
                           QStringLiteral("直进直出冲帐")}));
    EXPECT_EQ(w.popup(n("POPUP4"))->actions().at(3), w.action(n("LLDZ")));
    EXPECT_EQ(w.popup(n("XTSZ")), nullptr);

    for (const MenuTree::Entry &e : MenuTree::entries()) {
        if (e.isSeparator())
            continue;
        QAction *a = w.action(e.name);
        ASSERT_NE(a, nullptr) << qPrintable(e.name);
        EXPECT_EQ(a->objectName(), e.name);
        EXPECT_EQ(a->isVisible(), !e.hiddenAtStart) << qPrintable(e.name);
    }
    EXPECT_TRUE(w.action(n("DHT"))->isChecked());
}

TEST(MainWindow, CommandsWithoutScreenAreDisabledWithAHint)
{
    MDIFrmMain w;
    QAction *clsz = w.action(n("CLSZ"));
    EXPECT_FALSE(clsz->isEnabled());
    EXPECT_EQ(clsz->toolTip(), QStringLiteral("尚未提供此功能"));
    EXPECT_FALSE(w.action(n("SJBF"))->isEnabled());

    int runs = 0;
    w.setCommand(n("CLSZ"), [&runs] { ++runs; });
    EXPECT_TRUE(clsz->isEnabled());
    clsz->trigger();
    EXPECT_EQ(runs, 1);

    // What the shell itself does is usable from the start.
    for (const char *name : {"DHT", "ZTZX", "zhuxiao", "aboutsys", "exit", "XTGL", "h"})
        EXPECT_TRUE(w.action(n(name))->isEnabled()) << name;
}

TEST(MainWindow, PermissionsSwitchTheRealActions)
{
    MDIFrmMain w;
    provideAllCommands(w);

    w.applyPermissions(Permissions(), false);
    for (const auto &entry : MenuTree::governed())
        EXPECT_FALSE(w.action(entry.first)->isEnabled()) << qPrintable(entry.first);
    for (const char *name : {"XTGL", "SJBF", "RZLL", "h", "about", "ZTZX", "zhuxiao", "exit"})
        EXPECT_TRUE(w.action(n(name))->isEnabled()) << name;

    Permissions noReports = Permissions::all();
    noReports[Permissions::CXBB] = false;
    w.applyPermissions(noReports, false);
    for (const auto &entry : MenuTree::governed()) {
        const bool report = QStringList{n("TJBB"), n("CX"), n("HZBB")}.contains(entry.first);
        EXPECT_EQ(w.action(entry.first)->isEnabled(), !report) << qPrintable(entry.first);
    }

    // A later login replaces every state of the earlier one.
    w.applyPermissions(Permissions::all(), false);
    for (const auto &entry : MenuTree::governed())
        EXPECT_TRUE(w.action(entry.first)->isEnabled()) << qPrintable(entry.first);
}

TEST(MainWindow, AccountSetSetsTitlePanelsModeAndOpeningBalance)
{
    MDIFrmMain w;
    provideAllCommands(w);
    const QString title = QStringLiteral("Varnock系统 - [ 第一工程公司 ]");

    w.setAccountSet(title, QStringLiteral("一号工地"), 2026001, 1, true);
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(w.statusPanel(7), QStringLiteral("一号工地"));
    EXPECT_EQ(w.statusPanel(8), QStringLiteral("2026001"));
    EXPECT_EQ(w.statusPanel(4), QStringLiteral("先进先出"));
    for (const char *name : {"ZJZCC", "ZJZCC1", "QXJZ"})
        EXPECT_FALSE(w.action(n(name))->isVisible()) << name;
    EXPECT_FALSE(w.action(n("a"))->isEnabled());
    // The login must not re-enable the opening balances of a closed account set.
    w.applyPermissions(Permissions::all(), true);
    EXPECT_FALSE(w.action(n("a"))->isEnabled());

    w.setAccountSet(title, QStringLiteral("二号工地"), 2026002, 2, false);
    for (const char *name : {"ZJZCC", "ZJZCC1", "QXJZ"})
        EXPECT_TRUE(w.action(n(name))->isVisible()) << name;
    EXPECT_TRUE(w.action(n("a"))->isEnabled());
    EXPECT_FALSE(w.action(n("SJBB"))->isVisible());
    EXPECT_FALSE(w.action(n("CLXHJHDBB"))->isVisible());
}

TEST(MainWindow, OperatorPanels)
{
    MDIFrmMain w;
    EXPECT_EQ(w.operatorNumber(), 0);
    w.setOperator(QStringLiteral(" 张三 "), QDate(2026, 12, 7), QTime(8, 5, 9), 3);
    EXPECT_EQ(w.statusPanel(1), QStringLiteral("张三"));
    EXPECT_EQ(w.statusPanel(2), QStringLiteral("2026-12-07"));
    EXPECT_EQ(w.statusPanel(3), QStringLiteral("08:05:09"));
    EXPECT_EQ(w.statusPanel(6), QStringLiteral("3"));
    EXPECT_EQ(w.operatorNumber(), 3);
    EXPECT_EQ(w.statusPanel(9), QString());
}

TEST(MainWindow, LeavingAsksAndNoKeepsTheWindow)
{
    RecordingSink sink;
    MDIFrmMain w;
    w.show();
    QSignalSpy quit(&w, &MDIFrmMain::quitRequested);

    sink.answer({false, false});
    w.action(n("exit"))->trigger();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(quit.count(), 0);
    ASSERT_EQ(sink.questions.size(), 2u);
    for (const auto &q : sink.questions) {
        EXPECT_EQ(q.text, QStringLiteral("您确定要退出本系统吗？"));
        EXPECT_EQ(q.icon, Messages::Icon::Exclamation);
    }

    // Yes from the menu: the program may close the window without a second question.
    sink.answer({true});
    w.action(n("exit"))->trigger();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(sink.questions.size(), 3u);
}

TEST(MainWindow, CloseButtonYesClosesAndRequestsQuit)
{
    RecordingSink sink;
    MDIFrmMain w;
    w.show();
    QSignalSpy quit(&w, &MDIFrmMain::quitRequested);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(quit.count(), 1);
    EXPECT_FALSE(w.isVisible());
}

TEST(MainWindow, SystemLogOffAsksFirst)
{
    RecordingSink sink;
    MDIFrmMain w;
    QSignalSpy logOff(&w, &MDIFrmMain::systemLogOffRequested);

    sink.answer({false});
    w.action(n("zhuxiao"))->trigger();
    EXPECT_EQ(logOff.count(), 0);
    // The tool-bar button is the same command.
    QAction *button = w.mainToolBar()->actions().at(0);
    button->trigger();
    EXPECT_EQ(logOff.count(), 1);
    ASSERT_EQ(sink.questions.size(), 2u);
    EXPECT_EQ(sink.questions[1].text, QStringLiteral("您确定要注销本系统吗？"));
    EXPECT_EQ(sink.questions[1].icon, Messages::Icon::Exclamation);
}

TEST(MainWindow, AccountSetLogOffClosesScreensFirst)
{
    RecordingSink sink;
    MDIFrmMain w;
    w.show();
    QSignalSpy logOff(&w, &MDIFrmMain::accountSetLogOffRequested);

    auto *stubborn = w.mdiArea()->addSubWindow(new StubbornEdit);
    stubborn->show();
    w.action(n("ZTZX"))->trigger();
    EXPECT_EQ(logOff.count(), 0);

    delete stubborn;
    QPointer<QMdiSubWindow> plain = w.mdiArea()->addSubWindow(new QTextEdit);
    plain->show();
    w.action(n("ZTZX"))->trigger();
    EXPECT_EQ(logOff.count(), 1);
    EXPECT_TRUE(!plain || !plain->isVisible());
    EXPECT_TRUE(sink.questions.empty());
}

// The frame of a hosted screen asks the screen before it closes: unsaved input keeps both,
// and the account set stays open.
TEST(MainWindow, HostedScreensAreAskedBeforeTheirFrameCloses)
{
    RecordingSink sink;
    MDIFrmMain w;
    w.show();
    QSignalSpy logOff(&w, &MDIFrmMain::accountSetLogOffRequested);
    auto *stubborn = new StubbornEdit;
    stubborn->setWindowTitle(QStringLiteral("入库单"));
    QPointer<QMdiSubWindow> frame = w.addScreen(stubborn);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("入库单"));
    stubborn->setWindowTitle(QStringLiteral("入库单 - 凭证修改"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("入库单 - 凭证修改"));

    EXPECT_FALSE(frame->close());
    w.action(n("ZTZX"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(logOff.count(), 0);
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(w.screens(), QList<QWidget *>{stubborn});
}

// The first start opens maximised; later starts open at the size the window was left at.
TEST(MainWindow, OpensMaximisedFirstAndThenAsLeft)
{
    QSettings().remove(QStringLiteral("MDIFrmMain/geometry"));
    {
        MDIFrmMain w;
        w.showAtLastPlace();
        EXPECT_TRUE(w.isMaximized());
        w.showNormal();
        w.resize(900, 640);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.size() == QSize(900, 640); }));
        w.hide();
    }
    MDIFrmMain again;
    again.showAtLastPlace();
    EXPECT_FALSE(again.isMaximized());
    EXPECT_EQ(again.size(), QSize(900, 640));
    QSettings().remove(QStringLiteral("MDIFrmMain/geometry"));
}

TEST(MainWindow, ToolBarNavigationToggleAndAbout)
{
    RecordingSink sink;
    MDIFrmMain w;
    QStringList texts;
    for (QAction *a : w.mainToolBar()->actions()) {
        texts << a->iconText();
        EXPECT_FALSE(a->icon().isNull()) << qPrintable(a->iconText());
    }
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("注销"), QStringLiteral("导航条"), QStringLiteral("备份"),
                           QStringLiteral("关于"), QStringLiteral("退出")}));
    // Menu captions stay the menu's own.
    EXPECT_EQ(w.action(n("zhuxiao"))->text(), QStringLiteral("系统注销"));

    QSignalSpy toggled(&w, &MDIFrmMain::navigationToggled);
    w.mainToolBar()->actions().at(1)->trigger();
    EXPECT_FALSE(w.navigationChecked());
    w.action(n("DHT"))->trigger();
    EXPECT_TRUE(w.navigationChecked());
    ASSERT_EQ(toggled.count(), 2);
    EXPECT_FALSE(toggled[0][0].toBool());
    EXPECT_TRUE(toggled[1][0].toBool());

    w.mainToolBar()->actions().at(3)->trigger();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_TRUE(sink.shown[0].text.contains(QStringLiteral("Varnock系统")));
    EXPECT_TRUE(sink.shown[0].text.contains(QStringLiteral(VARNOCK_VERSION)));
}
