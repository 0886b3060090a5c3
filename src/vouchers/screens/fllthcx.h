#pragma once

#include "vouchers/issuereturn.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class IssueReturns;

// The condition dialog ("条件查询") of the issue-return finder: empty fields add no condition;
// the dates run from the latest closing (or the first of the month) to today.
class Fllthcx : public QDialog
{
    Q_OBJECT

public:
    Fllthcx(const IssueReturns &returns, QWidget *parent = nullptr);

    std::optional<IssueReturnConditions> ask();
    IssueReturnConditions conditions() const;

    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *returnNumber() const { return m_thdjh; }
    QLineEdit *issueNumber() const { return m_ysbh; }
    DatePicker *startDate() const { return m_from; }
    DatePicker *endDate() const { return m_to; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

private:
    void pickUnit();
    void search();

    const IssueReturns &m_returns;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QLineEdit *m_thdjh;
    QLineEdit *m_ysbh;
    QLineEdit *m_clbh;
    DatePicker *m_from;
    DatePicker *m_to;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
