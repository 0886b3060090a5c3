#pragma once

#include "shell/permissions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace varnock {

// The main window's menu tree and its pop-up menus as plain data: names, captions, order,
// what is hidden, and which permission flag switches which entry. The window builds its
// menus from this; the rules live here so that they can be checked without a GUI.
class MenuTree
{
public:
    struct Entry
    {
        enum class Kind { Menu, Command, Separator };

        QString name;    // the menu name; empty for a separator
        QString caption; // exact text, spaces included; empty for separators and pop-up roots
        QString parent;  // empty for menu-bar entries and pop-up roots
        Kind kind = Kind::Command;
        bool popupRoot = false;     // POPUP … POPUP5: shown only as context menus
        bool hiddenAtStart = false; // never made visible by the shell
        bool checkable = false;     // DHT, checked at start

        bool isSeparator() const { return kind == Kind::Separator; }
    };

    // Every entry, depth first: the menu bar in order, then POPUP … POPUP5.
    static const QList<Entry> &entries();
    // nullptr for an unknown name (separators have no name).
    static const Entry *find(const QString &name);
    // Children of a menu or pop-up, in order; separators included.
    static QList<Entry> children(const QString &parent);
    // Names of the menu-bar entries, in order.
    static QStringList menuBar();
    // POPUP, POPUP1, … POPUP5.
    static QStringList popups();

    // The entries the login switches, in the order it switches them, each with its flag.
    // An entry may occur twice (ZJZC): the login sets it twice.
    static const QList<std::pair<QString, Permissions::Flag>> &governed();
    // The same list with each entry's enabled state for an operator.
    static QList<std::pair<QString, bool>> governedStates(const Permissions &permissions);
    // True when no flag governs the entry (it is usable by every operator).
    static bool isGoverned(const QString &name);

    // Entries whose visibility follows the accounting mode (hidden under 1 = first in
    // first out, shown under any other value).
    static QStringList modeDependent();
    // Whether an entry is visible in a mode; entries hidden at start stay hidden.
    static bool visibleInMode(const QString &name, int mode);

    // The opening-balance entry, usable only until the first month-end closing.
    static QString openingBalance() { return QStringLiteral("a"); }
    static bool openingBalanceEnabled(bool hasClosing) { return !hasClosing; }
};

} // namespace varnock
