#pragma once

#include "store/formats.h"
#include "vouchers/stockinreturn.h"

#include <QAbstractTableModel>

namespace varnock {

class StockInReturns;

// The line grid of a return voucher: one row per line of the stock-in voucher. Only the
// return quantity is typed; the return amount follows it at the stock-in price. The return
// line's THD.ID travels in the hidden Id column.
class StockInReturnLineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        Price,
        ReceivedQuantity,
        ReceivedAmount,
        ReturnedBefore,
        Quantity,
        Amount,
        PlannedAmount,
        PlannedPrice,
        Id,
        ColumnCount
    };

    explicit StockInReturnLineModel(const StockInReturns &returns, QObject *parent = nullptr);

    // The quantity cells take input only while editable.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    void clear();
    void setLines(const QList<StockInReturnLine> &lines);
    QList<StockInReturnLine> lines() const { return m_lines; }
    const StockInReturnLine &line(int row) const { return m_lines.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    QString figureText(const StockInReturnLine &line, int column) const;

    const StockInReturns &m_returns;
    Formats m_formats;
    QList<StockInReturnLine> m_lines;
    bool m_editable = false;
};

} // namespace varnock
