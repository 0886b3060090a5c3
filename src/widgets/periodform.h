#pragma once

#include <QDate>
#include <QWidget>

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
struct ReportPeriod;

// A report over a period chosen in a frame "选择查询时间", with an OK button and
// "退 出(&X)"; a screen's options stand below the dates. The report opens in its own window.
class PeriodForm : public QWidget
{
    Q_OBJECT

public:
    enum Button { Ok, Exit };

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

protected:
    PeriodForm(const QString &objectName, const QString &title, const QString &okCaption,
               const QDate &start, QWidget *parent);
    // Lays the screen out with `options` under the dates.
    void finish(QWidget *options = nullptr);
    // Builds and shows the report of the period.
    virtual void run(const ReportPeriod &period) = 0;

private:
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
