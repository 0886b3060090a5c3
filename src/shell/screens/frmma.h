#pragma once

#include <QDialog>

class QLineEdit;

namespace varnock {

class IndexedButtonGroup;

// The password prompt ("密码框") asked before destructive actions. It only collects the text;
// the caller compares it with the password it guards.
class FrmMa : public QDialog
{
    Q_OBJECT

public:
    explicit FrmMa(QWidget *parent = nullptr);

    // Opens the prompt modally. Returns the typed text after OK (or Enter in the field), or
    // exactly "退出" after 取消, Esc or closing the window.
    static QString ask(QWidget *parent);

    // The text ask() returns for a cancelled prompt.
    static QString cancelled() { return QStringLiteral("退出"); }

    // What ask() returns; empty until the prompt is answered.
    QString typed() const { return m_result; }

    QLineEdit *passwordField() const { return m_text; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void reject() override;

private:
    void confirm();

    QLineEdit *m_text = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    QString m_result;
};

} // namespace varnock
