#include "widgets/messages.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace varnock {
namespace Messages {
namespace {

Sink *g_sink = nullptr;

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

void showBox(QWidget *parent, Icon icon, const QString &title, const QString &text)
{
    if (g_sink) {
        g_sink->show(parent, icon, title, text);
        return;
    }
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

} // namespace

void setSink(Sink *sink)
{
    g_sink = sink;
}

void inform(QWidget *parent, const QString &text, const QString &title)
{
    showBox(parent, Icon::Information, title, text);
}

void warn(QWidget *parent, const QString &text, const QString &title)
{
    showBox(parent, Icon::Exclamation, title, text);
}

void critical(QWidget *parent, const QString &text, const QString &title)
{
    showBox(parent, Icon::Critical, title, text);
}

bool ask(QWidget *parent, const QString &text, const QString &title, Icon icon)
{
    if (g_sink)
        return g_sink->ask(parent, icon, title, text);
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    // A stray Enter or Esc must never confirm.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

void show(QWidget *parent, const Refusal &refusal)
{
    showBox(parent, refusal.icon, refusal.title, refusal.text);
}

} // namespace Messages
} // namespace varnock
