#include "store/materiallibraries.h"

#include "store/database.h"
#include "store/errors.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>

// The core library is static: its resources must be registered by hand, and the macro only
// works outside any namespace.
static void initMaterialLibraryResources()
{
    Q_INIT_RESOURCE(materiallibraries);
}

namespace varnock::MaterialLibraries {

namespace {

const QString Header =
    QStringLiteral("CLBH,SJBH,CLMC,CLGG,JZDW,HSDW,HSXS,JHDJ,JHSL,JJFS,SFMJ,CRKBZ");
constexpr int FieldCount = 12;
enum Field { CLBH, SJBH, CLMC, CLGG, JZDW, HSDW, HSXS, JHDJ, JHSL, JJFS, SFMJ, CRKBZ };

// A reason for refusing one line; turned into a StoreError with file and line.
struct LineFault
{
    QString reason;
};

// Splits one CSV line. Quoted fields may hold commas and doubled quotes; a quote anywhere
// else is refused rather than guessed at.
QStringList splitCsv(QStringView line)
{
    QStringList fields;
    QString field;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (true) {
        field.clear();
        if (i < n && line[i] == u'"') {
            ++i;
            while (true) {
                if (i >= n)
                    throw LineFault{QStringLiteral("unterminated quoted field")};
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            if (i < n && line[i] != u',')
                throw LineFault{QStringLiteral("text after a closing quote")};
        } else {
            while (i < n && line[i] != u',') {
                if (line[i] == u'"')
                    throw LineFault{QStringLiteral("quote inside an unquoted field")};
                field += line[i++];
            }
        }
        fields.append(field);
        if (i >= n)
            return fields;
        ++i; // the comma
    }
}

bool isDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

bool readFlag(const QString &text, const char *column)
{
    if (text == u"0")
        return false;
    if (text == u"1")
        return true;
    throw LineFault{QStringLiteral("%1 is not 0 or 1: '%2'").arg(QLatin1String(column), text)};
}

Decimal readFigure(const QString &text, const char *column)
{
    const std::optional<Decimal> value = Decimal::parse(text);
    if (!value || text.trimmed() != text)
        throw LineFault{
            QStringLiteral("%1 is not a number: '%2'").arg(QLatin1String(column), text)};
    if (value->isNegative())
        throw LineFault{QStringLiteral("%1 is negative: '%2'").arg(QLatin1String(column), text)};
    return *value;
}

int levelOf(const QHash<QString, int> &levels, const QString &parent)
{
    return parent == u"0" ? 1 : levels.value(parent) + 1;
}

Row readRow(const QStringList &f, const QHash<QString, int> &levels,
            const QHash<QString, bool> &isMaterial)
{
    if (f.size() != FieldCount)
        throw LineFault{QStringLiteral("%1 fields instead of %2").arg(f.size()).arg(FieldCount)};
    for (const QString &text : f) {
        if (text.trimmed() != text)
            throw LineFault{QStringLiteral("spaces around '%1'").arg(text)};
    }

    Row row;
    row.clbh = f[CLBH];
    row.sjbh = f[SJBH];
    row.clmc = f[CLMC];
    row.clgg = f[CLGG];
    row.jzdw = f[JZDW];
    row.hsdw = f[HSDW];
    row.jjfs = readFlag(f[JJFS], "JJFS");
    row.sfmj = readFlag(f[SFMJ], "SFMJ");
    row.crkbz = readFlag(f[CRKBZ], "CRKBZ");

    // The code tree: a top-level code is a plain integer under "0", every other code is its
    // parent's followed by three digits counted from 001, so a parent holds at most 999.
    if (!isDigits(row.clbh))
        throw LineFault{QStringLiteral("code '%1' is not made of digits").arg(row.clbh)};
    if (levels.contains(row.clbh))
        throw LineFault{QStringLiteral("code %1 appears twice").arg(row.clbh)};
    if (row.sjbh == u"0") {
        if (row.clbh.startsWith(u'0'))
            throw LineFault{QStringLiteral("top code '%1' has a leading zero").arg(row.clbh)};
    } else {
        if (!levels.contains(row.sjbh))
            throw LineFault{QStringLiteral("parent %1 of %2 is not defined on an earlier line")
                                .arg(row.sjbh, row.clbh)};
        if (isMaterial.value(row.sjbh))
            throw LineFault{QStringLiteral("parent %1 of %2 is a material, not a category")
                                .arg(row.sjbh, row.clbh)};
        if (row.clbh.size() != row.sjbh.size() + 3 || !row.clbh.startsWith(row.sjbh))
            throw LineFault{
                QStringLiteral("code %1 is not %2 and three digits").arg(row.clbh, row.sjbh)};
        if (row.clbh.endsWith(QLatin1String("000")))
            throw LineFault{
                QStringLiteral("code %1 ends in 000; children count from 001").arg(row.clbh)};
    }
    if (row.clmc.isEmpty())
        throw LineFault{QStringLiteral("CLMC of %1 is empty").arg(row.clbh)};

    // The catalogue screen shows three levels: categories on the first two, materials on the
    // third, which is also where the reports look for them.
    const int level = levelOf(levels, row.sjbh);
    if (row.sfmj != (level == 3))
        throw LineFault{row.sfmj ? QStringLiteral("material %1 is not on level 3").arg(row.clbh)
                                 : QStringLiteral("category %1 is on level 3").arg(row.clbh)};

    if (!row.sfmj) {
        bool materialFields = row.jjfs || row.crkbz;
        for (const Field field : {CLGG, JZDW, HSDW, HSXS, JHDJ, JHSL})
            materialFields = materialFields || !f[field].isEmpty();
        if (materialFields)
            throw LineFault{QStringLiteral("category %1 carries material fields").arg(row.clbh)};
        return row;
    }

    if (row.clgg.isEmpty())
        throw LineFault{QStringLiteral("CLGG of material %1 is empty").arg(row.clbh)};
    if (row.jzdw.isEmpty())
        throw LineFault{QStringLiteral("JZDW of material %1 is empty").arg(row.clbh)};
    row.jhdj = readFigure(f[JHDJ], "JHDJ");
    row.jhsl = f[JHSL].isEmpty() ? Decimal() : readFigure(f[JHSL], "JHSL");
    if (row.hsdw.isEmpty() != f[HSXS].isEmpty())
        throw LineFault{QStringLiteral("%1 has only one of HSDW and HSXS").arg(row.clbh)};
    if (!row.hsdw.isEmpty()) {
        bool ok = false;
        const double factor = f[HSXS].toDouble(&ok);
        if (!ok || !std::isfinite(factor) || factor <= 0)
            throw LineFault{
                QStringLiteral("HSXS of %1 is not above 0: '%2'").arg(row.clbh, f[HSXS])};
        if (row.hsdw == row.jzdw)
            throw LineFault{QStringLiteral("HSDW of %1 repeats its unit").arg(row.clbh)};
        row.hsxs = factor;
    }
    return row;
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

} // namespace

QString tableName(int library)
{
    return QStringLiteral("CLJBXXB%1").arg(library);
}

QString fileName(int library)
{
    return QStringLiteral("cljbxxb%1.csv").arg(library);
}

QList<Row> parse(const QByteArray &utf8, const QString &file)
{
    QList<QByteArray> lines = utf8.split('\n');
    // The final newline leaves one empty piece behind; any other empty line is a fault.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    QList<Row> result;
    QHash<QString, int> levels;
    QHash<QString, bool> isMaterial;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        try {
            QByteArray bytes = lines[i];
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            if (i == 0 && bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString line = decoder.decode(bytes);
            if (decoder.hasError())
                throw LineFault{QStringLiteral("not valid UTF-8")};
            if (i == 0) {
                if (line != Header)
                    throw LineFault{QStringLiteral("the header must read %1").arg(Header)};
                continue;
            }
            if (line.isEmpty())
                throw LineFault{QStringLiteral("empty line")};
            Row row = readRow(splitCsv(line), levels, isMaterial);
            levels.insert(row.clbh, levelOf(levels, row.sjbh));
            isMaterial.insert(row.clbh, row.sfmj);
            result.append(std::move(row));
        } catch (const LineFault &fault) {
            throw StoreError(
                QStringLiteral("%1, line %2: %3").arg(file).arg(lineNumber).arg(fault.reason));
        }
    }
    if (result.isEmpty())
        throw StoreError(QStringLiteral("%1: the library holds no rows").arg(file));
    return result;
}

QList<Row> rows(int library)
{
    if (library < 0 || library >= Count)
        throw StoreError(QStringLiteral("no material library %1").arg(library));
    initMaterialLibraryResources();
    const QString name = fileName(library);
    QFile file(QStringLiteral(":/materiallibraries/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("%1: %2").arg(name, file.errorString()));
    return parse(file.readAll(), name);
}

void seed(Database &db)
{
    // Parse everything first: a faulty file must not leave some tables replaced.
    QList<QList<Row>> libraries;
    for (int library = 0; library < Count; ++library)
        libraries.append(rows(library));

    Transaction tx(db);
    for (int library = 0; library < Count; ++library) {
        const QString table = tableName(library);
        db.exec(QStringLiteral("DELETE FROM ") + table);
        const QString insert = QStringLiteral("INSERT INTO ") + table +
                               QStringLiteral(" (CLBH, SJBH, CLMC, CLGG, JZDW, HSDW, HSXS, "
                                              "JHDJ, JHSL, JJFS, SFMJ, CRKBZ) "
                                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const QVariant nullFigure(QMetaType::fromType<qlonglong>());
        for (const Row &row : std::as_const(libraries[library])) {
            db.exec(insert,
                    {row.clbh, row.sjbh, row.clmc, textOrNull(row.clgg), textOrNull(row.jzdw),
                     textOrNull(row.hsdw),
                     row.hsxs ? QVariant(*row.hsxs) : QVariant(QMetaType::fromType<double>()),
                     row.sfmj ? row.jhdj.toVariant() : nullFigure,
                     row.sfmj ? row.jhsl.toVariant() : nullFigure, row.jjfs ? 1 : 0,
                     row.sfmj ? 1 : 0, row.crkbz ? 1 : 0});
        }
    }
    tx.commit();
}

} // namespace varnock::MaterialLibraries
