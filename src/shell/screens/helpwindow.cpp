#include "shell/screens/helpwindow.h"

#include "shell/helppages.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace varnock {

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    HelpPages::ensureLoaded();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Varnock系统帮助"));

    auto makeButton = [this](const QString &text, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    QToolButton *contents = makeButton(QStringLiteral("目录"), QStyle::SP_DirHomeIcon);
    m_back = makeButton(QStringLiteral("后退"), QStyle::SP_ArrowBack);
    m_forward = makeButton(QStringLiteral("前进"), QStyle::SP_ArrowForward);
    QToolButton *howTo = makeButton(QStringLiteral("帮助使用"), QStyle::SP_MessageBoxQuestion);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);
    m_browser->document()->setDefaultStyleSheet(
        QStringLiteral("h2 { color: #1f4e79; } li { margin-bottom: 4px; }"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(howTo);
    bar->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(m_browser, 1);

    connect(contents, &QToolButton::clicked, this, [this] { showPage(HelpPages::contentsUrl()); });
    connect(howTo, &QToolButton::clicked, this, [this] { showPage(HelpPages::howToUrl()); });
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    resize(640, 520);
}

void HelpWindow::showPage(const QUrl &url)
{
    if (m_browser->source() != url)
        m_browser->setSource(url);
}

QUrl HelpWindow::page() const
{
    return m_browser->source();
}

} // namespace varnock
