#include "shell/screens/gettingstarted.h"

#include "shell/menutree.h"
#include "shell/navigationrules.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/operation.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <algorithm>

namespace varnock {
namespace {

const QString DoneColour = QStringLiteral("#2e7d32");
const QString NextColour = QStringLiteral("#1f4e79");
const QString LaterColour = QStringLiteral("#6b7785");

} // namespace

GettingStarted::GettingStarted(CommandDispatcher &dispatcher, QWidget *area)
    : QFrame(area)
    , m_dispatcher(dispatcher)
    , m_progress(*dispatcher.database())
{
    setObjectName(QStringLiteral("gettingStarted"));
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral("#gettingStarted { background: #f7fafc; border: 1px solid "
                                 "#b4c4d4; border-radius: 6px; }"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setHorizontalSpacing(14);
    layout->setVerticalSpacing(12);

    auto *title = new QLabel(QStringLiteral("开始使用"), this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 5);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title, 0, 0, 1, 4);
    auto *intro = new QLabel(QStringLiteral("新账套做完以下几步才能填制凭证。"
                                            "点击按钮打开相应的窗口，做完的步骤自动打勾。"),
                             this);
    layout->addWidget(intro, 1, 0, 1, 4);

    int row = 2;
    for (const SetupProgress::StepInfo &info : SetupProgress::steps()) {
        auto *mark = new QLabel(this);
        mark->setAlignment(Qt::AlignCenter);
        mark->setMinimumWidth(28);
        QFont markFont = mark->font();
        markFont.setPointSize(markFont.pointSize() + 4);
        markFont.setBold(true);
        mark->setFont(markFont);
        auto *caption = new QLabel(info.caption, this);
        auto *hint = new QLabel(info.hint, this);
        hint->setWordWrap(true);
        hint->setMinimumWidth(400);
        auto *buttons = new QHBoxLayout;
        buttons->setSpacing(8);
        for (const QString &command : info.commands) {
            const MenuTree::Entry *entry = MenuTree::find(command);
            auto *button = new QPushButton(entry ? entry->caption : command, this);
            button->setObjectName(command);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, command] {
                // Rights and availability are the menu entry's.
                QAction *action = m_dispatcher.mainWindow()->action(command);
                if (action && action->isEnabled())
                    m_dispatcher.run(command);
            });
            buttons->addWidget(button);
            m_buttons.insert(command, button);
        }
        buttons->addStretch();
        layout->addWidget(mark, row, 0);
        layout->addWidget(caption, row, 1);
        layout->addWidget(hint, row, 2);
        layout->addLayout(buttons, row, 3);
        m_marks.insert(info.step, mark);
        m_captions.insert(info.step, caption);
        ++row;
    }
    layout->setColumnStretch(2, 1);

    area->installEventFilter(this);
    connect(m_dispatcher.mainWindow()->mdiArea(), &QMdiArea::subWindowActivated, this,
            [this] { refresh(); });
    refresh();
    lower();
}

void GettingStarted::refresh()
{
    if (!runOperation(this, [this] { m_progress.refresh(); }))
        return;
    bool nextFound = false;
    int number = 0;
    for (const SetupProgress::StepInfo &info : SetupProgress::steps()) {
        ++number;
        const bool done = m_progress.isDone(info.step);
        const bool next = !done && !nextFound;
        nextFound = nextFound || next;
        QLabel *mark = m_marks.value(info.step);
        mark->setText(done ? QStringLiteral("√") : QString::number(number));
        const QString colour = done ? DoneColour : next ? NextColour : LaterColour;
        mark->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
        QLabel *caption = m_captions.value(info.step);
        caption->setStyleSheet(
            QStringLiteral("color: %1; font-weight: %2;").arg(colour, next ? u"bold" : u"normal"));
        caption->setToolTip(done ? QStringLiteral("已完成") : QString());
        for (const QString &command : info.commands) {
            QPushButton *button = m_buttons.value(command);
            const QAction *action = m_dispatcher.mainWindow()->action(command);
            const bool usable = action && action->isEnabled();
            button->setEnabled(usable);
            QString tip;
            if (!usable && m_dispatcher.isAvailable(command))
                tip = NavigationRules::deniedText();
            else if (!usable && action)
                tip = action->toolTip();
            button->setToolTip(tip);
        }
    }
    // The guide is for a set without a closing; one made elsewhere ends it too.
    setVisible(!m_progress.isFinished());
    adjustSize();
    place();
}

bool GettingStarted::isTicked(SetupProgress::Step step) const
{
    return m_progress.isDone(step);
}

QPushButton *GettingStarted::button(const QString &command) const
{
    return m_buttons.value(command);
}

bool GettingStarted::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    // A working screen closed: what it saved may have finished a step.
    if (watched == parent() && event->type() == QEvent::ChildRemoved &&
        static_cast<QChildEvent *>(event)->child() != this)
        QMetaObject::invokeMethod(this, &GettingStarted::refresh, Qt::QueuedConnection);
    return QFrame::eventFilter(watched, event);
}

void GettingStarted::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    place();
}

void GettingStarted::place()
{
    const QWidget *area = parentWidget();
    move(std::max(0, (area->width() - width()) / 2), std::max(0, (area->height() - height()) / 3));
}

} // namespace varnock
