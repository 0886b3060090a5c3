#include "shell/accountsetrestore.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/backups.h"
#include "shell/masterdatabase.h"
#include "shell/screens/frmxtdl.h"
#include "shell/screens/frmztxx.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/startupflow.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace varnock;

namespace {

// Answers each modal dialog of the start-up in turn, the way a user would.
class ModalDriver
{
public:
    std::function<void(FrmZtxx *)> onChooser;
    std::function<void(FrmXtdl *)> onLogin;

    void start()
    {
        QTimer::singleShot(10, &m_context, [this] { poll(); });
    }

private:
    void poll()
    {
        // Look at every visible window, not only the active modal one: a window left over by
        // an earlier test in the same process must not hide the dialog being waited for.
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (!w->isVisible())
                continue;
            if (auto *chooser = qobject_cast<FrmZtxx *>(w); chooser && onChooser) {
                onChooser(chooser);
                break;
            }
            if (auto *login = qobject_cast<FrmXtdl *>(w); login && onLogin) {
                onLogin(login);
                break;
            }
        }
        QTimer::singleShot(20, &m_context, [this] { poll(); });
    }

    QObject m_context; // pending polls end with the driver
};

qint64 createSet(const DataFolder &folder, const QString &name)
{
    auto master = MasterDatabase::ensure(folder);
    AccountSets sets(*master, folder);
    NewAccountSet request;
    request.number = sets.proposedNumber();
    request.name = name;
    request.password = QStringLiteral("pw");
    request.date = Clock::today();
    request.operatorName = QStringLiteral("张三");
    request.operatorPassword = QStringLiteral("123");
    request.operatorPasswordRepeat = QStringLiteral("123");
    return sets.create(request).number;
}

// The first visit to the chooser opens the first set, 张三 logs in, the next visit leaves
// (退出系统, answered Yes by the sink). `chooserVisits` counts the visits.
void driveWorkingDay(ModalDriver &driver, int &chooserVisits)
{
    driver.onChooser = [&chooserVisits](FrmZtxx *chooser) {
        ++chooserVisits;
        if (chooserVisits == 1) {
            chooser->grid()->selectRow(0);
            chooser->buttons()->button(2)->click();
        } else {
            chooser->buttons()->button(3)->click();
        }
    };
    driver.onLogin = [](FrmXtdl *login) {
        login->operatorField()->setText(QStringLiteral("张三"));
        login->passwordField()->setText(QStringLiteral("123"));
        login->buttons()->button(0)->click();
    };
    driver.start();
}

} // namespace

// The whole path of a working day: chooser → open the set → login → main window with the
// operator's rights → account-set log-off back to the chooser → leave.
TEST(StartupFlow, OpensLogsInLogsOffAndLeaves)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const DataFolder folder(dir.path());
    const qint64 number = createSet(folder, QStringLiteral("一号工地"));

    test::RecordingSink sink;
    StartupFlow flow(folder);
    QSignalSpy finished(&flow, &StartupFlow::finished);

    int chooserVisits = 0;
    ModalDriver driver;
    driveWorkingDay(driver, chooserVisits);

    ASSERT_TRUE(flow.start(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flow.mainWindow() && flow.mainWindow()->isEnabled(); },
                                20000));
    MDIFrmMain *main = flow.mainWindow();
    EXPECT_EQ(main->statusPanel(1), QStringLiteral("张三"));
    EXPECT_EQ(main->statusPanel(7), QStringLiteral("一号工地"));
    EXPECT_EQ(main->statusPanel(8), QString::number(number));
    EXPECT_TRUE(main->windowTitle().startsWith(QStringLiteral("Varnock系统 - [ ")));
    EXPECT_TRUE(sink.shownTexts().contains(QStringLiteral("口令正确！欢迎使用本系统！")));
    EXPECT_TRUE(main->action(QStringLiteral("CZYSZ"))->isEnabled());
    ASSERT_NE(flow.session(), nullptr);

    main->action(QStringLiteral("ZTZX"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000))
        << "chooser shown " << chooserVisits << " times";
    EXPECT_EQ(chooserVisits, 2);
    EXPECT_EQ(flow.session(), nullptr);
    EXPECT_TRUE(sink.questionTexts().contains(QStringLiteral("您确认要退出本系统吗?")));
}

// A set whose planned-price stock stands off plan says so after login and, asked, repairs it.
TEST(StartupFlow, OffersToRepairOffPlanStockAfterLogin)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const DataFolder folder(dir.path());
    const qint64 number = createSet(folder, QStringLiteral("二号工地"));
    const QString path = folder.accountSetDatabasePath(number);
    {
        Database db(path);
        db.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, JZDW, JHDJ, JJFS, SFMJ) "
                               "VALUES ('1001', '1', '水泥', '吨', 50000, 1, 1)"));
        db.exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES ('1001', 100000, "
                               "600000)"));
    }

    test::RecordingSink sink;
    StartupFlow flow(folder);
    QSignalSpy finished(&flow, &StartupFlow::finished);
    int chooserVisits = 0;
    ModalDriver driver;
    driveWorkingDay(driver, chooserVisits);

    ASSERT_TRUE(flow.start(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flow.mainWindow() && flow.mainWindow()->isEnabled(); },
                                20000));
    const QStringList asked = sink.questionTexts();
    ASSERT_FALSE(asked.isEmpty());
    EXPECT_TRUE(asked.last().contains(QStringLiteral("1001 水泥  库存金额 60.00，应为 50.00")))
        << asked.last().toStdString();
    ASSERT_NE(flow.session(), nullptr);
    EXPECT_EQ(flow.session()->database().scalar(QStringLiteral("SELECT KCJE FROM KC")).toInt(),
              500000);

    flow.mainWindow()->action(QStringLiteral("ZTZX"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000));
}

// A backup put back from the backup screen replaces the books while the program runs; the
// operator logs in again, and closing the set leaves the day's automatic copy.
TEST(StartupFlow, RestoresABackupThenAsksForTheLoginAndKeepsADailyCopy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const DataFolder folder(dir.path());
    createSet(folder, QStringLiteral("三号工地"));

    test::RecordingSink sink;
    StartupFlow flow(folder);
    QSignalSpy finished(&flow, &StartupFlow::finished);
    int chooserVisits = 0;
    int logins = 0;
    ModalDriver driver;
    driveWorkingDay(driver, chooserVisits);
    const auto login = driver.onLogin;
    driver.onLogin = [&logins, login](FrmXtdl *screen) {
        ++logins;
        login(screen);
    };

    ASSERT_TRUE(flow.start(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return flow.mainWindow() && flow.mainWindow()->isEnabled(); },
                                20000));
    Database &books = flow.session()->database();
    const QString backup = Backups::backUp(books, QString(), Clock::today());
    books.exec(QStringLiteral("INSERT INTO GYS (BH, MC) VALUES ('G1', '第一建材')"));

    AccountSetRestore restore(flow.session()->database());
    restore.stageFile(backup);
    EXPECT_TRUE(flow.restoreAccountSet(restore));
    EXPECT_EQ(flow.session()->database().scalar(QStringLiteral("SELECT COUNT(*) FROM GYS")).toInt(),
              0);
    EXPECT_TRUE(sink.lastText().startsWith(QStringLiteral("数据还原完毕！")));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return logins == 2 && flow.mainWindow()->isEnabled(); }, 20000));

    flow.mainWindow()->action(QStringLiteral("ZTZX"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000));
    const QDir backups(folder.backupFolder());
    EXPECT_EQ(backups.entryList({QStringLiteral("KVMT*-auto-*.db")}).size(), 1);
}
