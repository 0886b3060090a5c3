#include "ledger/adjustmentlinemodel.h"

namespace varnock {

AdjustmentLineModel::AdjustmentLineModel(const Formats &formats, QObject *parent)
    : QAbstractTableModel(parent)
    , m_formats(formats)
{}

void AdjustmentLineModel::load(const QList<AmountAdjustments::Line> &lines)
{
    beginResetModel();
    m_lines.clear();
    for (const AmountAdjustments::Line &l : lines)
        m_lines.append({l.id, l.clbh, l.clmc, l.clgg, l.jzdw, l.kcje, l.je, l.bz});
    m_entering = false;
    endResetModel();
}

void AdjustmentLineModel::setEntering(bool entering)
{
    m_entering = entering;
    if (!m_lines.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
}

int AdjustmentLineModel::appendNew()
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_lines.append(Line{});
    endInsertRows();
    return row;
}

bool AdjustmentLineModel::setMaterial(int row, const MaterialLookup::Row &material)
{
    if (row < 0 || row >= m_lines.size() || !m_entering)
        return false;
    Line &l = m_lines[row];
    l.clbh = material.clbh;
    l.clmc = material.clmc;
    l.clgg = material.clgg;
    l.jzdw = material.jzdw;
    l.kcje = material.kcje;
    emit dataChanged(index(row, 0), index(row, Columns - 1));
    return true;
}

qint64 AdjustmentLineModel::idAt(int row) const
{
    return row >= 0 && row < m_lines.size() ? m_lines.at(row).id : 0;
}

QList<std::pair<qint64, AmountAdjustments::Entry>> AdjustmentLineModel::entries() const
{
    QList<std::pair<qint64, AmountAdjustments::Entry>> entries;
    for (const Line &l : m_lines) {
        if (l.id == 0 && l.clbh.isEmpty() && !l.je && l.bz.isEmpty())
            continue;
        entries.append({l.id, {l.clbh, l.je.value_or(Decimal()), l.bz}});
    }
    return entries;
}

int AdjustmentLineModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int AdjustmentLineModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant AdjustmentLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line &l = m_lines.at(index.row());
    if (role == Qt::TextAlignmentRole && (index.column() == Stock || index.column() == Amount))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Id:
        return l.id;
    case Code:
        return l.clbh;
    case Name:
        return l.clmc;
    case Spec:
        return l.clgg;
    case Unit:
        return l.jzdw;
    case Stock:
        return l.clbh.isEmpty() ? QString() : m_formats.amountText(l.kcje);
    case Amount:
        return l.je ? m_formats.amountText(*l.je) : QString();
    case Remark:
        return l.bz;
    default:
        return {};
    }
}

bool AdjustmentLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Line &l = m_lines[index.row()];
    if (index.column() == Amount) {
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            l.je.reset();
        } else {
            const auto figure = Decimal::parse(text);
            if (!figure)
                return false;
            l.je = m_formats.roundAmount(*figure);
        }
    } else if (index.column() == Remark) {
        l.bz = value.toString();
    } else {
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags AdjustmentLineModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool fresh = m_lines.value(index.row()).id == 0;
    if (m_entering &&
        (index.column() == Amount || index.column() == Remark || (index.column() == Code && fresh)))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant AdjustmentLineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList captions = {
        QStringLiteral("ID"),         QStringLiteral("  材料编号"),
        QStringLiteral("  材料名称"), QStringLiteral("  材料规格"),
        QStringLiteral("  单    位"), QStringLiteral("  库存金额"),
        QStringLiteral("  处理金额"), QStringLiteral("  备         注")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace varnock
