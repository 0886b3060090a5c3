#pragma once

#include "master/materiallookup.h"
#include "store/formats.h"
#include "widgets/picker.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

namespace varnock {

class Database;

// Material lookup ("材料查询"): catalogue materials with their stock. Returns the chosen
// material; the opener puts it into its current grid row (and adds a row below the last).
class FrmClcx : public Picker<MaterialLookup::Row>
{
    Q_OBJECT

public:
    FrmClcx(Database &db, const Formats &formats, QWidget *parent = nullptr);

    QComboBox *conditionBox() const { return m_condition; }
    QLineEdit *textField() const { return m_text; }
    QPushButton *searchButton() const { return m_search; }
    // Materials whose code or name (as the condition says) starts with the text.
    void search();

protected:
    MaterialLookup::Row valueAt(int row) const override;

private:
    void showRows(const QList<MaterialLookup::Row> &rows);

    Database &m_db;
    Formats m_formats;
    QComboBox *m_condition;
    QLineEdit *m_text;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<MaterialLookup::Row> m_rows;
};

} // namespace varnock
