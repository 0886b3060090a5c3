#include "reports/statisticmovements.h"

#include "ledger/costengine.h"
#include "store/database.h"

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
// Before every date the books hold.
const QString Earliest = QStringLiteral("0000-01-01");

const QString TransferIn = QStringLiteral("调拨入库");
const QString TransferReturn = QStringLiteral("调拨退货");

// Each statement gives (CLBH, price, counterparty, quantity, amount). In the stock-in
// statements %1 is the price column (NULL when the rows are not kept by price), %2 the kind
// condition and %3 the price in the grouping; in the issue statements %1 is the kind condition.
struct Statement
{
    const char *sql;
    bool isReturn;
};

const Statement StockIns[] = {
    {"SELECT CLBH, %1, GYSBH, SUM(SJSL), SUM(SJJE) FROM RKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND XTBH <> 0%2 GROUP BY CLBH, GYSBH%3",
     false},
    {"SELECT CLBH, %1, GYSBH, SUM(THSL), SUM(THJE) FROM THD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0%2 GROUP BY CLBH, GYSBH%3",
     true},
};

const Statement AverageIssues[] = {
    {"SELECT CLBH, NULL, LLDWBH, SUM(SJSL), SUM(SJJE) FROM LLD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND XTBH <> 0 AND %1 GROUP BY CLBH, LLDWBH",
     false},
    {"SELECT CLBH, NULL, LLDWBH, SUM(THSL), SUM(THJE) FROM TKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND %1 GROUP BY CLBH, LLDWBH",
     true},
};

// Issues piece by piece at the price of the layer each piece was drawn from: a receipt, or an
// opening balance. One pass over the period's pieces finds both.
const Statement LayerIssues[] = {
    {"SELECT CLBH, P, LLDWBH, SUM(Q), SUM(SMUL(P, Q, 4)) FROM (SELECT X.CLBH, "
     "COALESCE(R.SJDJ, Z.KCDJ) AS P, L.LLDWBH, X.CKSL AS Q FROM LLD L "
     "JOIN XJXCSJB X ON X.CKID = L.ID LEFT JOIN RKD R ON R.ID = X.RKID "
     "LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID "
     "WHERE L.CZRQ BETWEEN ? AND ? AND L.JZBZ <> 0 AND L.XTBH <> 0 AND %1) M "
     "GROUP BY CLBH, P, LLDWBH",
     false},
    {"SELECT CLBH, THDJ, LLDWBH, SUM(THSL), SUM(THJE) FROM TKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND %1 GROUP BY CLBH, THDJ, LLDWBH",
     true},
};

// Any kind but a transfer counts as an issue, as in the stock reports.
QString issueKind(const Statement &s, bool transfer)
{
    const QString zl = QLatin1String(s.sql).contains(QLatin1String(" L JOIN "))
                           ? QStringLiteral("L.ZL")
                           : QStringLiteral("ZL");
    return transfer ? QStringLiteral("TRIM(%1) = '2'").arg(zl)
                    : QStringLiteral("COALESCE(TRIM(%1), '') <> '2'").arg(zl);
}

} // namespace

StatisticMovements::StatisticMovements(Database &db, int accountingMode)
    : m_db(db)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
{
    Query q = m_db.query(QStringLiteral("SELECT CLBH, JHDJ FROM CLJBXXB WHERE JJFS <> 0"));
    while (q.next())
        m_planned.insert(q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)));
}

QList<StatisticMovements::Moved> StatisticMovements::read(Movement movement, const QDate &from,
                                                          const QDate &to) const
{
    const QVariantList dates{from.isValid() ? from.toString(DateFormat) : Earliest,
                             to.toString(DateFormat)};
    QList<Moved> rows;
    const auto run = [&](const Statement &s, const QString &sql, const QVariantList &values) {
        Query q = m_db.query(sql, values);
        while (q.next()) {
            const QVariant price = q.value(1);
            Figure f{Decimal::fromVariant(q.value(3)), Decimal::fromVariant(q.value(4))};
            if (s.isReturn)
                f = Figure{} - f;
            rows.append({q.value(0).toString().trimmed(),
                         price.isNull() ? Price() : Price(price.toLongLong()),
                         q.value(2).toString().trimmed(), f});
        }
    };
    switch (movement) {
    case Movement::Receipts:
    case Movement::TransfersIn: {
        const bool transfers = movement == Movement::TransfersIn;
        for (const Statement &s : StockIns) {
            const QString price = !m_fifo      ? QStringLiteral("NULL")
                                  : s.isReturn ? QStringLiteral("THDJ")
                                               : QStringLiteral("SJDJ");
            QVariantList values = dates;
            if (transfers)
                values << (s.isReturn ? TransferReturn : TransferIn);
            run(s,
                QLatin1String(s.sql).arg(price,
                                         transfers ? QStringLiteral(" AND ZL = ?") : QString(),
                                         m_fifo ? QStringLiteral(", ") + price : QString()),
                values);
        }
        break;
    }
    case Movement::Issues:
    case Movement::TransfersOut: {
        const bool transfers = movement == Movement::TransfersOut;
        if (m_fifo) {
            for (const Statement &s : LayerIssues)
                run(s, QLatin1String(s.sql).arg(issueKind(s, transfers)), dates);
        } else {
            for (const Statement &s : AverageIssues)
                run(s, QLatin1String(s.sql).arg(issueKind(s, transfers)), dates);
        }
        break;
    }
    }
    return rows;
}

Figure StatisticMovements::valued(const QString &clbh, Figure f) const
{
    const auto planned = m_planned.constFind(clbh);
    if (planned != m_planned.cend())
        f.amount = f.quantity * *planned;
    return f;
}

std::map<StatisticMovements::Key, Figure> StatisticMovements::perMaterial(Movement movement,
                                                                          const QDate &from,
                                                                          const QDate &to,
                                                                          bool layers) const
{
    std::map<Key, Figure> sums;
    for (const Moved &m : read(movement, from, to)) {
        Price price;
        if (layers && m_fifo) {
            const auto planned = m_planned.constFind(m.clbh);
            price = planned == m_planned.cend() ? m.price : Price(planned->raw());
        }
        sums[{m.clbh, price}] += m.figure;
    }
    std::map<Key, Figure> out;
    for (const auto &[key, f] : sums) {
        const Figure v = valued(key.first, f);
        if (!v.isZero())
            out.emplace(key, v);
    }
    return out;
}

std::map<QString, std::map<QString, Figure>>
StatisticMovements::perParty(Movement movement, const QDate &from, const QDate &to) const
{
    std::map<QString, std::map<QString, Figure>> sums;
    for (const Moved &m : read(movement, from, to))
        sums[m.party][m.clbh] += m.figure;
    std::map<QString, std::map<QString, Figure>> out;
    for (const auto &[party, materials] : sums) {
        for (const auto &[clbh, f] : materials) {
            const Figure v = valued(clbh, f);
            if (!v.isZero())
                out[party].emplace(clbh, v);
        }
    }
    return out;
}

} // namespace varnock
