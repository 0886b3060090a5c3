#pragma once

#include "store/formats.h"
#include "vouchers/issuereturns.h"

#include "vouchers/screens/voucherstatelabel.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace varnock {

class Database;
class DatePicker;
class EditableGrid;
class IndexedButtonGroup;
class IssueReturnLineModel;

// The issue-return entry screen, for requisition returns ("1") and transfer-out returns
// ("2"): a return is begun from a posted issue voucher and only the returned quantities are
// typed.
class FormLLTHDTX : public QWidget
{
    Q_OBJECT

public:
    using State = VoucherStateLabel::State;
    enum Button { Choose, Save, Change, Delete, Restore, Search, Print, Post, Exit };

    FormLLTHDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
                QWidget *parent = nullptr);

    // Returns refuse to open before the first closing: shows the refusal and returns false.
    static bool mayOpen(QWidget *parent, Database &db);
    static QString helpTopic() { return QStringLiteral("领料退货"); }

    const QString &zl() const { return m_returns.zl(); }
    State state() const { return m_stateLabel->state(); }
    qint64 systemNumber() const { return m_voucher.xtbh; }

    // Begins a return against a posted issue voucher (the chooser's choice).
    void beginReturn(qint64 issueXtbh);
    // Shows a saved return (the finder's choice).
    void showVoucher(qint64 xtbh);

    QLabel *heading() const { return m_heading; }
    QLabel *stateLabel() const { return m_stateLabel; }
    QLabel *systemNumberLabel() const { return m_xtbhLabel; }
    DatePicker *dateField() const { return m_date; }
    QLineEdit *issueNumber() const { return m_ysbh; }
    QLineEdit *returnNumber() const { return m_thdjh; }
    EditableGrid *grid() const { return m_grid; }
    IssueReturnLineModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void choose();
    void save();
    void change();
    void deleteVoucher();
    void restore();
    void search();
    void post();

private:
    void setState(State state);
    void clearScreen();
    void showDraft(const IssueReturnVoucher &voucher, qint64 proposedNumber);
    IssueReturnVoucher voucherShown() const;

    Database &m_db;
    IssueReturns m_returns;
    IssueReturnVoucher m_voucher; // what the screen started from: a draft or a saved return

    QLabel *m_heading;
    VoucherStateLabel *m_stateLabel;
    QLabel *m_xtbhLabel;
    DatePicker *m_date;
    QLineEdit *m_ysbh;
    QLineEdit *m_thdjh;
    EditableGrid *m_grid;
    IssueReturnLineModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
