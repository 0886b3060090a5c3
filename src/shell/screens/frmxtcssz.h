#pragma once

#include "shell/datafolder.h"
#include "shell/systemparameters.h"
#include "store/formats.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;

namespace varnock {

class Database;
class IndexedButtonGroup;

// "系统环境设置": the firm's details, the display formats, the backup folder, the slip
// signature captions and the report templates.
class FrmXtcssz : public QDialog
{
    Q_OBJECT

public:
    enum Button { Confirm, Cancel, Exit };

    // `inUse`: the formats the program runs with.
    FrmXtcssz(Database &db, const DataFolder &folder, const Formats &inUse,
              QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("系统参数设置"); }

    QTabWidget *pages() const { return m_pages; }
    QLineEdit *firmField(int index) const { return m_firm.at(index); } // 公司名称 … 邮政编码
    QComboBox *amountFormat() const { return m_amount; }
    QComboBox *quantityFormat() const { return m_quantity; }
    QRadioButton *defaultFolder() const { return m_default; }
    QRadioButton *chosenFolder() const { return m_custom; }
    QLineEdit *folderField() const { return m_folder; }
    QLineEdit *receiptCaption(int index) const { return m_receipt.at(index); }
    QLineEdit *issueCaption(int index) const { return m_issue.at(index); }
    QTreeWidget *reportList() const { return m_reports; }
    QPushButton *restoreButton() const { return m_restore; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

signals:
    // The firm's name was saved: the main window's title follows.
    void windowTitleChanged(const QString &title);
    // A format changed and the user chose to restart now.
    void restartRequested();

private:
    QWidget *firmPage();
    QWidget *settingsPage();
    QWidget *captionsPage();
    QWidget *reportsPage();
    void showValues();
    void folderOptionChanged();
    void chooseFolder();
    void confirm();
    void restoreReports();

    Formats m_inUse;
    SystemParameters m_parameters;

    QTabWidget *m_pages = nullptr;
    QList<QLineEdit *> m_firm;
    QComboBox *m_amount = nullptr;
    QComboBox *m_quantity = nullptr;
    QRadioButton *m_default = nullptr;
    QRadioButton *m_custom = nullptr;
    QLineEdit *m_folder = nullptr;
    QPushButton *m_browse = nullptr;
    QList<QLineEdit *> m_receipt;
    QList<QLineEdit *> m_issue;
    QTreeWidget *m_reports = nullptr;
    QPushButton *m_restore = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
