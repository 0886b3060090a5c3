#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <limits>
#include <optional>
#include <vector>

namespace varnock {

// The dates a period report covers, both inclusive.
struct ReportPeriod
{
    QDate from;
    QDate to;

    // The period line of the printed and exported reports: "     2026-03-01   至   2026-03-31".
    QString line() const;
};

// What a report builder hands to every medium: the screen, paper, PDF and the workbook. The
// cells keep their type (text, whole number or a figure), so a workbook gets numbers and the
// screen gets the set's display formats; nothing here is formatted for one medium.
class ReportTable
{
public:
    struct Column
    {
        enum Kind {
            Text,
            Integer,
            Quantity, // shown with the quantity format (LSWS)
            Amount,   // shown with the amount format (JEXSW)
            Price,    // unit prices: shown with the amount format
            Number,   // other figures (conversion factors): as many places as they have
        };

        QString field;   // the report query's field name; the workbook template's placeholder
        QString heading; // column heading on screen and paper
        Kind kind = Text;

        bool isFigure() const { return kind != Text && kind != Integer; }
        bool isNumber() const { return kind != Text; }
    };

    // Group rows (subtotals, totals) are set apart on every medium.
    enum class RowStyle : quint8 { Detail, Subtotal, Total };

    // A text held once by the table, however many cells show it.
    using TextId = qint32;

    ReportTable() = default;
    ReportTable(QString name, QString title, QList<Column> columns);

    // The report's name: also the name of its workbook template.
    QString name() const { return m_name; }
    QString title() const { return m_title; }
    const QList<Column> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    // The column of a field; -1 when the report has none.
    int columnOf(const QString &field) const;

    const std::optional<ReportPeriod> &period() const { return m_period; }
    void setPeriod(const ReportPeriod &period) { m_period = period; }

    int rowCount() const { return int(m_styles.size()); }
    bool isEmpty() const { return m_styles.empty(); }
    RowStyle style(int row) const { return m_styles[size_t(row)]; }

    // Appends a row of one value a column: QString for text, a whole number for whole numbers,
    // Decimal raw (ten-thousandths, as qint64) for figures; a null QVariant is an empty cell.
    // Missing cells stay empty, extra ones are dropped.
    void addRow(const QVariantList &cells, RowStyle style = RowStyle::Detail);
    // Appends a row of empty cells and returns its index: the setters below fill it, for
    // builders of many rows that make no QVariant a cell.
    int appendRow(RowStyle style = RowStyle::Detail);
    void setText(int row, int column, const QString &value);
    void setText(int row, int column, TextId value);
    void setInteger(int row, int column, qint64 value);
    void setFigure(int row, int column, Decimal value);
    // The id of a text for setText(), kept from now on.
    TextId textId(const QString &value);
    void reserve(int rows);

    // Cell values for addRow().
    static QVariant text(const QString &value) { return value; }
    static QVariant figure(Decimal value) { return QVariant(qlonglong(value.raw())); }
    // NULL stays an empty cell.
    static QVariant figureOrEmpty(const QVariant &stored);

    // The cell as addRow() takes it, to carry it into another table.
    QVariant value(int row, int column) const;
    // The text of a text cell; empty for an empty one.
    QString textAt(int row, int column) const;
    // The id of a text cell's text (see texts()); -1 for an empty cell.
    TextId textIdAt(int row, int column) const;
    // Every text the table holds, by its id.
    const QList<QString> &texts() const { return m_texts; }
    // The whole number of a whole-number cell (zero for an empty one).
    qint64 integerAt(int row, int column) const;
    // The figure of a figure cell (zero for an empty one).
    Decimal figureAt(int row, int column) const;
    // No value, or an empty text.
    bool isEmptyAt(int row, int column) const;
    // Holds no value at all: NULL in the report table, where an empty text is ''.
    bool isNullAt(int row, int column) const { return cell(row, column) == Empty; }
    // The cell as the program shows it: figures in the set's formats, empty cells empty.
    QString displayText(int row, int column, const Formats &formats) const;
    // A figure in its column's format.
    static QString figureText(Column::Kind kind, Decimal value, const Formats &formats);
    // The format text ("0.00") of a number column; empty for text.
    static QString numberFormat(Column::Kind kind, const Formats &formats);

private:
    // A cell without a value. No figure reaches it: Decimal refuses to negate it.
    static constexpr qint64 Empty = std::numeric_limits<qint64>::min();

    // Rows are kept in blocks of this many: a growing table never copies the cells it holds,
    // so a large report never needs room for itself twice.
    static constexpr int RowsPerBlock = 1024;

    qint64 cell(int row, int column) const
    {
        return m_blocks[size_t(row / RowsPerBlock)]
                       [size_t(row % RowsPerBlock) * size_t(m_columns.size()) + size_t(column)];
    }
    qint64 &cell(int row, int column)
    {
        return m_blocks[size_t(row / RowsPerBlock)]
                       [size_t(row % RowsPerBlock) * size_t(m_columns.size()) + size_t(column)];
    }

    QString m_name;
    QString m_title;
    QList<Column> m_columns;
    std::optional<ReportPeriod> m_period;
    // Eight bytes a cell, row after row: the whole number, the figure's raw value, or for a
    // text column the id of its text; Empty for none.
    std::vector<std::vector<qint64>> m_blocks;
    std::vector<RowStyle> m_styles;
    QList<QString> m_texts;
    QHash<QString, TextId> m_textIds;
};

} // namespace varnock
