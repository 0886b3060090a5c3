#pragma once

#include "vouchers/issuereturn.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class IssueReturns;

// The condition dialog ("单据查询") of the list of issue vouchers to return against: empty
// fields add no condition; the dates run from the latest closing (or the first of the month)
// to today.
class FLLCKCX : public QDialog
{
    Q_OBJECT

public:
    FLLCKCX(const IssueReturns &returns, QWidget *parent = nullptr);

    // Runs the dialog; the conditions when "查 询(&F)" was pressed with sound dates.
    std::optional<ReturnableIssueConditions> ask();
    ReturnableIssueConditions conditions() const;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *site() const { return m_sgbw; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void pickUnit();
    void search();

    const IssueReturns &m_returns;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QLineEdit *m_sgbw;
    QLineEdit *m_ysdjh;
    QLineEdit *m_dh;
    QLineEdit *m_clbh;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
