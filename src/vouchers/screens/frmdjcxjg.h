#pragma once

#include "vouchers/stockinvoucher.h"
#include "widgets/picker.h"

class QPushButton;
class QStandardItemModel;

namespace varnock {

class StockInVouchers;

// The stock-in finder: this kind's vouchers of the current month, narrowed through the
// condition dialog. Returns the chosen voucher's system number.
class FrmDjcxjg : public Picker<qint64>
{
    Q_OBJECT

public:
    FrmDjcxjg(const StockInVouchers &vouchers, QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    // Lists the vouchers that meet the conditions.
    void showConditions(const StockInConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<StockInListRow> &rows);

    const StockInVouchers &m_vouchers;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<StockInListRow> m_rows;
};

} // namespace varnock
