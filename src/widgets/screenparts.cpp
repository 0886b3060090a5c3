#include "widgets/screenparts.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>

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

void printPending(QAbstractButton *button)
{
    button->setEnabled(false);
    button->setToolTip(QStringLiteral("凭单打印尚未提供"));
}

void close(QWidget *screen)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        sub->close();
    else
        screen->close();
}

} // namespace varnock::ScreenParts
