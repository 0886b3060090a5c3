#pragma once

#include "shell/permissions.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace varnock {

// What each menu command does: the operation-log text it writes, the issue-voucher kind it
// sets, the screen it opens and the rule that makes it usable. The main window, the tool bar
// and the navigation panel all dispatch from this one table.
class CommandMap
{
public:
    enum class Rule {
        Always,         // usable by every operator
        Flag,           // governed by a permission flag (on the entry or a menu above it)
        OpeningBalance, // usable until the first month-end closing
        Hidden,         // the entry is never shown; the command exists
    };

    struct Command
    {
        QString name;       // menu name
        QString logText;    // CZXX text written before the screen opens; empty = no record
        QString screen;     // name the screen registers under
        QString title;      // window title the screen takes for this command; empty = its own
        int issueKind = 0;  // 1 requisition, 2 transfer out; 0 leaves the kind as it is
        int reportKind = 0; // report kind handed to a shared report screen; 0 = none
        Rule rule = Rule::Always;
        std::optional<Permissions::Flag> flag; // set when rule is Flag
        QString switchedBy;                    // the menu entry whose switch carries the flag
        bool hiddenFirstInFirstOut = false;    // not offered under first in first out

        bool writesLog() const { return !logText.isEmpty(); }
    };

    // Every command of the map, in menu order.
    static const QList<Command> &commands();
    // nullptr for a name that is neither a command nor a pop-up alias of one.
    static const Command *find(const QString &name);

    // Pop-up entries that run a menu command: (pop-up entry, menu command).
    static const QList<std::pair<QString, QString>> &aliases();
    // The command a menu or pop-up entry runs; the name itself when it is no alias.
    static QString resolve(const QString &name);

    // Whether the command may be used by an operator with these rights.
    static bool permitted(const Command &command, const Permissions &permissions, bool hasClosing);
};

} // namespace varnock
