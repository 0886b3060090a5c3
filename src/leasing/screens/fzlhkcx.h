#pragma once

#include "leasing/leasepayments.h"

#include <QDialog>

class QStandardItemModel;
class QTableView;

namespace varnock {

class IndexedButtonGroup;

// The lease payments ("租赁还款查询"), by supplier; narrowed through Fhkcxcx. A payment is
// deleted after a question and the operator's password.
class Fzlhkcx : public QDialog
{
    Q_OBJECT

public:
    enum Button { Search, Delete, Exit };

    Fzlhkcx(Database &db, const Formats &formats, int operatorNumber, QWidget *parent = nullptr);

    QTableView *view() const { return m_view; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    int rowCount() const;

    void search();
    void deleteCurrent();

private:
    void list(const LeasePayments::Conditions &conditions);

    Database &m_db;
    LeasePayments m_payments;
    Formats m_formats;
    int m_operator;
    LeasePayments::Conditions m_conditions;
    QList<qint64> m_ids;
    QStandardItemModel *m_model;
    QTableView *m_view;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
