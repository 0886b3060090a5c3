#pragma once

#include "store/formats.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"

#include "vouchers/screens/voucherstatelabel.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace varnock {

class Database;
class DatePicker;
class EditableGrid;
class IndexedButtonGroup;
class StockInReturnLineModel;

// The return screen of all four stock-in kinds (FrmCgthd, FrmDbthd, FrmZgthd, FrmJgthd): one
// design, configured by the kind. A return is always made against one stock-in voucher.
class StockInReturnScreen : public QWidget
{
    Q_OBJECT

public:
    using State = VoucherStateLabel::State;
    enum Button { Search, Choose, Save, Change, Delete, Restore, Print, Exit, Post };

    StockInReturnScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                        const Formats &formats, QWidget *parent = nullptr);

    // Screens refuse to open before the first closing: shows the refusal and returns false.
    static bool mayOpen(QWidget *parent, Database &db, StockInKind::Kind kind);
    static QString helpTopic() { return QStringLiteral("退货单填制"); }

    const StockInReturnKind &kind() const { return m_returns.kind(); }
    State state() const { return m_stateLabel->state(); }
    qint64 systemNumber() const { return m_xtbh; }

    // Shows a stored return voucher (the finder's choice).
    void showVoucher(qint64 xtbh);
    // Starts a new return against a stock-in voucher (the stock-in list's choice).
    void startReturn(qint64 stockInXtbh);

    DatePicker *dateField() const { return m_date; }
    QLineEdit *documentNumber() const { return m_thdjh; }
    QLineEdit *stockInNumber() const { return m_ysbh; }
    QLineEdit *invoiceNumber() const { return m_fpbh; }
    QLineEdit *chequeNumber() const { return m_zph; }
    QLineEdit *partnerCode() const { return m_gysbh; }
    QLineEdit *partnerName() const { return m_gysmc; }
    QLabel *systemNumberLabel() const { return m_xtbhLabel; }
    QLabel *stateLabel() const { return m_stateLabel; }
    EditableGrid *grid() const { return m_grid; }
    StockInReturnLineModel *model() const { return m_model; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void search();
    void choose();
    void save();
    void change();
    void deleteVoucher();
    void restore();
    void openPosting();

private:
    void setState(State state);
    void clearAll();
    void showHeader(const StockInReturnVoucher &v);
    StockInReturnVoucher voucherShown() const;

    StockInReturns m_returns;
    StockInVouchers m_stockIns;
    Formats m_formats;
    qint64 m_xtbh = 0;
    qint64 m_stockInXtbh = 0;

    VoucherStateLabel *m_stateLabel;
    DatePicker *m_date;
    QLineEdit *m_thdjh;
    QLineEdit *m_ysbh;
    QLineEdit *m_fpbh;
    QLineEdit *m_zph;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QLabel *m_xtbhLabel;
    EditableGrid *m_grid;
    StockInReturnLineModel *m_model;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
