#include "shell/screens/frmjdt.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <memory>

namespace varnock {

FrmJdt::FrmJdt(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FrmJdt"));
    setWindowTitle(QStringLiteral("请稍候"));
    // Nothing else may be clicked while the work runs on the UI thread.
    setWindowModality(Qt::ApplicationModal);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("Label1"));
    m_step = new QLabel(this);
    m_step->setObjectName(QStringLiteral("Label2"));
    m_step->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0);
    m_bar->setTextVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(m_message);
    layout->addWidget(m_step);
    layout->addWidget(m_bar);
    setFixedSize(sizeHint());
}

void FrmJdt::setMessage(const QString &text)
{
    m_message->setText(text);
}

void FrmJdt::setStep(const QString &text)
{
    m_step->setText(text);
}

void FrmJdt::setProgress(int done, int total)
{
    if (total <= 0) {
        m_bar->setRange(0, 0);
        return;
    }
    m_bar->setRange(0, total);
    m_bar->setValue(qBound(0, done, total));
}

QString FrmJdt::message() const
{
    return m_message->text();
}

QString FrmJdt::step() const
{
    return m_step->text();
}

ProgressCallback FrmJdt::callback()
{
    return [this](int done, int total, const QString &step) {
        setProgress(done, total);
        if (!step.isNull())
            setStep(step);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void FrmJdt::run(QWidget *parent, const QString &message,
                 const std::function<void(const ProgressCallback &)> &work)
{
    auto window = std::make_unique<FrmJdt>(parent);
    window->setMessage(message);
    window->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    work(window->callback());
}

} // namespace varnock
