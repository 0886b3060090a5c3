#include "vouchers/issuereturnlinemodel.h"

#include "vouchers/issuereturns.h"

namespace varnock {

IssueReturnLineModel::IssueReturnLineModel(const IssueReturns &returns, QObject *parent)
    : VoucherLineModel(ColumnCount, false, parent)
    , m_returns(returns)
{}

QVariant IssueReturnLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column(), Price, Amount);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const IssueReturnLine &line = m_lines.at(index.row());
    const Formats &f = m_returns.formats();
    switch (index.column()) {
    case Code:
        return line.clbh;
    case Name:
        return line.clmc;
    case Spec:
        return line.clgg;
    case Unit:
        return line.jzdw;
    case Price:
        return f.amountText(line.price);
    case IssuedQuantity:
        return f.quantityText(line.issuedQuantity);
    case IssuedAmount:
        return f.amountText(line.issuedAmount);
    case ReturnedBefore:
        return f.quantityText(line.returnedBefore);
    case Quantity:
        // An empty cell: the line is not returned.
        return line.isReturned() ? f.quantityText(line.quantity) : QString();
    case Amount:
        return line.isReturned() ? f.amountText(line.amount) : QString();
    case Id:
        return line.llid;
    }
    return QVariant();
}

QVariant IssueReturnLineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Code:
        return QStringLiteral("材料编号");
    case Name:
        return QStringLiteral("材料名称");
    case Spec:
        return QStringLiteral("材料规格");
    case Unit:
        return QStringLiteral("计量单位");
    case Price:
        return QStringLiteral("实际单价");
    case IssuedQuantity:
        return QStringLiteral("出库数量");
    case IssuedAmount:
        return QStringLiteral("出库金额");
    case ReturnedBefore:
        return QStringLiteral("以前退货");
    case Quantity:
        return QStringLiteral("退货数量");
    case Amount:
        return QStringLiteral("退货金额");
    case Id:
        return QStringLiteral("ID");
    }
    return QVariant();
}

Qt::ItemFlags IssueReturnLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid() && index.column() == Quantity)
        return f | Qt::ItemIsEditable;
    return f;
}

bool IssueReturnLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString().trimmed();
    const std::optional<Decimal> number =
        text.isEmpty() ? std::optional<Decimal>(Decimal()) : Decimal::parse(text);
    if (!number || number->isNegative())
        return false;
    const int row = index.row();
    IssueReturnLine &line = m_lines[row];
    const Decimal quantity = m_returns.formats().roundQuantity(*number);
    const bool over = IssueReturns::exceeds(line, quantity);
    m_returns.setQuantity(line, over ? Decimal() : quantity);
    emit dataChanged(this->index(row, 0), this->index(row, ColumnCount - 1));
    if (over)
        emit overReturn(row);
    return true;
}

} // namespace varnock
