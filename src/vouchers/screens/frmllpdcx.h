#pragma once

#include "vouchers/issuevoucher.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class IssueVouchers;

// The issue finder's condition dialog ("条件查询"): empty fields add no condition; the dates
// run from the latest closing (or the first of the month) to today.
class FrmLLpdcx : public QDialog
{
    Q_OBJECT

public:
    FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent = nullptr);

    // Runs the dialog; the conditions when "查 询(&F)" was pressed with sound dates.
    std::optional<IssueConditions> ask();
    IssueConditions conditions() const;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }
    QComboBox *site() const { return m_sgbw; }
    QComboBox *building() const { return m_dh; }
    QLineEdit *documentNumber() const { return m_ysdjh; }
    QLineEdit *materialCode() const { return m_clbh; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void pickUnit();
    void search();

    const IssueVouchers &m_vouchers;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QComboBox *m_sgbw;
    QLineEdit *m_ysdjh;
    QComboBox *m_dh;
    QLineEdit *m_clbh;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
