#pragma once

#include <QList>
#include <QStringList>

#include <initializer_list>

class QIcon;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace varnock::ScreenParts {

// Makes `label` the screen's heading ("Label1"): large, bold, centred.
void styleHeading(QLabel *label);
// The signature line under a voucher: a caption and a field to write in for each.
QHBoxLayout *signatures(const QStringList &captions, QWidget *screen);
// Closes a working screen; inside the main window its sub-window frame is what closes (and
// asks the screen first).
void close(QWidget *screen);
// The program's own icon, for its windows and sub-windows.
QIcon programIcon();
// The captions of a declaration written as one text, "系统编号|记账标志|…".
QStringList captions(const QString &list);
// A button of a screen: its caption and the action it runs.
template <typename Action> struct Button
{
    QString caption;
    Action action;
};
// The index of the button that does `action` among `buttons`; -1 without one.
template <typename Action> int indexOf(const QList<Button<Action>> &buttons, Action action)
{
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i).action == action)
            return i;
    }
    return -1;
}
// A screen's buttons declared as one text of captions and their actions in the same order:
//     buttons(QStringLiteral("增 加(&A)|退 出(&X)"), {Action::Add, Action::Exit})
template <typename Action>
QList<Button<Action>> buttons(const QString &list, std::initializer_list<Action> actions)
{
    const QStringList texts = captions(list);
    QList<Button<Action>> row;
    for (const Action action : actions)
        row.append({texts.value(row.size()), action});
    return row;
}

} // namespace varnock::ScreenParts
