#pragma once

#include "ledger/stockcount.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace varnock {

class EditableGrid;
class IndexedButtonGroup;
class StockCountModel;

// The stock count ("材料库存盘点"): the book stock of the materials chosen, the counted
// quantity and unit price typed beside it, and the saving that books the differences.
class FormKCPD : public QWidget
{
    Q_OBJECT

public:
    enum Button { Save, Exit };

    FormKCPD(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

    EditableGrid *grid() const { return m_grid; }
    StockCountModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    QPushButton *findButton() const { return m_findButton; }
    QComboBox *searchMode() const { return m_by; }
    QComboBox *searchValue() const { return m_value; }
    QComboBox *quantityOperator() const { return m_quantityOp; }
    QLineEdit *quantityValue() const { return m_quantity; }

private:
    void fillValues();
    void find();
    void save();

    Database &m_db;
    StockCount m_count;
    StockCount::Filter m_filter;
    StockCountModel *m_model;
    EditableGrid *m_grid;
    QComboBox *m_by;
    QComboBox *m_value;
    QComboBox *m_quantityOp;
    QLineEdit *m_quantity;
    QComboBox *m_amountOp;
    QLineEdit *m_amount;
    QPushButton *m_findButton;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
