#pragma once

#include "vouchers/stockinreturn.h"
#include "widgets/picker.h"

class QPushButton;
class QStandardItemModel;

namespace varnock {

class StockInReturns;

// The return finder: this kind's return vouchers of the current month, narrowed through the
// condition dialog. Returns the chosen voucher's system number.
class FrmDjcxth : public Picker<qint64>
{
    Q_OBJECT

public:
    FrmDjcxth(const StockInReturns &returns, QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    // Lists the return vouchers that meet the conditions.
    void showConditions(const StockInReturnConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<StockInReturnListRow> &rows);

    const StockInReturns &m_returns;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<StockInReturnListRow> m_rows;
};

} // namespace varnock
