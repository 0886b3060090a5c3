#pragma once

#include "print/voucherslip.h"
#include "store/formats.h"

#include <QPageLayout>
#include <QSizeF>

class QPagedPaintDevice;
class QPainter;

namespace varnock {

// The slip as it goes on paper: one page per slip page, the firm's name as title, the kind
// of voucher, its counterparty, date and numbers, the grid of five rows with the page's
// total and the slip's total, and the signature captions. The same drawing serves the
// printer, the preview and PDF.
class SlipLayout
{
public:
    SlipLayout(const Slip &slip, const Formats &formats);

    int pageCount() const { return int(m_slip.pages.size()); }

    // A slip page fills half a sheet of A4: A5 across.
    static QPageLayout pageLayout();

    // Draws page `index` into `area` (canvas units) of a painter set up by PageCanvas. A page
    // smaller than the slip gets the slip scaled down to fit.
    void paintPage(QPainter &painter, const QSizeF &area, int index) const;
    // Every page onto a paged device (printer or PDF writer) whose page is already set.
    void print(QPagedPaintDevice *device) const;

    // The column headings of the grid.
    QStringList headings() const;

private:
    void paintGrid(QPainter &painter, const Slip::Page &page, double top) const;

    Slip m_slip;
    Formats m_formats;
};

} // namespace varnock
