#include "shell/helppages.h"
#include "shell/screens/formtt.h"
#include "shell/screens/frmjdt.h"
#include "shell/screens/help.h"
#include "shell/screens/helpwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QTextBrowser>
#include <QtTest>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

QUrl shownPage()
{
    return Help::window() ? Help::window()->page() : QUrl();
}

struct CloseHelp
{
    ~CloseHelp()
    {
        Help::closeWindow();
        QApplication::processEvents();
    }
};

} // namespace

TEST(Help, F1OpensTheTopicOfTheInnermostScreen)
{
    CloseHelp done;
    QMainWindow main;
    auto *area = new QMdiArea(&main);
    main.setCentralWidget(area);
    Help::install(&main, QStringLiteral("主窗口"));
    auto *screen = new QWidget;
    auto *field = new QLineEdit(screen);
    Help::install(screen, QStringLiteral("日志浏览"));
    area->addSubWindow(screen)->show();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));

    EXPECT_EQ(Help::topicOf(field), QStringLiteral("日志浏览"));
    EXPECT_EQ(Help::topicOf(area), QStringLiteral("主窗口"));
    EXPECT_EQ(Help::topicOf(nullptr), QString());

    QTest::keyClick(field, Qt::Key_F1);
    ASSERT_NE(Help::window(), nullptr);
    EXPECT_EQ(shownPage(), HelpPages::topicUrl(QStringLiteral("日志浏览")));
    EXPECT_TRUE(Help::window()->browser()->toPlainText().contains(QStringLiteral("操作日志浏览")));

    QTest::keyClick(area, Qt::Key_F1);
    EXPECT_EQ(shownPage(), HelpPages::topicUrl(QStringLiteral("主窗口")));
    // One help window, reused.
    QPointer<HelpWindow> first = Help::window();
    Help::showContents();
    EXPECT_EQ(Help::window(), first.data());
    EXPECT_EQ(shownPage(), HelpPages::contentsUrl());
    Help::showHowTo();
    EXPECT_EQ(shownPage(), HelpPages::howToUrl());
}

TEST(Help, FromAModalScreenTheHelpWindowBelongsToIt)
{
    CloseHelp done;
    {
        QDialog modal;
        Help::install(&modal, QStringLiteral("操作员设置"));
        QTimer::singleShot(0, &modal, [&modal] {
            QTest::keyClick(&modal, Qt::Key_F1);
            // Usable while the modal screen runs: it is the screen's own child window.
            EXPECT_EQ(Help::window() ? Help::window()->parentWidget() : nullptr, &modal);
            modal.reject();
        });
        modal.exec();
    }
    EXPECT_EQ(Help::window(), nullptr); // went with its screen
}

TEST(FormTT, SymbolsAreReadOnlyAndAClickCopiesOne)
{
    FormTT list;
    EXPECT_EQ(list.windowTitle(), QStringLiteral("特殊字符列表"));
    EXPECT_EQ(Help::topicOf(&list), QStringLiteral("特殊符号"));
    ASSERT_EQ(list.boxes().size(), FormTT::characters().size());
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QLineEdit *box = list.boxes().at(2);
    EXPECT_TRUE(box->isReadOnly());
    QTest::keyClicks(box, QStringLiteral("x"));
    EXPECT_EQ(box->text(), QStringLiteral("×"));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("×"));
}

TEST(FrmJdt, CoreWorkDrivesTheProgressWindow)
{
    QWidget owner;
    QStringList seenSteps;
    bool visibleDuringWork = false;
    FrmJdt::run(&owner, QStringLiteral("系统正在扫描报表……"),
                [&](const ProgressCallback &progress) {
                    for (int i = 1; i <= 3; ++i)
                        progress(i, 3, QStringLiteral("第%1步").arg(i));
                    auto *window = owner.findChild<FrmJdt *>();
                    ASSERT_NE(window, nullptr);
                    visibleDuringWork = window->isVisible();
                    seenSteps << window->message() << window->step();
                    EXPECT_EQ(window->findChild<QProgressBar *>()->value(), 3);
                });
    EXPECT_TRUE(visibleDuringWork);
    EXPECT_EQ(seenSteps,
              (QStringList{QStringLiteral("系统正在扫描报表……"), QStringLiteral("第3步")}));
    // Gone afterwards, also when the work fails.
    EXPECT_EQ(owner.findChild<FrmJdt *>(), nullptr);
    EXPECT_THROW(FrmJdt::run(&owner, QString(),
                             [](const ProgressCallback &) { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_EQ(owner.findChild<FrmJdt *>(), nullptr);
}
