#include "shell/screens/frmma.h"

#include <QHBoxLayout>
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
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *label = new QLabel(QStringLiteral("请 输 入 操 作 员 密 码"), this);
    label->setAlignment(Qt::AlignCenter);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setEchoMode(QLineEdit::Password);
    m_ok = new QPushButton(QStringLiteral("确 定(&Q)"), this);
    m_ok->setObjectName(QStringLiteral("Command1_0"));
    m_cancel = new QPushButton(QStringLiteral("取 消(&X)"), this);
    m_cancel->setObjectName(QStringLiteral("Command1_1"));
    // Enter in the field confirms, whatever button has the focus-default.
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->setSpacing(12);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setFixedWidth(300);

    connect(m_ok, &QPushButton::clicked, this, &FrmMa::confirm);
    connect(m_text, &QLineEdit::returnPressed, this, &FrmMa::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &FrmMa::cancel);
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

void FrmMa::cancel()
{
    m_result = cancelled();
    QDialog::reject();
}

void FrmMa::reject()
{
    // Esc and the window's close button count as 取消.
    cancel();
}

} // namespace varnock
