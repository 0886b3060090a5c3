#pragma once

#include "reports/statistics.h"
#include "store/formats.h"

#include <QWidget>

class QGroupBox;
class QListWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "报表日期" of the issues per consuming unit ("领料单位领料情况") or the receipts per supplier
// ("供应商供货情况"): a period, a level of the catalogue and up to five units or suppliers
// ("全部" for every one); "确 定" opens the statistic with a column pair per entry chosen.
class FrmRkgysbb : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FrmRkgysbb(Database &db, int mode, const Formats &formats, StatisticParty party,
               QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QGroupBox *levels() const { return m_levels; }
    QListWidget *entries() const { return m_entries; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    ReportWindow *confirm();

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    StatisticParty m_party;
    DatePicker *m_from;
    DatePicker *m_to;
    QGroupBox *m_levels;
    QListWidget *m_entries;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
