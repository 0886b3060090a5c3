#pragma once

#include "ledger/amountadjustments.h"
#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QTableView;
class QTreeWidget;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class PostingGridModel;

// The adjustment query ("数据处理查询"): adjustments by date range, by catalogue group or
// material, and by remark.
class Fkvmtcx : public QWidget
{
    Q_OBJECT

public:
    enum Button { Find, Close };

    Fkvmtcx(Database &db, const Formats &formats, QWidget *parent = nullptr);

    // Opens the query beside `from`, inside the main window when it is in one.
    static Fkvmtcx *open(QWidget *from, Database &db, const Formats &formats);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QTreeWidget *groups() const { return m_groups; }
    QComboBox *materials() const { return m_materials; }
    QLineEdit *remark() const { return m_remark; }
    PostingGridModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void fillGroups();
    void fillMaterials();
    void find();

    Database &m_db;
    Formats m_formats;
    DatePicker *m_from;
    DatePicker *m_to;
    QTreeWidget *m_groups;
    QComboBox *m_materials;
    QLineEdit *m_remark;
    QTableView *m_view;
    PostingGridModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
