#pragma once

#include "shell/permissions.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The navigation panel's groups, buttons and report links, and the checks a button press
// makes before it runs its command. The panel reads the rights from the database on every
// press, so rights changed since the login already count.
class NavigationRules
{
public:
    struct Button
    {
        QString caption;
        std::optional<Permissions::Flag> flag; // checked on each press; none = no check
        QString command;                       // menu command the button runs, or empty
        QString popup; // pop-up menu the button opens (POPUP1 … POPUP5), or empty
        bool beforeFirstClosingOnly = false; // opening balances: refused once a month is closed
    };

    struct Group
    {
        QString caption;
        QList<Button> buttons;
    };

    struct Link
    {
        QString caption;
        QString command;   // menu command whose screen the link opens, or empty
        QString exportKey; // master list the link exports (CLJBXXB, GYS, LLDW, ZWCSH), or empty
    };

    struct LinkFrame
    {
        QString caption;
        QString group; // the group it belongs to
        QList<Link> links;
    };

    static const QList<Group> &groups();
    // The report-link frames; they follow CXBB as a whole.
    static const QList<LinkFrame> &linkFrames();

    // Checks a press for the operator (CZYQX read now). Throws Refusal:
    // "对不起,您没有被授予该项权限!" for a denied flag, "已经做过业务不允许再做初始化！！！"
    // for the opening balances once a month-end closing exists.
    static void checkPress(Database &db, int operatorNumber, const Button &button);

    // The name of the screen the link frames' master-list exports register under.
    static QString exportScreen(const QString &key) { return QStringLiteral("Export:") + key; }

    static QString deniedText() { return QStringLiteral("对不起,您没有被授予该项权限!"); }
    static QString closedText() { return QStringLiteral("已经做过业务不允许再做初始化！！！"); }
};

} // namespace varnock
