#include "shell/screens/frmqd.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace varnock {

FrmQd::FrmQd(QWidget *parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FrmQd"));
    setWindowTitle(QStringLiteral("Varnock系统"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x1f, 0x4e, 0x79));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    auto *title = new QLabel(QStringLiteral("Varnock系统"), this);
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() * 2 + 4);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    m_version = new QLabel(versionText(), this);
    m_version->setObjectName(QStringLiteral("Label1"));
    m_version->setAlignment(Qt::AlignRight | Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 40, 20, 14);
    layout->addStretch();
    layout->addWidget(title);
    layout->addStretch();
    layout->addWidget(m_version);
    setFixedSize(440, 260);
}

void FrmQd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_timerStarted) {
        m_timerStarted = true;
        QTimer::singleShot(DisplayMilliseconds, this, &QDialog::accept);
    }
}

QString FrmQd::versionText()
{
    return QStringLiteral("内部版本 ") + QStringLiteral(VARNOCK_VERSION);
}

} // namespace varnock
