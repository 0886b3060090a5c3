#include "print/paper/sliplayout.h"

#include "print/paper/pagecanvas.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace varnock {

namespace {

constexpr double pt(double points)
{
    return PageCanvas::pt(points);
}

// The slip's own size; a larger page leaves the rest blank, a smaller one scales it down.
const double SlipWidth = pt(550);
const double SlipHeight = pt(330);
const double RowHeight = pt(22);
const double Padding = pt(4);

struct GridColumn
{
    QString heading;
    double width; // points
    bool figure;
};

QList<GridColumn> columnsFor(bool certificates)
{
    if (certificates)
        return {{QStringLiteral("材料编号"), 62, false}, {QStringLiteral("材料名称"), 100, false},
                {QStringLiteral("材料规格"), 84, false}, {QStringLiteral("单位"), 44, false},
                {QStringLiteral("数量"), 62, true},      {QStringLiteral("单价"), 62, true},
                {QStringLiteral("金额"), 74, true},      {QStringLiteral("材质证明"), 62, false}};
    return {{QStringLiteral("材料编号"), 66, false}, {QStringLiteral("材料名称"), 140, false},
            {QStringLiteral("材料规格"), 96, false}, {QStringLiteral("单位"), 40, false},
            {QStringLiteral("数量"), 64, true},      {QStringLiteral("单价"), 66, true},
            {QStringLiteral("金额"), 78, true}};
}

enum Col { Code, Name, Spec, Unit, Quantity, Price, Amount, Certificate };

void drawText(QPainter &painter, const QRectF &box, const QString &text, Qt::Alignment align)
{
    const QRectF inner = box.adjusted(Padding, 0, -Padding, 0);
    // A long name, specification or unit is set smaller before it loses characters.
    painter.save();
    QFont font = painter.font();
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > inner.width()) {
        const int smallest = font.pixelSize() * 7 / 10;
        font.setPixelSize(std::max(smallest, int(font.pixelSize() * inner.width() / width)));
        painter.setFont(font);
    }
    const QString shown =
        QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, inner.width());
    painter.drawText(inner, int(align | Qt::AlignVCenter), shown);
    painter.restore();
}

} // namespace

SlipLayout::SlipLayout(const Slip &slip, const Formats &formats)
    : m_slip(slip)
    , m_formats(formats)
{}

QPageLayout SlipLayout::pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape, QMarginsF(8, 8, 8, 8),
                       QPageLayout::Millimeter);
}

QStringList SlipLayout::headings() const
{
    QStringList texts;
    for (const GridColumn &c : columnsFor(m_slip.showsCertificates()))
        texts << c.heading;
    return texts;
}

void SlipLayout::print(QPagedPaintDevice *device) const
{
    PageCanvas canvas(device);
    if (!canvas.isActive())
        return;
    for (int i = 0; i < pageCount(); ++i) {
        if (i > 0)
            canvas.newPage();
        paintPage(canvas.painter(), canvas.size(), i);
    }
}

void SlipLayout::paintPage(QPainter &painter, const QSizeF &area, int index) const
{
    const Slip::Page &page = m_slip.pages.at(index);
    painter.save();
    const double scale = std::min({1.0, area.width() / SlipWidth, area.height() / SlipHeight});
    painter.scale(scale, scale);
    painter.setPen(QPen(Qt::black, pt(0.6)));

    painter.setFont(PageCanvas::font(16, true));
    painter.drawText(QRectF(0, 0, SlipWidth, pt(24)), Qt::AlignCenter, m_slip.title);
    painter.setFont(PageCanvas::font(13, true));
    const QString heading = m_slip.kind + QStringLiteral("单");
    const QRectF headingBox(0, pt(26), SlipWidth, pt(20));
    painter.drawText(headingBox, Qt::AlignCenter, heading);
    const double underline = QFontMetricsF(painter.font()).horizontalAdvance(heading) + pt(16);
    const double left = (SlipWidth - underline) / 2;
    painter.drawLine(QPointF(left, pt(47)), QPointF(left + underline, pt(47)));
    painter.drawLine(QPointF(left, pt(49)), QPointF(left + underline, pt(49)));

    painter.setFont(PageCanvas::font(9));
    painter.drawText(QRectF(0, pt(30), SlipWidth, pt(16)), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(index + 1).arg(pageCount()));

    painter.setFont(PageCanvas::font(9.5));
    const auto info = [&](double x, double y, double width, const QString &text) {
        drawText(painter, QRectF(x, y, width, pt(16)), text, Qt::AlignLeft);
    };
    info(0, pt(54), pt(250), m_slip.partnerCaption + m_slip.partner);
    info(pt(250), pt(54), pt(130),
         QStringLiteral("日期：") + m_slip.date.toString(QStringLiteral("yyyy-MM-dd")));
    info(pt(380), pt(54), pt(170), QStringLiteral("单据号：") + m_slip.document);
    info(0, pt(70), pt(250), QStringLiteral("类别：") + page.group);
    if (!m_slip.site.isEmpty())
        info(pt(250), pt(70), pt(130), QStringLiteral("施工部位：") + m_slip.site);
    info(pt(380), pt(70), pt(170), QStringLiteral("系统编号：") + QString::number(m_slip.xtbh));

    paintGrid(painter, page, pt(90));

    painter.setFont(PageCanvas::font(9.5));
    const double slot = SlipWidth / std::max<qsizetype>(1, m_slip.signatures.size());
    const double y = pt(90) + 8 * RowHeight + pt(18);
    for (int i = 0; i < m_slip.signatures.size(); ++i)
        info(i * slot, y, slot, m_slip.signatures.at(i) + QStringLiteral("："));
    painter.restore();
}

void SlipLayout::paintGrid(QPainter &painter, const Slip::Page &page, double top) const
{
    const QList<GridColumn> columns = columnsFor(m_slip.showsCertificates());
    QList<double> x{0};
    for (const GridColumn &c : columns)
        x << x.last() + pt(c.width);
    const auto cell = [&](int row, int col) {
        return QRectF(x.at(col), top + row * RowHeight, x.at(col + 1) - x.at(col), RowHeight);
    };

    painter.setFont(PageCanvas::font(9.5, true));
    for (int c = 0; c < columns.size(); ++c)
        drawText(painter, cell(0, c), columns.at(c).heading, Qt::AlignHCenter);

    painter.setFont(PageCanvas::font(9.5));
    for (int r = 0; r < page.rows.size(); ++r) {
        const Slip::Row &row = page.rows.at(r);
        if (row.isFiller())
            continue;
        const auto figure = [&](int col, const QString &text) {
            drawText(painter, cell(r + 1, col), text, Qt::AlignRight);
        };
        drawText(painter, cell(r + 1, Code), row.clbh, Qt::AlignLeft);
        drawText(painter, cell(r + 1, Name), row.clmc, Qt::AlignLeft);
        drawText(painter, cell(r + 1, Spec), row.clgg, Qt::AlignLeft);
        drawText(painter, cell(r + 1, Unit), row.jzdw, Qt::AlignHCenter);
        figure(Quantity, m_formats.quantityText(row.quantity));
        figure(Price, row.price ? m_formats.amountText(*row.price) : QString());
        figure(Amount, row.amount ? m_formats.amountText(*row.amount) : QString());
        if (m_slip.showsCertificates())
            drawText(painter, cell(r + 1, Certificate), row.clzm, Qt::AlignLeft);
    }

    const int pageTotalRow = Slip::RowsPerPage + 1;
    const int totalRow = pageTotalRow + 1;
    painter.setFont(PageCanvas::font(9.5, true));
    const QRectF pageLabel = cell(pageTotalRow, Code).united(cell(pageTotalRow, Name));
    drawText(painter, pageLabel, QStringLiteral("本页小计"), Qt::AlignHCenter);
    drawText(painter, cell(pageTotalRow, Amount), m_formats.amountText(page.amount()),
             Qt::AlignRight);
    const QRectF totalLabel = cell(totalRow, Code).united(cell(totalRow, Name));
    drawText(painter, totalLabel, QStringLiteral("合    计"), Qt::AlignHCenter);
    drawText(painter, cell(totalRow, Amount), m_formats.amountText(m_slip.total), Qt::AlignRight);

    // Rules: the frame heavier, the two total rows joined across the material columns.
    const double bottom = top + (totalRow + 1) * RowHeight;
    for (int r = 0; r <= totalRow + 1; ++r)
        painter.drawLine(QPointF(0, top + r * RowHeight), QPointF(x.last(), top + r * RowHeight));
    for (int c = 0; c < x.size(); ++c) {
        const bool joined = c == Name;
        const double end = joined ? top + pageTotalRow * RowHeight : bottom;
        painter.drawLine(QPointF(x.at(c), top), QPointF(x.at(c), end));
    }
    painter.save();
    painter.setPen(QPen(Qt::black, pt(1.4)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0, top, x.last(), bottom - top));
    painter.restore();
}

} // namespace varnock
