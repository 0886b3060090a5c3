#include "ledger/postinggridmodel.h"

namespace varnock {

PostingGridModel::PostingGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void PostingGridModel::setGrid(const PostingGrid &grid)
{
    beginResetModel();
    m_grid = grid;
    endResetModel();
}

qint64 PostingGridModel::keyAt(int row) const
{
    return row >= 0 && row < m_grid.keys.size() ? m_grid.keys.at(row) : 0;
}

int PostingGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_grid.rows.size());
}

int PostingGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_grid.columns.size());
}

QVariant PostingGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_grid.rows.size())
        return {};
    if (role == KeyRole)
        return keyAt(index.row());
    const QStringList &row = m_grid.rows.at(index.row());
    if (role == Qt::DisplayRole && index.column() < row.size())
        return row.at(index.column());
    if (role == Qt::TextAlignmentRole && m_grid.numeric.value(index.column()))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant PostingGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_grid.columns.size() ? QVariant(m_grid.columns.at(section)) : QVariant();
    return section + 1;
}

} // namespace varnock
