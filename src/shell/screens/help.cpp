#include "shell/screens/help.h"

#include "shell/helppages.h"
#include "shell/screens/helpwindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace varnock {
namespace {

const char *const TopicProperty = "varnockHelpTopic";

QPointer<HelpWindow> &current()
{
    static QPointer<HelpWindow> window;
    return window;
}

void openUrl(const QUrl &url)
{
    HelpPages::ensureLoaded();
    // A modal screen blocks every window but its own children: the help window opened from
    // one must belong to it to be usable.
    QWidget *owner = QApplication::activeModalWidget();
    QPointer<HelpWindow> &w = current();
    if (w && w->parentWidget() != owner) {
        w->close();
        delete w.data();
    }
    if (!w) {
        w = new HelpWindow(owner);
        w->setAttribute(Qt::WA_DeleteOnClose);
    }
    w->showPage(url);
    w->show();
    w->raise();
    w->activateWindow();
}

// Watches the whole application: F1 on a widget opens its screen's topic.
class HelpKey : public QObject
{
public:
    static HelpKey *instance()
    {
        static HelpKey *key = [] {
            auto *k = new HelpKey(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(k);
            return k;
        }();
        return key;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
                const QString topic = Help::topicOf(static_cast<QWidget *>(watched));
                if (!topic.isEmpty()) {
                    Help::showTopic(topic);
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
};

} // namespace

void Help::install(QWidget *screen, const QString &topic)
{
    if (!screen)
        return;
    HelpKey::instance(); // the F1 filter starts with the first screen that has a topic
    screen->setProperty(TopicProperty, topic);
}

QString Help::topicOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property(TopicProperty);
        if (topic.isValid())
            return topic.toString();
    }
    return QString();
}

void Help::showTopic(const QString &topic)
{
    openUrl(HelpPages::topicUrl(topic));
}

void Help::showContents()
{
    openUrl(HelpPages::contentsUrl());
}

void Help::showHowTo()
{
    openUrl(HelpPages::howToUrl());
}

HelpWindow *Help::window()
{
    return current().data();
}

void Help::closeWindow()
{
    if (HelpWindow *w = current().data())
        w->close();
}

} // namespace varnock
