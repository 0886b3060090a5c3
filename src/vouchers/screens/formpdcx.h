#pragma once

#include "vouchers/issuevoucher.h"
#include "widgets/picker.h"

class QPushButton;
class QStandardItemModel;

namespace varnock {

class IssueVouchers;

// The issue finder ("凭单查询"): this kind's vouchers of the current month, narrowed through
// the condition dialog. Returns the chosen voucher's system number.
class FormPDCX : public Picker<qint64>
{
    Q_OBJECT

public:
    FormPDCX(const IssueVouchers &vouchers, QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    // Lists the vouchers that meet the conditions.
    void showConditions(const IssueConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<IssueListRow> &rows);

    const IssueVouchers &m_vouchers;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<IssueListRow> m_rows;
};

} // namespace varnock
