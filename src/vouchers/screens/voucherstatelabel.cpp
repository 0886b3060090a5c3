#include "vouchers/screens/voucherstatelabel.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace varnock {

VoucherStateLabel::VoucherStateLabel(const QString &postedCaption, QWidget *parent,
                                     const QString &newCaption)
    : QLabel(parent)
    , m_postedCaption(postedCaption)
    , m_newCaption(newCaption)
{
    setObjectName(QStringLiteral("LblZt"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setStyleSheet(QStringLiteral("color: #b00000;"));
    setText(caption(m_state));
}

void VoucherStateLabel::setState(State state)
{
    m_state = state;
    setText(caption(state));
}

QString VoucherStateLabel::caption(State state) const
{
    switch (state) {
    case State::New:
        return m_newCaption;
    case State::Edit:
        return QStringLiteral("凭证修改");
    case State::Posted:
        return m_postedCaption;
    case State::Browse:
        break;
    }
    return QStringLiteral("凭证浏览");
}

QGroupBox *VoucherStateLabel::framed()
{
    auto *frame = new QGroupBox(QStringLiteral("状态"), parentWidget());
    setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(frame))->addWidget(this);
    return frame;
}

} // namespace varnock
