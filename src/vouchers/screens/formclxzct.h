#pragma once

#include "store/formats.h"
#include "vouchers/issuematerials.h"
#include "widgets/picker.h"

class QComboBox;
class QPushButton;
class QStandardItemModel;

namespace varnock {

class Database;

// Issue material picker ("出库材料选择"): opens on the materials in stock; the search lists
// catalogue leaves by code or name. A material without stock is refused, not returned.
class FormCLXZCT : public Picker<IssueMaterials::Row>
{
    Q_OBJECT

public:
    FormCLXZCT(Database &db, const Formats &formats, QWidget *parent = nullptr);

    QComboBox *conditionBox() const { return m_condition; }
    // The codes or names of the chosen condition; editable for a prefix of one's own.
    QComboBox *valueBox() const { return m_value; }
    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    void search();

protected:
    IssueMaterials::Row valueAt(int row) const override;
    bool acceptRow(int row) override;

private:
    IssueMaterials::By condition() const;
    void fillValues();
    void showRows(const QList<IssueMaterials::Row> &rows);

    Database &m_db;
    Formats m_formats;
    QComboBox *m_condition;
    QComboBox *m_value;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<IssueMaterials::Row> m_rows;
};

} // namespace varnock
