#pragma once

#include <QDialog>

class QLabel;

namespace varnock {

// The splash screen shown at start. It closes itself (accepted) after one second; the
// start-up flow then opens the account-set chooser.
class FrmQd : public QDialog
{
    Q_OBJECT

public:
    explicit FrmQd(QWidget *parent = nullptr);

    // "内部版本 " followed by major.minor.revision.
    static QString versionText();
    static constexpr int DisplayMilliseconds = 1000;

    QLabel *versionLabel() const { return m_version; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_version = nullptr;
    bool m_timerStarted = false;
};

} // namespace varnock
