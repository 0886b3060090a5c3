#include "master/cataloguetablemodel.h"

namespace varnock {

CatalogueTableModel::CatalogueTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void CatalogueTableModel::setRows(QList<CatalogueRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

std::optional<Catalogue::Sort> CatalogueTableModel::sortFor(int column)
{
    switch (column) {
    case Clbh:
        return Catalogue::Sort::Code;
    case Clmc:
        return Catalogue::Sort::Name;
    case Clgg:
        return Catalogue::Sort::Spec;
    case Jhdj:
        return Catalogue::Sort::PlannedPrice;
    default:
        return std::nullopt;
    }
}

int CatalogueTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CatalogueTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CatalogueTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const CatalogueRow &r = m_rows.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Jhdj || index.column() == Hsxs)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole)
        return {};
    // Categories carry no unit, price or pricing method.
    switch (index.column()) {
    case Clbh:
        return r.clbh;
    case Clmc:
        return r.clmc;
    case Clgg:
        return r.clgg;
    case Jzdw:
        return r.jzdw;
    case Jjfs:
        if (!r.sfmj)
            return QString();
        return r.jjfs ? QStringLiteral("计划单价") : QStringLiteral("实际单价");
    case Jhdj:
        if (!r.sfmj)
            return QString();
        // Two places as money reads, four when the price has them.
        return r.jhdj.toString(r.jhdj.rounded(2) == r.jhdj ? 2 : 4);
    case Hsdw:
        return r.hsdw;
    case Hsxs:
        return r.hsxs ? QString::number(*r.hsxs, 'g', 12) : QString();
    case Sfmj:
        return r.sfmj ? QStringLiteral("是") : QStringLiteral("否");
    default:
        return {};
    }
}

QVariant CatalogueTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const QStringList captions = {
        QStringLiteral("材料编号"), QStringLiteral("材料名称"), QStringLiteral("材料规格"),
        QStringLiteral("计量单位"), QStringLiteral("计价方式"), QStringLiteral("计划单价"),
        QStringLiteral("换算单位"), QStringLiteral("换算系数"), QStringLiteral("是否末级")};
    return captions.value(section);
}

} // namespace varnock
