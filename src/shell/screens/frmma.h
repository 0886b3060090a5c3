#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace varnock {

// The password prompt ("密码框") asked before destructive actions. It only collects the text;
// the caller compares it with the password it guards.
class FrmMa : public QDialog
{
    Q_OBJECT

public:
    explicit FrmMa(QWidget *parent = nullptr);

    // Opens the prompt modally. Returns the typed text after OK (or Enter in the field), or
    // exactly "退出" after 取消 or Esc.
    static QString ask(QWidget *parent);

    // The text ask() returns for a cancelled prompt.
    static QString cancelled() { return QStringLiteral("退出"); }

    QString typed() const { return m_result; }

private:
    void confirm();
    void cancel();
    void reject() override;

    QLineEdit *m_text = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QString m_result;
};

} // namespace varnock
