#include "print/paper/pdfoutput.h"

#include "print/paper/sliplayout.h"
#include "print/paper/tablelayout.h"
#include "store/errors.h"

#include <QPdfWriter>
#include <QSaveFile>

namespace varnock::PdfOutput {

void write(const QString &path, const QPageLayout &layout, const QString &title,
           const std::function<void(QPagedPaintDevice *)> &paint)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw StoreError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Varnock"));
        paint(&writer);
    }
    if (!file.commit())
        throw StoreError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
}

void writeSlip(const QString &path, const Slip &slip, const Formats &formats)
{
    const SlipLayout layout(slip, formats);
    write(path, SlipLayout::pageLayout(),
          slip.kind + QStringLiteral("单 ") + QString::number(slip.xtbh),
          [&](QPagedPaintDevice *device) { layout.print(device); });
}

void writeTable(const QString &path, const ReportTable &table, const Formats &formats,
                const QString &firm)
{
    write(path, TableLayout::pageLayout(table, formats), table.title(),
          [&](QPagedPaintDevice *device) { TableLayout::print(device, table, formats, firm); });
}

} // namespace varnock::PdfOutput
