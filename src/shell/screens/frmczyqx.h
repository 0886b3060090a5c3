#pragma once

#include "shell/permissions.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace varnock {

class Database;
class IndexedButtonGroup;

// Operator upkeep ("操作员设置"): the operators of the account set with their rights.
class FrmCzyQx : public QDialog
{
    Q_OBJECT

public:
    enum class State { Browse, Adding, Editing };
    enum Button { Add, Change, Delete, Exit, Save };

    // `loggedInOperator` is the number of the operator working now (status panel 6).
    FrmCzyQx(Database &db, int loggedInOperator, QWidget *parent = nullptr);

    State state() const { return m_state; }
    static QString helpTopic() { return QStringLiteral("操作员设置"); }

    QTreeWidget *list() const { return m_list; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    QLineEdit *numberField() const { return m_number; }
    QLineEdit *nameField() const { return m_name; }
    QLineEdit *phoneField() const { return m_phone; }
    QLineEdit *passwordField() const { return m_password; }
    QCheckBox *flagBox(Permissions::Flag flag) const { return m_flags[flag]; }

    // Selects an operator in the list and shows it; false when it is not listed.
    bool selectOperator(int number);

private:
    void reload(int select = 0);
    void showSelected();
    void clearFields();
    void setState(State state);
    int selectedNumber() const;
    // Operator 1 passes at once; anyone else types the selected operator's password.
    bool mayTouchSelected(const QString &refusal);

    void add();
    void change();
    void remove();
    void save();

    Database &m_db;
    int m_loggedIn;
    State m_state = State::Browse;
    QTreeWidget *m_list = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_phone = nullptr;
    QLineEdit *m_password = nullptr;
    std::array<QCheckBox *, Permissions::FlagCount> m_flags{};
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
