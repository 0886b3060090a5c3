#pragma once

#include "ledger/supplierpayments.h"
#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class NumericEdit;

// Supplier payments ("供应商还款"): what the chosen supplier is owed and was paid, and the
// payment or write-off of part of the rest.
class FrmGYSQK : public QWidget
{
    Q_OBJECT

public:
    enum Button { Pay, WriteOff, Find, Exit };

    FrmGYSQK(Database &db, const Formats &formats, int loggedInOperator, QWidget *parent = nullptr);

    QComboBox *supplier() const { return m_supplier; }
    DatePicker *date() const { return m_date; }
    NumericEdit *amount() const { return m_amount; }
    QLineEdit *owed() const { return m_owed; }
    QLineEdit *paid() const { return m_paid; }
    QLineEdit *remaining() const { return m_remaining; }
    QLabel *settled() const { return m_settled; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void showBalance();
    void record(SupplierPayments::Kind kind);

    Database &m_db;
    Formats m_formats;
    int m_operator;
    SupplierPayments m_payments;
    QComboBox *m_supplier;
    DatePicker *m_date;
    QLineEdit *m_cheque;
    QLineEdit *m_owed;
    QLineEdit *m_paid;
    NumericEdit *m_amount;
    QLineEdit *m_remaining;
    QLineEdit *m_remark;
    QLabel *m_settled;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
