#include "ledger/layersnapshot.h"

#include "store/bulkinsert.h"
#include "store/database.h"

#include <deque>
#include <limits>
#include <map>

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// Every movement of the history dated up to a day, one row (CLBH, DJ, SL, JE) each. Direct
// deliveries never rest in the store (nor do the allocations of their issues), and lines
// without a voucher number are booked through their count or issue return. Nearly every row
// is dated up to the day, so the tables are read straight through ("+CZRQ"), not row by row
// through their date indexes.
const QString History =
    QStringLiteral("SELECT CLBH, SJDJ AS DJ, SJSL AS SL, SJJE AS JE FROM RKD "
                   "WHERE XTBH <> 0 AND (CKID IS NULL OR CKID = 0) AND +CZRQ <= ? "
                   "UNION ALL SELECT CLBH, THDJ, -THSL, -THJE FROM THD WHERE +CZRQ <= ? "
                   "UNION ALL SELECT X.CLBH, R.SJDJ, -X.CKSL, -SMUL(R.SJDJ, X.CKSL, 4) "
                   "FROM XJXCSJB X JOIN RKD R ON R.ID = X.RKID JOIN LLD L ON L.ID = X.CKID "
                   "WHERE L.XTBH <> 0 AND L.ZJZC = 0 AND L.CZRQ <= ? "
                   "UNION ALL SELECT X.CLBH, Z.KCDJ, -X.CKSL, -SMUL(Z.KCDJ, X.CKSL, 4) "
                   "FROM XJXCSJB X JOIN ZWCSH Z ON Z.ID = X.CSHID JOIN LLD L ON L.ID = X.CKID "
                   "WHERE L.XTBH <> 0 AND L.CZRQ <= ? "
                   "UNION ALL SELECT CLBH, THDJ, THSL, THJE FROM TKD WHERE +CZRQ <= ? "
                   "UNION ALL SELECT CLBH, PDDJ, PDSL, PDJE FROM PYK WHERE RQ <= ? "
                   "UNION ALL SELECT CLBH, KCDJ, KCSL, KCJE FROM ZWCSH");
constexpr int HistoryDates = 6;

// The previous closing's pairs and the same movements dated after it up to the day, found
// along the date indexes. Opening balances are part of every closing already.
const QString SinceClosing = QStringLiteral(
    "SELECT CLBH, JCDJ AS DJ, JCSL AS SL, JCJE AS JE FROM XJXCYJKCB WHERE YJID = ? "
    "UNION ALL SELECT CLBH, SJDJ, SJSL, SJJE FROM RKD "
    "WHERE XTBH <> 0 AND (CKID IS NULL OR CKID = 0) AND CZRQ > ? AND CZRQ <= ? "
    "UNION ALL SELECT CLBH, THDJ, -THSL, -THJE FROM THD WHERE CZRQ > ? AND CZRQ <= ? "
    "UNION ALL SELECT X.CLBH, R.SJDJ, -X.CKSL, -SMUL(R.SJDJ, X.CKSL, 4) "
    "FROM LLD L JOIN XJXCSJB X ON X.CKID = L.ID JOIN RKD R ON R.ID = X.RKID "
    "WHERE L.XTBH <> 0 AND L.ZJZC = 0 AND L.CZRQ > ? AND L.CZRQ <= ? "
    "UNION ALL SELECT X.CLBH, Z.KCDJ, -X.CKSL, -SMUL(Z.KCDJ, X.CKSL, 4) "
    "FROM LLD L JOIN XJXCSJB X ON X.CKID = L.ID JOIN ZWCSH Z ON Z.ID = X.CSHID "
    "WHERE L.XTBH <> 0 AND L.CZRQ > ? AND L.CZRQ <= ? "
    "UNION ALL SELECT CLBH, THDJ, THSL, THJE FROM TKD WHERE CZRQ > ? AND CZRQ <= ? "
    "UNION ALL SELECT CLBH, PDDJ, PDSL, PDJE FROM PYK WHERE RQ > ? AND RQ <= ?");
constexpr int SinceClosingRanges = 6;

// The sums are exact, so regrouping in steps gives what regrouping at once gives.
QString grouped(const QString &movements)
{
    return QStringLiteral("SELECT A.CLBH, A.DJ, COALESCE(SUM(A.SL), 0), COALESCE(SUM(A.JE), 0) "
                          "FROM (%1) AS A GROUP BY A.CLBH, A.DJ "
                          "HAVING COALESCE(SUM(A.SL), 0) <> 0 OR COALESCE(SUM(A.JE), 0) <> 0")
        .arg(movements);
}

QVariantList historyValues(const QString &day)
{
    QVariantList values;
    for (int i = 0; i < HistoryDates; ++i)
        values << day;
    return values;
}

QList<LayerSnapshot::Pair> pairsOf(Query &q)
{
    QList<LayerSnapshot::Pair> pairs;
    while (q.next()) {
        pairs.append({q.value(0).toString(), q.value(1), Decimal::fromVariant(q.value(2)),
                      Decimal::fromVariant(q.value(3))});
    }
    return pairs;
}

using PairKey = std::pair<QString, qint64>;

PairKey keyOf(const LayerSnapshot::Pair &p)
{
    return {p.clbh, p.price.isNull() ? std::numeric_limits<qint64>::min()
                                     : Decimal::fromVariant(p.price).raw()};
}

QString priceText(const LayerSnapshot::Pair &p)
{
    return p.price.isNull() ? QStringLiteral("NULL") : Decimal::fromVariant(p.price).toString();
}

} // namespace

LayerSnapshot::LayerSnapshot(Database &db)
    : m_db(db)
{}

bool LayerSnapshot::keepsEveryPair(int yjid) const
{
    const QVariant zero = m_db.scalar(QStringLiteral("SELECT 1 FROM XJXCYJKCB WHERE YJID = ? "
                                                     "AND COALESCE(JCSL, 0) = 0 "
                                                     "AND COALESCE(JCJE, 0) = 0 LIMIT 1"),
                                      {yjid});
    return zero.isValid() && !zero.isNull();
}

void LayerSnapshot::write(int yjid, const QDate &day)
{
    const QString to = day.toString(DateFormat);
    Query previous = m_db.query(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB "
                                               "WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)"));
    const bool hasPrevious = previous.next();
    const int previousId = hasPrevious ? previous.value(0).toInt() : 0;
    const QString from = hasPrevious ? previous.value(1).toString() : QString();
    previous.finish();

    QString pairs;
    QVariantList values;
    if (!hasPrevious || keepsEveryPair(previousId)) {
        pairs = grouped(History);
        values = historyValues(to);
    } else {
        pairs = grouped(SinceClosing);
        values << previousId;
        for (int i = 0; i < SinceClosingRanges; ++i)
            values << from << to;
    }
    // The grouping already yields the pairs in the order of the table's key: each material's
    // pairs are numbered by price here and written in that order, with no sorting beyond it.
    Query q = m_db.query(pairs + QStringLiteral(" ORDER BY A.CLBH, A.DJ"), values);
    BulkInsert insert(m_db, QStringLiteral("XJXCYJKCB"),
                      {QStringLiteral("YJID"), QStringLiteral("CLBH"), QStringLiteral("JCDJ"),
                       QStringLiteral("JCSL"), QStringLiteral("JCJE"), QStringLiteral("XH")});
    std::deque<QByteArray> codes; // each material's code once, where the insert binds it
    qint64 xh = 0;
    while (q.next()) {
        const QByteArrayView clbh = q.utf8(0);
        if (codes.empty() || codes.back() != clbh) {
            codes.emplace_back(clbh.toByteArray());
            xh = 0;
        }
        insert.addInteger(yjid);
        insert.addText(codes.back());
        if (q.isNull(1))
            insert.addNull();
        else
            insert.addInteger(q.integer(1));
        insert.addInteger(q.integer(2));
        insert.addInteger(q.integer(3));
        insert.addInteger(++xh);
    }
    q.finish();
    insert.finish();
}

QList<LayerSnapshot::Pair> LayerSnapshot::regrouped(const QDate &day) const
{
    Query q = m_db.query(grouped(History), historyValues(day.toString(DateFormat)));
    return pairsOf(q);
}

QList<LayerSnapshot::Pair> LayerSnapshot::stored(int yjid) const
{
    Query q = m_db.query(QStringLiteral("SELECT CLBH, JCDJ, COALESCE(JCSL, 0), "
                                        "COALESCE(JCJE, 0) FROM XJXCYJKCB WHERE YJID = ? "
                                        "AND (COALESCE(JCSL, 0) <> 0 OR COALESCE(JCJE, 0) <> 0) "
                                        "ORDER BY CLBH, JCDJ"),
                         {yjid});
    return pairsOf(q);
}

QList<LayerSnapshot::Difference> LayerSnapshot::latestDifferences(const Formats &formats) const
{
    Query latest = m_db.query(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB "
                                             "WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)"));
    if (!latest.next())
        return {};
    const int yjid = latest.value(0).toInt();
    const QDate day = QDate::fromString(latest.value(1).toString(), DateFormat);
    latest.finish();
    // A closing that froze no stock at all was made on empty books: it has no pairs to hold.
    if (!m_db.scalar(QStringLiteral("SELECT 1 FROM YJKCB WHERE YJID = ? LIMIT 1"), {yjid})
             .isValid())
        return {};

    const bool rounded = keepsEveryPair(yjid);
    std::map<PairKey, Pair> history;
    for (Pair p : regrouped(day)) {
        if (rounded) {
            p.amount = formats.roundAmount(p.amount);
            if (p.quantity.isZero() && p.amount.isZero())
                continue;
        }
        history.emplace(keyOf(p), p);
    }
    std::map<PairKey, Pair> closing;
    for (const Pair &p : stored(yjid))
        closing.emplace(keyOf(p), p);

    QList<Difference> differences;
    const auto describe = [&](const Pair &any, const Pair *kept, const Pair *found) {
        const auto figures = [](const Pair *p) {
            return p ? QStringLiteral("%1 / %2").arg(p->quantity.toString(), p->amount.toString())
                     : QStringLiteral("0 / 0");
        };
        differences.append({any.clbh, QStringLiteral("XJXCYJKCB at %1 in closing %2: closing "
                                                     "%3, history %4")
                                          .arg(priceText(any))
                                          .arg(yjid)
                                          .arg(figures(kept), figures(found))});
    };
    for (const auto &[key, p] : history) {
        const auto it = closing.find(key);
        if (it == closing.end())
            describe(p, nullptr, &p);
        else if (it->second.quantity != p.quantity || it->second.amount != p.amount)
            describe(p, &it->second, &p);
    }
    for (const auto &[key, p] : closing) {
        if (!history.count(key))
            describe(p, &p, nullptr);
    }
    return differences;
}

} // namespace varnock
