#include "vouchers/stockinreturnlinemodel.h"

#include "vouchers/stockinreturns.h"

namespace varnock {

StockInReturnLineModel::StockInReturnLineModel(const StockInReturns &returns, QObject *parent)
    : VoucherLineModel(ColumnCount, false, parent)
    , m_returns(returns)
    , m_formats(returns.formats())
{}

QString StockInReturnLineModel::figureText(const StockInReturnLine &line, int column) const
{
    switch (column) {
    case Price:
        return m_formats.amountText(line.price);
    case ReceivedQuantity:
        return m_formats.quantityText(line.receivedQuantity);
    case ReceivedAmount:
        return m_formats.amountText(line.receivedAmount);
    case ReturnedBefore:
        return m_formats.quantityText(line.returnedBefore);
    case Quantity:
        return line.isReturned() ? m_formats.quantityText(line.quantity) : QString();
    case Amount:
        return line.isReturned() ? m_formats.amountText(line.amount) : QString();
    case PlannedAmount:
        // What the returned goods are worth at the planned price.
        return line.isReturned()
                   ? m_formats.amountText(m_formats.roundAmount(line.jhdj * line.quantity))
                   : QString();
    case PlannedPrice:
        return m_formats.amountText(line.jhdj);
    }
    return QString();
}

QVariant StockInReturnLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    const StockInReturnLine &line = m_lines.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column(), Price, PlannedPrice);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (index.column()) {
    case Code:
        return line.clbh;
    case Name:
        return line.clmc;
    case Spec:
        return line.clgg;
    case Unit:
        return line.jzdw;
    case Id:
        return line.id;
    default:
        return figureText(line, index.column());
    }
}

QVariant StockInReturnLineModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Code:
        return QStringLiteral(" 材料编号");
    case Name:
        return QStringLiteral(" 材料名称");
    case Spec:
        return QStringLiteral(" 材料规格");
    case Unit:
        return QStringLiteral(" 单位");
    case Price:
        return QStringLiteral(" 入库单价");
    case ReceivedQuantity:
        return QStringLiteral(" 入库数量");
    case ReceivedAmount:
        return QStringLiteral(" 入库金额");
    case ReturnedBefore:
        return QStringLiteral(" 已退数量");
    case Quantity:
        return QStringLiteral(" 退货数量");
    case Amount:
        return QStringLiteral(" 退货金额");
    case PlannedAmount:
        return QStringLiteral("计划金额");
    case PlannedPrice:
        return QStringLiteral("计划单价");
    case Id:
        return QStringLiteral("ID");
    }
    return QVariant();
}

Qt::ItemFlags StockInReturnLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid() && index.column() == Quantity)
        return f | Qt::ItemIsEditable;
    return f;
}

bool StockInReturnLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString().trimmed();
    const std::optional<Decimal> number =
        text.isEmpty() ? std::optional<Decimal>(Decimal()) : Decimal::parse(text);
    if (!number || number->isNegative())
        return false;
    StockInReturnLine &line = m_lines[index.row()];
    line.quantity = m_formats.roundQuantity(*number);
    line.amount = m_returns.amountOf(line.quantity, line.price);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

} // namespace varnock
