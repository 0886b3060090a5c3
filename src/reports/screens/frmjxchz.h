#pragma once

#include "store/formats.h"

#include <QWidget>

class QListWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "材料进销存汇总报表": a period and up to three consuming units (or the transfers); "确 定"
// opens the summary per category in a report window.
class FrmJxchz : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FrmJxchz(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

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
    DatePicker *m_from;
    DatePicker *m_to;
    QListWidget *m_units;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
