#include "shell/screens/screenregistry.h"

#include "shell/screens/mdifrmmain.h"

#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVariant>

namespace varnock {
namespace {

const char *const CommandProperty = "varnockCommand";

} // namespace

void ScreenRegistry::add(const QString &screen, Opening opening, Factory factory)
{
    m_entries.insert(screen, Entry{opening, std::move(factory)});
}

QWidget *ScreenRegistry::open(const QString &screen, const ScreenRequest &request) const
{
    const auto it = m_entries.constFind(screen);
    if (it == m_entries.cend())
        return nullptr;
    const QString command = request.command ? request.command->name : screen;

    if (it->opening == Opening::InMainWindow && request.main) {
        QMdiArea *area = request.main->mdiArea();
        const QList<QMdiSubWindow *> windows = area->subWindowList();
        for (QMdiSubWindow *w : windows) {
            if (w->widget() && w->widget()->property(CommandProperty).toString() == command) {
                w->showNormal();
                area->setActiveSubWindow(w);
                return w->widget();
            }
        }
    }

    QWidget *widget = it->factory(request);
    if (!widget)
        return nullptr;
    switch (it->opening) {
    case Opening::InMainWindow: {
        widget->setProperty(CommandProperty, command);
        widget->setAttribute(Qt::WA_DeleteOnClose);
        if (!request.main) {
            widget->show();
            return widget;
        }
        // The size the screen gave itself, or its natural size; the frame comes on top.
        const QSize wanted =
            widget->testAttribute(Qt::WA_Resized) ? widget->size() : widget->sizeHint();
        QMdiSubWindow *sub = request.main->mdiArea()->addSubWindow(widget);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
        sub->resize(wanted + (sub->size() - widget->size()));
        widget->setFocus();
        return widget;
    }
    case Opening::Modal: {
        QPointer<QWidget> guard(widget);
        if (auto *dialog = qobject_cast<QDialog *>(widget))
            dialog->exec();
        delete guard.data();
        return nullptr;
    }
    case Opening::Run:
        return nullptr;
    }
    return nullptr;
}

} // namespace varnock
