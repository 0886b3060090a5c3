#pragma once

#include "vouchers/issuematerials.h"
#include "vouchers/issuevoucher.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class IssueVouchers;

// The line grid of an issue voucher. A material comes from the picker (or a typed code of a
// material in stock) with its stock and, under moving average, its price; typing the quantity
// or the price recomputes the amount. The line's LLD.ID travels in the hidden Id column.
class IssueLineModel : public VoucherLineModel<IssueLine>
{
    Q_OBJECT

public:
    enum Column {
        Id,
        Code,
        Name,
        Spec,
        Unit,
        ConversionUnit,
        Price,
        StockQuantity,
        StockAmount,
        Quantity,
        Amount,
        Factor,
        Remark,
        ColumnCount
    };

    IssueLineModel(const IssueVouchers &vouchers, QObject *parent = nullptr);

    // Puts a material into a line (the picker's choice); a quantity already typed stays and
    // is priced anew.
    bool setMaterial(int row, const IssueMaterials::Row &material);

    // "总 金 额": the sum of the lines' amounts.
    Decimal total() const;

private:
    void take(IssueLine &line, const IssueMaterials::Row &material) const;

    const IssueVouchers &m_vouchers;
    IssueMaterials m_materials;
};

} // namespace varnock
