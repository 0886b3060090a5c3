#pragma once

#include "ledger/stockcount.h"

#include <QAbstractTableModel>

#include <optional>

namespace varnock {

// The count grid: the book stock of each material and, typed beside it, the counted quantity
// and the counted unit price. Only those two columns are edited; they take a number as text
// ("" clears the cell).
class StockCountModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Code, Name, Spec, Unit, BookQuantity, BookAmount, Counted, Price, Columns };

    StockCountModel(const Formats &formats, QObject *parent = nullptr);

    // Shows `rows` with nothing counted yet.
    void setRows(const QList<StockCount::Row> &rows);
    // The lines whose counted quantity was typed, in grid order.
    QList<StockCount::Counted> counted() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Line
    {
        StockCount::Row book;
        std::optional<Decimal> counted;
        std::optional<Decimal> price;
    };

    Formats m_formats;
    QList<Line> m_lines;
};

} // namespace varnock
