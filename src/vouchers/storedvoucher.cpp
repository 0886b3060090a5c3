#include "vouchers/storedvoucher.h"

#include "store/database.h"

#include <QSqlQuery>

namespace varnock {
namespace {

using Kind = StoredVoucher::Kind;
using Column = StoredVoucher::Column;

struct Layout
{
    const char *table;
    QList<Column> header;
    QList<Column> columns;
};

Column col(const char *name, Kind kind)
{
    return {QString::fromLatin1(name), kind};
}

Layout layoutOf(Posting::Family family)
{
    switch (family) {
    case Posting::Family::StockIn:
        return {"RKD",
                {col("XTBH", Kind::Integer), col("YSDJH", Kind::Text), col("GYSBH", Kind::Text),
                 col("CZRQ", Kind::Text), col("FPBH", Kind::Text), col("ZPH", Kind::Text),
                 col("ZL", Kind::Text)},
                {col("ID", Kind::Integer), col("CLBH", Kind::Text), col("SJDJ", Kind::Amount),
                 col("SJSL", Kind::Quantity), col("SJJE", Kind::Amount), col("YFJE", Kind::Amount),
                 col("JZBZ", Kind::Flag), col("CZBZ", Kind::Flag), col("THBZ", Kind::Flag),
                 col("ZJBZ", Kind::Flag)}};
    case Posting::Family::StockInReturn:
        return {"THD",
                {col("XTBH", Kind::Integer), col("THDJH", Kind::Text), col("YSBH", Kind::Text),
                 col("GYSBH", Kind::Text), col("CZRQ", Kind::Text), col("FPBH", Kind::Text),
                 col("ZL", Kind::Text)},
                {col("ID", Kind::Integer), col("CLBH", Kind::Text), col("THDJ", Kind::Amount),
                 col("THSL", Kind::Quantity), col("THJE", Kind::Amount), col("RKID", Kind::Integer),
                 col("JZBZ", Kind::Flag)}};
    case Posting::Family::Issue:
        return {"LLD",
                {col("XTBH", Kind::Integer), col("YSDJH", Kind::Text), col("LLDWBH", Kind::Text),
                 col("CZRQ", Kind::Text), col("SGBW", Kind::Text), col("DH", Kind::Text),
                 col("ZL", Kind::Text)},
                {col("ID", Kind::Integer), col("CLBH", Kind::Text), col("SJDJ", Kind::Amount),
                 col("SJSL", Kind::Quantity), col("SJJE", Kind::Amount), col("BZ", Kind::Text),
                 col("JZBZ", Kind::Flag), col("CZBZ", Kind::Flag), col("THBZ", Kind::Flag)}};
    case Posting::Family::IssueReturn:
        return {"TKD",
                {col("XTBH", Kind::Integer), col("THDJH", Kind::Text), col("YSBH", Kind::Text),
                 col("LLDWBH", Kind::Text), col("CZRQ", Kind::Text), col("ZL", Kind::Text)},
                {col("ID", Kind::Integer), col("CLBH", Kind::Text), col("THDJ", Kind::Amount),
                 col("THSL", Kind::Quantity), col("THJE", Kind::Amount), col("LLID", Kind::Integer),
                 col("JZBZ", Kind::Flag), col("CZBZ", Kind::Flag)}};
    }
    return {};
}

QString names(const QList<Column> &columns)
{
    QStringList list;
    for (const Column &c : columns)
        list << c.name;
    return list.join(QStringLiteral(", "));
}

} // namespace

std::optional<StoredVoucher> StoredVoucher::load(Database &db, Posting::Family family, qint64 xtbh)
{
    const Layout layout = layoutOf(family);
    StoredVoucher v;
    v.table = QString::fromLatin1(layout.table);
    v.header = layout.header;
    v.columns = layout.columns;
    // Table and field names come from the layouts above, never from input.
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1, %2 FROM %3 WHERE XTBH = ? ORDER BY ID")
                              .arg(names(layout.header), names(layout.columns), v.table),
                          {xtbh});
    const int headerSize = int(layout.header.size());
    const int columnCount = int(layout.columns.size());
    while (q.next()) {
        if (v.lines.isEmpty()) {
            for (int i = 0; i < headerSize; ++i)
                v.headerValues << q.value(i);
        }
        QVariantList line;
        for (int i = 0; i < columnCount; ++i)
            line << q.value(headerSize + i);
        v.lines << line;
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

std::optional<QString> StoredVoucher::kindOfLine(Database &db, Posting::Family family,
                                                 qint64 lineId)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT ZL FROM %1 WHERE ID = ?")
                              .arg(QString::fromLatin1(layoutOf(family).table)),
                          {lineId});
    if (!q.next())
        return std::nullopt;
    return q.value(0).toString();
}

} // namespace varnock
