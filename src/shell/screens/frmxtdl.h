#pragma once

#include "shell/permissions.h"

#include <QDate>
#include <QDialog>
#include <QTime>

class QLineEdit;
class QToolButton;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;

// The login screen ("系统登录") of an open account set.
class FrmXtdl : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome { Pending, LoggedIn, Quit };

    // Who logged in, when, and with which rights.
    struct Result
    {
        int number = 0;
        QString name;
        QDate date;
        QTime time;
        Permissions permissions;
    };

    explicit FrmXtdl(Database &db, QWidget *parent = nullptr);

    // LoggedIn after an accepted dialog; Quit when the user confirmed leaving the program.
    Outcome outcome() const { return m_outcome; }
    // Valid when outcome() is LoggedIn.
    const Result &loggedIn() const { return m_result; }

    // Topic of the help file that F1 asks for.
    static QString helpTopic() { return QStringLiteral("登陆"); }

    QLineEdit *operatorField() const { return m_name; }
    QLineEdit *passwordField() const { return m_password; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Esc and the window's close button ask like 退出 does.
    void reject() override;

private:
    void pickOperator();
    void login();
    void quit();

    Database &m_db;
    DatePicker *m_date = nullptr;
    QLineEdit *m_name = nullptr;
    QToolButton *m_pick = nullptr;
    QLineEdit *m_password = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    Outcome m_outcome = Outcome::Pending;
    Result m_result;
};

} // namespace varnock
