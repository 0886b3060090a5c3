#include "widgets/screenparts.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>

// Q_INIT_RESOURCE must run outside any namespace.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace varnock::ScreenParts {

void styleHeading(QLabel *label)
{
    label->setObjectName(QStringLiteral("Label1"));
    QFont big = label->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    label->setFont(big);
    label->setAlignment(Qt::AlignCenter);
}

QHBoxLayout *signatures(const QStringList &captions, QWidget *screen)
{
    auto *line = new QHBoxLayout;
    for (const QString &caption : captions) {
        line->addWidget(new QLabel(caption, screen));
        line->addWidget(new QLineEdit(screen), 1);
    }
    return line;
}

void close(QWidget *screen)
{
    // The frame may hold the screen in a scrolling area: look up to the screen's own window.
    for (QWidget *w = screen; w && !w->isWindow(); w = w->parentWidget()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w)) {
            sub->close();
            return;
        }
    }
    screen->close();
}

QIcon programIcon()
{
    static const bool loaded = [] {
        initIconResources();
        return true;
    }();
    Q_UNUSED(loaded);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/varnock-%1.png").arg(size), QSize(size, size));
    return icon;
}

QStringList captions(const QString &list)
{
    return list.split(u'|');
}

} // namespace varnock::ScreenParts
