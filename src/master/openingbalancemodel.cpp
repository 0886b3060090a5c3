#include "master/openingbalancemodel.h"

namespace varnock {

OpeningBalanceModel::OpeningBalanceModel(Database &db, const OpeningBalances &balances,
                                         QObject *parent)
    : QAbstractTableModel(parent)
    , m_lookup(db)
    , m_balances(balances)
    , m_formats(balances.formats())
{}

void OpeningBalanceModel::load(const QList<OpeningBalances::Row> &rows)
{
    beginResetModel();
    m_lines.clear();
    for (const OpeningBalances::Row &row : rows) {
        Line line;
        line.state = State::Saved;
        line.id = row.id;
        line.code = row.clbh;
        line.name = row.clmc;
        line.spec = row.clgg;
        line.unit = row.jzdw;
        line.planned = row.jjfs;
        line.plannedPrice = row.jhdj;
        line.figures = {row.kcdj, row.kcsl, row.kcje};
        m_lines.append(line);
    }
    endResetModel();
}

int OpeningBalanceModel::appendNew()
{
    const int row = int(m_lines.size());
    beginInsertRows(QModelIndex(), row, row);
    m_lines.append(Line());
    endInsertRows();
    return row;
}

bool OpeningBalanceModel::beginChange(int row)
{
    if (row < 0 || row >= m_lines.size() || m_lines[row].state != State::Saved)
        return false;
    m_lines[row].state = State::Changed;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

bool OpeningBalanceModel::setMaterial(int row, const MaterialLookup::Row &material)
{
    if (row < 0 || row >= m_lines.size() || m_lines[row].state != State::New)
        return false;
    Line &line = m_lines[row];
    line.code = material.clbh;
    setMaterialOf(line, material);
    emit dataChanged(index(row, Code), index(row, Planned));
    return true;
}

void OpeningBalanceModel::setMaterialOf(Line &line,
                                        const std::optional<MaterialLookup::Row> &material)
{
    line.name = material ? material->clmc : QString();
    line.spec = material ? material->clgg : QString();
    line.unit = material ? material->jzdw : QString();
    line.planned = material && material->jjfs;
    line.plannedPrice = material ? material->jhdj : Decimal();
}

OpeningBalanceModel::State OpeningBalanceModel::stateAt(int row) const
{
    return m_lines.value(row).state;
}

qint64 OpeningBalanceModel::idAt(int row) const
{
    return m_lines.value(row).id;
}

QString OpeningBalanceModel::codeAt(int row) const
{
    return m_lines.value(row).code;
}

bool OpeningBalanceModel::hasPending() const
{
    for (const Line &line : m_lines) {
        if (line.state != State::Saved)
            return true;
    }
    return false;
}

QList<OpeningBalances::NewRow> OpeningBalanceModel::newRows() const
{
    QList<OpeningBalances::NewRow> rows;
    for (const Line &line : m_lines) {
        if (line.state != State::New)
            continue;
        const OpeningBalances::Figures &f = line.figures;
        // The lookup leaves an empty row below the last one; it is no row to save.
        if (line.code.isEmpty() && !f.price && !f.quantity && !f.amount)
            continue;
        rows.append({line.code, f});
    }
    return rows;
}

QList<QPair<qint64, OpeningBalances::Figures>> OpeningBalanceModel::changedRows() const
{
    QList<QPair<qint64, OpeningBalances::Figures>> rows;
    for (const Line &line : m_lines) {
        if (line.state == State::Changed)
            rows.append({line.id, line.figures});
    }
    return rows;
}

int OpeningBalanceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int OpeningBalanceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString OpeningBalanceModel::figureText(int column, const std::optional<Decimal> &value) const
{
    if (!value)
        return QString();
    return column == Quantity ? m_formats.quantityText(*value) : m_formats.amountText(*value);
}

QVariant OpeningBalanceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const Line &line = m_lines[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() >= Price)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Id:
        return line.id;
    case Code:
        return line.code;
    case Name:
        return line.name;
    case Spec:
        return line.spec;
    case Unit:
        return line.unit;
    case Price:
        return figureText(Price, line.figures.price);
    case Quantity:
        return figureText(Quantity, line.figures.quantity);
    case Amount:
        return figureText(Amount, line.figures.amount);
    case Planned:
        if (!line.planned || !line.figures.quantity)
            return QString();
        return m_formats.amountText(
            m_balances.plannedValue(*line.figures.quantity, line.plannedPrice));
    default:
        return {};
    }
}

QVariant OpeningBalanceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section == Planned)
        return QStringLiteral("计划价材料按库存数量×计划单价计入库存");
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList headers = {QStringLiteral("ID"),
                                        QStringLiteral("材 料 编 号"),
                                        QStringLiteral("     材 料 名 称 "),
                                        QStringLiteral("   材 料 规 格 "),
                                        QStringLiteral("记账单位"),
                                        QStringLiteral("  库存单价"),
                                        QStringLiteral("  库存数量"),
                                        QStringLiteral("  库存金额"),
                                        QStringLiteral(" 计划价金额")};
    return headers.value(section);
}

Qt::ItemFlags OpeningBalanceModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || index.row() >= m_lines.size())
        return f;
    const State state = m_lines[index.row()].state;
    const bool figure = index.column() >= Price && index.column() <= Amount;
    if ((state == State::New && (figure || index.column() == Code)) ||
        (state == State::Changed && figure))
        f |= Qt::ItemIsEditable;
    return f;
}

bool OpeningBalanceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Line &line = m_lines[index.row()];
    const QString text = value.toString().trimmed();
    if (index.column() == Code) {
        // A typed code fills the material's texts when the catalogue knows it.
        line.code = text;
        setMaterialOf(line, text.isEmpty() ? std::nullopt : m_lookup.find(text));
        emit dataChanged(index.siblingAtColumn(Code), index.siblingAtColumn(Planned));
        return true;
    }
    std::optional<Decimal> typed;
    if (!text.isEmpty()) {
        typed = Decimal::parse(text);
        if (!typed)
            return false;
    }
    if (index.column() == Quantity)
        line.figures.quantity = typed ? m_formats.roundQuantity(*typed) : typed;
    else if (index.column() == Price)
        line.figures.price = typed ? m_formats.roundAmount(*typed) : typed;
    else
        line.figures.amount = typed ? m_formats.roundAmount(*typed) : typed;
    recompute(line, index.column());
    emit dataChanged(index.siblingAtColumn(Price), index.siblingAtColumn(Planned));
    return true;
}

void OpeningBalanceModel::recompute(Line &line, int typedColumn)
{
    OpeningBalances::Figures &f = line.figures;
    if (typedColumn == Amount) {
        if (f.amount && f.quantity) {
            if (const std::optional<Decimal> price = m_balances.priceFor(*f.amount, *f.quantity))
                f.price = price;
        }
    } else if (f.price && f.quantity) {
        f.amount = m_balances.amountFor(*f.price, *f.quantity);
    }
}

} // namespace varnock
