#include "print/reporttemplate.h"

#include "store/errors.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

// Q_INIT_RESOURCE must run outside any namespace.
static void initTemplateResources()
{
    Q_INIT_RESOURCE(templates);
}

namespace varnock {

namespace {

const QString ResourceFolder = QStringLiteral(":/templates/");
const QString Extension = QStringLiteral(".json");

} // namespace

const QString ReportTemplates::DamagedText = QStringLiteral("报表遭到致命破坏！请恢复原表！");

std::optional<ReportTemplate> ReportTemplate::parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    if (!o.value(QStringLiteral("rows")).isArray())
        return std::nullopt;
    ReportTemplate t;
    for (const QJsonValue &row : o.value(QStringLiteral("rows")).toArray()) {
        if (!row.isArray())
            return std::nullopt;
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << cell.toString();
        t.m_rows << cells;
    }
    t.m_sheetName = o.value(QStringLiteral("sheet")).toString();
    t.m_firstField = o.value(QStringLiteral("firstField")).toString();
    t.m_lastField = o.value(QStringLiteral("lastField")).toString();
    t.m_titleRow = o.value(QStringLiteral("titleRow")).toInt();
    t.m_headingRow = o.value(QStringLiteral("headingRow")).toInt();
    const QString period = o.value(QStringLiteral("periodCell")).toString();
    if (!period.isEmpty() && !parseCell(period, t.m_periodRow, t.m_periodColumn))
        return std::nullopt;
    const QString date = o.value(QStringLiteral("dateCell")).toString();
    if (!date.isEmpty() && !parseCell(date, t.m_dateRow, t.m_dateColumn))
        return std::nullopt;
    for (const QJsonValue &w : o.value(QStringLiteral("widths")).toArray())
        t.m_widths << w.toDouble();
    for (const QJsonValue &f : o.value(QStringLiteral("formats")).toArray())
        t.m_formats << f.toString();
    return t;
}

double ReportTemplate::width(int column) const
{
    return m_widths.value(column);
}

QString ReportTemplate::format(int column) const
{
    return m_formats.value(column);
}

std::optional<ReportTemplate::Placement> ReportTemplate::place(const ReportTable &table) const
{
    if (table.columns().isEmpty())
        return std::nullopt;
    const QString first = m_firstField.isEmpty() ? table.columns().first().field : m_firstField;
    const QString last = m_lastField.isEmpty() ? table.columns().last().field : m_lastField;
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList &cells = m_rows.at(r);
        int from = -1;
        int to = -1;
        for (int c = 0; c < cells.size(); ++c) {
            const QString cell = cells.at(c).trimmed();
            if (from < 0 && cell.compare(first, Qt::CaseInsensitive) == 0)
                from = c;
            if (from >= 0 && cell.compare(last, Qt::CaseInsensitive) == 0)
                to = c;
        }
        if (from < 0 || to < 0)
            continue;
        Placement p;
        p.row = r + 1;
        p.firstColumn = from;
        for (int c = from; c <= to; ++c) {
            const QString field = cells.at(c).trimmed();
            // A cell of the span that names no field of the report is not a placeholder.
            if (!field.isEmpty() && table.columnOf(field) < 0)
                return std::nullopt;
            p.fields << field;
        }
        return p;
    }
    return std::nullopt;
}

QString ReportTemplate::numberFormat(const QString &format, ReportTable::Column::Kind kind,
                                     const Formats &formats)
{
    using Column = ReportTable::Column;
    if (format.isEmpty())
        return ReportTable::numberFormat(kind, formats);
    if (format == QLatin1String("text"))
        return {};
    if (format == QLatin1String("integer"))
        return ReportTable::numberFormat(Column::Integer, formats);
    if (format == QLatin1String("quantity"))
        return ReportTable::numberFormat(Column::Quantity, formats);
    if (format == QLatin1String("amount") || format == QLatin1String("price"))
        return ReportTable::numberFormat(Column::Amount, formats);
    return format;
}

bool ReportTemplate::parseCell(const QString &cell, int &row, int &column)
{
    int i = 0;
    int c = 0;
    const QString text = cell.trimmed().toUpper();
    while (i < text.size() && text.at(i) >= QLatin1Char('A') && text.at(i) <= QLatin1Char('Z'))
        c = c * 26 + (text.at(i++).unicode() - 'A' + 1);
    bool ok = false;
    const int r = text.mid(i).toInt(&ok);
    if (i == 0 || !ok || r < 1 || c > 16384)
        return false;
    row = r;
    column = c - 1;
    return true;
}

ReportTemplates::ReportTemplates(QString folder)
    : m_folder(std::move(folder))
{
    initTemplateResources();
}

QString ReportTemplates::path(const QString &reportName) const
{
    return QDir(m_folder).filePath(reportName + Extension);
}

ReportTemplate ReportTemplates::read(const QString &reportName) const
{
    const QString file = path(reportName);
    if (!QFile::exists(file) && deliveredNames().contains(reportName))
        restore(reportName);
    QFile in(file);
    std::optional<ReportTemplate> sheet;
    if (in.open(QIODevice::ReadOnly))
        sheet = ReportTemplate::parse(in.readAll());
    if (!sheet)
        throw Refusal(QStringLiteral("提示"), DamagedText);
    return *sheet;
}

QString ReportTemplate::resolved(const QString &cell, const ReportTable &table)
{
    if (cell.size() < 3 || !cell.startsWith(QLatin1Char('{')) || !cell.endsWith(QLatin1Char('}')))
        return cell;
    const int column = table.columnOf(cell.mid(1, cell.size() - 2));
    return column < 0 ? cell : table.columns().at(column).heading;
}

ReportTemplate::Placement ReportTemplates::place(const ReportTemplate &sheet,
                                                 const ReportTable &table)
{
    const std::optional<ReportTemplate::Placement> placement = sheet.place(table);
    if (!placement)
        throw Refusal(QStringLiteral("提示"), DamagedText);
    return *placement;
}

void ReportTemplates::restore(const QString &reportName) const
{
    const QByteArray copy = deliveredCopy(reportName);
    if (copy.isEmpty())
        throw StoreError(QStringLiteral("没有报表 %1 的原表").arg(reportName));
    if (!QDir().mkpath(m_folder))
        throw StoreError(QStringLiteral("无法建立文件夹 %1").arg(m_folder));
    QSaveFile out(path(reportName));
    if (!out.open(QIODevice::WriteOnly) || out.write(copy) != copy.size() || !out.commit())
        throw StoreError(
            QStringLiteral("无法写入文件 %1：%2").arg(path(reportName), out.errorString()));
}

QStringList ReportTemplates::layoutsOf(const QString &reportName)
{
    static const QStringList monthly = {QStringLiteral("出入库月度汇总"),
                                        QStringLiteral("出入库月度汇总11")};
    static const QHash<QString, QStringList> others = {
        {QStringLiteral("GYSGH"), monthly},
        {QStringLiteral("lldwll"), monthly},
        {QStringLiteral("CLDBBB"), {QStringLiteral("材料调拨查询报表")}},
        {QStringLiteral("材料出入库查询报表1"), {QStringLiteral("材料出入库查询报表2")}},
        {QStringLiteral("JXCMXZ"), {QStringLiteral("材料出入库查询报表3")}},
        {QStringLiteral("JXCMX"),
         {QStringLiteral("材料进销存移动月报"), QStringLiteral("材料进销存移动月报1"),
          QStringLiteral("材料进销存移动月报2")}},
        {QStringLiteral("JXCHZ"), {QStringLiteral("材料进销存移动月报总")}},
    };
    return QStringList{reportName} + others.value(reportName);
}

QStringList ReportTemplates::deliveredNames()
{
    initTemplateResources();
    QStringList names;
    for (const QString &file : QDir(ResourceFolder).entryList({QLatin1Char('*') + Extension})) {
        names << file.chopped(Extension.size());
    }
    return names;
}

QByteArray ReportTemplates::deliveredCopy(const QString &reportName)
{
    initTemplateResources();
    QFile in(ResourceFolder + reportName + Extension);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace varnock
