#include "vouchers/issuelinemodel.h"

#include "vouchers/issuevouchers.h"

namespace varnock {

IssueLineModel::IssueLineModel(const IssueVouchers &vouchers, QObject *parent)
    : VoucherLineModel(ColumnCount, true, parent)
    , m_vouchers(vouchers)
    , m_materials(vouchers.database())
    , m_formats(vouchers.formats())
{}

bool IssueLineModel::setMaterial(int row, const IssueMaterials::Row &material)
{
    if (row < 0 || row >= m_lines.size())
        return false;
    IssueLine &line = m_lines[row];
    line.clbh = material.clbh;
    line.clmc = material.clmc;
    line.clgg = material.clgg;
    line.jzdw = material.jzdw;
    line.plannedPrice = material.jjfs;
    line.materialHsdw = material.hsdw;
    line.hsxs = material.hsxs;
    if (line.conversionUnit != material.hsdw)
        line.conversionUnit.clear();
    line.stockQuantity = material.kcsl;
    line.stockAmount = material.kcje;
    m_vouchers.priceLine(line);
    emitRowChanged(row);
    return true;
}

int IssueLineModel::firstEmptyRow()
{
    for (int row = 0; row < m_lines.size(); ++row) {
        if (!m_lines.at(row).hasMaterial())
            return row;
    }
    return appendEmpty();
}

Decimal IssueLineModel::total() const
{
    Decimal sum;
    for (const IssueLine &line : m_lines) {
        if (line.hasMaterial())
            sum += line.amount;
    }
    return sum;
}

QString IssueLineModel::figureText(const IssueLine &line, int column) const
{
    if (!line.hasMaterial())
        return QString();
    const bool priced = !m_vouchers.isFirstInFirstOut();
    switch (column) {
    case Price:
        return priced ? m_formats.amountText(line.price) : QString();
    case StockQuantity:
        return m_formats.quantityText(line.stockQuantity);
    case StockAmount:
        return m_formats.amountText(line.stockAmount);
    case Quantity:
        return m_formats.quantityText(line.quantity);
    case Amount:
        return priced ? m_formats.amountText(line.amount) : QString();
    case Factor:
        return line.inConversionUnit() ? QString::number(line.hsxs) : QString();
    }
    return QString();
}

QVariant IssueLineModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return QVariant();
    const IssueLine &line = m_lines.at(index.row());
    if (role == ConversionUnitsRole)
        return conversionUnits(line.materialHsdw);
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column(), Price, Factor);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (index.column()) {
    case Id:
        return line.id;
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
        return line.bz;
    default:
        return figureText(line, index.column());
    }
}

QVariant IssueLineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Id:
        return QStringLiteral("id");
    case Code:
        return QStringLiteral("材料编号");
    case Name:
        return QStringLiteral("材料名称");
    case Spec:
        return QStringLiteral("材料规格");
    case Unit:
        return QStringLiteral("记账单位");
    case ConversionUnit:
        return QStringLiteral("换算单位");
    case Price:
        return QStringLiteral("实际单价");
    case StockQuantity:
        return QStringLiteral("库存数量");
    case StockAmount:
        return QStringLiteral("库存金额");
    case Quantity:
        return QStringLiteral("出库数量");
    case Amount:
        return QStringLiteral("出库金额");
    case Factor:
        return QStringLiteral("换算系数");
    case Remark:
        return QStringLiteral("备  注");
    }
    return QVariant();
}

Qt::ItemFlags IssueLineModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!m_editable || !index.isValid())
        return f;
    const IssueLine &line = m_lines.at(index.row());
    switch (index.column()) {
    case Code:
        return f | Qt::ItemIsEditable;
    case ConversionUnit:
    case Quantity:
    case Remark:
        // Figures belong to a material: pick it first.
        return line.hasMaterial() ? f | Qt::ItemIsEditable : f;
    case Price:
        // Under first in first out the posting prices the line; a planned-price material
        // leaves stock at its planned price only.
        if (line.hasMaterial() && !m_vouchers.isFirstInFirstOut() && !line.plannedPrice)
            return f | Qt::ItemIsEditable;
        return f;
    default:
        return f;
    }
}

bool IssueLineModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    IssueLine &line = m_lines[row];
    const QString text = value.toString();
    switch (index.column()) {
    case Code: {
        const QString code = text.trimmed();
        if (code == line.clbh.trimmed())
            return true;
        if (code.isEmpty()) {
            const qint64 id = line.id;
            line = IssueLine();
            line.id = id;
            emitRowChanged(row);
            return true;
        }
        const std::optional<IssueMaterials::Row> material = m_materials.find(code);
        if (!material || !material->mayBeIssued())
            return false;
        return setMaterial(row, *material);
    }
    case Remark:
        line.bz = text;
        break;
    case ConversionUnit:
        if (!text.isEmpty() && text != line.materialHsdw)
            return false;
        if (text == line.conversionUnit)
            return true;
        line.conversionUnit = text;
        // The price is per unit: a different unit takes the stock price anew.
        m_vouchers.priceLine(line);
        break;
    case Price:
    case Quantity: {
        const std::optional<Decimal> number =
            text.trimmed().isEmpty() ? std::optional<Decimal>(Decimal()) : Decimal::parse(text);
        if (!number || number->isNegative())
            return false;
        if (index.column() == Price)
            line.price = m_formats.roundAmount(*number);
        else
            line.quantity = m_formats.roundQuantity(*number);
        if (!m_vouchers.isFirstInFirstOut())
            line.amount = m_formats.roundAmount(line.price * line.quantity);
        break;
    }
    default:
        return false;
    }
    emitRowChanged(row);
    return true;
}

} // namespace varnock
