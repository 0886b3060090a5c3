#include "shell/operators.h"
#include "shell/screens/frmczy.h"
#include "shell/screens/frmczyqx.h"
#include "shell/screens/frmma.h"
#include "shell/screens/frmxtdl.h"
#include "shell/screens/help.h"
#include "support/testaccountset.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;

namespace {

// Types into the password prompt and confirms with Enter, or cancels it.
void answerPrompt(const QString &typed)
{
    whenModal<FrmMa>([typed](FrmMa *prompt) {
        if (typed == FrmMa::cancelled()) {
            QTest::mouseClick(prompt->buttons()->button(1), Qt::LeftButton);
            return;
        }
        // QTest types ASCII only; Chinese text arrives as an input method would put it.
        prompt->passwordField()->insert(typed);
        QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
    });
}

// Counts and cancels every password prompt that opens while it lives.
class PromptWatcher
{
public:
    PromptWatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *prompt = qobject_cast<FrmMa *>(QApplication::activeModalWidget())) {
                ++count;
                prompt->reject();
            }
        });
        m_timer.start();
    }
    int count = 0;

private:
    QTimer m_timer;
};

class LoginScreensTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Permissions some;
        some[Permissions::CKYW] = true;
        some[Permissions::CXBB] = true;
        m_ops.add(1, QStringLiteral("系统管理员"), {}, QStringLiteral("admin"), Permissions::all());
        m_ops.add(2, QStringLiteral("张三"), QStringLiteral("123"), QStringLiteral("zs"), some);
    }

    Database &db() { return m_set.db(); }

    test::TestAccountSet m_set;
    Operators m_ops{m_set.db()};
    test::RecordingSink m_sink;
};

} // namespace

TEST(FrmMaTest, ReturnsTheTypedTextOrExit)
{
    answerPrompt(QStringLiteral(" 口令 "));
    EXPECT_EQ(FrmMa::ask(nullptr), QStringLiteral(" 口令 "));

    answerPrompt(FrmMa::cancelled());
    EXPECT_EQ(FrmMa::ask(nullptr), QStringLiteral("退出"));

    whenModal<FrmMa>([](FrmMa *prompt) {
        QTest::keyClicks(prompt->passwordField(), QStringLiteral("abc"));
        QTest::keyClick(prompt, Qt::Key_Escape);
    });
    EXPECT_EQ(FrmMa::ask(nullptr), QStringLiteral("退出"));

    FrmMa prompt;
    EXPECT_EQ(prompt.windowTitle(), QStringLiteral("密码框"));
    EXPECT_EQ(prompt.buttons()->button(0)->text(), QStringLiteral("确 定(&Q)"));
    EXPECT_EQ(prompt.buttons()->button(1)->text(), QStringLiteral("取 消(&X)"));
    EXPECT_EQ(prompt.passwordField()->echoMode(), QLineEdit::Password);
}

TEST_F(LoginScreensTest, WrongPasswordKeepsTheLoginOpenWithThePasswordSelected)
{
    FrmXtdl login(db());
    login.show();

    click(login.buttons(), 0);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("请输入操作员姓名或口令！"));

    login.operatorField()->insert(QStringLiteral("李四"));
    QTest::keyClicks(login.passwordField(), QStringLiteral("zs"));
    click(login.buttons(), 0);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("该操作员不存在！"));

    login.operatorField()->setText(QStringLiteral("张三"));
    login.passwordField()->setText(QStringLiteral("wrong"));
    m_sink.clear();
    click(login.buttons(), 0);
    ASSERT_EQ(m_sink.shownTexts(), QStringList{QStringLiteral("口令错误！请重新输入！")});
    EXPECT_TRUE(login.isVisible());
    EXPECT_EQ(login.outcome(), FrmXtdl::Outcome::Pending);
    EXPECT_EQ(login.focusWidget(), login.passwordField());
    EXPECT_EQ(login.passwordField()->selectedText(), QStringLiteral("wrong"));

    // Typing replaces the selected wrong password; spaces around it do not matter.
    QTest::keyClicks(login.passwordField(), QStringLiteral(" zs "));
    m_sink.clear();
    click(login.buttons(), 0);
    EXPECT_EQ(m_sink.shownTexts(), QStringList{QStringLiteral("口令正确！欢迎使用本系统！")});
    EXPECT_EQ(login.outcome(), FrmXtdl::Outcome::LoggedIn);
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(login.loggedIn().number, 2);
    EXPECT_EQ(login.loggedIn().name, QStringLiteral("张三"));
    EXPECT_TRUE(login.loggedIn().permissions[Permissions::CKYW]);
    EXPECT_FALSE(login.loggedIn().permissions[Permissions::RKYW]);
    EXPECT_TRUE(login.loggedIn().date.isValid());
}

TEST_F(LoginScreensTest, EnterWalksTheLoginAndThePickerFillsTheName)
{
    FrmXtdl login(db());
    login.show();
    QApplication::setActiveWindow(&login);

    whenModal<FrmCZY>([](FrmCZY *picker) {
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("选择操作员"));
        picker->view()->selectRow(1);
        click(picker->buttons(), 0);
    });
    QTest::mouseClick(login.findChild<QToolButton *>(QStringLiteral("Command2")), Qt::LeftButton);
    EXPECT_EQ(login.operatorField()->text(), QStringLiteral("张三"));
    EXPECT_EQ(login.focusWidget(), login.passwordField());

    QTest::keyClicks(login.passwordField(), QStringLiteral("zs"));
    QTest::keyClick(login.passwordField(), Qt::Key_Return);
    EXPECT_EQ(login.focusWidget(), login.buttons()->button(0));
    EXPECT_EQ(login.outcome(), FrmXtdl::Outcome::Pending);
    QTest::keyClick(login.buttons()->button(0), Qt::Key_Return);
    EXPECT_EQ(login.outcome(), FrmXtdl::Outcome::LoggedIn);
    EXPECT_EQ(login.loggedIn().number, 2);
}

TEST_F(LoginScreensTest, QuittingTheLoginAsksFirst)
{
    FrmXtdl login(db());
    login.show();
    m_sink.answer({false});
    click(login.buttons(), 1);
    EXPECT_EQ(m_sink.questionTexts(), QStringList{QStringLiteral("您确认要退出本系统吗?")});
    EXPECT_TRUE(login.isVisible());

    m_sink.answer({true});
    QTest::keyClick(&login, Qt::Key_Escape);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(login.outcome(), FrmXtdl::Outcome::Quit);
}

TEST_F(LoginScreensTest, PickerRefusesAMissingChoice)
{
    FrmCZY picker(db());
    picker.view()->clearSelection();
    picker.choose();
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("请选择正确的操作员"));
    EXPECT_EQ(picker.chosenRow(), -1);

    whenModal<FrmCZY>([](FrmCZY *p) { click(p->buttons(), 0); });
    FrmCZY again(db());
    const auto chosen = again.pick();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->number, 1);
    EXPECT_EQ(chosen->name, QStringLiteral("系统管理员"));
}

TEST_F(LoginScreensTest, ScreensCarryTheirHelpTopics)
{
    FrmXtdl login(db());
    EXPECT_EQ(Help::topicOf(login.passwordField()), QStringLiteral("登陆"));
    FrmCzyQx operators(db(), Operators::Administrator);
    EXPECT_EQ(Help::topicOf(operators.nameField()), QStringLiteral("操作员设置"));
}

TEST_F(LoginScreensTest, AdministratorChangesAndAddsWithoutAPrompt)
{
    FrmCzyQx screen(db(), Operators::Administrator);
    screen.show();
    ASSERT_TRUE(screen.selectOperator(2));
    EXPECT_EQ(screen.nameField()->text(), QStringLiteral("张三"));
    EXPECT_TRUE(screen.flagBox(Permissions::CKYW)->isChecked());
    EXPECT_TRUE(screen.nameField()->isReadOnly());
    EXPECT_FALSE(screen.flagBox(Permissions::CKYW)->isEnabled());

    PromptWatcher prompts;
    click(screen.buttons(), FrmCzyQx::Change);
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Editing);
    screen.nameField()->setText(QStringLiteral("张三丰"));
    screen.flagBox(Permissions::ZJZC)->setChecked(true);
    click(screen.buttons(), FrmCzyQx::Save);
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Browse);
    EXPECT_EQ(m_ops.find(2)->name, QStringLiteral("张三丰"));
    EXPECT_TRUE(m_ops.permissions(2)[Permissions::ZJZC]);
    // The blank password field kept the password.
    EXPECT_TRUE(m_ops.passwordMatches(2, QStringLiteral("zs")));

    click(screen.buttons(), FrmCzyQx::Add);
    EXPECT_EQ(screen.numberField()->text(), QStringLiteral("3"));
    click(screen.buttons(), FrmCzyQx::Save);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("操作员姓名不允许为空！"));
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Adding);
    screen.nameField()->setText(QStringLiteral("O'Neil 100%"));
    screen.passwordField()->setText(QStringLiteral("pw"));
    screen.flagBox(Permissions::YJCL)->setChecked(true);
    click(screen.buttons(), FrmCzyQx::Save);
    ASSERT_TRUE(m_ops.find(3));
    EXPECT_EQ(m_ops.find(3)->name, QStringLiteral("O'Neil 100%"));
    EXPECT_TRUE(m_ops.passwordMatches(3, QStringLiteral("pw")));
    EXPECT_EQ(m_ops.permissions(3).allowed, [] {
        Permissions p;
        p[Permissions::YJCL] = true;
        return p.allowed;
    }());
    EXPECT_EQ(screen.list()->topLevelItemCount(), 3);

    click(screen.buttons(), FrmCzyQx::Delete);
    EXPECT_FALSE(m_ops.find(3));
    EXPECT_EQ(screen.list()->topLevelItemCount(), 2);
    EXPECT_EQ(prompts.count, 0);
}

TEST_F(LoginScreensTest, OtherOperatorsMustTypeTheSelectedOperatorsPassword)
{
    FrmCzyQx screen(db(), 2);
    screen.show();
    ASSERT_TRUE(screen.selectOperator(1));

    answerPrompt(FrmMa::cancelled());
    click(screen.buttons(), FrmCzyQx::Change);
    EXPECT_TRUE(m_sink.shown.empty());
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Browse);

    // Their own password does not open someone else's record.
    answerPrompt(QStringLiteral("zs"));
    click(screen.buttons(), FrmCzyQx::Change);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("密码错误！，不允许修改！！！"));
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Browse);

    answerPrompt(QStringLiteral(" admin "));
    click(screen.buttons(), FrmCzyQx::Change);
    EXPECT_EQ(screen.state(), FrmCzyQx::State::Editing);

    answerPrompt(QStringLiteral("nope"));
    click(screen.buttons(), FrmCzyQx::Delete);
    EXPECT_EQ(m_sink.lastText(), QStringLiteral("密码错误！，不允许删除！！！"));
    EXPECT_TRUE(m_ops.find(1));

    m_sink.clear();
    answerPrompt(FrmMa::cancelled());
    click(screen.buttons(), FrmCzyQx::Delete);
    EXPECT_TRUE(m_sink.shown.empty());
    EXPECT_TRUE(m_ops.find(1));

    answerPrompt(QStringLiteral("admin"));
    click(screen.buttons(), FrmCzyQx::Delete);
    EXPECT_FALSE(m_ops.find(1));
    EXPECT_EQ(screen.list()->topLevelItemCount(), 1);
}
