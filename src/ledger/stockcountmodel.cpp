#include "ledger/stockcountmodel.h"

namespace varnock {

StockCountModel::StockCountModel(const Formats &formats, QObject *parent)
    : QAbstractTableModel(parent)
    , m_formats(formats)
{}

void StockCountModel::setRows(const QList<StockCount::Row> &rows)
{
    beginResetModel();
    m_lines.clear();
    for (const StockCount::Row &r : rows)
        m_lines.append({r, std::nullopt, std::nullopt});
    endResetModel();
}

QList<StockCount::Counted> StockCountModel::counted() const
{
    QList<StockCount::Counted> lines;
    for (const Line &l : m_lines) {
        if (l.counted)
            lines.append({l.book.clbh, *l.counted, l.price.value_or(Decimal())});
    }
    return lines;
}

int StockCountModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int StockCountModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant StockCountModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line &l = m_lines.at(index.row());
    if (role == Qt::TextAlignmentRole && index.column() >= BookQuantity)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Code:
        return l.book.clbh;
    case Name:
        return l.book.clmc;
    case Spec:
        return l.book.clgg;
    case Unit:
        return l.book.jzdw;
    case BookQuantity:
        return m_formats.quantityText(l.book.kcsl);
    case BookAmount:
        return m_formats.amountText(l.book.kcje);
    case Counted:
        return l.counted ? m_formats.quantityText(*l.counted) : QString();
    case Price:
        return l.price ? m_formats.amountText(*l.price) : QString();
    default:
        return {};
    }
}

bool StockCountModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString().trimmed();
    std::optional<Decimal> figure;
    if (!text.isEmpty()) {
        figure = Decimal::parse(text);
        if (!figure)
            return false;
    }
    Line &l = m_lines[index.row()];
    if (index.column() == Counted)
        l.counted = figure ? std::optional(m_formats.roundQuantity(*figure)) : std::nullopt;
    else
        l.price = figure;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags StockCountModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Counted || index.column() == Price)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant StockCountModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions = {QStringLiteral(" 材料编号"), QStringLiteral(" 材料名称"),
                                         QStringLiteral(" 规格型号"), QStringLiteral(" 计量单位"),
                                         QStringLiteral(" 账面数量"), QStringLiteral(" 账面金额"),
                                         QStringLiteral(" 盘存数量"), QStringLiteral(" 盘存单价")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace varnock
