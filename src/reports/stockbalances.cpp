#include "reports/stockbalances.h"

#include "ledger/closingsums.h"
#include "ledger/costengine.h"
#include "store/database.h"

#include <vector>

namespace varnock {

const QString UnitColumn::TransferCode = QStringLiteral("调拨");
const QString UnitColumn::TransferName = QStringLiteral("调拨合计");

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

using Kind = PeriodMovements::Kind;

QString shifted(const QString &day, int days)
{
    return QDate::fromString(day, DateFormat).addDays(days).toString(DateFormat);
}

// The stock at a closing or in the opening balances: (CLBH, price, quantity, amount); %1 is
// the place of the material condition.
const char *const AverageClosing = "SELECT CLBH, NULL, JCSL, JCJE FROM YJKCB WHERE YJID = ?%1";
const char *const LayerClosing = "SELECT CLBH, JCDJ, JCSL, JCJE FROM XJXCYJKCB WHERE YJID = ?%1";
const char *const AverageOpeningBalances =
    "SELECT CLBH, NULL, SUM(KCSL), SUM(KCJE) FROM ZWCSH WHERE 1 = 1%1 GROUP BY CLBH";
const char *const LayerOpeningBalances =
    "SELECT CLBH, KCDJ, SUM(KCSL), SUM(KCJE) FROM ZWCSH WHERE 1 = 1%1 GROUP BY CLBH, KCDJ";

// Whether `text`, its spaces trimmed as QString::trimmed() trims them, is `utf8`; without a
// QString where the text is plain ASCII.
bool isTrimmed(QByteArrayView text, QByteArrayView utf8)
{
    for (const char c : text) {
        if (uchar(c) >= 0x80)
            return QString::fromUtf8(text).trimmed() == QString::fromUtf8(utf8);
    }
    return text.trimmed() == utf8;
}

// The chosen issue columns, their unit codes as the rows' texts are compared with them.
struct UnitCodes
{
    struct Column
    {
        bool transfer;
        QByteArray code;
    };
    std::vector<Column> columns;

    explicit UnitCodes(const QList<UnitColumn> &units)
    {
        for (int i = 0; i < units.size() && i < StockFigures::UnitColumns; ++i)
            columns.push_back({units.at(i).isTransfer(), units.at(i).code.toUtf8()});
    }
};

// An issue of kind `zl` to unit `lldwbh` (a return: negative) into its columns. Any kind but
// a transfer counts as an issue, so that nothing posted falls out of the balance.
void addIssue(StockFigures &figures, QByteArrayView zl, QByteArrayView lldwbh,
              const UnitCodes &units, const Figure &moved)
{
    const bool transfer = isTrimmed(zl, "2");
    if (transfer)
        figures.transfers += moved;
    else
        figures.issues += moved;
    for (size_t i = 0; i < units.columns.size(); ++i) {
        const UnitCodes::Column &u = units.columns[i];
        if (u.transfer ? transfer : !transfer && isTrimmed(lldwbh, u.code))
            figures.units[i] += moved;
    }
}

// Finds the row of each row read by its material and price. The rows come grouped by
// material, so most are found as the row before's without a text of their own.
class RowFinder
{
public:
    using Rows = std::map<StockBalances::Key, StockFigures>;

    RowFinder(Rows &into, bool byPrice)
        : m_into(into)
        , m_last(into.end())
        , m_byPrice(byPrice)
    {}

    StockFigures &at(QByteArrayView clbh, StockBalances::Price price)
    {
        if (!m_byPrice)
            price.reset();
        if (m_last != m_into.end() && clbh == m_code)
            return atPrice(price);
        StockBalances::Key key{QString::fromUtf8(clbh).trimmed(), price};
        m_code = clbh.toByteArray();
        // The rows come in the order of their materials as a rule: the row is found, or its
        // place, a few rows after the last one; otherwise it is searched for.
        auto hint = m_last == m_into.end() ? m_into.end() : std::next(m_last);
        for (int step = 0; step < Walk && hint != m_into.end() && hint->first < key; ++step)
            ++hint;
        m_last = m_into.try_emplace(hint, std::move(key));
        return m_last->second;
    }

private:
    // How far a row is looked for from the last one before the map is searched.
    static constexpr int Walk = 8;

    // The row of the last row's material at `price`. A material's rows lie together in the
    // order of their prices: the row, or its place, is looked for from the last one by its
    // price alone, a few rows either way; a material of many prices arriving out of order is
    // searched for.
    StockFigures &atPrice(StockBalances::Price price)
    {
        const QString &code = m_last->first.first;
        const StockBalances::Price &lastPrice = m_last->first.second;
        if (lastPrice == price)
            return m_last->second;
        auto it = m_last;
        int step = 0;
        if (lastPrice < price) {
            ++it;
            while (it != m_into.end() && it->first.second < price && it->first.first == code) {
                if (++step == Walk)
                    return search(price);
                ++it;
            }
        } else {
            while (it != m_into.begin()) {
                const auto before = std::prev(it);
                if (before->first.second < price || before->first.first != code)
                    break;
                if (++step == Walk)
                    return search(price);
                it = before;
            }
        }
        // `it` is the material's first row at `price` or above, or the row after its rows.
        if (it == m_into.end() || it->first.second != price || it->first.first != code)
            it = m_into.emplace_hint(it, StockBalances::Key{code, price}, StockFigures{});
        m_last = it;
        return it->second;
    }

    StockFigures &search(StockBalances::Price price)
    {
        m_last = m_into.try_emplace(StockBalances::Key{m_last->first.first, price}).first;
        return m_last->second;
    }

    Rows &m_into;
    Rows::iterator m_last;
    bool m_byPrice;
    QByteArray m_code; // the last row's material as read
};

void addStock(Query &q, bool byPrice, std::map<StockBalances::Key, StockFigures> &into)
{
    RowFinder rows(into, byPrice);
    while (q.next()) {
        StockFigures &f = rows.at(q.utf8(0), q.isNull(1) ? StockBalances::Price()
                                                         : StockBalances::Price(q.integer(1)));
        f.opening += Figure{q.decimal(2), q.decimal(3)};
    }
}

void addMoved(Query &q, const QList<UnitColumn> &units, bool byPrice,
              std::map<StockBalances::Key, StockFigures> &into)
{
    const UnitCodes codes(units);
    RowFinder rows(into, byPrice);
    while (q.next()) {
        const PeriodMovements::RowView r = PeriodMovements::view(q);
        StockFigures &f = rows.at(r.clbh, r.price);
        const Figure moved{r.quantity, r.amount};
        switch (r.kind) {
        case Kind::Receipt:
            f.receipts += moved;
            break;
        case Kind::Return:
            f.receipts -= moved;
            break;
        case Kind::Issue:
            addIssue(f, r.zl, r.lldwbh, codes, moved);
            break;
        case Kind::IssueReturn:
            addIssue(f, r.zl, r.lldwbh, codes, Figure{} - moved);
            break;
        case Kind::Count:
            f.counts += moved;
            break;
        case Kind::Raised:
            f.raised += moved.amount;
            break;
        case Kind::Lowered:
            f.lowered += moved.amount;
            break;
        }
    }
}

// Only the units of the chosen columns are told apart; issues to the others are one row.
PeriodMovements::Options optionsFor(const QString &clbh, const QList<UnitColumn> &units)
{
    PeriodMovements::Options options;
    options.clbh = clbh;
    QStringList codes;
    for (const UnitColumn &u : units) {
        if (!u.isTransfer())
            codes << u.code;
    }
    options.units = codes;
    return options;
}

} // namespace

StockBalances::StockBalances(Database &db, int accountingMode, Grain grain)
    : m_db(db)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
    , m_byPrice(m_fifo && grain == Grain::AsKept)
{
    Query q = m_db.query(QStringLiteral("SELECT CLBH, JHDJ FROM CLJBXXB WHERE JJFS <> 0"));
    while (q.next())
        m_planned.insert(q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)));
}

void StockBalances::addStock(const char *sql, const QVariantList &values, const QString &clbh,
                             std::map<Key, StockFigures> &into) const
{
    QVariantList bound = values;
    if (!clbh.isEmpty())
        bound << clbh;
    Query q = m_db.query(
        QLatin1String(sql).arg(clbh.isEmpty() ? QString() : QStringLiteral(" AND CLBH = ?")),
        bound);
    varnock::addStock(q, m_byPrice, into);
}

void StockBalances::addScanned(const QString &first, const QString &last,
                               const PeriodMovements::Options &options,
                               const QList<UnitColumn> &units,
                               std::map<Key, StockFigures> &into) const
{
    for (const PeriodMovements::Statement &s :
         PeriodMovements(m_fifo).dated(first, last, options)) {
        Query q = m_db.query(s.sql, s.values);
        addMoved(q, units, m_byPrice, into);
    }
}

void StockBalances::addMovements(const QString &first, const QString &last,
                                 const PeriodMovements::Options &options,
                                 const QList<UnitColumn> &units,
                                 std::map<Key, StockFigures> &into) const
{
    // Each whole closed period inside the range is read from its closing's sums, the rest
    // from the lines.
    for (const ClosingSums::Span &span : ClosingSums::spans(m_db, first, last)) {
        if (!span.yjid) {
            addScanned(span.first, span.last, options, units, into);
            continue;
        }
        const PeriodMovements::Statement s = PeriodMovements(m_fifo).closed(*span.yjid, options);
        Query q = m_db.query(s.sql, s.values);
        addMoved(q, units, m_byPrice, into);
    }
}

std::map<StockBalances::Key, StockFigures>
StockBalances::openingRows(const QDate &day, const QString &clbh, Opening opening) const
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
    PeriodMovements::Options options = optionsFor(clbh, {});
    if (closing) {
        addStock(m_fifo ? LayerClosing : AverageClosing, {*closing}, clbh, moved);
        // The closing's stock by unit price leaves the adjustments out: they have no price.
        options.adjustments = !m_fifo;
        addMovements(shifted(closingDay, 1), dayBefore, options, {}, moved);
        if (m_fifo) {
            // Every adjustment up to the day, from its lines along their date: they are few,
            // where the closings' sums would be read whole to find them.
            options.movements = false;
            options.adjustments = true;
            addScanned(PeriodMovements::Earliest, dayBefore, options, {}, moved);
        }
    } else {
        addStock(m_fifo ? LayerOpeningBalances : AverageOpeningBalances, {}, clbh, moved);
        // The whole history, read from its lines: the check the closings are held to.
        addScanned(PeriodMovements::Earliest, dayBefore, options, {}, moved);
    }
    for (auto &[key, f] : moved) {
        StockFigures stock;
        stock.opening = f.closing();
        f = stock;
    }
    return moved;
}

void StockBalances::revalue(std::map<Key, StockFigures> &rows) const
{
    // In place: under first in first out a planned-price material's rows at their own prices
    // become its one row at the planned price, the other rows only lose their empty ones.
    for (auto it = rows.begin(); it != rows.end();) {
        const QString clbh = it->first.first;
        const auto planned = m_planned.constFind(clbh);
        if (planned == m_planned.cend()) {
            while (it != rows.end() && it->first.first == clbh)
                it = it->second.isEmpty() ? rows.erase(it) : std::next(it);
            continue;
        }
        const Decimal price = *planned;
        StockFigures f;
        while (it != rows.end() && it->first.first == clbh) {
            f += it->second;
            it = rows.erase(it);
        }
        for (Figure *fig : {&f.opening, &f.receipts, &f.units[0], &f.units[1], &f.units[2],
                            &f.issues, &f.transfers, &f.counts})
            fig->amount = fig->quantity * price;
        f.raised = Decimal();
        f.lowered = Decimal();
        if (!f.isEmpty())
            rows.try_emplace(it, Key{clbh, m_byPrice ? Price(price.raw()) : Price()}, f);
    }
}

std::map<StockBalances::Key, Figure> StockBalances::before(const QDate &day, const QString &clbh,
                                                           Opening opening) const
{
    std::map<Key, StockFigures> rows = openingRows(day, clbh, opening);
    revalue(rows);
    std::map<Key, Figure> out;
    for (const auto &[key, f] : rows)
        out.emplace_hint(out.end(), key, f.opening);
    return out;
}

std::map<StockBalances::Key, StockFigures> StockBalances::period(const QDate &from, const QDate &to,
                                                                 const QList<UnitColumn> &units,
                                                                 const QString &clbh) const
{
    std::map<Key, StockFigures> rows = openingRows(from, clbh, Opening::FromClosing);
    addMovements(from.toString(DateFormat), to.toString(DateFormat), optionsFor(clbh, units), units,
                 rows);
    revalue(rows);
    return rows;
}

} // namespace varnock
