#pragma once

#include <QWidget>

class QTableView;

namespace varnock {

class Database;
class IndexedButtonGroup;
class OperationLogModel;

// The operation-log browser ("操作日志浏览"): every record, a date/operator query, and
// clearing the log under the logged-in operator's password.
class FrmCzrz : public QWidget
{
    Q_OBJECT

public:
    enum Button { Query, Clear, Exit };

    // `loggedInOperator` is the operator working now (status panel 6).
    FrmCzrz(Database &db, int loggedInOperator, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("日志浏览"); }

    QTableView *grid() const { return m_grid; }
    OperationLogModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void reload();
    void query();
    void clear();
    void leave();

    Database &m_db;
    int m_loggedIn;
    QTableView *m_grid = nullptr;
    OperationLogModel *m_model = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
