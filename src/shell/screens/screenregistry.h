#pragma once

#include "store/formats.h"

#include "shell/commandmap.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace varnock {

class Database;
class MDIFrmMain;

// What a screen is told when a command opens it.
struct ScreenRequest
{
    MDIFrmMain *main = nullptr;
    Database *database = nullptr;                 // the open account set
    const CommandMap::Command *command = nullptr; // the command that opens it (aliases resolved)
    int issueKind = 0;      // the shared issue-voucher kind after the command set it
    int operatorNumber = 0; // the logged-in operator (status panel 6)
    int mode = 2;           // accounting mode of the account set
    Formats formats;        // its quantity and amount display formats

    QString title() const { return command ? command->title : QString(); }
    int reportKind() const { return command ? command->reportKind : 0; }
};

// Screens by the name the command map gives them. A command becomes usable once its screen
// is registered; until then its menu entry stays disabled with its "not available" hint.
class ScreenRegistry
{
public:
    enum class Opening {
        InMainWindow, // modeless, inside the main window's document area
        Modal,        // a dialog run modally over the main window, deleted afterwards
        Run,          // the factory does the work itself and returns nullptr
    };

    // Builds the screen, parented as the opening needs (the main window for dialogs).
    using Factory = std::function<QWidget *(const ScreenRequest &request)>;

    void add(const QString &screen, Opening opening, Factory factory);
    bool contains(const QString &screen) const { return m_entries.contains(screen); }
    // The names of the screens registered with this way of opening, sorted.
    QStringList screens(Opening opening) const;

    // Opens the screen. A screen already open inside the main window for the same command is
    // brought to the front instead of opened twice. Returns the screen (nullptr for Run and
    // after a modal screen closed).
    QWidget *open(const QString &screen, const ScreenRequest &request) const;

private:
    struct Entry
    {
        Opening opening;
        Factory factory;
    };
    QHash<QString, Entry> m_entries;
};

} // namespace varnock
