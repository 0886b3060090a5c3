#include "shell/screens/frmdht.h"

#include "shell/menutree.h"
#include "shell/screens/commanddispatcher.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/operation.h"

#include <QGroupBox>
#include <QMenu>
#include <QStyle>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace varnock {
namespace {

QStyle::StandardPixmap iconFor(const NavigationRules::Button &b)
{
    static const QHash<QString, QStyle::StandardPixmap> icons = {
        {QStringLiteral("CLSZ"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("GYSSZ"), QStyle::SP_DriveNetIcon},
        {QStringLiteral("LLDWSZ"), QStyle::SP_DirIcon},
        {QStringLiteral("XTCSSZ"), QStyle::SP_ComputerIcon},
        {QStringLiteral("a"), QStyle::SP_FileDialogNewFolder},
        {QStringLiteral("POPUP1"), QStyle::SP_FileIcon},
        {QStringLiteral("POPUP2"), QStyle::SP_ArrowLeft},
        {QStringLiteral("POPUP3"), QStyle::SP_ArrowRight},
        {QStringLiteral("POPUP4"), QStyle::SP_DialogApplyButton},
        {QStringLiteral("POPUP5"), QStyle::SP_DialogResetButton},
        {QStringLiteral("ZLYW"), QStyle::SP_ArrowDown},
        {QStringLiteral("HZYW"), QStyle::SP_ArrowUp},
        {QStringLiteral("QXJZ"), QStyle::SP_BrowserStop},
        {QStringLiteral("GYSFK"), QStyle::SP_DialogYesButton},
        {QStringLiteral("YJCL"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("PMCX"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("TJCX"), QStyle::SP_FileDialogListView},
        {QStringLiteral("SJBF"), QStyle::SP_DriveHDIcon},
        {QStringLiteral("RZLL"), QStyle::SP_FileDialogInfoView},
    };
    return icons.value(b.popup.isEmpty() ? b.command : b.popup, QStyle::SP_FileIcon);
}

QString notYetAvailable()
{
    return QStringLiteral("尚未提供此功能");
}

} // namespace

FrmDHT::FrmDHT(CommandDispatcher &dispatcher, const Permissions &permissions, bool hasClosing,
               QWidget *parent)
    : QWidget(parent)
    , m_dispatcher(dispatcher)
{
    setObjectName(QStringLiteral("FrmDHT"));
    setWindowTitle(QStringLiteral("导航条"));

    m_groups = new QToolBox(this);
    m_groups->setObjectName(QStringLiteral("groups"));
    m_groups->setStyleSheet(QStringLiteral(
        "QToolBox::tab { background: #dfe8f1; border: 1px solid #b4c4d4; border-radius: 3px;"
        " padding-left: 6px; font-weight: bold; }"
        "QToolBox::tab:selected { background: #c5d7ea; }"));
    int widest = 0;
    for (const NavigationRules::Group &g : NavigationRules::groups()) {
        auto *page = new QWidget(m_groups);
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(6, 4, 6, 4);
        layout->setSpacing(2);
        for (const NavigationRules::Button &b : g.buttons) {
            QToolButton *button = makeButton(b, page);
            layout->addWidget(button);
            // Opening balances: only before the first closing and with the stock-in right.
            if (b.beforeFirstClosingOnly && button->isEnabled())
                button->setEnabled(permissions[Permissions::RKYW] && !hasClosing);
            if (b.command == QLatin1String("QXJZ"))
                button->setVisible(MenuTree::visibleInMode(b.command, dispatcher.mode()));
        }
        for (const NavigationRules::LinkFrame &f : NavigationRules::linkFrames()) {
            if (f.group != g.caption)
                continue;
            QGroupBox *frame = makeFrame(f, page);
            frame->setEnabled(permissions[Permissions::CXBB]);
            layout->addWidget(frame);
        }
        layout->addStretch();
        m_groups->addItem(page, g.caption);
        widest = std::max(widest, page->sizeHint().width());
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_groups);
    // Room for the widest group beside its vertical scroll bar: no sideways scrolling.
    setMinimumWidth(std::max(190, widest + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                      layout->contentsMargins().left() +
                                      layout->contentsMargins().right() + 4));
    Help::install(this, helpTopic());
}

QToolButton *FrmDHT::makeButton(const NavigationRules::Button &b, QWidget *page)
{
    auto *button = new QToolButton(page);
    button->setText(b.caption);
    button->setIcon(style()->standardIcon(iconFor(b)));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumHeight(34);
    button->setAutoRaise(true);
    const bool available = !b.popup.isEmpty() || m_dispatcher.isAvailable(b.command);
    button->setEnabled(available);
    button->setToolTip(available ? b.caption : notYetAvailable());
    connect(button, &QToolButton::clicked, this, [this, b, button] { press(b, button); });
    m_buttons.insert(b.caption, button);
    return button;
}

QGroupBox *FrmDHT::makeFrame(const NavigationRules::LinkFrame &f, QWidget *page)
{
    auto *frame = new QGroupBox(f.caption, page);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    for (const NavigationRules::Link &l : f.links) {
        auto *link = new QToolButton(frame);
        link->setText(l.caption);
        link->setIcon(style()->standardIcon(QStyle::SP_FileLinkIcon));
        link->setIconSize(QSize(14, 14));
        link->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        link->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        link->setAutoRaise(true);
        link->setStyleSheet(QStringLiteral("QToolButton:enabled { color: #1f4e79; }"));
        const QString screen =
            l.command.isEmpty() ? NavigationRules::exportScreen(l.exportKey) : QString();
        const bool available = l.command.isEmpty() ? m_dispatcher.registry().contains(screen)
                                                   : m_dispatcher.isAvailable(l.command);
        link->setEnabled(available);
        link->setToolTip(available ? l.caption : notYetAvailable());
        const QString command = l.command;
        connect(link, &QToolButton::clicked, this, [this, command, screen] {
            if (!command.isEmpty()) {
                m_dispatcher.run(command);
                return;
            }
            ScreenRequest request;
            request.main = m_dispatcher.mainWindow();
            request.database = m_dispatcher.database();
            request.operatorNumber = int(request.main->operatorNumber());
            request.mode = m_dispatcher.mode();
            m_dispatcher.registry().open(screen, request);
        });
        layout->addWidget(link);
        m_buttons.insert(l.caption, link);
    }
    m_frames.insert(f.caption, frame);
    return frame;
}

QMenu *FrmDHT::openedPopup() const
{
    return m_popup.data();
}

void FrmDHT::press(const NavigationRules::Button &b, QToolButton *source)
{
    Database *db = m_dispatcher.database();
    if (!db)
        return;
    const int number = int(m_dispatcher.mainWindow()->operatorNumber());
    if (!runOperation(this, [&] { NavigationRules::checkPress(*db, number, b); }))
        return;
    if (!b.popup.isEmpty()) {
        m_popup = m_dispatcher.mainWindow()->popup(b.popup);
        if (m_popup)
            m_popup->popup(source->mapToGlobal(QPoint(source->width(), 0)));
        return;
    }
    m_dispatcher.run(b.command);
}

} // namespace varnock
