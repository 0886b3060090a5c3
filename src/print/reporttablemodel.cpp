#include "print/reporttablemodel.h"

namespace varnock {

ReportTableModel::ReportTableModel(const Formats &formats, QObject *parent)
    : QAbstractTableModel(parent)
    , m_formats(formats)
{}

void ReportTableModel::setTable(ReportTable table)
{
    beginResetModel();
    m_table = std::move(table);
    endResetModel();
}

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_table.displayText(index.row(), index.column(), m_formats);
    case Qt::TextAlignmentRole:
        return m_table.columns().at(index.column()).isNumber()
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case StyleRole:
        return int(m_table.style(index.row()));
    default:
        return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_table.columns().value(section).heading;
    return section + 1;
}

} // namespace varnock
