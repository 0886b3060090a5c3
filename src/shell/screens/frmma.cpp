#include "shell/screens/frmma.h"

#include "widgets/indexedbuttongroup.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmMa::FrmMa(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmMa"));
    setWindowTitle(QStringLiteral("密码框"));
    setModal(true);

    auto *label = new QLabel(QStringLiteral("请 输 入 操 作 员 密 码"), this);
    label->setAlignment(Qt::AlignCenter);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setEchoMode(QLineEdit::Password);
    m_buttons = new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("取 消(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    // Enter in the field confirms through returnPressed, not through a default button.
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(12);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addWidget(m_buttons);
    setFixedSize(300, sizeHint().height());

    connect(m_text, &QLineEdit::returnPressed, this, &FrmMa::confirm);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            confirm();
        else
            reject();
    });
    m_text->setFocus();
}

QString FrmMa::ask(QWidget *parent)
{
    FrmMa prompt(parent);
    prompt.exec();
    return prompt.typed();
}

void FrmMa::confirm()
{
    m_result = m_text->text();
    accept();
}

void FrmMa::reject()
{
    // Esc and the window's close button count as 取消.
    m_result = cancelled();
    QDialog::reject();
}

} // namespace varnock
