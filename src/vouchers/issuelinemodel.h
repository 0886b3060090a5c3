#pragma once

#include "store/formats.h"
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
    // The first line without a material, appending one when every line has one.
    int firstEmptyRow();

    // "总 金 额": the sum of the lines' amounts.
    Decimal total() const;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QString figureText(const IssueLine &line, int column) const;

    const IssueVouchers &m_vouchers;
    IssueMaterials m_materials;
    Formats m_formats;
};

} // namespace varnock
