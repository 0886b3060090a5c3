#pragma once

#include "print/reporttable.h"
#include "print/voucherslip.h"

#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace varnock {

// PDF files of slips and report tables, drawn exactly as they print. The fonts are embedded.
// A file is written beside its name and moved there only when complete; a failure throws
// StoreError and leaves nothing behind.
namespace PdfOutput {

void write(const QString &path, const QPageLayout &layout, const QString &title,
           const std::function<void(QPagedPaintDevice *)> &paint);

void writeSlip(const QString &path, const Slip &slip, const Formats &formats);
void writeTable(const QString &path, const ReportTable &table, const Formats &formats,
                const QString &firm);

} // namespace PdfOutput

} // namespace varnock
