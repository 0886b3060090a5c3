#pragma once

#include "print/reporttable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

// A workbook template: a small sheet of fixed cells (title, header lines, column headings)
// with one placeholder row whose cells name the report's fields, plus column widths and
// number formats. Stored as a JSON file of our own:
//
//     {"rows": [["编制单位："], ["材料信息一览表"], ["材料编号", …], ["CLBH", …]],
//      "titleRow": 2, "headingRow": 3, "periodCell": "A3", "dateCell": "B5",
//      "widths": [12, 24, …], "formats": ["text", "amount", "quantity", "0.0000", …]}
//
// Rows are numbered from 1 as in the workbook. The sheet is named after the report unless
// the template names it ("sheet": "明细账"). The placeholder row runs from the report's first
// field to its last, unless the template names the fields it runs from and to ("firstField",
// "lastField"): a layout may then leave out the report's outer columns. The firm's name goes into
// B1, the day of the export into the date cell when there is one. A format is "text", "integer",
// "quantity" (LSWS), "amount" or "price" (JEXSW), or a number format of its own. A fixed cell
// "{LLSL1}" shows the heading the report gives that field (the name of a chosen consuming unit).
class ReportTemplate
{
public:
    // Reads a template; nullopt when the text is not one.
    static std::optional<ReportTemplate> parse(const QByteArray &json);

    const QList<QStringList> &rows() const { return m_rows; }
    // The sheet's own name; empty when the sheet takes the report's.
    const QString &sheetName() const { return m_sheetName; }
    // The fields the placeholder row runs from and to; empty for the report's first and last.
    const QString &firstField() const { return m_firstField; }
    const QString &lastField() const { return m_lastField; }
    int titleRow() const { return m_titleRow; }     // 0 when none
    int headingRow() const { return m_headingRow; } // 0 when none
    // Row (from 1) and column (from 0) of the period line; row 0 when none.
    int periodRow() const { return m_periodRow; }
    int periodColumn() const { return m_periodColumn; }
    // Row (from 1) and column (from 0) of the export's date; row 0 when none.
    int dateRow() const { return m_dateRow; }
    int dateColumn() const { return m_dateColumn; }
    double width(int column) const;   // 0 when not given
    QString format(int column) const; // empty when not given

    // Where the report's rows go: the placeholder row found by the table's first and last
    // field, and the field of each column of its span.
    struct Placement
    {
        int row = 0;         // the placeholder row, from 1
        int firstColumn = 0; // from 0
        QStringList fields;  // one per column of the span; empty for a blank column
    };
    // nullopt when the placeholders are not there: the template is damaged.
    std::optional<Placement> place(const ReportTable &table) const;

    // A fixed cell's text: "{FIELD}" becomes the table's heading of FIELD.
    static QString resolved(const QString &cell, const ReportTable &table);

    // The number format of a template format for the set ("0.00"); empty for text.
    static QString numberFormat(const QString &format, ReportTable::Column::Kind kind,
                                const Formats &formats);

    // "A3" → row 3, column 0.
    static bool parseCell(const QString &cell, int &row, int &column);

private:
    QList<QStringList> m_rows;
    QString m_sheetName;
    QString m_firstField;
    QString m_lastField;
    int m_titleRow = 0;
    int m_headingRow = 0;
    int m_periodRow = 0;
    int m_periodColumn = 0;
    int m_dateRow = 0;
    int m_dateColumn = 0;
    QList<double> m_widths;
    QStringList m_formats;
};

// The working templates, one file per report name in the data folder's Reports/, and their
// delivered copies built into the program.
class ReportTemplates
{
public:
    explicit ReportTemplates(QString folder);

    QString folder() const { return m_folder; }
    QString path(const QString &reportName) const;

    // The working template of a report. A missing one is first put back from its delivered
    // copy. Refuses (DamagedText) when it cannot be read.
    ReportTemplate read(const QString &reportName) const;
    // Where `table` goes in `sheet`; refuses (DamagedText) when the placeholders are not there.
    static ReportTemplate::Placement place(const ReportTemplate &sheet, const ReportTable &table);

    // Replaces the working template with its delivered copy. Throws StoreError.
    void restore(const QString &reportName) const;

    // The templates a report may be written through: its own first, then the other layouts
    // of the same fields.
    static QStringList layoutsOf(const QString &reportName);

    // The reports that have a delivered template.
    static QStringList deliveredNames();
    static QByteArray deliveredCopy(const QString &reportName);

    static const QString DamagedText;

private:
    QString m_folder;
};

} // namespace varnock
