#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QBoxLayout;
class QPushButton;

namespace varnock {

// A screen's one group of command buttons, addressed by index ("保 存(&S)" is index 0, …).
// While a handler of clicked() runs, no button of the group fires again: a second click
// (a double click, or a click delivered by a message box's event loop) is dropped, so an
// operation can never be started twice over itself.
class IndexedButtonGroup : public QWidget
{
    Q_OBJECT

public:
    explicit IndexedButtonGroup(const QStringList &captions,
                                Qt::Orientation orientation = Qt::Horizontal,
                                QWidget *parent = nullptr);

    int count() const { return int(m_buttons.size()); }
    QPushButton *button(int index) const;
    // True while a clicked() handler runs.
    bool isBusy() const { return m_busy; }

    // Adds stretch before the first button, after the last, or both (centres the row).
    void setAlignment(Qt::Alignment alignment);

signals:
    void clicked(int index);

private:
    void fire(int index);

    QList<QPushButton *> m_buttons;
    QBoxLayout *m_layout;
    bool m_busy = false;
};

} // namespace varnock
