#pragma once

#include "print/reporttable.h"
#include "store/formats.h"

#include <QDialog>

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;

// "报表日期": the dates of a report of the catalogue, then the report in a report window. The
// supplier arrears (FrmRq) take a start and an end date, the first of the month to today; the
// count result (PD) only an end date.
class ReportDateDialog : public QDialog
{
    Q_OBJECT

public:
    enum Button { Ok, Exit };

    static ReportDateDialog *arrears(Database &db, const Formats &formats, QWidget *parent);
    static ReportDateDialog *countResult(Database &db, const Formats &formats, QWidget *parent);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    ReportDateDialog(Database &db, const Formats &formats, const QString &objectName,
                     const QString &report, bool withStart, QWidget *parent);
    void openReport();

    Database &m_db;
    Formats m_formats;
    QString m_report;
    DatePicker *m_from = nullptr;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
