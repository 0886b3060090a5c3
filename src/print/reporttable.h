#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

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
    enum class RowStyle { Detail, Subtotal, Total };

    struct Row
    {
        RowStyle style = RowStyle::Detail;
        // One value a column: QString for text, qint64 for whole numbers, Decimal raw
        // (ten-thousandths, as qint64) for figures; a null QVariant is an empty cell.
        QVariantList cells;
    };

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

    const QList<Row> &rows() const { return m_rows; }
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }

    // Appends a row; missing cells stay empty, extra ones are dropped.
    void addRow(QVariantList cells, RowStyle style = RowStyle::Detail);

    // Cell values for addRow().
    static QVariant text(const QString &value) { return value; }
    static QVariant figure(Decimal value) { return QVariant(qlonglong(value.raw())); }
    // NULL stays an empty cell.
    static QVariant figureOrEmpty(const QVariant &stored);

    // The figure of a figure cell (zero for an empty one).
    Decimal figureAt(int row, int column) const;
    bool isEmptyAt(int row, int column) const;
    // The cell as the program shows it: figures in the set's formats, empty cells empty.
    QString displayText(int row, int column, const Formats &formats) const;
    // A figure in its column's format.
    static QString figureText(Column::Kind kind, Decimal value, const Formats &formats);
    // The format text ("0.00") of a number column; empty for text.
    static QString numberFormat(Column::Kind kind, const Formats &formats);

private:
    QString m_name;
    QString m_title;
    QList<Column> m_columns;
    std::optional<ReportPeriod> m_period;
    QList<Row> m_rows;
};

} // namespace varnock
