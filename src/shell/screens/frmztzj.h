#pragma once

#include "shell/accountsets.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QTabWidget;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;

// The account-set creation wizard ("账套信息"). Finishing checks the entries, asks for the
// new set's accounting mode (FrmXzms) and creates the set.
class FrmZtzj : public QDialog
{
    Q_OBJECT

public:
    FrmZtzj(AccountSets &sets, const DataFolder &folder, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("新建账套"); }

    // The set made, once the wizard was accepted.
    std::optional<AccountSetInfo> created() const { return m_created; }

    QTabWidget *tabs() const { return m_tabs; }
    QLineEdit *numberField() const { return m_number; }
    QLineEdit *nameField() const { return m_name; }
    QLineEdit *passwordField() const { return m_password; }
    DatePicker *dateField() const { return m_date; }
    QLineEdit *operatorField() const { return m_operator; }
    QLineEdit *operatorPasswordField() const { return m_operatorPassword; }
    QLineEdit *operatorRepeatField() const { return m_operatorRepeat; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    NewAccountSet request() const;
    void finish();
    void showProblem(const AccountSets::Check &check);

    AccountSets &m_sets;
    DataFolder m_folder;
    QTabWidget *m_tabs = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_password = nullptr;
    DatePicker *m_date = nullptr;
    QLineEdit *m_operator = nullptr;
    QLineEdit *m_operatorPassword = nullptr;
    QLineEdit *m_operatorRepeat = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    std::optional<AccountSetInfo> m_created;
};

} // namespace varnock
