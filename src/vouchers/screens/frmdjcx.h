#pragma once

#include "vouchers/stockinvoucher.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class StockInVouchers;

// The stock-in finder's condition dialog ("条件查询"): empty fields add no condition; the
// dates run from the latest closing (or the first of the month) to today.
class FrmDjcx : public QDialog
{
    Q_OBJECT

public:
    FrmDjcx(const StockInVouchers &vouchers, QWidget *parent = nullptr);

    // Runs the dialog; the conditions when "查 询(&F)" was pressed with sound dates.
    std::optional<StockInConditions> ask();
    StockInConditions conditions() const;

    QLineEdit *supplierCode() const { return m_gysbh; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void pickSupplier();
    void search();

    const StockInVouchers &m_vouchers;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QLineEdit *m_fpbh;
    QLineEdit *m_ysdjh;
    QLineEdit *m_zph;
    QLineEdit *m_clbh;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
