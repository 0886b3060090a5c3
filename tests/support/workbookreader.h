#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace varnock::test {

// Reads back the first sheet of an .xlsx file: the cells with their types, number formats and
// boldness, the frozen pane, the column widths and the sheet's name.
class WorkbookReader
{
public:
    struct Cell
    {
        bool isNumber = false;
        QString text; // a string cell's text
        double number = 0;
        QString format; // number format code ("General", "0.00", …)
        bool bold = false;
    };

    // nullopt when the file is not a readable workbook.
    static std::optional<WorkbookReader> read(const QString &path);

    std::optional<Cell> cell(const QString &ref) const; // "B1"
    QString text(const QString &ref) const;             // empty for a missing or number cell
    int rowCount() const { return m_rows; }             // the last row holding a cell
    QString sheetName() const { return m_sheetName; }
    // The top-left cell below and right of the frozen pane ("A4"); empty when nothing is frozen.
    QString frozenAt() const { return m_frozenAt; }
    double columnWidth(int column) const { return m_widths.value(column); } // column from 0

private:
    QHash<QString, Cell> m_cells;
    QHash<int, double> m_widths;
    QString m_sheetName;
    QString m_frozenAt;
    int m_rows = 0;
};

} // namespace varnock::test
