#include "shell/screens/startupflow.h"

#include "ledger/plannedstock.h"
#include "shell/accountsetrestore.h"
#include "shell/accountsetsession.h"
#include "shell/backups.h"
#include "shell/commandmap.h"
#include "shell/masterdatabase.h"
#include "shell/operationlog.h"
#include "shell/screens/allscreens.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/frmqd.h"
#include "shell/screens/frmxtdl.h"
#include "shell/screens/frmztxx.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QMdiArea>
#include <QTimer>

namespace varnock {

StartupFlow::StartupFlow(const DataFolder &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{}

StartupFlow::~StartupFlow()
{
    delete m_main;
}

bool StartupFlow::start(bool showSplash)
{
    const bool ok = runOperation(nullptr, [this] {
        if (!m_folder.ensureExists())
            throw StoreError(QStringLiteral("无法创建数据文件夹：") + m_folder.path());
        m_master = MasterDatabase::ensure(m_folder);
    });
    if (!ok)
        return false;
    if (!showSplash) {
        QTimer::singleShot(0, this, &StartupFlow::showChooser);
        return true;
    }
    auto *splash = new FrmQd;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    connect(splash, &QDialog::finished, this,
            [this] { QTimer::singleShot(0, this, &StartupFlow::showChooser); });
    splash->show();
    return true;
}

void StartupFlow::showChooser()
{
    for (;;) {
        FrmZtxx chooser(*m_master, m_folder);
        chooser.exec();
        if (chooser.outcome() != FrmZtxx::Outcome::Chosen || !chooser.chosen()) {
            quit();
            return;
        }
        if (openAccountSet(*chooser.chosen()))
            return;
    }
}

bool StartupFlow::openAccountSet(qint64 number)
{
    std::unique_ptr<AccountSetSession> session;
    if (!runOperation(nullptr, [&] {
            session = std::make_unique<AccountSetSession>(m_folder, *m_master, number);
        }))
        return false;
    m_session = std::move(session);
    ensureMainWindow();
    showAccountSet();
    m_main->showAtLastPlace();
    m_main->setEnabled(false);
    QTimer::singleShot(0, this, &StartupFlow::showLogin);
    return true;
}

void StartupFlow::showLogin()
{
    if (!m_session || !m_main)
        return;
    m_main->setEnabled(false);
    // The panel belongs to the operator who logged in; the next login builds it anew.
    m_dispatcher->loggedOff();
    FrmXtdl login(m_session->database(), m_main);
    login.exec();
    if (login.outcome() != FrmXtdl::Outcome::LoggedIn) {
        quit();
        return;
    }
    const FrmXtdl::Result &who = login.loggedIn();
    m_main->setOperator(who.name, who.date, who.time, who.number);
    bool hasClosing = false;
    runOperation(m_main, [&] { hasClosing = m_session->hasClosing(); });
    m_main->applyPermissions(who.permissions, hasClosing);
    m_dispatcher->loggedIn(who.permissions, hasClosing);
    m_main->setEnabled(true);
    const CommandMap::Command *repair = CommandMap::find(PlannedStock::RepairCommand);
    offerPlannedRepair(who.number,
                       repair && CommandMap::permitted(*repair, who.permissions, hasClosing));
}

// Books kept before planned-price stock was always held at plan may carry it at another
// amount: said once after login, with the repair offered to an operator who may run it on a
// set that can be written.
void StartupFlow::offerPlannedRepair(int operatorNumber, bool canRepair)
{
    PlannedStock planned(m_session->database(), m_session->formats());
    QList<PlannedStock::OffPlan> found;
    if (!runOperation(m_main, [&] { found = planned.offPlan(); }) || found.isEmpty())
        return;
    const PlannedStock::Remedy remedy = m_session->isReadOnly() ? PlannedStock::Remedy::ReadOnly
                                        : canRepair             ? PlannedStock::Remedy::Repair
                                                                : PlannedStock::Remedy::AskOperator;
    const QString text = PlannedStock::message(found, m_session->formats(), remedy);
    if (remedy != PlannedStock::Remedy::Repair) {
        Messages::warn(m_main, text, QStringLiteral("提示"));
        return;
    }
    if (Messages::ask(m_main, text, QStringLiteral("提示")))
        runOperation(m_main, [&] { planned.repair(QString::number(operatorNumber)); });
}

void StartupFlow::showAccountSet()
{
    m_dispatcher->setAccountSet(&m_session->database(), m_session->mode(), m_session->formats());
    m_main->setAccountSet(m_session->windowTitle(), m_session->name(), m_session->number(),
                          m_session->mode(), m_session->hasClosing());
}

bool StartupFlow::restoreAccountSet(AccountSetRestore &restore)
{
    if (!m_session || !m_main)
        return false;
    // The working screens read the books being replaced.
    m_main->mdiArea()->closeAllSubWindows();
    if (!m_main->mdiArea()->subWindowList().isEmpty()) {
        Messages::warn(m_main, QStringLiteral("请先关闭所有打开的窗口，再还原数据。"),
                       QStringLiteral("提示"));
        return false;
    }
    const QString operatorNumber = QString::number(m_main->operatorNumber());
    m_dispatcher->setAccountSet(nullptr, 2);
    QString before;
    const bool done = runOperation(m_main, [&] {
        before = restore.replace(*m_session, QDateTime(Clock::today(), Clock::now()));
        OperationLog(m_session->database()).record(operatorNumber, QStringLiteral("数据还原"));
    });
    if (!m_session->isOpen()) {
        // Neither the backup nor the old books would open again: back to the chooser.
        m_session.reset();
        m_main->hide();
        QTimer::singleShot(0, this, &StartupFlow::showChooser);
        return false;
    }
    showAccountSet();
    if (done)
        Messages::inform(m_main, AccountSetRestore::finishedText(before));
    QTimer::singleShot(0, this, &StartupFlow::showLogin);
    return done;
}

void StartupFlow::takeAutomaticBackup()
{
    if (!m_session || !m_session->isOpen())
        return;
    runOperation(m_main, [this] { Backups::takeAutomatic(m_session->database(), Clock::today()); });
}

void StartupFlow::logOffAccountSet()
{
    takeAutomaticBackup();
    if (m_dispatcher)
        m_dispatcher->setAccountSet(nullptr, 2);
    if (m_main)
        m_main->hide();
    m_session.reset();
    QTimer::singleShot(0, this, &StartupFlow::showChooser);
}

void StartupFlow::quit()
{
    takeAutomaticBackup();
    Help::closeWindow();
    if (m_dispatcher)
        m_dispatcher->setAccountSet(nullptr, 2);
    if (m_main)
        m_main->hide();
    m_session.reset();
    m_master.reset();
    emit finished();
}

void StartupFlow::ensureMainWindow()
{
    if (m_main)
        return;
    m_main = new MDIFrmMain;
    connect(m_main, &MDIFrmMain::accountSetLogOffRequested, this,
            [this] { QTimer::singleShot(0, this, &StartupFlow::logOffAccountSet); });
    connect(m_main, &MDIFrmMain::systemLogOffRequested, this, [this] {
        // The next operator may have fewer rights: the working screens of this one close
        // first, and a screen that refuses (unsaved input) keeps this operator logged in.
        m_main->mdiArea()->closeAllSubWindows();
        if (!m_main->mdiArea()->subWindowList().isEmpty())
            return;
        QTimer::singleShot(0, this, &StartupFlow::showLogin);
    });
    connect(m_main, &MDIFrmMain::quitRequested, this,
            [this] { QTimer::singleShot(0, this, &StartupFlow::quit); });
    connect(m_main, &MDIFrmMain::accountSetRestoreRequested, this,
            [this](AccountSetRestore *restore) { restoreAccountSet(*restore); });
    installCommands();
}

void StartupFlow::installCommands()
{
    m_dispatcher = new CommandDispatcher(m_main);
    registerAllScreens(m_dispatcher->registry());
    m_dispatcher->installCommands();
}

} // namespace varnock
