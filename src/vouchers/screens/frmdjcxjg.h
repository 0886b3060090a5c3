#pragma once

#include "vouchers/screens/voucherlist.h"
#include "vouchers/stockinvoucher.h"

#include <QSet>

#include <optional>

namespace varnock {

class StockInVouchers;

// The stock-in finder: this kind's vouchers of the current month, narrowed through the
// condition dialog. Returns the chosen voucher's system number.
class FrmDjcxjg : public VoucherList
{
    Q_OBJECT

public:
    FrmDjcxjg(const StockInVouchers &vouchers, QWidget *parent = nullptr);
    // Lists only `offered` (the vouchers a return may be made against); the condition search
    // narrows within them.
    FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> &offered,
              QWidget *parent = nullptr);

    // Lists the vouchers that meet the conditions.
    void showConditions(const StockInConditions &conditions);

protected:
    void search() override;

private:
    FrmDjcxjg(const StockInVouchers &vouchers, const QList<StockInListRow> *offered,
              QWidget *parent);
    static QStringList texts(const StockInListRow &r);

    const StockInVouchers &m_vouchers;
    std::optional<QSet<qint64>> m_offered;
};

} // namespace varnock
