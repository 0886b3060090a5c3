#pragma once

#include "master/counterparty.h"
#include "widgets/picker.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

namespace varnock {

class Database;

// Supplier picker ("供应商选择"): returns the chosen supplier; the caller fills its fields.
class FrmGysxz : public Picker<Counterparty>
{
    Q_OBJECT

public:
    explicit FrmGysxz(Database &db, QWidget *parent = nullptr);
    // The supplier picker of a code field on `parent`.
    static CounterpartyPick suppliers(Database &db, QWidget *parent);

    QComboBox *conditionBox() const { return m_condition; }
    QLineEdit *textField() const { return m_text; }
    QPushButton *searchButton() const { return m_search; }
    // Lists the suppliers whose code or name (as the condition says) starts with the text.
    void search();

protected:
    Counterparty valueAt(int row) const override;

private:
    void showRows(const QList<Counterparty> &rows);

    Database &m_db;
    QComboBox *m_condition;
    QLineEdit *m_text;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<Counterparty> m_rows;
};

} // namespace varnock
