#pragma once

#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace varnock {

class Database;
class IndexedButtonGroup;
class ReportWindow;

// The statistics between two month-ends: "季度材料统计表" (the receipts per category) or
// "材料收 支 存资金平衡表" (the receipts-issues-balance summary). Both ends are chosen from
// the month-end dates; the period runs from the day after the first to the second.
class FxJDCL : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };
    enum class Report { Quarterly, FundsBalance };

    FxJDCL(Database &db, int mode, const Formats &formats, Report report,
           QWidget *parent = nullptr);

    QComboBox *startClosing() const { return m_start; }
    QComboBox *endClosing() const { return m_end; }
    QLabel *period() const { return m_period; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    ReportWindow *confirm();

private:
    void showPeriod();

    Database &m_db;
    int m_mode;
    Formats m_formats;
    Report m_report;
    QComboBox *m_start;
    QComboBox *m_end;
    QLabel *m_period;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
