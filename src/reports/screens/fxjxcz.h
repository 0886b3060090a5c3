#pragma once

#include "shell/datafolder.h"
#include "store/formats.h"

#include <QWidget>

class QComboBox;
class QListWidget;

namespace varnock {

class Database;
class DatePicker;
class IndexedButtonGroup;
class ReportWindow;

// "材料收支存明细汇总表": a period, a category and the account sets of the data folder;
// "确 定" reads each chosen set on a connection of its own and opens the rows of all of them in
// one report window. The sets that cannot be read are named in a message.
class FXJXCZ : public QWidget
{
    Q_OBJECT

public:
    enum Button { Confirm, Exit };

    FXJXCZ(Database &db, const DataFolder &folder, const Formats &formats,
           QWidget *parent = nullptr);

    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    QComboBox *level1() const { return m_level1; }
    QComboBox *level2() const { return m_level2; }
    QListWidget *sets() const { return m_sets; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Builds the report and opens its window; nullptr when it was refused or empty.
    ReportWindow *confirm();

    static const QString NoSetText; // "请选择账套！"

private:
    Database &m_db;
    DataFolder m_folder;
    Formats m_formats;
    DatePicker *m_from;
    DatePicker *m_to;
    QComboBox *m_level1;
    QComboBox *m_level2;
    QListWidget *m_sets;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
