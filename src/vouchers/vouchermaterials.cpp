#include "vouchers/vouchermaterials.h"

#include "store/database.h"
#include "store/rowreader.h"

#include <QSqlQuery>

namespace varnock {

namespace {

// Where a family keeps its lines (fixed names, never input).
struct Lines
{
    const char *table;
    const char *quantity;
    const char *amount;
    const char *voucher;   // what the lines of one voucher share
    const char *condition; // the family's own lines of the table; empty for all
    bool reversible;
};

Lines linesOf(VoucherMaterials::Family family)
{
    using F = VoucherMaterials::Family;
    switch (family) {
    case F::Opening:
        return {"ZWCSH", "KCSL", "KCJE", "L.ID", "", false};
    case F::StockIn:
        return {"RKD", "SJSL", "SJJE", "L.XTBH", "(L.CKID IS NULL OR L.CKID = 0)", true};
    case F::StockInReturn:
        return {"THD", "THSL", "THJE", "L.XTBH", "", false};
    case F::Issue:
        break;
    }
    return {"LLD", "SJSL", "SJJE", "L.XTBH", "L.ZJZC = 0", true};
}

} // namespace

const QStringList VoucherMaterials::FamilyNames = {
    QStringLiteral("初始化数据"), QStringLiteral("入库单据"), QStringLiteral("入库退货单据"),
    QStringLiteral("领料出库单据")};
const QStringList VoucherMaterials::StateNames = {QStringLiteral("未冲帐材料"),
                                                  QStringLiteral("已冲帐材料")};

VoucherMaterials::VoucherMaterials(Database &db)
    : m_db(db)
{}

QList<VoucherMaterials::Row> VoucherMaterials::find(Family family, bool reversed, By by,
                                                    const QString &text) const
{
    const Lines lines = linesOf(family);
    if (reversed && !lines.reversible)
        return {};
    QStringList where;
    QVariantList values;
    if (*lines.condition)
        where << QString::fromLatin1(lines.condition);
    if (lines.reversible)
        where << (reversed ? QStringLiteral("L.CZBZ <> 0") : QStringLiteral("L.CZBZ = 0"));
    if (!text.trimmed().isEmpty()) {
        where << (by == By::Code ? QStringLiteral("C.CLBH LIKE ? ESCAPE '\\'")
                                 : QStringLiteral("C.CLMC LIKE ? ESCAPE '\\'"));
        values << Database::likeEscaped(text.trimmed()) + QLatin1Char('%');
    }
    const QString sql =
        QStringLiteral("SELECT L.CLBH, MIN(C.CLMC), MIN(C.CLGG), MIN(C.JZDW), "
                       "COUNT(DISTINCT %1), SUM(L.%2), SUM(L.%3) FROM %4 L "
                       "JOIN CLJBXXB C ON C.CLBH = L.CLBH %5 GROUP BY L.CLBH ORDER BY L.CLBH")
            .arg(QLatin1String(lines.voucher), QLatin1String(lines.quantity),
                 QLatin1String(lines.amount), QLatin1String(lines.table),
                 where.isEmpty() ? QString()
                                 : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")));
    return readRows<Row>(m_db.exec(sql, values), &Row::clbh, &Row::clmc, &Row::clgg, &Row::jzdw,
                         &Row::vouchers, &Row::quantity, &Row::amount);
}

} // namespace varnock
