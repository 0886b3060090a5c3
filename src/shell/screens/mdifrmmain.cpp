#include "shell/screens/mdifrmmain.h"

#include "shell/menutree.h"
#include "widgets/messages.h"
#include "widgets/screenparts.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollArea>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace varnock {
namespace {

const int PanelCount = 8;
const QString GeometryKey = QStringLiteral("MDIFrmMain/geometry");

// What a sub-window holds: the screen inside a scrolling area, so that a screen larger than
// the work area stays reachable. The sub-window shows the screen's title, and closing it
// asks the screen (which may refuse, with unsaved input).
class ScreenFrame : public QScrollArea
{
public:
    explicit ScreenFrame(QWidget *screen)
        : m_screen(screen)
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(screen);
        setWindowTitle(screen->windowTitle());
        setFocusProxy(screen);
        screen->installEventFilter(this);
    }

    QWidget *screen() const { return m_screen.data(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_screen && event->type() == QEvent::WindowTitleChange)
            setWindowTitle(m_screen->windowTitle());
        return QScrollArea::eventFilter(watched, event);
    }

    void closeEvent(QCloseEvent *event) override
    {
        if (m_screen && !m_screen->close())
            event->ignore();
        else
            event->accept();
    }

private:
    QPointer<QWidget> m_screen;
};

QString notYetAvailable()
{
    return QStringLiteral("尚未提供此功能");
}

QString modeName(int mode)
{
    return mode == 1 ? QStringLiteral("先进先出") : QStringLiteral("移动加权");
}

} // namespace

MDIFrmMain::MDIFrmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MDIFrmMain"));
    setWindowTitle(QStringLiteral("Varnock系统"));

    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    installBuiltInCommands();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        updateAction(it.key());
    setWindowIcon(ScreenParts::programIcon());
    resize(1024, 720);
}

QMdiSubWindow *MDIFrmMain::addScreen(QWidget *screen)
{
    // The size the screen gave itself, or its natural size, and never less than it needs.
    const QSize wanted =
        (screen->testAttribute(Qt::WA_Resized) ? screen->size() : screen->sizeHint())
            .expandedTo(screen->minimumSizeHint());
    auto *frame = new ScreenFrame(screen);
    auto *sub = new QMdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWidget(frame);
    sub->setWindowIcon(ScreenParts::programIcon());
    const QMargins margins = sub->contentsMargins();
    const QRect area = workArea();
    sub->resize((wanted + QSize(margins.left() + margins.right(), margins.top() + margins.bottom()))
                    .boundedTo(area.size()));
    m_mdiArea->addSubWindow(sub);
    sub->show();
    // The area's placement may cascade past its edge: pull the window back inside.
    const QRect placed = sub->geometry();
    sub->move(std::clamp(placed.left(), area.left(), area.right() + 1 - placed.width()),
              std::clamp(placed.top(), area.top(), area.bottom() + 1 - placed.height()));
    // A screen that closes itself takes its frame along (once it is gone, never half-way).
    connect(screen, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
    return sub;
}

QList<QWidget *> MDIFrmMain::screens() const
{
    QList<QWidget *> open;
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (const QMdiSubWindow *w : windows) {
        QWidget *screen = screenOf(w);
        // A screen that has closed waits hidden for its deletion.
        if (screen && !screen->isHidden())
            open << screen;
    }
    return open;
}

QWidget *MDIFrmMain::screenOf(const QMdiSubWindow *window)
{
    if (!window)
        return nullptr;
    if (const auto *frame = dynamic_cast<const ScreenFrame *>(window->widget()))
        return frame->screen();
    return window->widget();
}

void MDIFrmMain::showScreen(QWidget *screen)
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *w : windows) {
        if (screenOf(w) != screen)
            continue;
        if (w->isMinimized())
            w->showNormal();
        m_mdiArea->setActiveSubWindow(w);
        return;
    }
}

QRect MDIFrmMain::workArea() const
{
    if (m_mdiArea->isVisible())
        return m_mdiArea->viewport()->rect();
    // Not shown yet: the size the window's layout gives the area.
    layout()->activate();
    return QRect(QPoint(), m_mdiArea->contentsRect().size());
}

void MDIFrmMain::showAtLastPlace()
{
    m_remembersPlace = true;
    const QByteArray saved = QSettings().value(GeometryKey).toByteArray();
    if (saved.isEmpty() || !restoreGeometry(saved))
        showMaximized();
    else
        show();
}

void MDIFrmMain::buildMenus()
{
    for (const MenuTree::Entry &e : MenuTree::entries()) {
        QMenu *parentMenu = e.parent.isEmpty() ? nullptr : m_menus.value(e.parent);
        if (e.isSeparator()) {
            parentMenu->addSeparator();
            continue;
        }
        QAction *act = nullptr;
        if (e.kind == MenuTree::Entry::Kind::Menu) {
            QMenu *m = nullptr;
            if (e.popupRoot)
                m = new QMenu(this);
            else if (parentMenu)
                m = parentMenu->addMenu(e.caption);
            else
                m = menuBar()->addMenu(e.caption);
            m->setObjectName(e.name);
            // The "not yet available" hint must be visible on disabled entries.
            m->setToolTipsVisible(true);
            m_menus.insert(e.name, m);
            act = m->menuAction();
        } else {
            act = parentMenu ? parentMenu->addAction(e.caption) : menuBar()->addAction(e.caption);
            const QString name = e.name;
            connect(act, &QAction::triggered, this, [this, name] { runCommand(name); });
        }
        act->setObjectName(e.name);
        act->setCheckable(e.checkable);
        act->setChecked(e.checkable);
        act->setVisible(!e.hiddenAtStart);
        m_actions.insert(e.name, act);
    }
}

void MDIFrmMain::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(24, 24));

    // The buttons are the menu commands themselves, under their short tool-bar names, so
    // that rights and availability stay in one place.
    struct Button
    {
        const char *menuName;
        const char16_t *text;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {"zhuxiao", u"注销", QStyle::SP_BrowserReload},
        {"DHT", u"导航条", QStyle::SP_FileDialogListView},
        {"SJBF", u"备份", QStyle::SP_DialogSaveButton},
        {"aboutsys", u"关于", QStyle::SP_MessageBoxInformation},
        {"exit", u"退出", QStyle::SP_DialogCloseButton},
    };
    for (const Button &b : buttons) {
        QAction *act = m_actions.value(QString::fromLatin1(b.menuName));
        act->setIcon(style()->standardIcon(b.icon));
        act->setIconVisibleInMenu(false);
        act->setIconText(QString::fromUtf16(b.text));
        m_toolBar->addAction(act);
    }
}

void MDIFrmMain::buildStatusBar()
{
    static const char16_t *const hints[PanelCount] = {u"操作员",   u"登录日期", u"登录时间",
                                                      u"核算方式", u"",         u"操作员编号",
                                                      u"账套名称", u"账套编号"};
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(i == 6 ? 160 : 80);
        label->setContentsMargins(4, 0, 4, 0);
        label->setToolTip(QString::fromUtf16(hints[i]));
        label->setVisible(false);
        // The account-set name takes the spare width.
        statusBar()->addWidget(label, i == 6 ? 1 : 0);
        m_panels << label;
    }
}

void MDIFrmMain::installBuiltInCommands()
{
    setCommand(QStringLiteral("DHT"),
               [this] { emit navigationToggled(action(QStringLiteral("DHT"))->isChecked()); });

    setCommand(QStringLiteral("ZTZX"), [this] {
        // Working screens belong to the account set being left; one that refuses to
        // close (unsaved input) keeps the account set open.
        const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
        for (QMdiSubWindow *w : windows) {
            if (!w->close())
                return;
        }
        emit accountSetLogOffRequested();
    });

    setCommand(QStringLiteral("zhuxiao"), [this] {
        if (Messages::ask(this, QStringLiteral("您确定要注销本系统吗？"), QStringLiteral("提示"),
                          Messages::Icon::Exclamation))
            emit systemLogOffRequested();
    });

    setCommand(QStringLiteral("exit"), [this] {
        if (confirmQuit())
            emit quitRequested();
    });

    setCommand(QStringLiteral("aboutsys"), [this] {
        Messages::inform(
            this,
            QStringLiteral("Varnock系统\n版本 %1\n\n"
                           "施工企业工地材料核算。\n\n"
                           "本版本提供：账套与操作员管理、操作日志、材料编码目录、"
                           "供应商与耗料单位、账务初始化，入库单、退货单、领料单和"
                           "领料退货单的填制与记账（移动加权平均或先进先出），"
                           "冲帐、取消记账与销账、月结、库存盘点、供应商付款与欠款报表、"
                           "数据处理（金额调整），以及凭单小票和一览表的打印、"
                           "PDF与Excel导出，系统参数设置、数据备份与还原，"
                           "直进直出、周转料具租赁、工程材料计划、"
                           "收支存报表、材料流水账、期间统计报表、条件查询与品名查询，"
                           "账套汇总报表和图表。")
                .arg(QStringLiteral(VARNOCK_VERSION)),
            QStringLiteral("关于系统"));
    });
}

QAction *MDIFrmMain::action(const QString &menuName) const
{
    return m_actions.value(menuName);
}

QMenu *MDIFrmMain::menu(const QString &menuName) const
{
    return m_menus.value(menuName);
}

QMenu *MDIFrmMain::popup(const QString &name) const
{
    const MenuTree::Entry *e = MenuTree::find(name);
    return e && e->popupRoot ? m_menus.value(name) : nullptr;
}

void MDIFrmMain::setAccountSet(const QString &title, const QString &setName, qint64 setNumber,
                               int mode, bool hasClosing)
{
    setWindowTitle(title);
    setPanel(4, modeName(mode));
    setPanel(7, setName);
    setPanel(8, QString::number(setNumber));
    for (const QString &name : MenuTree::modeDependent())
        m_actions.value(name)->setVisible(MenuTree::visibleInMode(name, mode));
    m_hasClosing = hasClosing;
    updateAction(MenuTree::openingBalance());
}

void MDIFrmMain::setOperator(const QString &name, QDate loginDate, QTime loginTime, qint64 number)
{
    setPanel(1, name.trimmed());
    setPanel(2, loginDate.toString(QStringLiteral("yyyy-MM-dd")));
    setPanel(3, loginTime.toString(QStringLiteral("hh:mm:ss")));
    setPanel(6, QString::number(number));
    m_operatorNumber = number;
}

void MDIFrmMain::applyPermissions(const Permissions &permissions, bool hasClosing)
{
    m_denied.clear();
    for (const auto &[name, enabled] : MenuTree::governedStates(permissions)) {
        if (!enabled)
            m_denied.insert(name);
    }
    m_hasClosing = hasClosing;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        updateAction(it.key());
}

void MDIFrmMain::setHasClosing(bool hasClosing)
{
    if (hasClosing == m_hasClosing)
        return;
    m_hasClosing = hasClosing;
    updateAction(MenuTree::openingBalance());
    emit closingChanged(hasClosing);
}

QString MDIFrmMain::statusPanel(int number) const
{
    if (number < 1 || number > PanelCount)
        return QString();
    return m_panels[number - 1]->text();
}

void MDIFrmMain::setCommand(const QString &menuName, std::function<void()> run)
{
    const MenuTree::Entry *e = MenuTree::find(menuName);
    if (!e || e->kind != MenuTree::Entry::Kind::Command)
        return;
    m_commands.insert(menuName, std::move(run));
    updateAction(menuName);
}

bool MDIFrmMain::navigationChecked() const
{
    return m_actions.value(QStringLiteral("DHT"))->isChecked();
}

void MDIFrmMain::closeEvent(QCloseEvent *event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    if (!confirmQuit()) {
        event->ignore();
        return;
    }
    emit quitRequested();
    event->accept();
}

void MDIFrmMain::hideEvent(QHideEvent *event)
{
    if (m_remembersPlace && !event->spontaneous())
        QSettings().setValue(GeometryKey, saveGeometry());
    QMainWindow::hideEvent(event);
}

void MDIFrmMain::runCommand(const QString &menuName)
{
    const auto it = m_commands.constFind(menuName);
    if (it != m_commands.cend() && *it)
        (*it)();
}

void MDIFrmMain::updateAction(const QString &menuName)
{
    QAction *act = m_actions.value(menuName);
    const MenuTree::Entry *e = MenuTree::find(menuName);
    if (!act || !e)
        return;
    const bool available = e->kind == MenuTree::Entry::Kind::Menu || m_commands.contains(menuName);
    bool permitted = !m_denied.contains(menuName);
    if (menuName == MenuTree::openingBalance())
        permitted = permitted && MenuTree::openingBalanceEnabled(m_hasClosing);
    act->setEnabled(available && permitted);
    act->setToolTip(available ? e->caption : notYetAvailable());
}

bool MDIFrmMain::confirmQuit()
{
    if (!Messages::ask(this, QStringLiteral("您确定要退出本系统吗？"), QStringLiteral("提示"),
                       Messages::Icon::Exclamation))
        return false;
    // The window closes without asking a second time.
    m_quitting = true;
    return true;
}

void MDIFrmMain::setPanel(int number, const QString &text)
{
    QLabel *label = m_panels[number - 1];
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

} // namespace varnock
