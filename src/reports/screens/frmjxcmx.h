#pragma once

#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QListWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "材料收支存明细报表": a category, a period and up to three consuming units (or the
// transfers); "确 定" opens the detail report in a report window, where a double click on a
// material opens its ledger for the same period.
class FrmJxcmx : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FrmJxcmx(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    QComboBox *level1() const { return m_level1; }
    QComboBox *level2() const { return m_level2; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QListWidget *units() const { return m_units; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Builds the report and opens its window; nullptr when it was refused or empty.
    ReportWindow *confirm();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    QComboBox *m_level1;
    QComboBox *m_level2;
    DatePicker *m_from;
    DatePicker *m_to;
    QListWidget *m_units;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
