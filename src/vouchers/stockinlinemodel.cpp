#include "vouchers/stockinlinemodel.h"

#include "vouchers/stockinvouchers.h"

namespace varnock {

StockInLineModel::StockInLineModel(const StockInVouchers &vouchers, QObject *parent)
    : VoucherLineModel(ColumnCount, true, parent)
    , m_vouchers(vouchers)
    , m_lookup(vouchers.database())
    , m_formats(vouchers.formats())
{}

bool StockInLineModel::setMaterial(int row, const MaterialLookup::Row &material)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    StockInLine &line = m_lines[row];
    line.clbh = material.clbh;
    line.clmc = material.clmc;
    line.clgg = material.clgg;
    line.jzdw = material.jzdw;
    line.jhdj = material.jhdj;
    const StockInVouchers::Conversion c = m_vouchers.conversionOf(material.clbh);
    line.materialHsdw = c.hsdw;
    line.hsxs = c.hsxs;
    if (line.conversionUnit != c.hsdw)
        line.conversionUnit.clear();
    emitRowChanged(row);
    return true;
}

QString StockInLineModel::figureText(const StockInLine &line, int column) const
{
    if (!line.hasMaterial())
        return QString();
    switch (column) {
    case PlannedPrice:
        return m_formats.amountText(line.jhdj);
    case Price:
        return m_formats.amountText(line.price);
    case Quantity:
        return m_formats.quantityText(line.quantity);
    case PlannedAmount: {
        // In the conversion unit the quantity counts hsxs accounting units each.
        const Decimal quantity = line.inConversionUnit() && line.hsxs > 0
                                     ? line.quantity.timesFactor(line.hsxs)
                                     : line.quantity;
        return m_formats.amountText(m_formats.roundAmount(line.jhdj * quantity));
    }
    case Amount:
        return m_formats.amountText(line.amount);
    case Paid:
        return m_formats.amountText(line.paid);
    }
    return QString();
}

QVariant StockInLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    const StockInLine &line = m_lines.at(index.row());
    if (role == ConversionUnitsRole)
        return conversionUnits(line.materialHsdw);
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column(), PlannedPrice, Paid);
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
    case ConversionUnit:
        return line.conversionUnit;
    case Remark:
        return line.czzm;
    case Id:
        return line.id;
    default:
        return figureText(line, index.column());
    }
}

QVariant StockInLineModel::headerData(int section, Qt::Orientation orientation, int role) const
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
        return QStringLiteral(" 记账单位");
    case ConversionUnit:
        return QStringLiteral(" 换算单位");
    case PlannedPrice:
        return QStringLiteral(" 计划单价");
    case Price:
        return m_vouchers.kind().priceHeader;
    case Quantity:
        return QStringLiteral("  数  量");
    case PlannedAmount:
        return QStringLiteral(" 计划金额");
    case Amount:
        return QStringLiteral("实际金额");
    case Paid:
        return QStringLiteral("已付金额");
    case Remark:
        return QStringLiteral("   备注");
    case Id:
        return QStringLiteral("ID");
    }
    return QVariant();
}

Qt::ItemFlags StockInLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!m_editable || !index.isValid())
        return f;
    switch (index.column()) {
    case Code:
    case Remark:
        return f | Qt::ItemIsEditable;
    case ConversionUnit:
    case Price:
    case Quantity:
    case Amount:
    case Paid:
        // Figures belong to a material: pick it first.
        if (m_lines.at(index.row()).hasMaterial())
            return f | Qt::ItemIsEditable;
        return f;
    default:
        return f;
    }
}

void StockInLineModel::recomputeAmount(StockInLine &line) const
{
    line.amount = m_formats.roundAmount(line.price * line.quantity);
}

bool StockInLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    StockInLine &line = m_lines[row];
    const QString text = value.toString();
    switch (index.column()) {
    case Code: {
        const QString code = text.trimmed();
        if (code == line.clbh.trimmed())
            return true;
        if (code.isEmpty()) {
            const qint64 id = line.id;
            line = StockInLine();
            line.id = id;
            emitRowChanged(row);
            return true;
        }
        const std::optional<MaterialLookup::Row> material = m_lookup.find(code);
        if (!material)
            return false;
        return setMaterial(row, *material);
    }
    case Remark:
        line.czzm = text;
        break;
    case ConversionUnit:
        if (!text.isEmpty() && text != line.materialHsdw)
            return false;
        line.conversionUnit = text;
        break;
    case Price:
    case Quantity:
    case Amount:
    case Paid: {
        const std::optional<Decimal> number =
            text.trimmed().isEmpty() ? std::optional<Decimal>(Decimal()) : Decimal::parse(text);
        if (!number || number->isNegative())
            return false;
        if (index.column() == Price) {
            line.price = m_formats.roundAmount(*number);
            recomputeAmount(line);
        } else if (index.column() == Quantity) {
            line.quantity = m_formats.roundQuantity(*number);
            recomputeAmount(line);
        } else if (index.column() == Amount) {
            line.amount = m_formats.roundAmount(*number);
        } else {
            line.paid = m_formats.roundAmount(*number);
        }
        break;
    }
    default:
        return false;
    }
    emitRowChanged(row);
    return true;
}

} // namespace varnock
