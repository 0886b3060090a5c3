#pragma once

#include "vouchers/stockinreturn.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class StockInReturns;

// The return finder's condition dialog ("条件查询"): empty fields add no condition; the dates
// run from the latest closing (or the first of the month) to today.
class FrmThdcx : public QDialog
{
    Q_OBJECT

public:
    FrmThdcx(const StockInReturns &returns, QWidget *parent = nullptr);

    // Runs the dialog; the conditions when "查 询(&F)" was pressed with sound dates.
    std::optional<StockInReturnConditions> ask();
    StockInReturnConditions conditions() const;

    QLineEdit *supplierCode() const { return m_gysbh; }
    QLineEdit *documentNumber() const { return m_thdjh; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void pickSupplier();
    void search();

    const StockInReturns &m_returns;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QLineEdit *m_fpbh;
    QLineEdit *m_thdjh;
    QLineEdit *m_clbh;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
