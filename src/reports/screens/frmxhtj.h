#pragma once

#include "store/formats.h"

#include <QWidget>

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "月份物资消耗统计表": a period; "确 定" opens the consumption per category in the period and
// to date in a report window, from where it goes to the workbook "物资消耗统计表".
class FrmXHTJ : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FrmXHTJ(Database &db, int mode, const Formats &formats, QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    ReportWindow *confirm();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
