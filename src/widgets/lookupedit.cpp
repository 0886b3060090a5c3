#include "widgets/lookupedit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace varnock {

LookupEdit::LookupEdit(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_button(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit->setFrame(false);
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    // The view gives the editor the focus; typing goes to the text.
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &LookupEdit::lookupRequested);
}

QString LookupEdit::text() const
{
    return m_edit->text();
}

void LookupEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

void LookupEdit::keyPressEvent(QKeyEvent *event)
{
    // Keys the text field leaves alone arrive here.
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit lookupRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace varnock
