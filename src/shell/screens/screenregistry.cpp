#include "shell/screens/screenregistry.h"

#include "shell/screens/mdifrmmain.h"

#include <QDialog>
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

QStringList ScreenRegistry::screens(Opening opening) const
{
    QStringList names;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->opening == opening)
            names << it.key();
    }
    names.sort();
    return names;
}

QWidget *ScreenRegistry::open(const QString &screen, const ScreenRequest &request) const
{
    const auto it = m_entries.constFind(screen);
    if (it == m_entries.cend())
        return nullptr;
    const QString command = request.command ? request.command->name : screen;

    if (it->opening == Opening::InMainWindow && request.main) {
        const QList<QWidget *> open = request.main->screens();
        for (QWidget *w : open) {
            if (w->property(CommandProperty).toString() == command) {
                request.main->showScreen(w);
                return w;
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
        request.main->addScreen(widget);
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
