#include "shell/menutree.h"
#include "shell/operationlogmodel.h"
#include "shell/operators.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmczrz.h"
#include "shell/screens/frmczrzcx.h"
#include "shell/screens/frmdht.h"
#include "shell/screens/frmma.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <gtest/gtest.h>

#include <functional>

using namespace varnock;
using test::click;
using test::keepPicture;
using test::whenModal;
using varnock::test::RecordingSink;

namespace {

void answerPrompt(const QString &typed)
{
    whenModal<FrmMa>([typed](FrmMa *prompt) {
        prompt->passwordField()->insert(typed);
        QTest::keyClick(prompt->passwordField(), Qt::Key_Return);
    });
}

QString n(const char *name)
{
    return QString::fromLatin1(name);
}

// A main window logged in as operator 7 over a fresh account set, with a dispatcher whose
// registry holds recording stand-ins for the screens a test names.
class Commands : public ::testing::Test
{
protected:
    Commands()
    {
        Clock::setToday(QDate(2026, 5, 20));
        Operators ops(m_set.db());
        ops.add(1, QStringLiteral("管理员"), {}, QStringLiteral("admin"), Permissions::all());
        ops.add(7, QStringLiteral("王五"), {}, QStringLiteral("seven"), Permissions::all());
        m_main.setOperator(QStringLiteral("王五"), Clock::today(), QTime(8, 0), 7);
        m_dispatcher = new CommandDispatcher(&m_main);
        m_dispatcher->setAccountSet(&m_set.db(), 2);
    }
    ~Commands() override { Clock::setToday(std::nullopt); }

    // Registers a stand-in that records what it was opened with.
    void stub(const char *screen, ScreenRegistry::Opening opening = ScreenRegistry::Opening::Run)
    {
        const QString name = n(screen);
        m_dispatcher->registry().add(name, opening, [this, name, opening](const ScreenRequest &r) {
            m_opened << name;
            m_kinds << r.issueKind;
            return opening == ScreenRegistry::Opening::Run ? nullptr : new QWidget;
        });
    }
    void login(const Permissions &rights, bool hasClosing = false)
    {
        m_dispatcher->installCommands();
        m_main.applyPermissions(rights, hasClosing);
        m_dispatcher->loggedIn(rights, hasClosing);
    }
    qint64 logCount()
    {
        return m_set.db().scalar(QStringLiteral("SELECT COUNT(*) FROM CZRZ")).toLongLong();
    }

    test::TestAccountSet m_set;
    MDIFrmMain m_main;
    CommandDispatcher *m_dispatcher = nullptr;
    QStringList m_opened;
    QList<int> m_kinds;
};

} // namespace

TEST_F(Commands, LoggingCommandsWriteOneRecordBeforeTheirScreenOpens)
{
    stub("FrmCgrkd", ScreenRegistry::Opening::InMainWindow);
    stub("FrmDbthd");
    login(Permissions::all());

    m_main.action(n("CGRKD"))->trigger();
    ASSERT_EQ(logCount(), 1);
    QSqlQuery q = m_set.db().exec(QStringLiteral("SELECT CZY, RQ, CZXX, \"TIME\" FROM CZRZ"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("7"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("2026-05-20"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("采购入库单填写"));
    EXPECT_TRUE(QTime::fromString(q.value(3).toString(), QStringLiteral("hh:mm:ss")).isValid());
    EXPECT_EQ(m_opened, QStringList{n("FrmCgrkd")});
    EXPECT_EQ(m_main.mdiArea()->subWindowList().size(), 1);

    // The pop-up twin runs the same command; the open screen comes to the front again.
    m_main.action(n("CGRKD1"))->trigger();
    EXPECT_EQ(logCount(), 2);
    EXPECT_EQ(m_main.mdiArea()->subWindowList().size(), 1);

    m_main.action(n("DBTHD1"))->trigger();
    EXPECT_EQ(logCount(), 3);
    EXPECT_EQ(m_set.db()
                  .scalar(QStringLiteral("SELECT CZXX FROM CZRZ ORDER BY ID DESC LIMIT 1"))
                  .toString(),
              QStringLiteral("调拨入库退货单填写"));
}

TEST_F(Commands, CommandsWithoutAScreenStayDisabledAndWriteNothing)
{
    stub("FrmCgrkd");
    login(Permissions::all());

    for (const char *name : {"CLSZ", "CGTHD", "CGTHD1", "YJCL", "SJBF", "JXCMX"}) {
        QAction *a = m_main.action(n(name));
        EXPECT_FALSE(a->isEnabled()) << name;
        EXPECT_EQ(a->toolTip(), QStringLiteral("尚未提供此功能")) << name;
        a->trigger();
        EXPECT_FALSE(m_dispatcher->run(n(name))) << name;
    }
    EXPECT_EQ(logCount(), 0);
    EXPECT_TRUE(m_opened.isEmpty());
    // The registered ones and the shell's own commands are usable.
    EXPECT_TRUE(m_main.action(n("CGRKD"))->isEnabled());
    EXPECT_TRUE(m_main.action(n("CGRKD1"))->isEnabled());
    EXPECT_TRUE(m_main.action(n("DHT"))->isEnabled());
    EXPECT_TRUE(m_main.action(n("xihelp"))->isEnabled());
}

TEST_F(Commands, IssueCommandsSetTheSharedKindFirst)
{
    for (const char *screen : {"FormLLDTX", "FormLLTHDTX", "FormLLDDZ", "FormLLTHDDZ", "FormLLDCZ"})
        stub(screen);
    login(Permissions::all());

    const std::pair<const char *, int> expected[] = {
        {"LLDTX", 1},   {"DBCKDTX", 2}, {"LLD", 1},   {"DBCK", 2},    {"LLDTH", 1},
        {"DBCKDTH", 2}, {"LLDDZ", 1},   {"DBDDZ", 2}, {"LLTHDJZ", 1}, {"DBTHDDZ", 2},
        {"LLDCZ", 1},   {"DDBDCZ", 2},  {"LLCZ1", 1}, {"DBLLCZ1", 2},
    };
    for (const auto &[name, kind] : expected) {
        m_kinds.clear();
        m_main.action(n(name))->trigger();
        ASSERT_EQ(m_kinds.size(), 1) << name;
        EXPECT_EQ(m_kinds.first(), kind) << name;
        EXPECT_EQ(m_dispatcher->issueKind(), kind) << name;
    }
    EXPECT_EQ(logCount(), qint64(std::size(expected)));
}

TEST_F(Commands, AFailedLogWriteIsShownOnceAndTheScreenStillOpens)
{
    stub("FrmCgrkd");
    login(Permissions::all());
    m_set.db().exec(QStringLiteral("DROP TABLE CZRZ"));

    m_main.action(n("CGRKD"))->trigger();
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(
        m_main.statusBar()->currentMessage().startsWith(QStringLiteral("操作日志未能写入")));
    m_main.statusBar()->clearMessage();
    m_main.action(n("CGRKD"))->trigger();
    EXPECT_EQ(m_opened.size(), 2);
    EXPECT_TRUE(m_main.statusBar()->currentMessage().isEmpty());
}

TEST_F(Commands, WithoutReportRightsNoReportIsReachable)
{
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (c.screen != QLatin1String("FrmDHT") && c.screen != QLatin1String("Help"))
            stub(c.screen.toLatin1().constData());
    }
    Permissions rights = Permissions::all();
    rights[Permissions::CXBB] = false;
    Operators(m_set.db()).update(7, QStringLiteral("王五"), {}, {}, rights);
    login(rights);

    for (const char *menu : {"TJBB", "CX", "HZBB"})
        EXPECT_FALSE(m_main.menu(n(menu))->menuAction()->isEnabled()) << menu;
    EXPECT_TRUE(m_main.menu(n("XTGL"))->menuAction()->isEnabled());

    FrmDHT *panel = m_dispatcher->navigationPanel();
    ASSERT_NE(panel, nullptr);
    RecordingSink sink;
    for (const char *caption : {"品名查询", "条件查询"}) {
        sink.clear();
        QToolButton *b = panel->button(QString::fromUtf8(caption));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled());
        b->click();
        EXPECT_EQ(sink.lastText(), QStringLiteral("对不起,您没有被授予该项权限!"));
    }
    EXPECT_TRUE(m_opened.isEmpty());
    for (const char *frame : {"出入库报表", "库存与往来报表", "系统设置相关报表"})
        EXPECT_FALSE(panel->linkFrame(QString::fromUtf8(frame))->isEnabled()) << frame;

    // The other buttons go through to their commands, logging as the menu does.
    panel->button(QStringLiteral("材料设置"))->click();
    EXPECT_EQ(m_opened, QStringList{n("FrmClsz")});
    EXPECT_EQ(logCount(), 1);
}

TEST_F(Commands, PanelFollowsTheLoginAndTheToggle)
{
    stub("FrmZwcsh");
    stub("FormPMCXCT");
    // Before a login there is no panel, though the toggle starts checked.
    m_dispatcher->installCommands();
    EXPECT_TRUE(m_main.navigationChecked());
    EXPECT_EQ(m_dispatcher->navigationPanel(), nullptr);

    login(Permissions::all());
    QPointer<FrmDHT> first = m_dispatcher->navigationPanel();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(m_main.dockWidgetArea(m_dispatcher->navigationDock()), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(first->button(QStringLiteral("账务初始化"))->isEnabled());
    EXPECT_TRUE(first->linkFrame(QStringLiteral("出入库报表"))->isEnabled());
    // Screens not built yet: their buttons and links say so.
    EXPECT_FALSE(first->button(QStringLiteral("材料设置"))->isEnabled());
    EXPECT_EQ(first->button(QStringLiteral("材料设置"))->toolTip(),
              QStringLiteral("尚未提供此功能"));
    EXPECT_FALSE(first->button(QStringLiteral("材料目录一览"))->isEnabled());

    // A month closed while the panel is open: the opening balances refuse.
    m_set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-05-01')"));
    RecordingSink sink;
    first->button(QStringLiteral("账务初始化"))->click();
    EXPECT_EQ(sink.lastText(), QStringLiteral("已经做过业务不允许再做初始化！！！"));
    EXPECT_TRUE(m_opened.isEmpty());

    // The toggle closes and reopens it; the mark follows.
    m_main.action(n("DHT"))->trigger();
    EXPECT_FALSE(m_main.navigationChecked());
    EXPECT_TRUE(first.isNull());
    m_main.action(n("DHT"))->trigger();
    EXPECT_TRUE(m_main.navigationChecked());
    ASSERT_NE(m_dispatcher->navigationPanel(), nullptr);

    // The next login rebuilds it with the new rights and the closing now on record.
    QPointer<FrmDHT> before = m_dispatcher->navigationPanel();
    Permissions fewer;
    login(fewer, true);
    EXPECT_TRUE(before.isNull());
    FrmDHT *after = m_dispatcher->navigationPanel();
    ASSERT_NE(after, nullptr);
    EXPECT_FALSE(after->button(QStringLiteral("账务初始化"))->isEnabled());
    EXPECT_FALSE(after->linkFrame(QStringLiteral("出入库报表"))->isEnabled());
}

TEST_F(Commands, PanelPopupButtonsOpenTheMainWindowsPopups)
{
    stub("FrmCgrkd");
    login(Permissions::all());
    FrmDHT *panel = m_dispatcher->navigationPanel();
    ASSERT_NE(panel, nullptr);
    panel->button(QStringLiteral("凭单录入"))->click();
    ASSERT_NE(panel->openedPopup(), nullptr);
    EXPECT_EQ(panel->openedPopup(), m_main.popup(n("POPUP1")));
    EXPECT_TRUE(panel->openedPopup()->isVisible());
    panel->openedPopup()->close();
    // The pop-up entry runs the menu command, log record included.
    m_main.action(n("CGRKD1"))->trigger();
    EXPECT_EQ(m_opened, QStringList{n("FrmCgrkd")});
    EXPECT_EQ(logCount(), 1);
}

TEST_F(Commands, LogBrowserShowsQueriesAndClears)
{
    OperationLog log(m_set.db());
    Clock::setToday(QDate(2026, 5, 1));
    log.record(QStringLiteral("1"), QStringLiteral("设置材料信息"));
    Clock::setToday(QDate(2026, 5, 20));
    log.record(QStringLiteral("7"), QStringLiteral("月结处理"));

    FrmCzrz browser(m_set.db(), 7);
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("操作日志浏览"));
    EXPECT_TRUE(browser.grid()->isColumnHidden(OperationLogModel::Id));
    QStringList headers;
    for (int c = OperationLogModel::Operator; c < OperationLogModel::ColumnCount; ++c)
        headers << browser.model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("   操作员"), QStringLiteral("  操作日期"),
                                    QStringLiteral("  操作时间"),
                                    QStringLiteral("       操   作   信   息")}));
    ASSERT_EQ(browser.model()->rowCount(), 2);
    EXPECT_EQ(browser.model()->index(1, OperationLogModel::Operator).data().toString(),
              QStringLiteral("王五"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(browser.buttons()->button(i)->text(),
                  (QStringList{QStringLiteral("查 询(&F)"), QStringLiteral("清 空(&D)"),
                               QStringLiteral("退 出(&X)")})[i]);

    RecordingSink sink;
    // Start after end: refused inside the query window, the grid keeps its rows.
    whenModal<FrmCzrzCx>([&sink](FrmCzrzCx *q) {
        EXPECT_EQ(q->windowTitle(), QStringLiteral("条件查询"));
        q->startDate()->setDate(QDate(2026, 5, 21));
        q->endDate()->setDate(QDate(2026, 5, 20));
        q->buttons()->button(FrmCzrzCx::Query)->click();
        EXPECT_EQ(sink.lastText(), QStringLiteral("起始日期不允许大于终止日期"));
        EXPECT_TRUE(q->isVisible());
        q->buttons()->button(FrmCzrzCx::Exit)->click();
    });
    browser.buttons()->button(FrmCzrz::Query)->click();
    EXPECT_EQ(browser.model()->rowCount(), 2);

    // One operator over a range.
    whenModal<FrmCzrzCx>([](FrmCzrzCx *q) {
        q->startDate()->setDate(QDate(2026, 5, 1));
        q->endDate()->setDate(QDate(2026, 5, 31));
        q->oneOperator()->setChecked(true);
        q->operatorList()->setCurrentIndex(q->operatorList()->findData(1));
        q->buttons()->button(FrmCzrzCx::Query)->click();
    });
    browser.buttons()->button(FrmCzrz::Query)->click();
    ASSERT_EQ(browser.model()->rowCount(), 1);
    EXPECT_EQ(browser.model()->rows().first().text, QStringLiteral("设置材料信息"));

    // Clearing with another operator's password keeps every row.
    sink.clear();
    answerPrompt(QStringLiteral("admin"));
    browser.buttons()->button(FrmCzrz::Clear)->click();
    EXPECT_EQ(sink.questionTexts(),
              QStringList{QStringLiteral("操作日志一旦被清除，以前操作信息将丢失！")});
    EXPECT_EQ(sink.lastText(), QStringLiteral("密码错误！，不允许删除！！！"));
    EXPECT_EQ(logCount(), 2);
    EXPECT_EQ(browser.model()->rowCount(), 1);

    // No to the question: nothing is asked further.
    sink.clear();
    sink.answer({false});
    browser.buttons()->button(FrmCzrz::Clear)->click();
    EXPECT_EQ(logCount(), 2);

    answerPrompt(QStringLiteral("seven"));
    browser.buttons()->button(FrmCzrz::Clear)->click();
    EXPECT_EQ(logCount(), 0);
    EXPECT_EQ(browser.model()->rowCount(), 0);
}

TEST_F(Commands, LogBrowserOpensInsideTheMainWindowFromItsCommand)
{
    m_dispatcher->registry().add(
        n("FrmCzrz"), ScreenRegistry::Opening::InMainWindow,
        [](const ScreenRequest &r) { return new FrmCzrz(*r.database, r.operatorNumber); });
    login(Permissions{});
    ASSERT_TRUE(m_main.action(n("RZLL"))->isEnabled());
    m_main.action(n("RZLL"))->trigger();
    ASSERT_EQ(m_main.mdiArea()->subWindowList().size(), 1);
    auto *browser =
        qobject_cast<FrmCzrz *>(MDIFrmMain::screenOf(m_main.mdiArea()->subWindowList().first()));
    ASSERT_NE(browser, nullptr);
    // The log browser itself writes no record.
    EXPECT_EQ(logCount(), 0);
    browser->buttons()->button(FrmCzrz::Exit)->click();
    QTRY_COMPARE(m_main.mdiArea()->subWindowList().size(), 0);
}

// Every entry of the menus and pop-ups, once every screen exists: the right screen opens,
// logging commands add exactly their own record, the others none; without any right only
// the ungoverned commands can be reached.
TEST_F(Commands, EveryEntryBehavesAsTheMapSays)
{
    const QStringList shellOwn{n("FrmDHT"), n("Help"), n("AccountSetLogOff"), n("SystemLogOff"),
                               n("Leave")};
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (!shellOwn.contains(c.screen))
            stub(c.screen.toLatin1().constData());
    }
    login(Permissions::all());

    QStringList entries;
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (!shellOwn.contains(c.screen))
            entries << c.name;
    }
    for (const auto &[alias, target] : CommandMap::aliases())
        entries << alias;

    for (const QString &name : entries) {
        SCOPED_TRACE(name.toStdString());
        const CommandMap::Command &c = *CommandMap::find(name);
        QAction *a = m_main.action(name);
        ASSERT_NE(a, nullptr);
        const qint64 before = logCount();
        m_opened.clear();
        if (c.rule == CommandMap::Rule::Hidden) {
            // Hidden entries cannot be clicked; their commands still run when asked.
            EXPECT_FALSE(a->isVisible());
            EXPECT_TRUE(m_dispatcher->run(name));
        } else {
            ASSERT_TRUE(a->isEnabled());
            a->trigger();
        }
        EXPECT_EQ(m_opened, QStringList{c.screen});
        EXPECT_EQ(logCount(), before + (c.writesLog() ? 1 : 0));
        if (c.writesLog()) {
            EXPECT_EQ(m_set.db()
                          .scalar(QStringLiteral("SELECT CZXX FROM CZRZ ORDER BY ID DESC LIMIT 1"))
                          .toString(),
                      c.logText);
        }
    }

    // An entry is reachable when it and every menu above it are enabled.
    auto reachable = [this](const QString &name) {
        for (const MenuTree::Entry *e = MenuTree::find(name); e; e = MenuTree::find(e->parent)) {
            if (!m_main.action(e->name)->isEnabled())
                return false;
            if (e->parent.isEmpty())
                break;
        }
        return true;
    };
    login(Permissions{}, true);
    for (const QString &name : entries) {
        const CommandMap::Command &c = *CommandMap::find(name);
        const bool governed = MenuTree::isGoverned(name) || c.rule != CommandMap::Rule::Always;
        if (c.rule != CommandMap::Rule::Hidden) {
            EXPECT_EQ(reachable(name), !governed) << name.toStdString();
        }
    }
}

TEST_F(Commands, FirstInFirstOutPanelOffersNoCancelPosting)
{
    stub("FrmQxjz");
    m_dispatcher->setAccountSet(&m_set.db(), 1);
    login(Permissions::all());
    ASSERT_NE(m_dispatcher->navigationPanel(), nullptr);
    EXPECT_TRUE(m_dispatcher->navigationPanel()->button(QStringLiteral("取消记账"))->isHidden());
    m_dispatcher->setAccountSet(&m_set.db(), 2);
    login(Permissions::all());
    EXPECT_FALSE(m_dispatcher->navigationPanel()->button(QStringLiteral("取消记账"))->isHidden());
}
