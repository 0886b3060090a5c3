#pragma once

#include "shell/operationlog.h"

#include <QDialog>

class QComboBox;
class QRadioButton;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;

// The log query ("条件查询"): a date range and all operators or one. Accepted only with a
// valid range; the browser then shows rows().
class FrmCzrzCx : public QDialog
{
    Q_OBJECT

public:
    enum Button { Query, Exit };

    explicit FrmCzrzCx(Database &db, QWidget *parent = nullptr);

    const QList<OperationLog::Row> &rows() const { return m_rows; }

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QRadioButton *allOperators() const { return m_all; }
    QRadioButton *oneOperator() const { return m_one; }
    QComboBox *operatorList() const { return m_operator; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void query();

    Database &m_db;
    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    QRadioButton *m_all = nullptr;
    QRadioButton *m_one = nullptr;
    QComboBox *m_operator = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
    QList<OperationLog::Row> m_rows;
};

} // namespace varnock
