#pragma once

#include "shell/datafolder.h"

#include <QObject>

#include <memory>

namespace varnock {

class AccountSetRestore;
class AccountSetSession;
class CommandDispatcher;
class Database;
class MDIFrmMain;

// The program's life from the splash to leaving: splash → account-set chooser → open the
// chosen set → main window shown disabled → login → main window enabled; log-off of the
// account set returns to the chooser, system log-off to the login, leaving ends the program.
class StartupFlow : public QObject
{
    Q_OBJECT

public:
    explicit StartupFlow(const DataFolder &folder, QObject *parent = nullptr);
    ~StartupFlow() override;

    // Creates the master database when the data folder has none, then shows the splash.
    // Returns false (after telling the user) when the data folder cannot be used.
    bool start(bool showSplash = true);

    MDIFrmMain *mainWindow() const { return m_main; }
    AccountSetSession *session() const { return m_session.get(); }
    CommandDispatcher *dispatcher() const { return m_dispatcher; }

    // The steps, public so that tests can drive them one by one.
    void showChooser();
    bool openAccountSet(qint64 number);
    void showLogin();
    void logOffAccountSet();
    void quit();
    // Puts a checked backup in place of the open set's books once every working screen is
    // closed, then asks for the login again: the restored books have operators of their own.
    bool restoreAccountSet(AccountSetRestore &restore);

signals:
    void finished();

private:
    void ensureMainWindow();
    void installCommands();
    void offerPlannedRepair(int operatorNumber, bool canRepair);
    // The day's automatic copy of the open set, taken as it is closed.
    void takeAutomaticBackup();
    void showAccountSet();

    DataFolder m_folder;
    std::unique_ptr<Database> m_master;
    std::unique_ptr<AccountSetSession> m_session;
    MDIFrmMain *m_main = nullptr;              // owned
    CommandDispatcher *m_dispatcher = nullptr; // owned by m_main
};

} // namespace varnock
