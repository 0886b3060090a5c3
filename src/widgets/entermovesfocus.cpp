#include "widgets/entermovesfocus.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {
namespace {

const char WatchedProperty[] = "varnockEnterMovesFocus";

} // namespace

EnterMovesFocus::EnterMovesFocus(QWidget *form)
    : QObject(form)
    , m_form(form)
{
    const QList<QWidget *> children = form->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (qobject_cast<QAbstractSpinBox *>(child) || qobject_cast<QComboBox *>(child))
            watch(child);
        else if (auto *edit = qobject_cast<QLineEdit *>(child)) {
            // The inner edits of date fields and combo boxes are handled through their owner.
            if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()) &&
                !qobject_cast<QComboBox *>(edit->parentWidget()))
                watch(edit);
        }
    }
}

void EnterMovesFocus::watch(QWidget *field)
{
    if (field->property(WatchedProperty).toBool())
        return;
    field->setProperty(WatchedProperty, true);
    field->installEventFilter(this);
    // Key presses of a date field or an editable combo box reach their inner line edit.
    const QList<QLineEdit *> inner = field->findChildren<QLineEdit *>();
    for (QLineEdit *edit : inner) {
        edit->setProperty(WatchedProperty, true);
        edit->installEventFilter(this);
    }
}

void EnterMovesFocus::setJump(QWidget *field, QWidget *target)
{
    watch(field);
    m_jumps.insert(field, target);
    // A button reached by Enter is pressed by the next Enter.
    if (auto *button = qobject_cast<QPushButton *>(target))
        button->setAutoDefault(true);
}

QWidget *EnterMovesFocus::fieldOf(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    // An inner line edit stands for the date field or combo box around it.
    if (widget && widget->parentWidget() &&
        widget->parentWidget()->property(WatchedProperty).toBool() &&
        (qobject_cast<QAbstractSpinBox *>(widget->parentWidget()) ||
         qobject_cast<QComboBox *>(widget->parentWidget())))
        return widget->parentWidget();
    return widget;
}

QWidget *EnterMovesFocus::nextField(QWidget *field)
{
    QWidget *window = field->window();
    for (QWidget *w = field->nextInFocusChain(); w && w != field; w = w->nextInFocusChain()) {
        if (field->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
            w->isVisibleTo(window) && w->window() == window)
            return w;
    }
    return nullptr;
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    QWidget *field = fieldOf(watched);
    if (!field)
        return false;
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->view()->isVisible())
        return false; // Enter chooses in an open list
    QWidget *target = m_jumps.value(field);
    if (!target)
        target = nextField(field);
    if (target)
        target->setFocus(Qt::TabFocusReason);
    return true;
}

} // namespace varnock
