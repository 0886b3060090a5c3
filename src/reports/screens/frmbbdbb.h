#pragma once

#include "store/formats.h"

#include <QWidget>

class QGroupBox;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "调拨报表": a period, the transfers in ("调拨入库") or out ("调拨出库") and a level of the
// catalogue; "确 定" opens the statistic in a report window.
class FrmBBdbb : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FrmBBdbb(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QGroupBox *directions() const { return m_directions; }
    QGroupBox *levels() const { return m_levels; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    ReportWindow *confirm();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    DatePicker *m_from;
    DatePicker *m_to;
    QGroupBox *m_directions;
    QGroupBox *m_levels;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
