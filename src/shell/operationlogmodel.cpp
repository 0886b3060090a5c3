#include "shell/operationlogmodel.h"

namespace varnock {

OperationLogModel::OperationLogModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void OperationLogModel::setRows(const QList<OperationLog::Row> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int OperationLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int OperationLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OperationLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return QVariant();
    const OperationLog::Row &r = m_rows[index.row()];
    switch (index.column()) {
    case Id:
        return r.id;
    case Operator:
        return r.operatorName;
    case Date:
        return r.date.toString(QStringLiteral("yyyy-MM-dd"));
    case Time:
        return r.time;
    case Text:
        return r.text;
    default:
        return QVariant();
    }
}

QVariant OperationLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Id:
        return QStringLiteral("ID");
    case Operator:
        return QStringLiteral("   操作员");
    case Date:
        return QStringLiteral("  操作日期");
    case Time:
        return QStringLiteral("  操作时间");
    case Text:
        return QStringLiteral("       操   作   信   息");
    default:
        return QVariant();
    }
}

} // namespace varnock
