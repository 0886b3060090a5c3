#pragma once

#include "ledger/amountadjustments.h"
#include "master/materiallookup.h"
#include "store/formats.h"

#include <QAbstractTableModel>

#include <optional>

namespace varnock {

// The lines of the amount-adjustment grid: the day's adjustments with each material's stock
// amount, or the lines being entered. While entering, the amount and the remark are typed and
// a new line's material comes from the material lookup.
class AdjustmentLineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Id, Code, Name, Spec, Unit, Stock, Amount, Remark, Columns };

    explicit AdjustmentLineModel(const Formats &formats, QObject *parent = nullptr);

    // Shows saved lines; nothing can be typed until setEntering(true).
    void load(const QList<AmountAdjustments::Line> &lines);
    void setEntering(bool entering);
    // Appends an empty line and returns its row.
    int appendNew();
    // Puts `material` on line `row` (a new line only); false when it cannot go there.
    bool setMaterial(int row, const MaterialLookup::Row &material);

    qint64 idAt(int row) const;
    // What each line holds, the empty last line of an entry left out.
    QList<std::pair<qint64, AmountAdjustments::Entry>> entries() const;

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
        qint64 id = 0;
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        Decimal kcje;
        std::optional<Decimal> je;
        QString bz;
    };

    Formats m_formats;
    QList<Line> m_lines;
    bool m_entering = false;
};

} // namespace varnock
