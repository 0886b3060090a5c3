#pragma once

#include "master/materiallookup.h"
#include "store/formats.h"
#include "vouchers/stockinvoucher.h"

#include <QAbstractTableModel>

namespace varnock {

class StockInVouchers;

// The line grid of a stock-in voucher. A material comes from the lookup or a typed code;
// typing the price or the quantity recomputes the amount, the planned amount follows the
// quantity. The line's RKD.ID travels in the hidden Id column.
class StockInLineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        ConversionUnit,
        PlannedPrice,
        Price,
        Quantity,
        PlannedAmount,
        Amount,
        Paid,
        Remark,
        Id,
        ColumnCount
    };

    // The texts a conversion-unit cell offers: empty and the material's conversion unit.
    static constexpr int ConversionUnitsRole = Qt::UserRole + 1;

    StockInLineModel(const StockInVouchers &vouchers, QObject *parent = nullptr);

    // Cells take input only while editable.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // One empty line.
    void clear();
    void setLines(const QList<StockInLine> &lines);
    QList<StockInLine> lines() const { return m_lines; }
    const StockInLine &line(int row) const { return m_lines.at(row); }

    // Puts a material into a line (the lookup's choice); figures already typed stay.
    bool setMaterial(int row, const MaterialLookup::Row &material);
    // Appends an empty line and returns its row.
    int appendEmpty();
    // Removes a line; the only line left is emptied instead.
    void removeLine(int row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QString figureText(const StockInLine &line, int column) const;
    void recomputeAmount(StockInLine &line) const;
    void emitRowChanged(int row);

    const StockInVouchers &m_vouchers;
    MaterialLookup m_lookup;
    Formats m_formats;
    QList<StockInLine> m_lines;
    bool m_editable = false;
};

} // namespace varnock
