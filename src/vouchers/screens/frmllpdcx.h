#pragma once

#include "vouchers/issuevoucher.h"
#include "widgets/conditionform.h"

class QComboBox;
class QLineEdit;

namespace varnock {

class IssueVouchers;

// The issue finder's condition dialog ("条件查询"): empty fields add no condition; the dates
// run from the latest closing (or the first of the month) to today.
class FrmLLpdcx : public ConditionForm<IssueConditions>
{
    Q_OBJECT

public:
    FrmLLpdcx(const IssueVouchers &vouchers, QWidget *parent = nullptr);

    IssueConditions conditions() const override;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }
    QComboBox *site() const { return m_sgbw; }
    QComboBox *building() const { return m_dh; }
    QLineEdit *documentNumber() const { return m_ysdjh; }
    QLineEdit *materialCode() const { return m_clbh; }

private:
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QComboBox *m_sgbw;
    QLineEdit *m_ysdjh;
    QComboBox *m_dh;
    QLineEdit *m_clbh;
};

} // namespace varnock
