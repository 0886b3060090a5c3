#pragma once

#include "store/formats.h"

#include "shell/permissions.h"
#include "shell/screens/screenregistry.h"

#include <QObject>
#include <QPointer>

class QDockWidget;

namespace varnock {

class Database;
class FrmDHT;
class GettingStarted;
class MDIFrmMain;

// Runs the commands of the main window, its pop-ups, tool bar and navigation panel from the
// command map: sets the issue-voucher kind, writes the operation-log record, opens the
// screen registered under the command's screen name. Owns the navigation panel.
class CommandDispatcher : public QObject
{
    Q_OBJECT

public:
    explicit CommandDispatcher(MDIFrmMain *main);
    ~CommandDispatcher() override;

    // Screens register here before installCommands().
    ScreenRegistry &registry() { return m_registry; }
    const ScreenRegistry &registry() const { return m_registry; }

    // Gives the main window a handler for every command (and pop-up alias) whose screen is
    // registered; the others stay disabled with their hint.
    void installCommands();

    // The open account set (nullptr when none), its accounting mode and display formats.
    void setAccountSet(Database *db, int mode, const Formats &formats = {});
    Database *database() const { return m_db; }
    int mode() const { return m_mode; }
    MDIFrmMain *mainWindow() const { return m_main; }

    // A successful login: the navigation panel is rebuilt with these rights.
    void loggedIn(const Permissions &permissions, bool hasClosing);
    // Log-off (system or account set): the panel closes.
    void loggedOff();

    // Whether the command (or pop-up alias) has a screen to open.
    bool isAvailable(const QString &name) const;
    // What a menu entry does: kind, log record, screen. False when there is nothing to open.
    bool run(const QString &name);

    // The shared issue-voucher kind: 1 requisition, 2 transfer out; 0 before any issue command.
    int issueKind() const { return m_issueKind; }

    // The getting-started guide on the work area of a set without a closing; nullptr otherwise.
    GettingStarted *guide() const;

    FrmDHT *navigationPanel() const;
    QDockWidget *navigationDock() const;
    // Opens or closes the panel (the DHT entry's check mark follows).
    void setNavigationShown(bool shown);

private:
    void writeLog(const QString &text);
    void setGuideShown(bool shown);

    MDIFrmMain *m_main;
    ScreenRegistry m_registry;
    Database *m_db = nullptr;
    int m_mode = 2;
    Formats m_formats;
    int m_issueKind = 0;
    bool m_loggedIn = false;
    bool m_logFailing = false;
    Permissions m_permissions;
    bool m_hasClosing = false;
    QPointer<QDockWidget> m_dock;
    QPointer<FrmDHT> m_panel;
    QPointer<GettingStarted> m_guide;
};

} // namespace varnock
