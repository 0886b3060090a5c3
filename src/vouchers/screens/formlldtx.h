#pragma once

#include "store/formats.h"
#include "vouchers/issuevouchers.h"

#include "vouchers/screens/voucherstatelabel.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnock {

class Database;
class DatePicker;
class EditableGrid;
class IndexedButtonGroup;
class IssueLineModel;

// The issue voucher entry screen, for requisitions ("1") and transfers out ("2").
class FormLLDTX : public QWidget
{
    Q_OBJECT

public:
    using State = VoucherStateLabel::State;
    enum Button { Add, Change, Save, Delete, Restore, Search, Print, Post, Exit };

    FormLLDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
              QWidget *parent = nullptr);

    // Issues refuse to open before the first closing: shows the refusal and returns false.
    static bool mayOpen(QWidget *parent, Database &db);
    static QString helpTopic() { return QStringLiteral("领料单填制"); }

    const QString &zl() const { return m_vouchers.zl(); }
    State state() const { return m_stateLabel->state(); }
    qint64 systemNumber() const { return m_xtbh; }

    // Shows a stored voucher (the finder's choice).
    void showVoucher(qint64 xtbh);
    // Opens the material picker; the choice goes into `row`, or the first empty row for -1.
    void pickMaterial(int row = -1);

    QLabel *heading() const { return m_heading; }
    QLabel *stateLabel() const { return m_stateLabel; }
    QLabel *systemNumberLabel() const { return m_xtbhLabel; }
    QComboBox *documentNumber() const { return m_ysdjh; }
    DatePicker *dateField() const { return m_date; }
    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }
    QPushButton *unitButton() const { return m_pickUnit; }
    QComboBox *site() const { return m_sgbw; }
    QComboBox *building() const { return m_dh; }
    QLineEdit *totalField() const { return m_total; }
    QPushButton *materialButton() const { return m_pickMaterial; }
    EditableGrid *grid() const { return m_grid; }
    IssueLineModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void add();
    void change();
    void save();
    void deleteRow();
    void restore();
    void search();
    void openPosting();

private:
    void setState(State state);
    void clearScreen();
    void fillChoices();
    void pickUnit();
    void unitTyped();
    void showTotal();
    IssueVoucher voucherShown() const;

    Database &m_db;
    IssueVouchers m_vouchers;
    Formats m_formats;
    qint64 m_xtbh = 0;

    QLabel *m_heading;
    VoucherStateLabel *m_stateLabel;
    QLabel *m_xtbhLabel;
    QComboBox *m_ysdjh;
    DatePicker *m_date;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QPushButton *m_pickUnit;
    QComboBox *m_sgbw;
    QComboBox *m_dh;
    QLineEdit *m_total;
    QPushButton *m_pickMaterial;
    EditableGrid *m_grid;
    IssueLineModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
