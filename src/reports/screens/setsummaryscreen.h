#pragma once

#include "reports/acrosssets.h"
#include "shell/datafolder.h"
#include "store/formats.h"

#include <QWidget>

#include <functional>
#include <optional>

class QRadioButton;
class QTreeWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// A summary over several account sets: its period or its level, and the account sets of the
// data folder (several may be chosen). "确  定" builds the summary and opens it in a report
// window; the sets that cannot be read are named in a message.
class SetSummaryScreen : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    // What the screen asks and what it builds with it.
    struct Inputs
    {
        ReportPeriod period;
        int level = 0; // the option chosen, from the top
    };
    using Build =
        std::function<AcrossSets::Result(const QList<AcrossSets::Set> &sets, const Inputs &inputs)>;

    struct Form
    {
        QString objectName; // FrmZtGysqk …
        QString title;
        QStringList dateCaptions;  // start and end; empty for none
        QString levelFrame;        // the frame around the level options
        QStringList levelCaptions; // from the top; the last one is chosen at first
        Build build;
    };

    SetSummaryScreen(Database &db, const DataFolder &folder, const Formats &formats, Form form,
                     QWidget *parent = nullptr);

    // "供应商欠款汇总表", "进销存汇总报表", "流动资产清点表".
    static SetSummaryScreen *arrears(Database &db, const DataFolder &folder,
                                     const Formats &formats);
    static SetSummaryScreen *summary(Database &db, const DataFolder &folder,
                                     const Formats &formats);
    static SetSummaryScreen *count(Database &db, const DataFolder &folder, const Formats &formats);
    // "材料出入库查询报表" of the receipts or the issues; `reportTitle` names the report.
    static SetSummaryScreen *movements(Database &db, const DataFolder &folder,
                                       const Formats &formats, bool issues,
                                       const QString &reportTitle);

    DatePicker *startDate() const { return m_from; } // nullptr without a period
    DatePicker *endDate() const { return m_to; }
    QRadioButton *level(int index) const;
    QTreeWidget *sets() const { return m_sets; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Builds the summary and opens its window; nullptr when it was refused or empty.
    ReportWindow *confirm();

private:
    Database &m_db;
    DataFolder m_folder;
    Formats m_formats;
    Form m_form;
    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    QList<QRadioButton *> m_levels;
    QTreeWidget *m_sets;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
