#pragma once

#include "vouchers/issuereturn.h"

#include <QAbstractTableModel>

namespace varnock {

class IssueReturns;

// The line grid of an issue return: one row per line of the issue voucher, only the
// returned quantity typed. A quantity that would take back more than the line has left is
// not kept: the cell is cleared and overReturn() tells the screen. The line's LLD.ID travels
// in the Id column.
class IssueReturnLineModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Code,
        Name,
        Spec,
        Unit,
        Price,
        IssuedQuantity,
        IssuedAmount,
        ReturnedBefore,
        Quantity,
        Amount,
        Id,
        ColumnCount
    };

    IssueReturnLineModel(const IssueReturns &returns, QObject *parent = nullptr);

    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    void clear() { setLines({}); }
    void setLines(const QList<IssueReturnLine> &lines);
    QList<IssueReturnLine> lines() const { return m_lines; }
    const IssueReturnLine &line(int row) const { return m_lines.at(row); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A typed quantity went beyond what was issued less what came back before.
    void overReturn(int row);

private:
    const IssueReturns &m_returns;
    QList<IssueReturnLine> m_lines;
    bool m_editable = false;
};

} // namespace varnock
