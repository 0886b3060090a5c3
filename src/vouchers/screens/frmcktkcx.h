#pragma once

#include "vouchers/issuereturn.h"
#include "widgets/picker.h"

class QPushButton;
class QStandardItemModel;

namespace varnock {

class IssueReturns;

// The issue-return finder ("条件查询"): this kind's returns of the current month, narrowed
// through the condition dialog. Returns the chosen voucher's system number.
class FrmCktkcx : public Picker<qint64>
{
    Q_OBJECT

public:
    FrmCktkcx(const IssueReturns &returns, QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    void showConditions(const IssueReturnConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<IssueReturnListRow> &rows);

    const IssueReturns &m_returns;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<IssueReturnListRow> m_rows;
};

} // namespace varnock
