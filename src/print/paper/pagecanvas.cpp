#include "print/paper/pagecanvas.h"

#include <QPagedPaintDevice>
#include <QPaintDevice>

namespace varnock {

PageCanvas::PageCanvas(QPaintDevice *device)
    : m_device(device)
{
    if (!m_painter.begin(device))
        return;
    const double scale = device->logicalDpiX() / (72.0 * UnitsPerPoint);
    m_painter.scale(scale, scale);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_size = QSizeF(device->width() / scale, device->height() / scale);
}

bool PageCanvas::newPage()
{
    auto *paged = dynamic_cast<QPagedPaintDevice *>(m_device);
    return paged && paged->newPage();
}

QFont PageCanvas::font(double points, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(qRound(pt(points)));
    f.setBold(bold);
    // Unhinted outlines keep their measured widths at every scale.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

} // namespace varnock
