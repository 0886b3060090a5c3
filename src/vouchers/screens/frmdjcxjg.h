#pragma once

#include "vouchers/stockinvoucher.h"
#include "widgets/picker.h"

#include <QSet>

#include <optional>

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
    // Lists only `offered` (the vouchers a return may be made against); the condition search
    // narrows within them.
    FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> &offered,
              QWidget *parent = nullptr);

    QPushButton *searchButton() const { return m_search; }
    int rowCount() const;
    // Lists the vouchers that meet the conditions.
    void showConditions(const StockInConditions &conditions);

protected:
    qint64 valueAt(int row) const override;

private:
    void showRows(const QList<StockInListRow> &rows);
    void showOnlyOffered(QList<StockInListRow> rows);

    const StockInVouchers &m_vouchers;
    QPushButton *m_search;
    QStandardItemModel *m_model;
    QList<StockInListRow> m_rows;
    std::optional<QSet<qint64>> m_offered;
};

} // namespace varnock
