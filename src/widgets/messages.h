#pragma once

#include "store/errors.h"

#include <QString>

class QWidget;

namespace varnock {

// Every message box of the program goes through here, so that tests can replace the boxes
// with a recording sink and answer the questions.
namespace Messages {

using Icon = Refusal::Icon;

class Sink
{
public:
    virtual ~Sink() = default;
    virtual void show(QWidget *parent, Icon icon, const QString &title, const QString &text) = 0;
    // A Yes/No question; true only for Yes.
    virtual bool ask(QWidget *parent, Icon icon, const QString &title, const QString &text) = 0;
};

// nullptr restores the real message boxes.
void setSink(Sink *sink);

void inform(QWidget *parent, const QString &text, const QString &title = QStringLiteral("提示"));
void warn(QWidget *parent, const QString &text, const QString &title = QStringLiteral("警告"));
void critical(QWidget *parent, const QString &text, const QString &title = QStringLiteral("错误"));
// Yes/No question; acts only on Yes.
bool ask(QWidget *parent, const QString &text, const QString &title = QStringLiteral("提示"),
         Icon icon = Icon::Question);
void show(QWidget *parent, const Refusal &refusal);

} // namespace Messages
} // namespace varnock
