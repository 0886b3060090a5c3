#include "print/reporttable.h"

namespace varnock {

QString ReportPeriod::line() const
{
    return QStringLiteral("     ") + from.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral("   至   ") + to.toString(QStringLiteral("yyyy-MM-dd"));
}

ReportTable::ReportTable(QString name, QString title, QList<Column> columns)
    : m_name(std::move(name))
    , m_title(std::move(title))
    , m_columns(std::move(columns))
{}

int ReportTable::columnOf(const QString &field) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

void ReportTable::addRow(QVariantList cells, RowStyle style)
{
    cells.resize(m_columns.size());
    m_rows.append(Row{style, std::move(cells)});
}

QVariant ReportTable::figureOrEmpty(const QVariant &stored)
{
    return stored.isNull() ? QVariant() : figure(Decimal::fromVariant(stored));
}

Decimal ReportTable::figureAt(int row, int column) const
{
    return Decimal::fromRaw(m_rows.at(row).cells.at(column).toLongLong());
}

bool ReportTable::isEmptyAt(int row, int column) const
{
    const QVariant &v = m_rows.at(row).cells.at(column);
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

QString ReportTable::displayText(int row, int column, const Formats &formats) const
{
    const QVariant &v = m_rows.at(row).cells.at(column);
    if (v.isNull())
        return {};
    const Column::Kind kind = m_columns.at(column).kind;
    switch (kind) {
    case Column::Text:
        return v.toString();
    case Column::Integer:
        return QString::number(v.toLongLong());
    case Column::Quantity:
    case Column::Amount:
    case Column::Price:
    case Column::Number:
        return figureText(kind, Decimal::fromRaw(v.toLongLong()), formats);
    }
    return {};
}

QString ReportTable::figureText(Column::Kind kind, Decimal value, const Formats &formats)
{
    switch (kind) {
    case Column::Quantity:
        return formats.quantityText(value);
    case Column::Number:
        return value.toString();
    default:
        return formats.amountText(value);
    }
}

QString ReportTable::numberFormat(Column::Kind kind, const Formats &formats)
{
    switch (kind) {
    case Column::Text:
        return {};
    case Column::Integer:
        return QStringLiteral("0");
    case Column::Quantity:
        return formats.quantityFormat();
    case Column::Amount:
    case Column::Price:
        return formats.amountFormat();
    case Column::Number:
        return QStringLiteral("General");
    }
    return {};
}

} // namespace varnock
