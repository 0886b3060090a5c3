#include "shell/screens/commanddispatcher.h"

#include "shell/operationlog.h"
#include "shell/screens/frmdht.h"
#include "shell/screens/gettingstarted.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "store/errors.h"

#include <QAction>
#include <QDockWidget>
#include <QMdiArea>
#include <QStatusBar>

namespace varnock {

CommandDispatcher::CommandDispatcher(MDIFrmMain *main)
    : QObject(main)
    , m_main(main)
{
    // The shell's own "screens": the navigation panel and the help window.
    m_registry.add(QStringLiteral("FrmDHT"), ScreenRegistry::Opening::Run,
                   [this](const ScreenRequest &) -> QWidget * {
                       setNavigationShown(m_main->navigationChecked());
                       return nullptr;
                   });
    m_registry.add(QStringLiteral("Help"), ScreenRegistry::Opening::Run,
                   [](const ScreenRequest &request) -> QWidget * {
                       if (request.command && request.command->name == QLatin1String("help"))
                           Help::showHowTo();
                       else
                           Help::showContents();
                       return nullptr;
                   });
    Help::install(m_main, QStringLiteral("主窗口"));
    // The panel's opening-balance button follows the first closing like the menu entry.
    connect(m_main, &MDIFrmMain::closingChanged, this, [this](bool hasClosing) {
        m_hasClosing = hasClosing;
        setGuideShown(m_loggedIn && !hasClosing);
        if (!m_dock)
            return;
        // Later, not now: the closing may have been started by a button of this panel.
        QDockWidget *old = m_dock.data();
        m_dock = nullptr;
        m_panel = nullptr;
        old->hide();
        m_main->removeDockWidget(old);
        old->deleteLater();
        setNavigationShown(true);
    });
}

CommandDispatcher::~CommandDispatcher()
{
    delete m_dock.data();
    delete m_guide.data();
}

void CommandDispatcher::installCommands()
{
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (!m_registry.contains(c.screen))
            continue;
        const QString name = c.name;
        m_main->setCommand(name, [this, name] { run(name); });
    }
    for (const auto &[alias, target] : CommandMap::aliases()) {
        if (!isAvailable(target))
            continue;
        const QString name = alias;
        m_main->setCommand(name, [this, name] { run(name); });
    }
}

void CommandDispatcher::setAccountSet(Database *db, int mode, const Formats &formats)
{
    if (db != m_db)
        loggedOff();
    m_db = db;
    m_mode = mode;
    m_formats = formats;
}

void CommandDispatcher::loggedIn(const Permissions &permissions, bool hasClosing)
{
    m_permissions = permissions;
    m_hasClosing = hasClosing;
    m_loggedIn = true;
    // Rebuilt, not updated: the panel takes the new operator's rights as it is made.
    delete m_dock.data();
    if (m_main->navigationChecked())
        setNavigationShown(true);
    // Also rebuilt: its buttons follow the operator's rights.
    setGuideShown(false);
    setGuideShown(!hasClosing);
}

void CommandDispatcher::loggedOff()
{
    m_loggedIn = false;
    delete m_dock.data();
    setGuideShown(false);
}

bool CommandDispatcher::isAvailable(const QString &name) const
{
    const CommandMap::Command *c = CommandMap::find(name);
    return c && m_registry.contains(c->screen);
}

bool CommandDispatcher::run(const QString &name)
{
    const CommandMap::Command *c = CommandMap::find(name);
    if (!c || !m_registry.contains(c->screen))
        return false;
    if (c->issueKind != 0)
        m_issueKind = c->issueKind;
    if (c->writesLog())
        writeLog(c->logText);
    ScreenRequest request;
    request.main = m_main;
    request.database = m_db;
    request.command = c;
    request.issueKind = m_issueKind;
    request.operatorNumber = int(m_main->operatorNumber());
    request.mode = m_mode;
    request.formats = m_formats;
    m_registry.open(c->screen, request);
    return true;
}

GettingStarted *CommandDispatcher::guide() const
{
    return m_guide.data();
}

void CommandDispatcher::setGuideShown(bool shown)
{
    if (!shown) {
        // Later, not now: a button of the guide may be what made the closing.
        if (m_guide) {
            disconnect(m_main->mdiArea(), nullptr, m_guide, nullptr);
            m_guide->hide();
            m_guide->deleteLater();
        }
        m_guide = nullptr;
        return;
    }
    if (m_guide || !m_db)
        return;
    m_guide = new GettingStarted(*this, m_main->mdiArea()->viewport());
}

FrmDHT *CommandDispatcher::navigationPanel() const
{
    return m_panel.data();
}

QDockWidget *CommandDispatcher::navigationDock() const
{
    return m_dock.data();
}

void CommandDispatcher::setNavigationShown(bool shown)
{
    if (QAction *toggle = m_main->action(QStringLiteral("DHT")))
        toggle->setChecked(shown);
    if (!shown) {
        delete m_dock.data();
        return;
    }
    // Before a login there are no rights to build it with; the login builds it.
    if (m_dock || !m_loggedIn || !m_db)
        return;
    m_dock = new QDockWidget(QStringLiteral("导航条"), m_main);
    m_dock->setObjectName(QStringLiteral("navigationDock"));
    m_dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_dock->setAllowedAreas(Qt::LeftDockWidgetArea);
    m_panel = new FrmDHT(*this, m_permissions, m_hasClosing, m_dock);
    m_dock->setWidget(m_panel);
    m_main->addDockWidget(Qt::LeftDockWidgetArea, m_dock);
    m_dock->show();
}

void CommandDispatcher::writeLog(const QString &text)
{
    if (!m_db)
        return;
    try {
        OperationLog(*m_db).record(m_main->statusPanel(6), text);
        m_logFailing = false;
    } catch (const StoreError &e) {
        // The command goes on; the failure is shown once, not on every command after it.
        if (!m_logFailing)
            m_main->statusBar()->showMessage(QStringLiteral("操作日志未能写入：") + e.text);
        m_logFailing = true;
    }
}

} // namespace varnock
