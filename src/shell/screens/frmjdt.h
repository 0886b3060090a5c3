#pragma once

#include "shell/progresscallback.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;

namespace varnock {

// The progress window of long work (reports, month-end): a message, the current step and a
// bar. It has no logic of its own; the work drives it through callback().
//
//     FrmJdt::run(this, QStringLiteral("系统正在扫描报表……"),
//                 [&](const ProgressCallback &progress) { builder.build(from, to, progress); });
class FrmJdt : public QDialog
{
    Q_OBJECT

public:
    explicit FrmJdt(QWidget *parent = nullptr);

    // The first label: what is being done.
    void setMessage(const QString &text);
    // The second label: the step the work is on.
    void setStep(const QString &text);
    // `done` of `total`; a total of 0 shows a busy bar.
    void setProgress(int done, int total);

    QString message() const;
    QString step() const;

    // Updates the window and keeps it painted while the work runs on the UI thread.
    ProgressCallback callback();

    // Shows the window over `parent`, runs the work with its callback and closes the window
    // afterwards, also when the work throws.
    static void run(QWidget *parent, const QString &message,
                    const std::function<void(const ProgressCallback &)> &work);

private:
    QLabel *m_message = nullptr;
    QLabel *m_step = nullptr;
    QProgressBar *m_bar = nullptr;
};

} // namespace varnock
