#pragma once

#include "ledger/amountadjustments.h"
#include "store/formats.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace varnock {

class AdjustmentLineModel;
class DatePicker;
class EditableGrid;
class IndexedButtonGroup;

// Amount adjustments ("数据处理"): the adjustments of the chosen day, and their entry, change
// and deletion. Each changes the material's stock amount at once.
class FDZ : public QWidget
{
    Q_OBJECT

public:
    enum Button { Add, Save, Change, Delete, Restore, Find, Print, Exit };
    enum class State { Browse, Add, Change };

    FDZ(Database &db, const Formats &formats, QWidget *parent = nullptr);

    DatePicker *date() const { return m_date; }
    QLineEdit *project() const { return m_project; }
    QLabel *stateLabel() const { return m_state; }
    EditableGrid *grid() const { return m_grid; }
    AdjustmentLineModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }
    State state() const { return m_current; }

private:
    void setState(State state);
    void reload();
    void add();
    void change();
    void save();
    void remove();
    void lookUpMaterial(int row);

    Database &m_db;
    Formats m_formats;
    AmountAdjustments m_adjustments;
    State m_current = State::Browse;
    DatePicker *m_date;
    QLineEdit *m_project;
    QLabel *m_state;
    AdjustmentLineModel *m_model;
    EditableGrid *m_grid;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
