#pragma once

#include "shell/accountsetrestore.h"
#include "shell/permissions.h"

#include <QDate>
#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <QTime>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace varnock {

// The multiple-document main window: menu tree, pop-up menus, tool bar, status bar and the
// area that hosts the working screens. Commands without a screen stay disabled until a
// handler is installed with setCommand().
class MDIFrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIFrmMain(QWidget *parent = nullptr);

    // One action per menu name (objectName = menu name); for a menu it is its menuAction().
    QAction *action(const QString &menuName) const;
    // A sub-menu or a pop-up (POPUP … POPUP5) by name; nullptr when there is none.
    QMenu *menu(const QString &menuName) const;
    QMenu *popup(const QString &name) const;
    QToolBar *mainToolBar() const { return m_toolBar; }
    QMdiArea *mdiArea() const { return m_mdiArea; }

    // Hosts a working screen in a sub-window of the work area: sized to the screen's content
    // (or to the size it gave itself) but never larger than the area, and placed inside it; a
    // screen that cannot shrink to the area scrolls inside its frame. Closing the frame asks
    // the screen, and the frame goes when the screen closes itself.
    QMdiSubWindow *addScreen(QWidget *screen);
    // The screens hosted in the work area that are still open.
    QList<QWidget *> screens() const;
    // The screen a sub-window hosts; nullptr when it holds none (any more).
    static QWidget *screenOf(const QMdiSubWindow *window);
    // Brings a hosted screen to the front, restoring it when it is minimised.
    void showScreen(QWidget *screen);
    // The visible work area, in the coordinates sub-windows are placed in.
    QRect workArea() const;

    // Shows the window at the size and place it had when it was last hidden; maximised the
    // first time. From then on every hiding remembers them.
    void showAtLastPlace();

    // Title, panels 7/8 (and 4, the mode), the entries that follow the mode and entry `a`.
    void setAccountSet(const QString &title, const QString &setName, qint64 setNumber, int mode,
                       bool hasClosing);
    // Panels 1, 2, 3 and 6.
    void setOperator(const QString &name, QDate loginDate, QTime loginTime, qint64 number);
    // Switches the governed entries for the operator; `a` follows hasClosing.
    void applyPermissions(const Permissions &permissions, bool hasClosing);
    // A closing was written (or the last one removed): entry `a` follows, and so does every
    // other place that listens to closingChanged().
    void setHasClosing(bool hasClosing);
    bool hasClosing() const { return m_hasClosing; }

    // The operator identity of the run (panel 6); 0 before any login.
    qint64 operatorNumber() const { return m_operatorNumber; }
    // Text of status panel 1 … 8.
    QString statusPanel(int number) const;

    // Installs what a command does; the entry becomes usable (subject to the operator's
    // rights). Replaces an earlier handler.
    void setCommand(const QString &menuName, std::function<void()> run);
    bool hasCommand(const QString &menuName) const { return m_commands.contains(menuName); }

    // The check state of the navigation-panel toggle (DHT).
    bool navigationChecked() const;

signals:
    void accountSetLogOffRequested();
    void systemLogOffRequested();
    void quitRequested();
    void navigationToggled(bool shown);
    void closingChanged(bool hasClosing);
    // A checked backup waits to replace the open set's books (the backup screen).
    void accountSetRestoreRequested(AccountSetRestore *restore);

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void installBuiltInCommands();
    void runCommand(const QString &menuName);
    void updateAction(const QString &menuName);
    bool confirmQuit();
    void setPanel(int number, const QString &text);

    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, std::function<void()>> m_commands;
    QSet<QString> m_denied;
    QList<QLabel *> m_panels;
    QToolBar *m_toolBar = nullptr;
    QMdiArea *m_mdiArea = nullptr;
    qint64 m_operatorNumber = 0;
    bool m_hasClosing = false;
    bool m_quitting = false;
    bool m_remembersPlace = false;
};

} // namespace varnock
