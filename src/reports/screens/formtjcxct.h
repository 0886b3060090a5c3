#pragma once

#include "reports/ledgerquery.h"
#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace varnock {

class Database;
class DatePicker;
class FormPMCXJG;
class IndexedButtonGroup;
class LookupEdit;

// "账务条件查询": one kind of movement ("选择帐类"), a period and the conditions that narrow
// it; "查询(&F)" lists the matching lines in the result window. The material fields are
// filled from the material lookup, the supplier and the unit from their pickers (F4 or "…").
class FormTJCXCT : public QWidget
{
    Q_OBJECT

public:
    enum Button { Query, Exit };

    FormTJCXCT(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    QComboBox *kinds() const { return m_kinds; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    LookupEdit *supplier() const { return m_supplier; }
    QLineEdit *materialName() const { return m_name; }
    QLineEdit *materialSpec() const { return m_spec; }
    LookupEdit *material() const { return m_material; }
    QComboBox *site() const { return m_site; }
    QLabel *numberLabel() const { return m_numberLabel; }
    QLineEdit *number() const { return m_number; }
    LookupEdit *unit() const { return m_unit; }
    QComboBox *building() const { return m_building; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // The conditions as the fields read now.
    LedgerQuery::Conditions conditions() const;
    // Runs the query and opens the result window; nullptr when it was refused.
    FormPMCXJG *query();

private:
    void pickMaterial();

    Database &m_db;
    int m_mode;
    Formats m_formats;
    QComboBox *m_kinds;
    DatePicker *m_from;
    DatePicker *m_to;
    LookupEdit *m_supplier;
    QLineEdit *m_name;
    QLineEdit *m_spec;
    LookupEdit *m_material;
    QComboBox *m_site;
    QLabel *m_numberLabel;
    QLineEdit *m_number;
    LookupEdit *m_unit;
    QComboBox *m_building;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
