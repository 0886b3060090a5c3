#pragma once

#include "store/formats.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QTableView;
class QTreeWidget;

namespace varnock {

class Database;
class ReportTable;
class ReportTableModel;
class DatePicker;
class IndexedButtonGroup;

// The plan query ("工程材料计划单查询"): a category of the catalogue tree, one of its
// materials, a remark and the dates; the plan lines found open in Fgccljlcx.
class Fgccx : public QDialog
{
    Q_OBJECT

public:
    enum Button { Query, Close };

    Fgccx(Database &db, const Formats &formats, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("按工程计划查询"); }

    QTreeWidget *tree() const { return m_tree; }
    QComboBox *material() const { return m_material; }
    QLineEdit *remark() const { return m_remark; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void query();

private:
    void fillTree();
    // The chosen category's materials.
    void fillMaterials();

    Database &m_db;
    Formats m_formats;
    QTreeWidget *m_tree;
    QComboBox *m_material;
    QLineEdit *m_remark;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

// The plan lines found ("按F2打印所有计划填写"); F2 prints them.
class Fgccljlcx : public QDialog
{
    Q_OBJECT

public:
    Fgccljlcx(const ReportTable &table, const QString &firm, const Formats &formats,
              QWidget *parent = nullptr);

    QTableView *view() const { return m_view; }
    void print();

private:
    ReportTableModel *m_model;
    QTableView *m_view;
    QString m_firm;
    Formats m_formats;
};

} // namespace varnock
