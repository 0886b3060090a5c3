#pragma once

#include "shell/setupprogress.h"

#include <QFrame>
#include <QHash>
#include <QMap>

class QLabel;
class QPushButton;

namespace varnock {

class CommandDispatcher;

// The guide a new account set shows on the empty work area until its first closing: the
// steps that make the set ready for vouchers, each with the menu commands that do it (run
// through the dispatcher, so with their rights and log records), ticked off as the set holds
// what they make. It lies under the working screens and keeps itself centred.
class GettingStarted : public QFrame
{
    Q_OBJECT

public:
    // `area` is the work area's viewport; the guide lives on it.
    GettingStarted(CommandDispatcher &dispatcher, QWidget *area);

    // Reads the account set again: the ticks, the next step, the buttons the operator may use.
    void refresh();
    bool isTicked(SetupProgress::Step step) const;
    // The button of a step's menu command; nullptr for a command of no step.
    QPushButton *button(const QString &command) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void place();

    CommandDispatcher &m_dispatcher;
    SetupProgress m_progress;
    QMap<SetupProgress::Step, QLabel *> m_marks;
    QMap<SetupProgress::Step, QLabel *> m_captions;
    QHash<QString, QPushButton *> m_buttons;
};

} // namespace varnock
