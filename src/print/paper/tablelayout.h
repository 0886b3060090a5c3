#pragma once

#include "print/reporttable.h"

#include <QList>
#include <QPageLayout>
#include <QSizeF>

class QPagedPaintDevice;
class QPainter;

namespace varnock {

// Any report table on paper: the title, the firm and the period on every page, the column
// headings repeated on every page, group rows set apart, and "第 n 页 共 m 页" at the foot.
// Columns share the page's width by what they hold; a table too wide for the page gets a
// smaller type and, at the smallest, its text columns cut short.
class TableLayout
{
public:
    // Lays out `table` for pages of `area` (canvas units, see PageCanvas).
    TableLayout(const ReportTable &table, const Formats &formats, const QString &firm,
                const QSizeF &area);

    int pageCount() const { return int(m_pageStarts.size()); }
    int rowsPerPage() const { return m_rowsPerPage; }
    double fontSize() const { return m_fontSize; }

    void paintPage(QPainter &painter, int index) const;

    // A4, across when the table's columns need the width.
    static QPageLayout pageLayout(const ReportTable &table, const Formats &formats);
    // Every page onto a paged device whose page is already set.
    static void print(QPagedPaintDevice *device, const ReportTable &table, const Formats &formats,
                      const QString &firm);

private:
    QList<double> naturalWidths(double fontSize) const;
    void fitColumns();

    ReportTable m_table;
    Formats m_formats;
    QString m_firm;
    QSizeF m_area;
    double m_fontSize = 9;
    double m_rowHeight = 0;
    QList<double> m_widths;
    int m_rowsPerPage = 1;
    QList<int> m_pageStarts;
};

} // namespace varnock
