#include "support/workbookreader.h"

#include <QFile>
#include <QList>
#include <QXmlStreamReader>

#include <algorithm>

#include <unzip.h>

namespace varnock::test {

namespace {

// One member of the zip container; empty when it is missing.
QByteArray member(const QString &path, const char *name)
{
    unzFile zip = unzOpen(QFile::encodeName(path).constData());
    if (!zip)
        return {};
    QByteArray data;
    if (unzLocateFile(zip, name, 1) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buffer[8192];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
            data.append(buffer, n);
        unzCloseCurrentFile(zip);
    }
    unzClose(zip);
    return data;
}

QString builtInFormat(int id)
{
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("builtin:%1").arg(id);
    }
}

struct Style
{
    QString format;
    bool bold = false;
};

QList<Style> readStyles(const QByteArray &xml)
{
    QHash<int, QString> formats;
    QList<bool> boldFonts;
    QList<Style> styles;
    QXmlStreamReader r(xml);
    bool inFont = false;
    bool inCellXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        const auto name = r.name();
        if (r.isStartElement()) {
            if (name == QLatin1String("numFmt"))
                formats.insert(r.attributes().value(QLatin1String("numFmtId")).toInt(),
                               r.attributes().value(QLatin1String("formatCode")).toString());
            else if (name == QLatin1String("font")) {
                inFont = true;
                boldFonts << false;
            } else if (name == QLatin1String("b") && inFont)
                boldFonts.last() = true;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (name == QLatin1String("xf") && inCellXfs) {
                const int id = r.attributes().value(QLatin1String("numFmtId")).toInt();
                const int font = r.attributes().value(QLatin1String("fontId")).toInt();
                styles << Style{formats.contains(id) ? formats.value(id) : builtInFormat(id),
                                boldFonts.value(font)};
            }
        } else if (r.isEndElement()) {
            if (name == QLatin1String("font"))
                inFont = false;
            else if (name == QLatin1String("cellXfs"))
                inCellXfs = false;
        }
    }
    return styles;
}

QStringList readSharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == QLatin1String("si"))
            strings << QString();
        else if (r.isStartElement() && r.name() == QLatin1String("t") && !strings.isEmpty())
            strings.last() += r.readElementText();
    }
    return strings;
}

int rowOf(const QString &ref)
{
    int i = 0;
    while (i < ref.size() && ref.at(i).isLetter())
        ++i;
    return ref.mid(i).toInt();
}

} // namespace

std::optional<WorkbookReader> WorkbookReader::read(const QString &path)
{
    const QByteArray sheet = member(path, "xl/worksheets/sheet1.xml");
    if (sheet.isEmpty())
        return std::nullopt;
    const QList<Style> styles = readStyles(member(path, "xl/styles.xml"));
    const QStringList strings = readSharedStrings(member(path, "xl/sharedStrings.xml"));

    WorkbookReader book;
    QXmlStreamReader wbr(member(path, "xl/workbook.xml"));
    while (!wbr.atEnd()) {
        wbr.readNext();
        if (wbr.isStartElement() && wbr.name() == QLatin1String("sheet")) {
            book.m_sheetName = wbr.attributes().value(QLatin1String("name")).toString();
            break;
        }
    }

    QXmlStreamReader r(sheet);
    QString ref;
    Cell cell;
    QString type;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const auto name = r.name();
        const QXmlStreamAttributes a = r.attributes();
        if (name == QLatin1String("pane") &&
            a.value(QLatin1String("state")) == QLatin1String("frozen")) {
            book.m_frozenAt = a.value(QLatin1String("topLeftCell")).toString();
        } else if (name == QLatin1String("col")) {
            for (int c = a.value(QLatin1String("min")).toInt();
                 c <= a.value(QLatin1String("max")).toInt(); ++c)
                book.m_widths.insert(c - 1, a.value(QLatin1String("width")).toDouble());
        } else if (name == QLatin1String("c")) {
            ref = a.value(QLatin1String("r")).toString();
            type = a.value(QLatin1String("t")).toString();
            const Style style = styles.value(a.value(QLatin1String("s")).toInt());
            cell = Cell{};
            cell.format = style.format.isEmpty() ? QStringLiteral("General") : style.format;
            cell.bold = style.bold;
            book.m_cells.insert(ref, cell);
            book.m_rows = std::max(book.m_rows, rowOf(ref));
        } else if (name == QLatin1String("v")) {
            const QString value = r.readElementText();
            Cell &c = book.m_cells[ref];
            if (type == QLatin1String("s")) {
                c.text = strings.value(value.toInt());
            } else {
                c.isNumber = true;
                c.number = value.toDouble();
            }
        } else if (name == QLatin1String("t") && type == QLatin1String("inlineStr")) {
            book.m_cells[ref].text = r.readElementText();
        }
    }
    return book;
}

std::optional<WorkbookReader::Cell> WorkbookReader::cell(const QString &ref) const
{
    const auto it = m_cells.constFind(ref);
    if (it == m_cells.cend())
        return std::nullopt;
    return *it;
}

QString WorkbookReader::text(const QString &ref) const
{
    const auto c = cell(ref);
    return c && !c->isNumber ? c->text : QString();
}

} // namespace varnock::test
