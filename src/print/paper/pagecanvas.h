#pragma once

#include <QFont>
#include <QPainter>
#include <QSizeF>

class QPaintDevice;

namespace varnock {

// Paints on any device in tenths of a point, whatever its resolution: the PDF writer, a
// printer, the print preview, an image. Fonts are sized in the same units (pixel sizes, which
// no device converts again), so a layout measures once and draws alike everywhere.
class PageCanvas
{
public:
    static constexpr double UnitsPerPoint = 10;
    static constexpr double pt(double points) { return points * UnitsPerPoint; }

    // Begins painting on `device`; painting ends with the canvas.
    explicit PageCanvas(QPaintDevice *device);

    QPainter &painter() { return m_painter; }
    bool isActive() const { return m_painter.isActive(); }
    // The paintable area in canvas units.
    QSizeF size() const { return m_size; }
    // Starts the next page of a paged device; false when the device has no pages.
    bool newPage();

    // The program's print font (it carries every Chinese character) at `points`.
    static QFont font(double points, bool bold = false);

private:
    QPaintDevice *m_device;
    QPainter m_painter;
    QSizeF m_size;
};

} // namespace varnock
