#pragma once

#include "vouchers/issuereturn.h"
#include "widgets/picker.h"

class QPushButton;
class QStandardItemModel;

namespace varnock {

class IssueReturns;

// The posted issue vouchers a return may be entered against ("领料出库单据" / "调拨出库单据"),
// narrowed through the condition dialog. Returns the chosen voucher's system number.
class FrmCkdcx : public Picker<qint64>
{
    Q_OBJECT

public:
    FrmCkdcx(const IssueReturns &returns, QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    void showConditions(const ReturnableIssueConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<ReturnableIssueRow> &rows);

    const IssueReturns &m_returns;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<ReturnableIssueRow> m_rows;
};

} // namespace varnock
