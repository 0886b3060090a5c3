#include "print/screens/printing.h"

#include "print/paper/pdfoutput.h"
#include "print/paper/sliplayout.h"
#include "print/voucherslip.h"
#include "print/workbookexport.h"
#include "shell/screens/frmjdt.h"
#include "store/errors.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QAction>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QUrl>

namespace varnock::Printing {

Setup &setup()
{
    static Setup s;
    return s;
}

DataFolder dataFolder()
{
    return setup().dataFolder ? *setup().dataFolder : DataFolder::resolve();
}

QString exportFolder()
{
    if (!setup().exportFolder.isEmpty())
        return setup().exportFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString base = documents.isEmpty() ? dataFolder().path() : documents;
    return QDir(base).filePath(QStringLiteral("Varnock报表"));
}

namespace {

bool openFile(const QString &file)
{
    if (setup().openFile)
        return setup().openFile(file);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

// Asks where the file goes, in the export folder first; empty when the user cancelled.
QString askFile(QWidget *parent, const QString &title, const QString &name, const QString &suffix,
                const QString &filter, const QString &objectName)
{
    // A folder that is not there yet would send the dialog to the working directory.
    QDir().mkpath(exportFolder());
    QFileDialog dialog(parent, title,
                       QDir(exportFolder()).filePath(name + QLatin1Char('.') + suffix), filter);
    dialog.setObjectName(objectName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    // The program's own dialog, so that it looks and behaves alike on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

void preview(QWidget *parent, const QPageLayout &layout, const QString &pdfName,
             const std::function<void(QPagedPaintDevice *)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    printer.setDocName(pdfName);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印预览 - ") + pdfName);
    dialog.resize(1000, 720);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&paint](QPrinter *p) { paint(p); });
    if (auto *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *save = bar->addAction(QStringLiteral("保存为PDF"));
        save->setObjectName(QStringLiteral("savePdf"));
        save->setToolTip(QStringLiteral("保存为PDF文件"));
        QObject::connect(save, &QAction::triggered, &dialog,
                         [&] { savePdf(&dialog, pdfName, layout, paint); });
    }
    dialog.exec();
}

void savePdf(QWidget *parent, const QString &name, const QPageLayout &layout,
             const std::function<void(QPagedPaintDevice *)> &paint)
{
    const QString file = askFile(parent, QStringLiteral("保存为PDF"), name, QStringLiteral("pdf"),
                                 QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("savePdf"));
    if (file.isEmpty())
        return;
    if (runOperation(parent, [&] { PdfOutput::write(file, layout, name, paint); }))
        Messages::inform(parent, QStringLiteral("已保存到：\n") + QDir::toNativeSeparators(file));
}

void savePicture(QWidget *parent, const QString &name, const QImage &picture)
{
    const QString file = askFile(parent, QStringLiteral("保存为图片"), name, QStringLiteral("png"),
                                 QStringLiteral("PNG 图片 (*.png)"), QStringLiteral("savePicture"));
    if (file.isEmpty())
        return;
    if (runOperation(parent, [&] {
            if (!picture.save(file, "PNG"))
                throw StoreError(QStringLiteral("无法写入文件 %1").arg(file));
        }))
        Messages::inform(parent, QStringLiteral("已保存到：\n") + QDir::toNativeSeparators(file));
}

void previewSlip(QWidget *parent, Database &db, Posting::Family family, qint64 xtbh,
                 int accountingMode, const Formats &formats)
{
    std::optional<Slip> slip;
    const bool filled = runOperation(parent, [&] {
        slip = VoucherSlips(db, accountingMode, formats, SlipCaptions::read(dataFolder()))
                   .fill(family, xtbh);
    });
    if (!filled)
        return;
    const SlipLayout layout(*slip, formats);
    preview(parent, SlipLayout::pageLayout(),
            slip->kind + QStringLiteral("单") + QString::number(xtbh),
            [&layout](QPagedPaintDevice *device) { layout.print(device); });
}

bool exportWorkbook(QWidget *parent, const ReportTable &table, const QString &firm,
                    const Formats &formats, const QString &layout)
{
    const QString name = layout.isEmpty() ? table.name() : layout;
    const QString folder = exportFolder();
    const QString target = WorkbookExport::fileIn(folder, name, QDateTime::currentDateTime());
    const ReportTemplates templates(dataFolder().reportsFolder());
    const bool written = runOperation(parent, [&] {
        if (!QDir().mkpath(folder))
            throw StoreError(QStringLiteral("无法建立文件夹 %1").arg(folder));
        FrmJdt window(parent);
        window.setMessage(WorkbookExport::ScanningText);
        window.show();
        const ProgressCallback step = window.callback();
        WorkbookExport(templates, formats)
            .run(
                name, [&table] { return table; }, firm, target,
                [&](int done, int total, const QString &text) {
                    if (!text.isEmpty())
                        window.setMessage(text);
                    step(done, total, QString());
                });
    });
    if (!written)
        return false;
    const QString where = QStringLiteral("报表已导出到：\n") + QDir::toNativeSeparators(target);
    if (openFile(target))
        Messages::inform(parent, where);
    else
        Messages::inform(parent, where + QStringLiteral("\n\n没有找到可以打开它的程序，"
                                                        "请到上面的位置打开。"));
    return true;
}

} // namespace varnock::Printing
