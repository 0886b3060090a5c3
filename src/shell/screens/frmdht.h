#pragma once

#include "shell/navigationrules.h"
#include "shell/permissions.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class QGroupBox;
class QMenu;
class QToolBox;
class QToolButton;

namespace varnock {

class CommandDispatcher;

// The navigation panel ("导航条"): the most used commands in six groups and the report
// links. Built for one operator's rights; every press checks the rights in the database
// again before it runs the command.
class FrmDHT : public QWidget
{
    Q_OBJECT

public:
    FrmDHT(CommandDispatcher &dispatcher, const Permissions &permissions, bool hasClosing,
           QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("导航条"); }

    QToolBox *groups() const { return m_groups; }
    // A button or report link by its caption; nullptr when there is none.
    QToolButton *button(const QString &caption) const { return m_buttons.value(caption); }
    QGroupBox *linkFrame(const QString &caption) const { return m_frames.value(caption); }
    // The pop-up menu the last press opened.
    QMenu *openedPopup() const;

private:
    QToolButton *makeButton(const NavigationRules::Button &b, QWidget *page);
    QGroupBox *makeFrame(const NavigationRules::LinkFrame &frame, QWidget *page);
    void press(const NavigationRules::Button &b, QToolButton *source);

    CommandDispatcher &m_dispatcher;
    QToolBox *m_groups = nullptr;
    QHash<QString, QToolButton *> m_buttons;
    QHash<QString, QGroupBox *> m_frames;
    QPointer<QMenu> m_popup;
};

} // namespace varnock
