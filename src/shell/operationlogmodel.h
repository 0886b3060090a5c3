#pragma once

#include "shell/operationlog.h"

#include <QAbstractTableModel>

namespace varnock {

// The rows of the log browser: the hidden ID first, then operator, date, time and text
// under the browser's own headings.
class OperationLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Id, Operator, Date, Time, Text, ColumnCount };

    explicit OperationLogModel(QObject *parent = nullptr);

    void setRows(const QList<OperationLog::Row> &rows);
    const QList<OperationLog::Row> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<OperationLog::Row> m_rows;
};

} // namespace varnock
