#pragma once

#include "print/reporttable.h"
#include "print/reporttemplate.h"
#include "shell/progresscallback.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace varnock {

// Writes a report into a new workbook (.xlsx) laid out by the report's template: the
// template's cells, the firm's name in B1, the period line, and the report's rows from the
// placeholder row on, numbers as numbers in the set's formats, the rows above the data
// frozen. The template itself is only read.
class WorkbookExport
{
public:
    WorkbookExport(const ReportTemplates &templates, const Formats &formats);

    // The steps as the progress window shows them.
    static const QString ScanningText;  // "系统正在扫描报表……"
    static const QString ReadingText;   // "系统正在读取数据……"
    static const QString NoRecordsText; // "没有记录！"

    // Reads the report's template, then its rows (`read`), and writes the workbook to
    // `target`, replacing a file there. Refuses a damaged template
    // (ReportTemplates::DamagedText) and a report without rows (NoRecordsText) before anything
    // is written; a failed write leaves no file behind and throws StoreError.
    void run(const QString &reportName, const std::function<ReportTable()> &read,
             const QString &firm, const QString &target,
             const ProgressCallback &progress = {}) const;

    // The workbook of one export: "<name>_<yyyyMMdd_HHmmss>.xlsx" in `folder`.
    static QString fileIn(const QString &folder, const QString &reportName, const QDateTime &at);

private:
    void write(const ReportTemplate &sheet, const ReportTemplate::Placement &placement,
               const ReportTable &table, const QString &firm, const QString &path) const;

    const ReportTemplates &m_templates;
    Formats m_formats;
};

} // namespace varnock
