#pragma once

#include "ledger/postinggrid.h"

#include <QAbstractTableModel>

namespace varnock {

// A read-only table model over one grid of a posting screen. The key of each row (a
// voucher's XTBH or a line's ID) is available under KeyRole and through keyAt().
class PostingGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit PostingGridModel(QObject *parent = nullptr);

    void setGrid(const PostingGrid &grid);
    const PostingGrid &grid() const { return m_grid; }
    // The key of `row`, or 0 when there is no such row.
    qint64 keyAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    PostingGrid m_grid;
};

} // namespace varnock
