#pragma once

#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QTreeWidget;

namespace varnock {

class Database;
class DatePicker;
class FormPMCXJG;
class IndexedButtonGroup;

// "品名查询": a category in the tree (all materials at its root), or one material of it, and
// a period; "查询 (&C)" lists the stock carried in and every movement of those materials in
// the result window.
class FormPMCXCT : public QWidget
{
    Q_OBJECT

public:
    enum Button { Query, Close };

    FormPMCXCT(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    QTreeWidget *categories() const { return m_tree; }
    QComboBox *materials() const { return m_materials; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Runs the query and opens the result window; nullptr when it was refused.
    FormPMCXJG *query();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    QTreeWidget *m_tree;
    QComboBox *m_materials;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
