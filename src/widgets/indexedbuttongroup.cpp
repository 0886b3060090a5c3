#include "widgets/indexedbuttongroup.h"

#include <QBoxLayout>
#include <QPointer>
#include <QPushButton>

namespace varnock {

IndexedButtonGroup::IndexedButtonGroup(const QStringList &captions, Qt::Orientation orientation,
                                       QWidget *parent)
    : QWidget(parent)
    , m_layout(new QBoxLayout(
          orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    for (int index = 0; index < captions.size(); ++index) {
        auto *button = new QPushButton(captions.at(index), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        connect(button, &QPushButton::clicked, this, [this, index] { fire(index); });
        m_layout->addWidget(button);
        m_buttons.append(button);
    }
}

QPushButton *IndexedButtonGroup::button(int index) const
{
    return m_buttons.value(index, nullptr);
}

void IndexedButtonGroup::setAlignment(Qt::Alignment alignment)
{
    const bool before =
        alignment & (Qt::AlignRight | Qt::AlignBottom | Qt::AlignHCenter | Qt::AlignVCenter);
    const bool after =
        alignment & (Qt::AlignLeft | Qt::AlignTop | Qt::AlignHCenter | Qt::AlignVCenter);
    if (before)
        m_layout->insertStretch(0);
    if (after)
        m_layout->addStretch();
}

void IndexedButtonGroup::fire(int index)
{
    if (m_busy)
        return;
    m_busy = true;
    // Reset even if a handler lets an exception escape, and not at all if the handler
    // deleted the screen and this group with it.
    struct Reset
    {
        QPointer<IndexedButtonGroup> group;
        ~Reset()
        {
            if (group)
                group->m_busy = false;
        }
    } reset{this};
    emit clicked(index);
}

} // namespace varnock
