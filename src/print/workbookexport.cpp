#include "print/workbookexport.h"

#include "store/clock.h"
#include "store/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <xlsxwriter.h>

#include <algorithm>

namespace varnock {

namespace {

// Column widths are counted in characters of the workbook's font; a Chinese character takes
// two of them.
double textWidth(const QString &text)
{
    double width = 0;
    for (const QChar ch : text)
        width += ch.unicode() >= 0x2E80 ? 2.0 : 1.0;
    return width;
}

constexpr double MaxWidth = 60;
// Wider than this the workbook prints across the page.
constexpr double PortraitWidth = 100;

// A sheet name may not hold []:*?/\ and has at most 31 characters.
QByteArray sheetName(const QString &reportName)
{
    QString name = reportName;
    for (const QChar bad : QStringLiteral("[]:*?/\\"))
        name.replace(bad, QLatin1Char('_'));
    return name.left(31).toUtf8();
}

// The cell formats of one workbook, made once each.
class Styles
{
public:
    explicit Styles(lxw_workbook *wb)
        : m_wb(wb)
    {
        m_title = workbook_add_format(wb);
        format_set_bold(m_title);
        format_set_font_size(m_title, 16);
        format_set_align(m_title, LXW_ALIGN_CENTER);
        format_set_align(m_title, LXW_ALIGN_VERTICAL_CENTER);
        m_heading = workbook_add_format(wb);
        format_set_bold(m_heading);
        format_set_align(m_heading, LXW_ALIGN_CENTER);
        format_set_border(m_heading, LXW_BORDER_THIN);
        format_set_bg_color(m_heading, 0xE8E8E8);
    }

    lxw_format *title() const { return m_title; }
    lxw_format *heading() const { return m_heading; }

    // A data cell: framed, bold on group rows, with its number format (none for text).
    lxw_format *cell(const QString &numberFormat, bool bold)
    {
        const QString key = numberFormat + (bold ? QStringLiteral("|b") : QStringLiteral("|"));
        auto it = m_cells.constFind(key);
        if (it != m_cells.cend())
            return *it;
        lxw_format *f = workbook_add_format(m_wb);
        format_set_border(f, LXW_BORDER_THIN);
        if (bold)
            format_set_bold(f);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.toUtf8().constData());
        m_cells.insert(key, f);
        return f;
    }

private:
    lxw_workbook *m_wb;
    lxw_format *m_title;
    lxw_format *m_heading;
    QHash<QString, lxw_format *> m_cells;
};

void check(lxw_error error, const QString &path)
{
    if (error != LXW_NO_ERROR)
        throw StoreError(QStringLiteral("无法写入文件 %1：%2")
                             .arg(path, QString::fromUtf8(lxw_strerror(error))));
}

} // namespace

const QString WorkbookExport::ScanningText = QStringLiteral("系统正在扫描报表……");
const QString WorkbookExport::ReadingText = QStringLiteral("系统正在读取数据……");
const QString WorkbookExport::NoRecordsText = QStringLiteral("没有记录！");

WorkbookExport::WorkbookExport(const ReportTemplates &templates, const Formats &formats)
    : m_templates(templates)
    , m_formats(formats)
{}

QString WorkbookExport::fileIn(const QString &folder, const QString &reportName,
                               const QDateTime &at)
{
    return QDir(folder).filePath(reportName + QLatin1Char('_') +
                                 at.toString(QStringLiteral("yyyyMMdd_HHmmss")) +
                                 QStringLiteral(".xlsx"));
}

void WorkbookExport::run(const QString &reportName, const std::function<ReportTable()> &read,
                         const QString &firm, const QString &target,
                         const ProgressCallback &progress) const
{
    const auto step = [&](int done, const QString &text) {
        if (progress)
            progress(done, 3, text);
    };
    step(0, ScanningText);
    const ReportTemplate sheet = m_templates.read(reportName);
    step(1, ReadingText);
    const ReportTable table = read();
    const ReportTemplate::Placement placement = ReportTemplates::place(sheet, table);
    if (table.isEmpty())
        throw Refusal(QStringLiteral("提示"), NoRecordsText);
    step(2, QString());
    const QDir folder = QFileInfo(target).absoluteDir();
    if (!folder.exists())
        throw StoreError(
            QStringLiteral("文件夹 %1 不存在").arg(QDir::toNativeSeparators(folder.path())));

    // Written beside the target and moved over it only when complete: a failed export never
    // leaves half a workbook, nor destroys the one from before.
    const QString part = target + QStringLiteral(".part");
    try {
        write(sheet, placement, table, firm, part);
        if (QFile::exists(target) && !QFile::remove(target))
            throw StoreError(
                QStringLiteral("无法替换文件 %1（是否正被其他程序打开？）").arg(target));
        if (!QFile::rename(part, target))
            throw StoreError(QStringLiteral("无法写入文件 %1").arg(target));
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    step(3, QString());
}

void WorkbookExport::write(const ReportTemplate &sheet, const ReportTemplate::Placement &placement,
                           const ReportTable &table, const QString &firm, const QString &path) const
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *wb = workbook_new(file.constData());
    if (!wb)
        throw StoreError(QStringLiteral("无法写入文件 %1").arg(path));
    const QString name = sheet.sheetName().isEmpty() ? table.name() : sheet.sheetName();
    lxw_worksheet *ws = workbook_add_worksheet(wb, sheetName(name).constData());
    Styles styles(wb);

    const int dataRow = placement.row - 1; // from 0
    const int span = int(placement.fields.size());
    const int lastColumn = placement.firstColumn + span - 1;
    const int rowCount = table.rowCount();
    // Template rows below the placeholder row move down below the data.
    const auto outRow = [&](int templateRow) {
        return templateRow < placement.row ? templateRow - 1 : templateRow - 2 + rowCount;
    };
    QList<double> widths(lastColumn + 1, 0.0);
    const auto fit = [&](int column, const QString &text) {
        if (column >= widths.size())
            widths.resize(column + 1, 0.0);
        widths[column] = std::max(widths[column], std::min(MaxWidth, textWidth(text) + 2));
    };

    for (int r = 1; r <= sheet.rows().size(); ++r) {
        if (r == placement.row)
            continue;
        const QStringList &cells = sheet.rows().at(r - 1);
        const int row = outRow(r);
        if (r == sheet.titleRow()) {
            const QString title = cells.join(QString()).trimmed();
            if (lastColumn > 0)
                worksheet_merge_range(ws, row, 0, row, lastColumn, title.toUtf8().constData(),
                                      styles.title());
            else
                worksheet_write_string(ws, row, 0, title.toUtf8().constData(), styles.title());
            worksheet_set_row(ws, row, 24, nullptr);
            continue;
        }
        lxw_format *f = r == sheet.headingRow() ? styles.heading() : nullptr;
        for (int c = 0; c < cells.size(); ++c) {
            const QString text = ReportTemplate::resolved(cells.at(c), table);
            if (text.isEmpty() && !f)
                continue;
            worksheet_write_string(ws, row, c, text.toUtf8().constData(), f);
            if (f)
                fit(c, text);
        }
    }
    worksheet_write_string(ws, 0, 1, firm.toUtf8().constData(), nullptr);
    if (table.period() && sheet.periodRow() > 0)
        worksheet_write_string(ws, outRow(sheet.periodRow()), sheet.periodColumn(),
                               table.period()->line().toUtf8().constData(), nullptr);
    if (sheet.dateRow() > 0)
        worksheet_write_string(
            ws, outRow(sheet.dateRow()), sheet.dateColumn(),
            Clock::today().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData(), nullptr);

    for (int i = 0; i < rowCount; ++i) {
        const bool bold = table.style(i) != ReportTable::RowStyle::Detail;
        for (int j = 0; j < span; ++j) {
            const int column = placement.firstColumn + j;
            const int source = table.columnOf(placement.fields.at(j));
            if (source < 0 || table.isEmptyAt(i, source)) {
                worksheet_write_blank(ws, dataRow + i, column, styles.cell(QString(), bold));
                continue;
            }
            const ReportTable::Column &col = table.columns().at(source);
            fit(column, table.displayText(i, source, m_formats));
            if (!col.isNumber()) {
                worksheet_write_string(ws, dataRow + i, column,
                                       table.displayText(i, source, m_formats).toUtf8().constData(),
                                       styles.cell(QString(), bold));
                continue;
            }
            const double number = col.kind == ReportTable::Column::Integer
                                      ? double(table.integerAt(i, source))
                                      : table.figureAt(i, source).toDouble();
            const QString format =
                ReportTemplate::numberFormat(sheet.format(column), col.kind, m_formats);
            worksheet_write_number(ws, dataRow + i, column, number, styles.cell(format, bold));
        }
    }

    double total = 0;
    for (int c = 0; c < widths.size(); ++c) {
        const double width = std::max(sheet.width(c), widths.at(c));
        if (width > 0)
            worksheet_set_column(ws, c, c, width, nullptr);
        total += width > 0 ? width : 8.43;
    }
    worksheet_freeze_panes(ws, dataRow, 0);
    if (sheet.headingRow() > 0 && sheet.headingRow() < placement.row)
        worksheet_repeat_rows(ws, sheet.headingRow() - 1, sheet.headingRow() - 1);
    worksheet_set_paper(ws, 9); // A4
    if (total > PortraitWidth)
        worksheet_set_landscape(ws);
    worksheet_fit_to_pages(ws, 1, 0);
    check(workbook_close(wb), path);
}

} // namespace varnock
