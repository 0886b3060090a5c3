#pragma once

#include "ledger/supplierpayments.h"
#include "store/formats.h"

#include <QWidget>

class QRadioButton;
class QTableView;

namespace varnock {

class IndexedButtonGroup;
class PostingGridModel;

// The payments and write-offs made ("还款情况"): the list chosen by the options, narrowed by
// the finder's conditions, and the deletion of a row with the operator's own password.
class FrmGysqkcxjg : public QWidget
{
    Q_OBJECT

public:
    enum Button { Find, Delete, Exit };

    FrmGysqkcxjg(Database &db, const Formats &formats, int loggedInOperator,
                 QWidget *parent = nullptr);

    // Opens the list beside the screen `from`, inside the main window when it is in one.
    static FrmGysqkcxjg *open(QWidget *from, Database &db, const Formats &formats,
                              int loggedInOperator);

    QRadioButton *writeOffs() const { return m_writeOffs; }
    QTableView *view() const { return m_view; }
    PostingGridModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    void setFilter(const SupplierPayments::Filter &filter);

private:
    SupplierPayments::Kind kind() const;
    void refresh();
    void find();
    void remove();

    Database &m_db;
    Formats m_formats;
    int m_operator;
    SupplierPayments m_payments;
    SupplierPayments::Filter m_filter;
    QRadioButton *m_paymentList;
    QRadioButton *m_writeOffs;
    QTableView *m_view;
    PostingGridModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
