#pragma once

#include "ledger/posting.h"
#include "print/reporttable.h"
#include "shell/datafolder.h"
#include "store/formats.h"

#include <QPageLayout>
#include <QString>

#include <functional>
#include <optional>

class QImage;
class QPagedPaintDevice;
class QWidget;

namespace varnock {

class Database;

// How every screen puts something on paper, into a PDF file or into a workbook.
namespace Printing {

// Where printing and export find and put their files, and how a finished workbook is shown.
// The program sets the data folder once at start; tests replace the rest.
struct Setup
{
    std::optional<DataFolder> dataFolder; // unset: the folder the program resolves by default
    QString exportFolder;                 // empty: "Varnock报表" in the user's documents
    // Opens a written file in the desktop's program for it; false when nothing opened it.
    std::function<bool(const QString &file)> openFile;
};
Setup &setup();
DataFolder dataFolder();
QString exportFolder();

// The slip of voucher `xtbh` of `family` in the print preview, from which it is printed or
// saved as PDF. Shows a refusal instead when the voucher has no lines.
void previewSlip(QWidget *parent, Database &db, Posting::Family family, qint64 xtbh,
                 int accountingMode, const Formats &formats);

// The print preview of pages drawn by `paint`, with printing, page set-up and saving as PDF.
// `pdfName` is the file name the save dialog proposes.
void preview(QWidget *parent, const QPageLayout &layout, const QString &pdfName,
             const std::function<void(QPagedPaintDevice *)> &paint);

// Asks where to save and writes the pages drawn by `paint` as a PDF file there.
void savePdf(QWidget *parent, const QString &name, const QPageLayout &layout,
             const std::function<void(QPagedPaintDevice *)> &paint);

// Asks where to save and writes `picture` there as a PNG file.
void savePicture(QWidget *parent, const QString &name, const QImage &picture);

// Writes a report into a new workbook in the export folder through its template, or through
// another of its layouts (ReportTemplates::layoutsOf), with the progress window; opens it and
// says where it is. False when it was refused or failed.
bool exportWorkbook(QWidget *parent, const ReportTable &table, const QString &firm,
                    const Formats &formats, const QString &layout = QString());

} // namespace Printing

} // namespace varnock
