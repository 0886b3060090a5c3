#pragma once

#include "leasing/leasepayments.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class NumericEdit;

// Paying the accrued rent to a supplier ("租赁还款"): what it is owed up to the closing date,
// what was paid, what this payment leaves.
class Fzlhk : public QWidget
{
    Q_OBJECT

public:
    enum Button { Pay, Search, Exit };

    Fzlhk(Database &db, const Formats &formats, int operatorNumber, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("还租业务"); }

    QComboBox *supplier() const { return m_supplier; }
    DatePicker *closingDate() const { return m_date; }
    QLineEdit *owed() const { return m_owed; }
    QLineEdit *paid() const { return m_paid; }
    NumericEdit *amount() const { return m_amount; }
    QLineEdit *left() const { return m_left; }
    QLineEdit *remark() const { return m_remark; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void pay();

private:
    // The chosen supplier's figures at the closing date.
    void refresh();
    // What this payment would leave; an amount beyond what is owed is refused and cleared.
    void checkAmount();

    Database &m_db;
    LeasePayments m_payments;
    Formats m_formats;
    int m_operator;
    LeasePayments::Balance m_balance;
    QComboBox *m_supplier;
    DatePicker *m_date;
    QLineEdit *m_owed;
    QLineEdit *m_paid;
    NumericEdit *m_amount;
    QLineEdit *m_left;
    QLineEdit *m_remark;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
