#include "reports/statisticmovements.h"

#include "ledger/closingsums.h"
#include "ledger/costengine.h"
#include "ledger/issuetotals.h"
#include "ledger/periodmovements.h"
#include "store/database.h"

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

const QString TransferIn = QStringLiteral("调拨入库");
const QString TransferReturn = QStringLiteral("调拨退货");

using Kind = PeriodMovements::Kind;

// Each statement gives (CLBH, price, counterparty, quantity, amount) grouped by material, and
// by price and counterparty where they are asked for. %1 is the price column, %2 the
// counterparty's, %3 the further conditions and %4 the further grouping.
struct Statement
{
    const char *sql;
    bool isReturn;
    const char *price; // the column of the unit price a row is kept at under first in first out
    const char *party;
};

const Statement StockIns[] = {
    {"SELECT CLBH, %1, %2, SUM(SJSL), SUM(SJJE) FROM RKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND XTBH <> 0%3 GROUP BY CLBH%4",
     false, "SJDJ", "GYSBH"},
    {"SELECT CLBH, %1, %2, SUM(THSL), SUM(THJE) FROM THD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0%3 GROUP BY CLBH%4",
     true, "THDJ", "GYSBH"},
};

const Statement AverageIssues[] = {
    {"SELECT CLBH, %1, %2, SUM(SJSL), SUM(SJJE) FROM LLD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0 AND XTBH <> 0%3 GROUP BY CLBH%4",
     false, "NULL", "LLDWBH"},
    {"SELECT CLBH, %1, %2, SUM(THSL), SUM(THJE) FROM TKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0%3 GROUP BY CLBH%4",
     true, "NULL", "LLDWBH"},
};

// Issues piece by piece at the price of the layer each piece was drawn from: a receipt, or an
// opening balance. One pass over the period's pieces finds both; each piece's amount is
// rounded on its own, as the closing's sums round it. The pieces are put in the order of their
// receipts first, so that the layers' prices are read along the stock-in lines rather than
// here and there among them.
const Statement LayerIssues[] = {
    {"SELECT CLBH, %1, %2, SUM(Q), SUM(SMUL(P, Q, 4)) FROM (SELECT M.CLBH, "
     "COALESCE(R.SJDJ, Z.KCDJ) AS P, M.U, M.Q FROM (SELECT X.CLBH, X.RKID, X.CSHID, "
     "L.LLDWBH AS U, X.CKSL AS Q FROM LLD L JOIN XJXCSJB X ON X.CKID = L.ID "
     "WHERE L.CZRQ BETWEEN ? AND ? AND L.JZBZ <> 0 AND L.XTBH <> 0%3 ORDER BY X.RKID) M "
     "LEFT JOIN RKD R ON R.ID = M.RKID LEFT JOIN ZWCSH Z ON Z.ID = M.CSHID) N "
     "GROUP BY CLBH%4",
     false, "P", "U"},
    {"SELECT CLBH, %1, %2, SUM(THSL), SUM(THJE) FROM TKD WHERE CZRQ BETWEEN ? AND ? "
     "AND JZBZ <> 0%3 GROUP BY CLBH%4",
     true, "THDJ", "LLDWBH"},
};

// A closed period's movement as its closing's sums hold it: everything but the direct
// deliveries, which the sums leave out of the stock's movements. %1 is the price column, %2
// the counterparty's, %3 the issue kind's condition and %4 the further grouping.
const char *const Summed =
    "SELECT CLBH, %1, %2, SUM(CASE WHEN LX = ? THEN -FSSL ELSE FSSL END), "
    "SUM(CASE WHEN LX = ? THEN -FSJE ELSE FSJE END) FROM YJFSB WHERE YJID = ? "
    "AND LX IN (?, ?)%3 GROUP BY CLBH%4";

// Any kind but a transfer counts as an issue, as in the stock reports.
QString issueKind(const QString &zl, bool transfer)
{
    return transfer ? QStringLiteral(" AND TRIM(%1) = '2'").arg(zl)
                    : QStringLiteral(" AND COALESCE(TRIM(%1), '') <> '2'").arg(zl);
}

void dropZeros(std::map<QString, Figure> &sums)
{
    std::erase_if(sums, [](const auto &row) { return row.second.isZero(); });
}

} // namespace

StatisticMovements::StatisticMovements(Database &db, int accountingMode)
    : m_db(db)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
{}

const QHash<QString, Decimal> &StatisticMovements::plannedPrices() const
{
    // Not read up front: the month-end reads the issues as booked and needs no catalogue.
    if (!m_planned) {
        m_planned.emplace();
        Query q = m_db.query(QStringLiteral("SELECT CLBH, JHDJ FROM CLJBXXB WHERE JJFS <> 0"));
        while (q.next())
            m_planned->insert(q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)));
    }
    return *m_planned;
}

void StatisticMovements::run(const QString &sql, const QVariantList &values, bool isReturn,
                             const Sink &add) const
{
    Query q = m_db.query(sql, values);
    while (q.next()) {
        Figure f{q.decimal(3), q.decimal(4)};
        if (isReturn)
            f = Figure{} - f;
        add({QString::fromUtf8(q.utf8(0)).trimmed(), q.isNull(1) ? Price() : Price(q.integer(1)),
             QString::fromUtf8(q.utf8(2)).trimmed(), f});
    }
}

void StatisticMovements::readLines(Movement movement, const QString &first, const QString &last,
                                   const Detail &detail, bool directOnly, const Sink &add) const
{
    const QVariantList dates{first, last};
    const auto statement = [&](const Statement &s, const QString &conditions) {
        const bool price = detail.prices && m_fifo;
        QString grouping;
        if (price)
            grouping += QStringLiteral(", %1").arg(QLatin1String(s.price));
        if (detail.parties)
            grouping += QStringLiteral(", %1").arg(QLatin1String(s.party));
        return QLatin1String(s.sql).arg(
            price ? QLatin1String(s.price) : QLatin1String("NULL"),
            detail.parties ? QLatin1String(s.party) : QLatin1String("NULL"), conditions, grouping);
    };
    switch (movement) {
    case Movement::Receipts:
    case Movement::TransfersIn: {
        const bool transfers = movement == Movement::TransfersIn;
        for (const Statement &s : StockIns) {
            if (directOnly && s.isReturn)
                continue;
            QVariantList values = dates;
            QString conditions = directOnly ? QStringLiteral(" AND CKID <> 0") : QString();
            if (transfers) {
                conditions += QStringLiteral(" AND ZL = ?");
                values << (s.isReturn ? TransferReturn : TransferIn);
            }
            run(statement(s, conditions), values, s.isReturn, add);
        }
        break;
    }
    case Movement::Issues:
    case Movement::TransfersOut: {
        const bool transfers = movement == Movement::TransfersOut;
        for (const Statement &s : m_fifo ? LayerIssues : AverageIssues) {
            if (directOnly && s.isReturn)
                continue;
            const bool pieces = QLatin1String(s.sql).contains(QLatin1String(" L JOIN "));
            const QString prefix = pieces ? QStringLiteral("L.") : QString();
            QString conditions = issueKind(prefix + QStringLiteral("ZL"), transfers);
            if (directOnly)
                conditions += QStringLiteral(" AND %1ZJZC <> 0").arg(prefix);
            run(statement(s, conditions), dates, s.isReturn, add);
        }
        break;
    }
    }
}

void StatisticMovements::readSums(Movement movement, int yjid, const Detail &detail,
                                  const Sink &add) const
{
    const bool receipts = movement == Movement::Receipts;
    const int in = int(receipts ? Kind::Receipt : Kind::Issue);
    const int out = int(receipts ? Kind::Return : Kind::IssueReturn);
    const bool price = detail.prices && m_fifo;
    QString grouping;
    if (price)
        grouping += QStringLiteral(", FSDJ");
    if (detail.parties)
        grouping += QStringLiteral(", LLDWBH");
    const QString sql = QLatin1String(Summed).arg(
        price ? QLatin1String("FSDJ") : QLatin1String("NULL"),
        detail.parties ? QLatin1String("LLDWBH") : QLatin1String("NULL"),
        receipts ? QString() : issueKind(QStringLiteral("ZL"), movement == Movement::TransfersOut),
        grouping);
    run(sql, {out, out, yjid, in, out}, false, add);
}

void StatisticMovements::read(Movement movement, const QDate &from, const QDate &to,
                              const Detail &detail, const Sink &add) const
{
    const QString first = from.isValid() ? from.toString(DateFormat) : PeriodMovements::Earliest;
    const QString last = to.toString(DateFormat);
    // The closings' sums hold the receipts per material and price, and the issues per material,
    // price, kind and unit: not the supplier of a receipt nor the kind of a stock-in line.
    const bool summed = movement == Movement::Issues || movement == Movement::TransfersOut ||
                        (movement == Movement::Receipts && !detail.parties);
    if (!summed) {
        readLines(movement, first, last, detail, false, add);
        return;
    }
    for (const ClosingSums::Span &span : ClosingSums::spans(m_db, first, last)) {
        if (!span.yjid) {
            readLines(movement, span.first, span.last, detail, false, add);
            continue;
        }
        readSums(movement, *span.yjid, detail, add);
        readLines(movement, span.first, span.last, detail, true, add);
    }
}

void StatisticMovements::readIssuesToDate(const QDate &to, const Detail &detail,
                                          const Sink &add) const
{
    QDate first;
    const std::optional<IssueTotals::Closing> base =
        IssueTotals::kept(m_db) ? IssueTotals::latest(m_db, to.toString(DateFormat)) : std::nullopt;
    if (base) {
        for (const auto &[clbh, figure] : IssueTotals::of(m_db, base->yjid))
            add({clbh, Price(), QString(), Figure{figure.first, figure.second}});
        first = QDate::fromString(base->day, DateFormat).addDays(1);
    }
    if (!first.isValid() || first <= to)
        read(Movement::Issues, first, to, detail, add);
}

Figure StatisticMovements::valued(const QString &clbh, Figure f) const
{
    const QHash<QString, Decimal> &prices = plannedPrices();
    const auto planned = prices.constFind(clbh);
    if (planned != prices.cend())
        f.amount = f.quantity * *planned;
    return f;
}

std::map<StatisticMovements::Key, Figure> StatisticMovements::perMaterial(Movement movement,
                                                                          const QDate &from,
                                                                          const QDate &to,
                                                                          bool layers) const
{
    std::map<Key, Figure> sums;
    // Each statement gives its rows in the materials' order: the row of the one before is the
    // place to look first.
    auto last = sums.end();
    const Sink add = [&](const Moved &m) {
        Price price;
        if (layers && m_fifo) {
            const auto planned = plannedPrices().constFind(m.clbh);
            price = planned == plannedPrices().cend() ? m.price : Price(planned->raw());
        }
        Key key{m.clbh, price};
        if (last == sums.end() || last->first != key)
            last = sums.try_emplace(last == sums.end() ? last : std::next(last), std::move(key));
        last->second += m.figure;
    };
    // The totals hold no layer prices.
    if (movement == Movement::Issues && !from.isValid() && !(layers && m_fifo))
        readIssuesToDate(to, Detail{layers, false}, add);
    else if (!from.isValid() || from <= to)
        read(movement, from, to, Detail{layers, false}, add);
    std::map<Key, Figure> out;
    for (const auto &[key, f] : sums) {
        const Figure v = valued(key.first, f);
        if (!v.isZero())
            out.emplace_hint(out.end(), key, v);
    }
    return out;
}

std::map<QString, Figure> StatisticMovements::issuesToDate(const QDate &day, bool fromLines) const
{
    std::map<QString, Figure> sums;
    const Sink add = [&sums](const Moved &m) { sums[m.clbh] += m.figure; };
    if (fromLines) {
        readLines(Movement::Issues, PeriodMovements::Earliest, day.toString(DateFormat), Detail{},
                  false, add);
    } else {
        readIssuesToDate(day, Detail{}, add);
    }
    dropZeros(sums);
    return sums;
}

std::map<QString, Figure> StatisticMovements::closedIssues(int yjid, const QString &first,
                                                           const QString &last) const
{
    std::map<QString, Figure> sums;
    const Sink add = [&sums](const Moved &m) { sums[m.clbh] += m.figure; };
    readSums(Movement::Issues, yjid, Detail{}, add);
    readLines(Movement::Issues, first, last, Detail{}, true, add);
    dropZeros(sums);
    return sums;
}

std::map<QString, std::map<QString, Figure>>
StatisticMovements::perParty(Movement movement, const QDate &from, const QDate &to) const
{
    std::map<QString, std::map<QString, Figure>> sums;
    read(movement, from, to, Detail{false, true},
         [&](const Moved &m) { sums[m.party][m.clbh] += m.figure; });
    // Valued in place; what comes to nothing goes.
    for (auto party = sums.begin(); party != sums.end();) {
        std::map<QString, Figure> &materials = party->second;
        for (auto it = materials.begin(); it != materials.end();) {
            it->second = valued(it->first, it->second);
            it = it->second.isZero() ? materials.erase(it) : std::next(it);
        }
        party = materials.empty() ? sums.erase(party) : std::next(party);
    }
    return sums;
}

} // namespace varnock
