#pragma once

#include "reports/statisticmovements.h"
#include "store/formats.h"

#include <QWidget>

class QGroupBox;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "报表日期" of the receipts statistic ("入库查询报表") or the issues statistic ("领料查询报表"):
// a period and a level of the catalogue; "确 定" opens the statistic in a report window.
class FrmRKCXBB : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    // `movement` is Movement::Receipts or Movement::Issues.
    FrmRKCXBB(Database &db, int mode, const Formats &formats, Movement movement,
              QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QGroupBox *levels() const { return m_levels; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    ReportWindow *confirm();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    Movement m_movement;
    DatePicker *m_from;
    DatePicker *m_to;
    QGroupBox *m_levels;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
