#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/helppages.h"
#include "shell/masterdatabase.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmczrz.h"
#include "shell/screens/frmczyqx.h"
#include "shell/screens/frmdht.h"
#include "shell/screens/frmxtdl.h"
#include "shell/screens/frmztxx.h"
#include "shell/screens/help.h"
#include "shell/screens/helpwindow.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/startupflow.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;

namespace {

// Answers the chooser and the login whenever they come up, as a user would.
class Answerer
{
public:
    std::function<void(QWidget *)> onOther;
    bool stopped = false;
    int logins = 0;

    void start()
    {
        QTimer::singleShot(10, &m_context, [this] { poll(); });
    }

private:
    void poll()
    {
        if (stopped)
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *chooser = qobject_cast<FrmZtxx *>(modal)) {
            chooser->grid()->selectRow(0);
            chooser->buttons()->button(2)->click();
        } else if (auto *login = qobject_cast<FrmXtdl *>(modal)) {
            ++logins;
            login->operatorField()->setText(QStringLiteral("张三"));
            login->passwordField()->setText(QStringLiteral("123"));
            login->buttons()->button(0)->click();
        } else if (modal && onOther) {
            onOther(modal);
        }
        QTimer::singleShot(20, &m_context, [this] { poll(); });
    }

    QObject m_context; // pending polls end with the answerer
};

} // namespace

// After the login the commands are wired: the log browser opens and logs nothing, the
// navigation panel stands for this operator, F1 reaches the screens' help, and a system
// log-off builds the panel anew for the next login.
TEST(StartupCommands, TheLoginWiresCommandsPanelAndHelp)
{
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    {
        auto master = MasterDatabase::ensure(folder);
        AccountSets sets(*master, folder);
        NewAccountSet r;
        r.number = sets.proposedNumber();
        r.name = QStringLiteral("一号工地");
        r.password = QStringLiteral("pw");
        r.date = Clock::today();
        r.operatorName = QStringLiteral("张三");
        r.operatorPassword = QStringLiteral("123");
        r.operatorPasswordRepeat = QStringLiteral("123");
        sets.create(r);
    }

    test::RecordingSink sink;
    StartupFlow flow(folder);
    Answerer answerer;
    answerer.start();
    ASSERT_TRUE(flow.start(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flow.mainWindow() && flow.mainWindow()->isEnabled(); },
                                20000));
    MDIFrmMain *main = flow.mainWindow();
    CommandDispatcher *dispatcher = flow.dispatcher();
    ASSERT_NE(dispatcher, nullptr);

    QPointer<FrmDHT> panel = dispatcher->navigationPanel();
    ASSERT_FALSE(panel.isNull());
    EXPECT_TRUE(main->navigationChecked());

    ASSERT_TRUE(main->action(QStringLiteral("RZLL"))->isEnabled());
    main->action(QStringLiteral("RZLL"))->trigger();
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 1);
    QWidget *browser = MDIFrmMain::screenOf(main->mdiArea()->subWindowList().first());
    ASSERT_NE(qobject_cast<FrmCzrz *>(browser), nullptr);
    Database &db = flow.session()->database();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ")).toInt(), 0);

    // F1 in the browser inside the main window opens the browser's page.
    QTest::keyClick(browser, Qt::Key_F1);
    ASSERT_NE(Help::window(), nullptr);
    EXPECT_EQ(Help::window()->page(), HelpPages::topicUrl(QStringLiteral("日志浏览")));
    Help::closeWindow();

    // The operator screen opens modally; its F1 reaches the help window too.
    bool operatorsSeen = false;
    answerer.onOther = [&](QWidget *modal) {
        if (auto *screen = qobject_cast<FrmCzyQx *>(modal)) {
            operatorsSeen = true;
            QTest::keyClick(screen, Qt::Key_F1);
            EXPECT_EQ(Help::window() ? Help::window()->page() : QUrl(),
                      HelpPages::topicUrl(QStringLiteral("操作员设置")));
            screen->buttons()->button(FrmCzyQx::Exit)->click();
        }
    };
    main->action(QStringLiteral("CZYSZ"))->trigger();
    EXPECT_TRUE(operatorsSeen);
    answerer.onOther = nullptr;

    // System log-off: the working screens and the panel go, the next login builds a new one.
    main->action(QStringLiteral("zhuxiao"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.logins == 2 && main->isEnabled(); }, 20000));
    EXPECT_TRUE(panel.isNull());
    EXPECT_NE(dispatcher->navigationPanel(), nullptr);

    answerer.stopped = true;
    flow.quit();
    EXPECT_EQ(dispatcher->navigationPanel(), nullptr);
}
