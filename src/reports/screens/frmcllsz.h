#pragma once

#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QTreeWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "材料流水账": a category in the tree, a material of it and a period (a month-end chosen in
// the list starts the period the day after it); "查询" opens the material's ledger in a report
// window, where a double click on a line opens its voucher.
class FrmCllsz : public QWidget
{
    Q_OBJECT

public:
    enum Button { Query, Close };

    FrmCllsz(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    QTreeWidget *categories() const { return m_tree; }
    QComboBox *materials() const { return m_materials; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QComboBox *closings() const { return m_closings; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Builds the ledger and opens its window; nullptr when it was refused.
    ReportWindow *query();

private:
    void fillMaterials();

    Database &m_db;
    int m_mode;
    Formats m_formats;
    QTreeWidget *m_tree;
    QComboBox *m_materials;
    DatePicker *m_from;
    DatePicker *m_to;
    QComboBox *m_closings;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
