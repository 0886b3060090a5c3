#include "reports/stockbalances.h"

#include "ledger/costengine.h"
#include "store/database.h"

namespace varnock {

const QString UnitColumn::TransferCode = QStringLiteral("调拨");
const QString UnitColumn::TransferName = QStringLiteral("调拨合计");

Figure &Figure::operator+=(const Figure &other)
{
    quantity += other.quantity;
    amount += other.amount;
    return *this;
}

Figure &Figure::operator-=(const Figure &other)
{
    quantity -= other.quantity;
    amount -= other.amount;
    return *this;
}

Figure StockFigures::closing() const
{
    Figure f = opening + receipts - issues - transfers + counts;
    f.amount += raised + lowered;
    return f;
}

bool StockFigures::isEmpty() const
{
    for (const Figure &u : units) {
        if (!u.isZero())
            return false;
    }
    return opening.isZero() && receipts.isZero() && issues.isZero() && transfers.isZero() &&
           counts.isZero() && raised.isZero() && lowered.isZero();
}

StockFigures &StockFigures::operator+=(const StockFigures &other)
{
    opening += other.opening;
    receipts += other.receipts;
    for (int i = 0; i < UnitColumns; ++i)
        units[i] += other.units[i];
    issues += other.issues;
    transfers += other.transfers;
    counts += other.counts;
    raised += other.raised;
    lowered += other.lowered;
    return *this;
}

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
// Before every date the books hold.
const QString Earliest = QStringLiteral("0000-01-01");

enum class Role { Stock, Receipt, Return, Issue, IssueReturn, Count, Adjustment };

// Every statement gives (CLBH, price, kind, unit, quantity, amount) grouped by the first four;
// %1 is the place of the material condition, %2 that of the unit: only the units of the chosen
// columns are told apart, the others are one group. Adjustments give the amounts above zero as
// their quantity and those below zero as their amount.
struct Source
{
    Role role;
    const char *sql;
};

const Source AverageMovements[] = {
    {Role::Receipt, "SELECT CLBH, NULL, NULL, NULL, SUM(SJSL), SUM(SJJE) FROM RKD "
                    "WHERE CZRQ BETWEEN ? AND ?%1 AND JZBZ <> 0 AND XTBH <> 0 "
                    "AND COALESCE(CKID, 0) = 0 GROUP BY CLBH"},
    {Role::Return, "SELECT CLBH, NULL, NULL, NULL, SUM(THSL), SUM(THJE) FROM THD "
                   "WHERE CZRQ BETWEEN ? AND ?%1 AND JZBZ <> 0 GROUP BY CLBH"},
    {Role::Issue, "SELECT CLBH, NULL, ZL, U, SUM(Q), SUM(A) FROM (SELECT CLBH, ZL, %2 AS U, "
                  "SJSL AS Q, SJJE AS A FROM LLD WHERE CZRQ BETWEEN ? AND ?%1 AND JZBZ <> 0 "
                  "AND XTBH <> 0 AND ZJZC = 0) M GROUP BY CLBH, ZL, U"},
    {Role::IssueReturn, "SELECT CLBH, NULL, ZL, U, SUM(Q), SUM(A) FROM (SELECT CLBH, ZL, %2 AS U, "
                        "THSL AS Q, THJE AS A FROM TKD WHERE CZRQ BETWEEN ? AND ?%1 "
                        "AND JZBZ <> 0) M GROUP BY CLBH, ZL, U"},
    {Role::Count, "SELECT CLBH, NULL, NULL, NULL, SUM(PDSL), SUM(PDJE) FROM PYK "
                  "WHERE RQ BETWEEN ? AND ?%1 GROUP BY CLBH"},
};

// Issues are valued piece by piece at the price of the layer each piece was drawn from (a
// receipt or an opening balance), exactly as the closing's stock by unit price values them.
const Source LayerMovements[] = {
    {Role::Receipt, "SELECT CLBH, SJDJ, NULL, NULL, SUM(SJSL), SUM(SJJE) FROM RKD "
                    "WHERE CZRQ BETWEEN ? AND ?%1 AND JZBZ <> 0 AND XTBH <> 0 "
                    "AND COALESCE(CKID, 0) = 0 GROUP BY CLBH, SJDJ"},
    {Role::Return, "SELECT CLBH, THDJ, NULL, NULL, SUM(THSL), SUM(THJE) FROM THD "
                   "WHERE CZRQ BETWEEN ? AND ?%1 AND JZBZ <> 0 GROUP BY CLBH, THDJ"},
    {Role::Issue, "SELECT CLBH, P, ZL, U, SUM(Q), SUM(SMUL(P, Q, 4)) FROM (SELECT X.CLBH, "
                  "COALESCE(R.SJDJ, Z.KCDJ) AS P, L.ZL, %2 AS U, X.CKSL AS Q FROM LLD L "
                  "JOIN XJXCSJB X ON X.CKID = L.ID LEFT JOIN RKD R ON R.ID = X.RKID "
                  "LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID WHERE L.CZRQ BETWEEN ? AND ?%1 "
                  "AND L.JZBZ <> 0 AND L.XTBH <> 0 AND L.ZJZC = 0) M GROUP BY CLBH, P, ZL, U"},
    {Role::IssueReturn, "SELECT CLBH, P, ZL, U, SUM(Q), SUM(A) FROM (SELECT CLBH, THDJ AS P, ZL, "
                        "%2 AS U, THSL AS Q, THJE AS A FROM TKD WHERE CZRQ BETWEEN ? AND ?%1 "
                        "AND JZBZ <> 0) M GROUP BY CLBH, P, ZL, U"},
    {Role::Count, "SELECT CLBH, PDDJ, NULL, NULL, SUM(PDSL), SUM(PDJE) FROM PYK "
                  "WHERE RQ BETWEEN ? AND ?%1 GROUP BY CLBH, PDDJ"},
};

const Source Adjustments = {
    Role::Adjustment, "SELECT CLBH, NULL, NULL, NULL, SUM(CASE WHEN JE > 0 THEN JE ELSE 0 END), "
                      "SUM(CASE WHEN JE < 0 THEN JE ELSE 0 END) FROM CLKVMT "
                      "WHERE CZRQ BETWEEN ? AND ?%1 GROUP BY CLBH"};

const Source AverageClosing = {Role::Stock, "SELECT CLBH, NULL, NULL, NULL, JCSL, JCJE FROM YJKCB "
                                            "WHERE YJID = ?%1"};
const Source LayerClosing = {Role::Stock, "SELECT CLBH, JCDJ, NULL, NULL, JCSL, JCJE "
                                          "FROM XJXCYJKCB WHERE YJID = ?%1"};
const Source AverageOpeningBalances = {Role::Stock,
                                       "SELECT CLBH, NULL, NULL, NULL, SUM(KCSL), SUM(KCJE) "
                                       "FROM ZWCSH WHERE 1 = 1%1 GROUP BY CLBH"};
const Source LayerOpeningBalances = {Role::Stock,
                                     "SELECT CLBH, KCDJ, NULL, NULL, SUM(KCSL), SUM(KCJE) "
                                     "FROM ZWCSH WHERE 1 = 1%1 GROUP BY CLBH, KCDJ"};

// An issue of kind `zl` to unit `lldwbh` (a return: negative) into its columns. Any kind but
// a transfer counts as an issue, so that nothing posted falls out of the balance.
void addIssue(StockFigures &figures, const QString &zl, const QString &lldwbh,
              const QList<UnitColumn> &units, const Figure &moved)
{
    const bool transfer = zl.trimmed() == QLatin1String("2");
    if (transfer)
        figures.transfers += moved;
    else
        figures.issues += moved;
    for (int i = 0; i < units.size() && i < StockFigures::UnitColumns; ++i) {
        const UnitColumn &u = units.at(i);
        if (u.isTransfer() ? transfer : !transfer && u.code == lldwbh.trimmed())
            figures.units[i] += moved;
    }
}

} // namespace

StockBalances::StockBalances(Database &db, int accountingMode)
    : m_db(db)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
{
    Query q = m_db.query(QStringLiteral("SELECT CLBH, JHDJ FROM CLJBXXB WHERE JJFS <> 0"));
    while (q.next())
        m_planned.insert(q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)));
}

namespace {

void run(Database &db, const Source &source, const QVariantList &dates, const QString &clbh,
         const QList<UnitColumn> &units, std::map<StockBalances::Key, StockFigures> &into)
{
    const bool one = !clbh.isEmpty();
    const bool joined = QLatin1String(source.sql).contains(QLatin1String(" L JOIN "));
    const QString prefix = joined ? QStringLiteral("L.") : QString();
    const QString condition = one ? QStringLiteral(" AND %1CLBH = ?").arg(prefix) : QString();
    const bool unitPlace = QLatin1String(source.sql).contains(QLatin1String("%2"));
    QVariantList values;
    QStringList places;
    for (const UnitColumn &u : units) {
        if (unitPlace && !u.isTransfer()) {
            values << u.code;
            places << QStringLiteral("?");
        }
    }
    const QString unit = places.isEmpty()
                             ? QStringLiteral("NULL")
                             : QStringLiteral("CASE WHEN TRIM(%1LLDWBH) IN (%2) THEN %1LLDWBH END")
                                   .arg(prefix, places.join(QLatin1Char(',')));
    const QString sql = unitPlace ? QLatin1String(source.sql).arg(condition, unit)
                                  : QLatin1String(source.sql).arg(condition);
    values << dates;
    if (one)
        values << clbh;
    Query q = db.query(sql, values);
    // The rows come grouped by material: most follow the row before them.
    std::map<StockBalances::Key, StockFigures>::iterator last = into.end();
    while (q.next()) {
        const QVariant price = q.value(1);
        StockBalances::Key key{q.value(0).toString().trimmed(),
                               price.isNull() ? StockBalances::Price()
                                              : StockBalances::Price(price.toLongLong())};
        if (last == into.end() || last->first != key)
            last = into.try_emplace(std::move(key)).first;
        StockFigures &f = last->second;
        const Figure moved{Decimal::fromVariant(q.value(4)), Decimal::fromVariant(q.value(5))};
        switch (source.role) {
        case Role::Stock:
            f.opening += moved;
            break;
        case Role::Receipt:
            f.receipts += moved;
            break;
        case Role::Return:
            f.receipts -= moved;
            break;
        case Role::Issue:
            addIssue(f, q.value(2).toString(), q.value(3).toString(), units, moved);
            break;
        case Role::IssueReturn:
            addIssue(f, q.value(2).toString(), q.value(3).toString(), units, Figure{} - moved);
            break;
        case Role::Count:
            f.counts += moved;
            break;
        case Role::Adjustment:
            f.raised += moved.quantity;
            f.lowered += moved.amount;
            break;
        }
    }
}

} // namespace

void StockBalances::addMovements(const QString &first, const QString &last, const QString &clbh,
                                 bool adjustments, const QList<UnitColumn> &units,
                                 std::map<Key, StockFigures> &into) const
{
    if (first > last)
        return;
    const QVariantList dates{first, last};
    if (m_fifo) {
        for (const Source &s : LayerMovements)
            run(m_db, s, dates, clbh, units, into);
    } else {
        for (const Source &s : AverageMovements)
            run(m_db, s, dates, clbh, units, into);
    }
    if (adjustments)
        run(m_db, Adjustments, dates, clbh, units, into);
}

void StockBalances::addOpening(const QDate &day, const QString &clbh, Opening opening,
                               std::map<Key, StockFigures> &into) const
{
    const QString dayBefore = day.addDays(-1).toString(DateFormat);
    std::map<Key, StockFigures> moved;
    std::optional<int> closing;
    QString closingDay;
    if (opening == Opening::FromClosing) {
        Query q = m_db.query(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB WHERE YJSJ <= ? "
                                            "ORDER BY YJSJ DESC, YJID DESC LIMIT 1"),
                             {day.toString(DateFormat)});
        if (q.next()) {
            closing = q.value(0).toInt();
            closingDay = q.value(1).toString();
        }
    }
    if (closing) {
        run(m_db, m_fifo ? LayerClosing : AverageClosing, {*closing}, clbh, {}, moved);
        const QString after =
            QDate::fromString(closingDay, DateFormat).addDays(1).toString(DateFormat);
        // The closing's stock by unit price leaves the adjustments out: they have no price.
        addMovements(after, dayBefore, clbh, !m_fifo, {}, moved);
        if (m_fifo)
            run(m_db, Adjustments, {Earliest, dayBefore}, clbh, {}, moved);
    } else {
        run(m_db, m_fifo ? LayerOpeningBalances : AverageOpeningBalances, {}, clbh, {}, moved);
        addMovements(Earliest, dayBefore, clbh, true, {}, moved);
    }
    for (const auto &[key, f] : moved)
        into[key].opening += f.closing();
}

std::map<StockBalances::Key, StockFigures>
StockBalances::valued(std::map<Key, StockFigures> rows) const
{
    std::map<Key, StockFigures> out;
    for (auto &[key, f] : rows) {
        const auto planned = m_planned.constFind(key.first);
        if (planned == m_planned.cend()) {
            if (!f.isEmpty())
                out[key] += f;
            continue;
        }
        out[{key.first, m_fifo ? Price(planned->raw()) : Price()}] += f;
    }
    for (auto it = out.begin(); it != out.end();) {
        StockFigures &f = it->second;
        const auto planned = m_planned.constFind(it->first.first);
        if (planned != m_planned.cend()) {
            const Decimal price = *planned;
            for (Figure *fig : {&f.opening, &f.receipts, &f.units[0], &f.units[1], &f.units[2],
                                &f.issues, &f.transfers, &f.counts})
                fig->amount = fig->quantity * price;
            f.raised = Decimal();
            f.lowered = Decimal();
        }
        it = f.isEmpty() ? out.erase(it) : std::next(it);
    }
    return out;
}

std::map<StockBalances::Key, Figure> StockBalances::before(const QDate &day, const QString &clbh,
                                                           Opening opening) const
{
    std::map<Key, StockFigures> rows;
    addOpening(day, clbh, opening, rows);
    std::map<Key, Figure> out;
    for (const auto &[key, f] : valued(std::move(rows)))
        out.emplace(key, f.opening);
    return out;
}

std::map<StockBalances::Key, StockFigures> StockBalances::period(const QDate &from, const QDate &to,
                                                                 const QList<UnitColumn> &units,
                                                                 const QString &clbh) const
{
    std::map<Key, StockFigures> rows;
    addOpening(from, clbh, Opening::FromClosing, rows);
    addMovements(from.toString(DateFormat), to.toString(DateFormat), clbh, true, units, rows);
    return valued(std::move(rows));
}

} // namespace varnock
