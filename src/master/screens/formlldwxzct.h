#pragma once

#include "master/counterparty.h"
#include "widgets/picker.h"

class QComboBox;
class QPushButton;
class QStandardItemModel;

namespace varnock {

class Database;

// Unit picker ("单位选择"): consuming units, or suppliers in supplier mode. Returns the
// chosen row; the caller fills its fields.
class FormLLDWXZCT : public Picker<Counterparty>
{
    Q_OBJECT

public:
    enum class Mode { Units, Suppliers };

    FormLLDWXZCT(Database &db, Mode mode, QWidget *parent = nullptr);
    // The consuming-unit picker of a code field on `parent`.
    static CounterpartyPick units(Database &db, QWidget *parent);

    Mode mode() const { return m_mode; }
    QComboBox *conditionBox() const { return m_condition; }
    // The codes or names of the chosen condition; editable for a prefix of one's own.
    QComboBox *valueBox() const { return m_value; }
    QPushButton *searchButton() const { return m_search; }
    void search();

protected:
    Counterparty valueAt(int row) const override;

private:
    CounterpartySearch condition() const;
    void fillValues();
    void showRows(const QList<Counterparty> &rows);

    Database &m_db;
    Mode m_mode;
    QComboBox *m_condition;
    QComboBox *m_value;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<Counterparty> m_rows;
};

} // namespace varnock
