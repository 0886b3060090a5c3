#include "shell/accountsets.h"
#include "shell/helppages.h"
#include "shell/masterdatabase.h"
#include "shell/screens/frmma.h"
#include "shell/screens/frmqd.h"
#include "shell/screens/frmxzms.h"
#include "shell/screens/frmztxx.h"
#include "shell/screens/frmztzj.h"
#include "shell/screens/help.h"
#include "shell/screens/helpwindow.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;

namespace {

// Shows a screen as the active window, as the user would see it.
void activate(QWidget *screen)
{
    screen->show();
    QApplication::setActiveWindow(screen);
    EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
}

// Building a master hashes the template operator's password, which takes a while; each test
// starts from a copy of one built here.
void copyTemplateMaster(const DataFolder &folder)
{
    static QTemporaryDir templateDir;
    static const bool built = [] {
        MasterDatabase::ensure(DataFolder(templateDir.path()));
        return true;
    }();
    (void)built;
    QFile::copy(DataFolder(templateDir.path()).masterDatabasePath(), folder.masterDatabasePath());
}

class AccountSetScreens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Clock::setToday(QDate(2026, 6, 1));
        copyTemplateMaster(m_folder);
        m_master = MasterDatabase::ensure(m_folder);
        m_sets = std::make_unique<AccountSets>(*m_master, m_folder);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    qint64 create(const QString &name)
    {
        NewAccountSet r;
        r.number = m_sets->proposedNumber();
        r.name = name;
        r.password = QStringLiteral("pw");
        r.date = QDate(2026, 1, 5);
        return m_sets->create(r).number;
    }

    QTemporaryDir m_dir;
    DataFolder m_folder{m_dir.path()};
    std::unique_ptr<Database> m_master;
    std::unique_ptr<AccountSets> m_sets;
    test::RecordingSink m_sink;
};

} // namespace

TEST(FrmQdTest, ShowsTheVersionAndClosesItselfAfterASecond)
{
    FrmQd splash;
    EXPECT_EQ(splash.versionLabel()->text(),
              QStringLiteral("内部版本 ") + QStringLiteral(VARNOCK_VERSION));
    EXPECT_EQ(FrmQd::versionText().count(QLatin1Char('.')), 2);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_GE(timer.elapsed(), FrmQd::DisplayMilliseconds - 50);
}

TEST_F(AccountSetScreens, ChooserListsTheSetsAndReturnsTheChosenOne)
{
    const qint64 first = create(QStringLiteral("一号工地"));
    const qint64 second = create(QStringLiteral("O'Brien%工地"));
    FrmZtxx chooser(*m_master, m_folder);
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("选择账套"));

    QTableWidget *grid = chooser.grid();
    ASSERT_EQ(grid->columnCount(), 4);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QString());
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("   账套编号"));
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), QStringLiteral("账  套  名  称"));
    EXPECT_EQ(grid->horizontalHeaderItem(3)->text(), QStringLiteral("   建账日期"));
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 1)->text(), QString::number(first));
    EXPECT_EQ(grid->item(1, 2)->text(), QStringLiteral("O'Brien%工地"));
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("2026-01-05"));
    EXPECT_EQ(chooser.buttons()->button(0)->text(), QStringLiteral("新建账套(&N)"));
    EXPECT_EQ(chooser.buttons()->button(2)->text(), QStringLiteral("确    定(&Q)"));

    // With no row selected, OK does nothing.
    chooser.show();
    grid->clearSelection();
    click(chooser.buttons(), 2);
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(chooser.outcome(), FrmZtxx::Outcome::Pending);

    grid->selectRow(1);
    click(chooser.buttons(), 2);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.outcome(), FrmZtxx::Outcome::Chosen);
    EXPECT_EQ(chooser.chosen(), second);
}

TEST_F(AccountSetScreens, DoubleClickChoosesAndQuitAsksFirst)
{
    const qint64 number = create(QStringLiteral("甲"));
    {
        FrmZtxx chooser(*m_master, m_folder);
        activate(&chooser);
        const QRect cell = chooser.grid()->visualItemRect(chooser.grid()->item(0, 2));
        chooser.grid()->clearSelection();
        QTest::mouseClick(chooser.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(chooser.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        EXPECT_EQ(chooser.chosen(), number);
    }
    FrmZtxx chooser(*m_master, m_folder);
    chooser.show();
    m_sink.answer({false});
    click(chooser.buttons(), 3);
    EXPECT_EQ(m_sink.questionTexts(), QStringList{QStringLiteral("您确认要退出本系统吗?")});
    EXPECT_TRUE(chooser.isVisible());
    click(chooser.buttons(), 3);
    EXPECT_TRUE(chooser.quitRequested());
    EXPECT_FALSE(chooser.chosen().has_value());
    EXPECT_FALSE(chooser.isVisible());
}

// Enter on the list opens the selected set, as OK does; Enter on another button presses that
// button instead.
TEST_F(AccountSetScreens, EnterOnTheListChoosesTheSelectedSet)
{
    create(QStringLiteral("甲"));
    const qint64 second = create(QStringLiteral("乙"));
    {
        FrmZtxx chooser(*m_master, m_folder);
        activate(&chooser);
        m_sink.answer({false});
        chooser.buttons()->button(3)->setFocus();
        QTest::keyClick(chooser.buttons()->button(3), Qt::Key_Return);
        EXPECT_EQ(m_sink.questionTexts(), QStringList{QStringLiteral("您确认要退出本系统吗?")});
        EXPECT_EQ(chooser.outcome(), FrmZtxx::Outcome::Pending);
    }
    FrmZtxx chooser(*m_master, m_folder);
    activate(&chooser);
    chooser.grid()->setFocus();
    chooser.grid()->selectRow(1);
    QTest::keyClick(chooser.grid(), Qt::Key_Return);
    EXPECT_EQ(chooser.outcome(), FrmZtxx::Outcome::Chosen);
    EXPECT_EQ(chooser.chosen(), second);
    EXPECT_FALSE(chooser.isVisible());
}

TEST_F(AccountSetScreens, DeleteAsksThenChecksThePassword)
{
    const qint64 number = create(QStringLiteral("甲"));
    FrmZtxx chooser(*m_master, m_folder);
    chooser.show();
    chooser.grid()->selectRow(0);

    // No at the question: no prompt, nothing deleted.
    m_sink.answer({false});
    click(chooser.buttons(), 1);
    EXPECT_EQ(m_sink.questionTexts(),
              QStringList{QStringLiteral("账套一旦删除，所有数据都将丢失，你确定要删除吗？")});
    EXPECT_EQ(chooser.grid()->rowCount(), 1);

    auto typeIntoPrompt = [](const QString &text) {
        whenModal<FrmMa>([text](FrmMa *prompt) {
            QTest::keyClicks(prompt->passwordField(), text);
            QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
        });
    };
    typeIntoPrompt(QStringLiteral("wrong"));
    click(chooser.buttons(), 1);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("密码错误！！不允许删除！！"));
    EXPECT_EQ(chooser.grid()->rowCount(), 1);
    EXPECT_TRUE(QFileInfo::exists(m_folder.accountSetDatabasePath(number)));

    typeIntoPrompt(QStringLiteral("pw"));
    click(chooser.buttons(), 1);
    EXPECT_EQ(chooser.grid()->rowCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(m_folder.accountSetFolder(number)));
}

TEST_F(AccountSetScreens, WizardRefusesWithTheSystemsWordsAndClearsTheNamedFields)
{
    create(QStringLiteral("已有工地"));
    FrmZtzj wizard(*m_sets, m_folder);
    activate(&wizard);
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("账套信息"));
    EXPECT_EQ(wizard.numberField()->text(), QString::number(m_sets->proposedNumber()));
    EXPECT_EQ(wizard.dateField()->date(), QDate(2026, 6, 1));
    EXPECT_EQ(wizard.buttons()->button(0)->text(), QStringLiteral("完  成(&Q)"));
    EXPECT_EQ(wizard.buttons()->button(1)->text(), QStringLiteral("退  出(&X)"));

    click(wizard.buttons(), 0);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("账套名称和密码不允许为空！"));
    EXPECT_EQ(wizard.focusWidget(), wizard.nameField());

    wizard.nameField()->setText(QStringLiteral("已有工地"));
    wizard.passwordField()->setText(QStringLiteral("pw"));
    click(wizard.buttons(), 0);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("账套名称不允许重复！"));
    EXPECT_TRUE(wizard.nameField()->text().isEmpty());
    EXPECT_EQ(wizard.passwordField()->text(), QStringLiteral("pw"));

    wizard.nameField()->setText(QStringLiteral("新工地"));
    wizard.operatorField()->setText(QStringLiteral("张三"));
    wizard.operatorPasswordField()->setText(QStringLiteral("1"));
    wizard.operatorRepeatField()->setText(QStringLiteral("2"));
    click(wizard.buttons(), 0);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("验证密码不同！，请重新输入！"));
    EXPECT_TRUE(wizard.operatorPasswordField()->text().isEmpty());
    EXPECT_TRUE(wizard.operatorRepeatField()->text().isEmpty());
    EXPECT_EQ(wizard.tabs()->currentIndex(), 1);
    EXPECT_EQ(wizard.nameField()->text(), QStringLiteral("新工地"));

    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(m_sets->list().size(), 1);
}

TEST_F(AccountSetScreens, WizardAsksForTheModeAndQuittingItCreatesNothing)
{
    FrmZtzj wizard(*m_sets, m_folder);
    wizard.show();
    wizard.nameField()->setText(QStringLiteral("新工地"));
    wizard.passwordField()->setText(QStringLiteral("pw"));

    whenModal<FrmXzms>([](FrmXzms *screen) { click(screen->buttons(), 1); });
    click(wizard.buttons(), 0);
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_TRUE(m_sets->list().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_folder.modeFile()));

    whenModal<FrmXzms>([](FrmXzms *screen) {
        EXPECT_EQ(screen->modeBox()->itemText(0), QStringLiteral("移动加权"));
        EXPECT_EQ(screen->modeBox()->itemText(1), QStringLiteral("先进先出"));
        screen->modeBox()->setCurrentText(QStringLiteral("先进先出"));
        click(screen->buttons(), 0);
    });
    click(wizard.buttons(), 0);
    EXPECT_FALSE(wizard.isVisible());
    ASSERT_TRUE(wizard.created().has_value());
    EXPECT_EQ(wizard.created()->name, QStringLiteral("新工地"));
    EXPECT_EQ(m_sets->list().size(), 1);

    Database set(m_folder.accountSetDatabasePath(wizard.created()->number));
    EXPECT_EQ(set.scalar(QStringLiteral("SELECT MS FROM ZTMS")).toInt(), 1);
    QFile yzms(m_folder.modeFile());
    ASSERT_TRUE(yzms.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(yzms.readAll()).trimmed(), QStringLiteral("先进先出"));
}

// F1 on each start-up screen opens its own page, whoever built the screen.
TEST_F(AccountSetScreens, F1OpensEachScreensHelpTopic)
{
    auto pressF1 = [](QWidget *screen, QWidget *field) {
        activate(screen);
        QTest::keyClick(field, Qt::Key_F1);
        const QUrl page = Help::window() ? Help::window()->page() : QUrl();
        Help::closeWindow();
        QApplication::processEvents();
        return page;
    };
    FrmXzms mode(m_folder);
    EXPECT_EQ(pressF1(&mode, mode.modeBox()), HelpPages::topicUrl(QStringLiteral("软件环境")));
    mode.close();
    FrmZtzj wizard(*m_sets, m_folder);
    EXPECT_EQ(pressF1(&wizard, wizard.nameField()),
              HelpPages::topicUrl(QStringLiteral("新建账套")));
    wizard.close();
    FrmZtxx chooser(*m_master, m_folder);
    EXPECT_EQ(pressF1(&chooser, chooser.grid()), HelpPages::topicUrl(QStringLiteral("账套选择")));
}
