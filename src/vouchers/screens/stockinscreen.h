#pragma once

#include "store/formats.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinvouchers.h"

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
class StockInLineModel;

// The entry screen of all four stock-in kinds (FrmCgrkd, FrmDbrkd, FrmZgrkd, FrmJgrkd): one
// design, configured by the kind.
class StockInScreen : public QWidget
{
    Q_OBJECT

public:
    using State = VoucherStateLabel::State;
    enum Button { Search, Add, Save, Change, Delete, Restore, Print, Exit, Post, Append };

    StockInScreen(Database &db, StockInKind::Kind kind, int accountingMode, const Formats &formats,
                  QWidget *parent = nullptr);

    // Screens refuse to open before the first closing: shows the refusal and returns false.
    static bool mayOpen(QWidget *parent, Database &db, StockInKind::Kind kind);
    static QString helpTopic() { return QStringLiteral("入库单填制"); }

    const StockInKind &kind() const { return m_vouchers.kind(); }
    State state() const { return m_stateLabel->state(); }
    qint64 systemNumber() const { return m_xtbh; }

    // Shows a stored voucher (the finder's choice).
    void showVoucher(qint64 xtbh);
    // Opens the material lookup for a grid row.
    void lookUpMaterial(int row);

    DatePicker *dateField() const { return m_date; }
    QComboBox *documentNumber() const { return m_ysdjh; }
    QLineEdit *invoiceNumber() const { return m_fpbh; }
    QLineEdit *chequeNumber() const { return m_zph; }
    QLineEdit *partnerCode() const { return m_gysbh; }
    QLineEdit *partnerName() const { return m_gysmc; }
    QLabel *systemNumberLabel() const { return m_xtbhLabel; }
    QLabel *stateLabel() const { return m_stateLabel; }
    EditableGrid *grid() const { return m_grid; }
    StockInLineModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void search();
    void add();
    void save();
    void change();
    void deleteRow();
    void restore();
    void append();

private:
    void setState(State state);
    void clearHeader();
    void pickPartner();
    void partnerTyped();
    StockInVoucher voucherShown() const;

    Database &m_db;
    StockInVouchers m_vouchers;
    Formats m_formats;
    qint64 m_xtbh = 0;

    VoucherStateLabel *m_stateLabel;
    DatePicker *m_date;
    QComboBox *m_ysdjh;
    QLineEdit *m_fpbh;
    QLineEdit *m_zph;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QPushButton *m_pickPartner;
    QLabel *m_xtbhLabel;
    EditableGrid *m_grid;
    StockInLineModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
