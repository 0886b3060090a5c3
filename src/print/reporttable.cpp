#include "print/reporttable.h"

#include <algorithm>

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

void ReportTable::reserve(int rows)
{
    m_blocks.reserve(size_t(rows / RowsPerBlock + 1));
    m_styles.reserve(size_t(rows));
}

int ReportTable::appendRow(RowStyle style)
{
    const size_t columns = size_t(m_columns.size());
    if (m_styles.size() % RowsPerBlock == 0) {
        // The first block grows as rows come, so that a small table stays small; the later
        // ones, of a table already large, are made whole at once.
        m_blocks.emplace_back();
        if (m_blocks.size() > 1)
            m_blocks.back().reserve(RowsPerBlock * columns);
    }
    m_blocks.back().resize(m_blocks.back().size() + columns, Empty);
    m_styles.push_back(style);
    return int(m_styles.size()) - 1;
}

void ReportTable::addRow(const QVariantList &cells, RowStyle style)
{
    const int row = appendRow(style);
    const int count = std::min(int(cells.size()), columnCount());
    for (int c = 0; c < count; ++c) {
        const QVariant &v = cells.at(c);
        if (v.isNull())
            continue;
        if (m_columns.at(c).kind == Column::Text) {
            setText(row, c, v.toString());
            continue;
        }
        // An empty text in a number column is no number.
        if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
            continue;
        cell(row, c) = v.toLongLong();
    }
}

ReportTable::TextId ReportTable::textId(const QString &value)
{
    const auto it = m_textIds.constFind(value);
    if (it != m_textIds.cend())
        return *it;
    const TextId id = TextId(m_texts.size());
    m_texts.append(value);
    m_textIds.insert(value, id);
    return id;
}

void ReportTable::setText(int row, int column, const QString &value)
{
    setText(row, column, textId(value));
}

void ReportTable::setText(int row, int column, TextId value)
{
    Q_ASSERT(m_columns.at(column).kind == Column::Text);
    Q_ASSERT(value >= 0 && value < m_texts.size());
    cell(row, column) = value;
}

void ReportTable::setInteger(int row, int column, qint64 value)
{
    Q_ASSERT(m_columns.at(column).kind == Column::Integer);
    cell(row, column) = value;
}

void ReportTable::setFigure(int row, int column, Decimal value)
{
    Q_ASSERT(m_columns.at(column).isFigure());
    cell(row, column) = value.raw();
}

QVariant ReportTable::figureOrEmpty(const QVariant &stored)
{
    return stored.isNull() ? QVariant() : figure(Decimal::fromVariant(stored));
}

QVariant ReportTable::value(int row, int column) const
{
    const qint64 v = cell(row, column);
    if (v == Empty)
        return {};
    if (m_columns.at(column).kind == Column::Text)
        return m_texts.at(v);
    return QVariant(qlonglong(v));
}

QString ReportTable::textAt(int row, int column) const
{
    const qint64 v = cell(row, column);
    if (v == Empty)
        return {};
    if (m_columns.at(column).kind == Column::Text)
        return m_texts.at(v);
    return QString::number(v);
}

ReportTable::TextId ReportTable::textIdAt(int row, int column) const
{
    Q_ASSERT(m_columns.at(column).kind == Column::Text);
    const qint64 v = cell(row, column);
    return v == Empty ? -1 : TextId(v);
}

qint64 ReportTable::integerAt(int row, int column) const
{
    const qint64 v = cell(row, column);
    return v == Empty || m_columns.at(column).kind == Column::Text ? 0 : v;
}

Decimal ReportTable::figureAt(int row, int column) const
{
    return Decimal::fromRaw(integerAt(row, column));
}

bool ReportTable::isEmptyAt(int row, int column) const
{
    const qint64 v = cell(row, column);
    return v == Empty || (m_columns.at(column).kind == Column::Text && m_texts.at(v).isEmpty());
}

QString ReportTable::displayText(int row, int column, const Formats &formats) const
{
    const qint64 v = cell(row, column);
    if (v == Empty)
        return {};
    const Column::Kind kind = m_columns.at(column).kind;
    switch (kind) {
    case Column::Text:
        return m_texts.at(v);
    case Column::Integer:
        return QString::number(v);
    case Column::Quantity:
    case Column::Amount:
    case Column::Price:
    case Column::Number:
        return figureText(kind, Decimal::fromRaw(v), formats);
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
