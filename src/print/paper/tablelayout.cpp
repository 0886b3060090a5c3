#include "print/paper/tablelayout.h"

#include "print/paper/pagecanvas.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <numeric>

namespace varnock {

namespace {

constexpr double pt(double points)
{
    return PageCanvas::pt(points);
}

constexpr double NormalSize = 9;
constexpr double SmallestSize = 6.5;
constexpr double Padding = 3;        // points each side of a cell's text
constexpr double NarrowestText = 24; // points: a text column cut short keeps this much
const double TitleHeight = pt(24);
const double LineHeight = pt(15);
const double FooterHeight = pt(16);

const QMarginsF PageMargins(12, 12, 12, 12); // millimetres

double sum(const QList<double> &values)
{
    return std::accumulate(values.begin(), values.end(), 0.0);
}

} // namespace

TableLayout::TableLayout(const ReportTable &table, const Formats &formats, const QString &firm,
                         const QSizeF &area)
    : m_table(table)
    , m_formats(formats)
    , m_firm(firm)
    , m_area(area)
{
    fitColumns();
    m_rowHeight = pt(m_fontSize * 1.9);
    const double body =
        m_area.height() - TitleHeight - LineHeight - pt(4) - m_rowHeight - FooterHeight;
    m_rowsPerPage = std::max(1, int(body / m_rowHeight));
    for (int start = 0; start < std::max(1, m_table.rowCount()); start += m_rowsPerPage)
        m_pageStarts << start;
}

QList<double> TableLayout::naturalWidths(double fontSize) const
{
    const QFontMetricsF body(PageCanvas::font(fontSize));
    const QFontMetricsF bold(PageCanvas::font(fontSize, true));
    QList<double> widths;
    for (int c = 0; c < m_table.columnCount(); ++c) {
        double w = bold.horizontalAdvance(m_table.columns().at(c).heading);
        for (int r = 0; r < m_table.rowCount(); ++r) {
            const bool group = m_table.style(r) != ReportTable::RowStyle::Detail;
            const QString text = m_table.displayText(r, c, m_formats);
            w = std::max(w, (group ? bold : body).horizontalAdvance(text));
        }
        widths << w + pt(2 * Padding);
    }
    return widths;
}

void TableLayout::fitColumns()
{
    const double available = m_area.width();
    m_widths = naturalWidths(NormalSize);
    const double natural = sum(m_widths);
    if (natural > available && natural > 0) {
        m_fontSize = std::max(SmallestSize, NormalSize * available / natural);
        m_widths = naturalWidths(m_fontSize);
    }
    double excess = sum(m_widths) - available;
    if (excess > 0) {
        // Figures keep their width; the text columns give up what is too much, each in
        // proportion to its width, none below a readable minimum.
        double shrinkable = 0;
        for (int c = 0; c < m_widths.size(); ++c) {
            if (!m_table.columns().at(c).isNumber())
                shrinkable += std::max(0.0, m_widths.at(c) - pt(NarrowestText));
        }
        for (int c = 0; c < m_widths.size() && shrinkable > 0; ++c) {
            if (m_table.columns().at(c).isNumber())
                continue;
            const double room = std::max(0.0, m_widths.at(c) - pt(NarrowestText));
            m_widths[c] -= std::min(room, excess * room / shrinkable);
        }
        excess = sum(m_widths) - available;
    }
    if (excess < 0 && !m_widths.isEmpty()) {
        const double total = sum(m_widths);
        for (double &w : m_widths)
            w += -excess * w / total;
    }
}

void TableLayout::paintPage(QPainter &painter, int index) const
{
    const double width = m_area.width();
    painter.save();
    painter.setPen(QPen(Qt::black, pt(0.5)));

    painter.setFont(PageCanvas::font(14, true));
    painter.drawText(QRectF(0, 0, width, TitleHeight), Qt::AlignCenter, m_table.title());
    painter.setFont(PageCanvas::font(9));
    const QRectF line(0, TitleHeight, width, LineHeight);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("编制单位：") + m_firm);
    if (m_table.period())
        painter.drawText(line, Qt::AlignCenter, m_table.period()->line().trimmed());

    const QFont body = PageCanvas::font(m_fontSize);
    const QFont bold = PageCanvas::font(m_fontSize, true);
    const double top = TitleHeight + LineHeight + pt(4);
    const auto drawCell = [&](const QRectF &box, const QString &text, bool number) {
        const QRectF inner = box.adjusted(pt(Padding), 0, -pt(Padding), 0);
        const QString shown =
            QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, inner.width());
        painter.drawText(inner, (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                         shown);
    };

    painter.setFont(bold);
    painter.fillRect(QRectF(0, top, sum(m_widths), m_rowHeight), QColor(0xE8, 0xE8, 0xE8));
    double x = 0;
    for (int c = 0; c < m_widths.size(); ++c) {
        painter.drawText(QRectF(x, top, m_widths.at(c), m_rowHeight), Qt::AlignCenter,
                         QFontMetricsF(bold).elidedText(m_table.columns().at(c).heading,
                                                        Qt::ElideRight, m_widths.at(c)));
        x += m_widths.at(c);
    }

    const int first = m_pageStarts.at(index);
    const int last = std::min(m_table.rowCount(), first + m_rowsPerPage);
    double y = top + m_rowHeight;
    for (int r = first; r < last; ++r, y += m_rowHeight) {
        const ReportTable::RowStyle style = m_table.style(r);
        if (style != ReportTable::RowStyle::Detail)
            painter.fillRect(QRectF(0, y, sum(m_widths), m_rowHeight),
                             style == ReportTable::RowStyle::Total ? QColor(0xDD, 0xDD, 0xDD)
                                                                   : QColor(0xF0, 0xF0, 0xF0));
        painter.setFont(style == ReportTable::RowStyle::Detail ? body : bold);
        x = 0;
        for (int c = 0; c < m_widths.size(); ++c) {
            drawCell(QRectF(x, y, m_widths.at(c), m_rowHeight),
                     m_table.displayText(r, c, m_formats), m_table.columns().at(c).isNumber());
            x += m_widths.at(c);
        }
    }

    // The grid over what was drawn.
    const double right = sum(m_widths);
    for (double ry = top; ry <= y + 1; ry += m_rowHeight)
        painter.drawLine(QPointF(0, ry), QPointF(right, ry));
    x = 0;
    for (int c = 0; c <= m_widths.size(); ++c) {
        painter.drawLine(QPointF(x, top), QPointF(x, y));
        if (c < m_widths.size())
            x += m_widths.at(c);
    }

    painter.setFont(PageCanvas::font(9));
    painter.drawText(QRectF(0, m_area.height() - FooterHeight, width, FooterHeight),
                     Qt::AlignCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(index + 1).arg(pageCount()));
    painter.restore();
}

QPageLayout TableLayout::pageLayout(const ReportTable &table, const Formats &formats)
{
    const QPageSize a4(QPageSize::A4);
    const QPageLayout portrait(a4, QPageLayout::Portrait, PageMargins, QPageLayout::Millimeter);
    const double portraitWidth = pt(portrait.paintRect(QPageLayout::Point).width());
    const TableLayout probe(table, formats, QString(), QSizeF(portraitWidth, pt(800)));
    const bool across = sum(probe.naturalWidths(NormalSize)) > portraitWidth;
    return QPageLayout(a4, across ? QPageLayout::Landscape : QPageLayout::Portrait, PageMargins,
                       QPageLayout::Millimeter);
}

void TableLayout::print(QPagedPaintDevice *device, const ReportTable &table, const Formats &formats,
                        const QString &firm)
{
    PageCanvas canvas(device);
    if (!canvas.isActive())
        return;
    const TableLayout layout(table, formats, firm, canvas.size());
    for (int i = 0; i < layout.pageCount(); ++i) {
        if (i > 0)
            canvas.newPage();
        layout.paintPage(canvas.painter(), i);
    }
}

} // namespace varnock
