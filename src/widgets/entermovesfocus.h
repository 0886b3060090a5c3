#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;

namespace varnock {

// Enter in a form's fields moves on to the next field in tab order, the way data-entry
// forms work. A field may instead jump to a given widget (the password field to the OK
// button, so that the next Enter presses it).
class EnterMovesFocus : public QObject
{
    Q_OBJECT

public:
    // Watches every line edit, date field, spin box and combo box now inside `form`.
    explicit EnterMovesFocus(QWidget *form);

    // Watches a field added later.
    void watch(QWidget *field);
    // Enter in `field` moves the focus to `target` instead of the next field.
    void setJump(QWidget *field, QWidget *target);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *fieldOf(QObject *watched) const;
    static QWidget *nextField(QWidget *field);

    QWidget *m_form;
    QHash<QWidget *, QPointer<QWidget>> m_jumps;
};

} // namespace varnock
