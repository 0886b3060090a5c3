#include "ledger/costengine.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"

#include <QHash>
#include <QList>

#include <algorithm>

namespace varnock {

struct CostEngine::Material
{
    bool planned = false; // JJFS
    Decimal plannedPrice; // JHDJ
};

struct CostEngine::Stock
{
    bool exists = false;
    Decimal quantity; // KCSL
    Decimal amount;   // KCJE
    // First in first out: SJID, the newest piece. 0 when the material has none or it was not
    // read; it is then left as it is.
    qint64 newestPiece = 0;
};

// An opening layer (ZWCSH row) or a receipt layer (RKD row).
struct CostEngine::Layer
{
    bool opening = false;
    qint64 id = 0;
    Decimal size;       // KCSL or SJSL
    Decimal amount;     // KCJE or SJJE
    bool active = true; // a receipt still in stock: posted, not reversed, not a direct delivery
    // Returns against the layer plus the net of the pieces drawn from it, when the statement
    // that found the layer read them along (saves one statement per layer).
    bool counted = false;
    Decimal used;
};

namespace {

QVariant idOrNull(bool present, qint64 id)
{
    return present ? QVariant(id) : QVariant(QMetaType(QMetaType::LongLong));
}

} // namespace

CostEngine::CostEngine(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_formats(formats)
    , m_fifo(accountingMode == FirstInFirstOut)
{}

CostEngine::Material CostEngine::material(const QString &clbh) const
{
    Query q = m_db.query(QStringLiteral("SELECT JJFS, JHDJ FROM CLJBXXB WHERE CLBH = ?"), {clbh});
    Material m;
    if (q.next()) {
        m.planned = q.value(0).toInt() != 0;
        m.plannedPrice = Decimal::fromVariant(q.value(1));
    }
    return m;
}

CostEngine::Stock CostEngine::stock(const QString &clbh) const
{
    Query q = m_db.query(QStringLiteral("SELECT KCSL, KCJE, SJID FROM KC WHERE CLBH = ?"), {clbh});
    Stock s;
    if (q.next()) {
        s.exists = true;
        s.quantity = Decimal::fromVariant(q.value(0));
        s.amount = Decimal::fromVariant(q.value(1));
        s.newestPiece = q.value(2).toLongLong();
    }
    return s;
}

void CostEngine::writeStock(const QString &clbh, const Material &m, const Stock &s)
{
    const Decimal quantity = m_formats.roundQuantity(s.quantity);
    // A planned-price material is worth its quantity at plan, whatever rounding rests the
    // single movements would add up to.
    const Decimal amount =
        m.planned ? m_formats.amountAt(quantity, m.plannedPrice) : m_formats.roundAmount(s.amount);
    if (s.exists && s.newestPiece != 0) {
        m_db.query(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ?, SJID = ? WHERE CLBH = ?"),
                   {quantity.toVariant(), amount.toVariant(), s.newestPiece, clbh});
    } else if (s.exists) {
        m_db.query(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                   {quantity.toVariant(), amount.toVariant(), clbh});
    } else {
        m_db.query(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, ?, ?)"),
                   {clbh, quantity.toVariant(), amount.toVariant()});
    }
}

void CostEngine::addToStock(const QString &clbh, const Material &m, Decimal quantity,
                            Decimal amount)
{
    Stock s = stock(clbh);
    s.quantity += quantity;
    s.amount += amount;
    writeStock(clbh, m, s);
}

// What a movement of `quantity` with its own `amount` is worth in stock.
Decimal CostEngine::valueOf(const Material &m, Decimal quantity, Decimal amount) const
{
    return m.planned ? m_formats.amountAt(quantity, m.plannedPrice) : m_formats.roundAmount(amount);
}

void CostEngine::refuseIssue()
{
    throw Refusal(QStringLiteral("提示窗口"),
                  QStringLiteral("警告！\n出库数量已经超过库存数量,请做出入库！"));
}

void CostEngine::refuseReturn()
{
    throw Refusal(QStringLiteral("提示"), QStringLiteral("库存不允许出负！"));
}

// ---- receipts -----------------------------------------------------------------------------

void CostEngine::addReceiptToStock(qint64 xtbh)
{
    addReceiptLines(QStringLiteral("XTBH = ?"), xtbh);
}

void CostEngine::addReceiptLineToStock(qint64 rkdId)
{
    addReceiptLines(QStringLiteral("ID = ?"), rkdId);
}

void CostEngine::addReceiptLines(const QString &where, qint64 key)
{
    Transaction tx(m_db);
    // The material's pricing and stock come with its lines. A direct delivery goes straight
    // to the consumer; it never rests in the store.
    Query q = m_db.query(QStringLiteral("SELECT R.CLBH, R.SJSL, R.SJJE, C.JJFS, C.JHDJ, K.CLBH, "
                                        "K.KCSL, K.KCJE FROM RKD R "
                                        "LEFT JOIN CLJBXXB C ON C.CLBH = TRIM(R.CLBH) "
                                        "LEFT JOIN KC K ON K.CLBH = TRIM(R.CLBH) WHERE R.") +
                             where +
                             QStringLiteral(" AND (R.CKID IS NULL OR R.CKID = 0) "
                                            "ORDER BY R.ID"),
                         {key});
    QStringList materials; // in order of first appearance
    QHash<QString, Stock> stocks;
    QHash<QString, Material> catalogue;
    while (q.next()) {
        const QString clbh = q.value(0).toString().trimmed();
        if (!stocks.contains(clbh)) {
            materials.append(clbh);
            Stock held;
            held.exists = !q.value(5).isNull();
            held.quantity = Decimal::fromVariant(q.value(6));
            held.amount = Decimal::fromVariant(q.value(7));
            stocks.insert(clbh, held);
        }
        Material m;
        m.planned = q.value(3).toInt() != 0;
        m.plannedPrice = Decimal::fromVariant(q.value(4));
        catalogue.insert(clbh, m);
        const Decimal quantity = Decimal::fromVariant(q.value(1));
        Stock &held = stocks[clbh];
        held.quantity += quantity;
        held.amount += valueOf(m, quantity, Decimal::fromVariant(q.value(2)));
    }
    q.finish();
    for (const QString &clbh : std::as_const(materials))
        writeStock(clbh, catalogue.value(clbh), stocks.value(clbh));
    tx.commit();
}

// ---- stock-in returns ---------------------------------------------------------------------

void CostEngine::removeReturnFromStock(qint64 xtbh)
{
    removeReturnLines(QStringLiteral("XTBH = ?"), xtbh);
}

void CostEngine::removeReturnLineFromStock(qint64 thdId)
{
    removeReturnLines(QStringLiteral("ID = ?"), thdId);
}

void CostEngine::removeReturnLines(const QString &where, qint64 key)
{
    struct Line
    {
        QString clbh;
        Decimal quantity;
        Decimal amount;
        qint64 rkid;
        qint64 xtbh;
    };
    Transaction tx(m_db);
    QList<Line> lines;
    Query q = m_db.query(QStringLiteral("SELECT CLBH, THSL, THJE, RKID, XTBH FROM THD WHERE ") +
                             where + QStringLiteral(" ORDER BY ID"),
                         {key});
    while (q.next()) {
        lines.append({q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)),
                      Decimal::fromVariant(q.value(2)), q.value(3).toLongLong(),
                      q.value(4).toLongLong()});
    }
    for (const Line &line : std::as_const(lines)) {
        Stock s = stock(line.clbh);
        if (!s.exists)
            refuseReturn();
        const Material m = material(line.clbh);
        s.quantity -= line.quantity;
        s.amount -= valueOf(m, line.quantity, line.amount);
        if (s.quantity.isNegative())
            refuseReturn();
        if (m_fifo && line.rkid != 0) {
            // Goods already issued from a receipt cannot go back to the supplier: the layer
            // would hold less than nothing and later issues would draw on it.
            Query r = m_db.query(QStringLiteral("SELECT SJSL, CZBZ, JZBZ, CKID FROM RKD "
                                                "WHERE ID = ?"),
                                 {line.rkid});
            if (r.next() && r.value(1).toInt() == 0 && r.value(2).toInt() != 0 &&
                r.value(3).toLongLong() == 0) {
                const Decimal returned = Decimal::fromVariant(
                    m_db.scalar(QStringLiteral("SELECT SUM(THSL) FROM THD WHERE RKID = ? "
                                               "AND (JZBZ <> 0 OR XTBH = ?)"),
                                {line.rkid, line.xtbh}));
                const Decimal issued = Decimal::fromVariant(m_db.scalar(
                    QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE RKID = ?"), {line.rkid}));
                if ((Decimal::fromVariant(r.value(0)) - returned - issued).isNegative())
                    refuseReturn();
            }
        }
        writeStock(line.clbh, m, s);
    }
    tx.commit();
}

// ---- issues -------------------------------------------------------------------------------

CostEngine::IssuePrice CostEngine::priceIssueLine(const QString &clbh, Decimal quantity) const
{
    const Material m = material(clbh.trimmed());
    const Stock s = m.planned ? Stock() : stock(clbh.trimmed());
    return issuePrice(m_formats, m.planned, m.plannedPrice, s.quantity, s.amount, quantity);
}

CostEngine::IssuePrice CostEngine::issuePrice(const Formats &formats, bool planned,
                                              Decimal plannedPrice, Decimal stockQuantity,
                                              Decimal stockAmount, Decimal quantity)
{
    IssuePrice price;
    if (planned) {
        price.unitPrice = formats.roundAmount(plannedPrice);
        price.amount = formats.amountAt(formats.roundQuantity(quantity), plannedPrice);
        return price;
    }
    if (!stockQuantity.isZero())
        price.unitPrice = formats.roundAmount(stockAmount / stockQuantity);
    price.amount = formats.roundAmount(formats.roundQuantity(quantity) * price.unitPrice);
    return price;
}

void CostEngine::removeIssueVoucherFromStock(qint64 xtbh)
{
    removeIssueLines(QStringLiteral("XTBH = ?"), xtbh);
}

void CostEngine::removeIssueLineFromStock(qint64 lldId)
{
    removeIssueLines(QStringLiteral("ID = ?"), lldId);
}

void CostEngine::removeIssueLines(const QString &where, qint64 key)
{
    struct Line
    {
        qint64 id;
        QString clbh;
        Decimal quantity;
        Decimal amount;
    };
    Transaction tx(m_db);
    QList<Line> lines;
    QStringList materials; // in order of first appearance
    QHash<QString, Material> catalogue;
    // Drawing from the layers leaves KC alone, so the stock read here is the one written back
    // below.
    QHash<QString, Stock> stocks;
    // The material's pricing and stock come with its lines: one statement for the voucher
    // instead of two a line.
    Query q = m_db.query(QStringLiteral("SELECT L.ID, L.CLBH, L.SJSL, L.SJJE, C.CLBH, "
                                        "C.JJFS, C.JHDJ, K.CLBH, K.KCSL, K.KCJE, K.SJID FROM LLD L "
                                        "LEFT JOIN CLJBXXB C ON C.CLBH = TRIM(L.CLBH) "
                                        "LEFT JOIN KC K ON K.CLBH = TRIM(L.CLBH) WHERE L.") +
                             where + QStringLiteral(" AND L.ZJZC = 0 ORDER BY L.ID"),
                         {key});
    while (q.next()) {
        const QString clbh = q.value(1).toString().trimmed();
        lines.append({q.value(0).toLongLong(), clbh,
                      m_formats.roundQuantity(Decimal::fromVariant(q.value(2))),
                      Decimal::fromVariant(q.value(3))});
        if (!materials.contains(clbh)) {
            materials.append(clbh);
            Material m;
            if (!q.value(4).isNull()) {
                m.planned = q.value(5).toInt() != 0;
                m.plannedPrice = Decimal::fromVariant(q.value(6));
            }
            catalogue.insert(clbh, m);
            Stock held;
            held.exists = !q.value(7).isNull();
            held.quantity = Decimal::fromVariant(q.value(8));
            held.amount = Decimal::fromVariant(q.value(9));
            held.newestPiece = q.value(10).toLongLong();
            stocks.insert(clbh, held);
        }
    }
    q.finish();

    const auto quantityOf = [&lines](const QString &clbh) {
        Decimal total;
        for (const Line &line : lines) {
            if (line.clbh == clbh)
                total += line.quantity;
        }
        return total;
    };
    // Checked for every material before anything is drawn, as one voucher.
    for (const QString &clbh : std::as_const(materials)) {
        const Stock s = stocks.value(clbh);
        if (!s.exists || (s.quantity - quantityOf(clbh)).isNegative())
            refuseIssue();
    }

    if (m_fifo) {
        // Inside this operation's own savepoint: a refused line undoes the whole voucher.
        for (Line &line : lines) {
            line.amount = allocate(line.id, line.clbh, line.quantity, catalogue.value(line.clbh),
                                   stocks[line.clbh].newestPiece);
        }
    } else {
        // A planned-price line leaves at plan, as under first in first out, even when it was
        // priced at entry from a stock that was not.
        for (Line &line : lines) {
            const Material m = catalogue.value(line.clbh);
            const Decimal planned = m_formats.amountAt(line.quantity, m.plannedPrice);
            if (m.planned && line.amount != planned) {
                line.amount = planned;
                m_db.query(QStringLiteral("UPDATE LLD SET SJDJ = ?, SJJE = ? WHERE ID = ?"),
                           {m_formats.roundAmount(m.plannedPrice).toVariant(), planned.toVariant(),
                            line.id});
            }
        }
    }

    for (const QString &clbh : std::as_const(materials)) {
        const Material m = catalogue.value(clbh);
        Stock s = stocks.value(clbh);
        const Decimal quantity = quantityOf(clbh);
        Decimal amount;
        Line *last = nullptr;
        for (Line &line : lines) {
            if (line.clbh == clbh) {
                amount += line.amount;
                last = &line;
            }
        }
        // An issue that empties a material takes its whole amount, so that no value stays
        // behind without quantity; the material's last line absorbs the rounding rest. A
        // planned-price material has none: its stock is revalued at plan.
        if (!m_fifo && !m.planned && last &&
            m_formats.roundQuantity(s.quantity - quantity).isZero()) {
            const Decimal rest = m_formats.roundAmount(s.amount) - amount;
            if (!rest.isZero()) {
                last->amount += rest;
                amount += rest;
                m_db.query(QStringLiteral("UPDATE LLD SET SJJE = ? WHERE ID = ?"),
                           {last->amount.toVariant(), last->id});
            }
        }
        s.quantity -= quantity;
        s.amount -= amount;
        writeStock(clbh, m, s);
    }
    tx.commit();
}

// ---- first in first out -------------------------------------------------------------------

// What is left in a layer now: its size less the returns against it and the net of every
// piece drawn from it (mirror pieces of reversed issues give quantity back).
Decimal CostEngine::remainingInLayer(const Layer &layer) const
{
    if (!layer.active)
        return Decimal();
    Decimal left = layer.size;
    if (layer.counted) {
        left -= layer.used;
    } else if (layer.opening) {
        left -= Decimal::fromVariant(m_db.scalar(
            QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE CSHID = ?"), {layer.id}));
    } else {
        // Returns are counted from the moment they are entered, so that a pending return
        // keeps its goods in the layer.
        Query q = m_db.query(QStringLiteral("SELECT (SELECT SUM(THSL) FROM THD WHERE RKID = ?), "
                                            "(SELECT SUM(CKSL) FROM XJXCSJB WHERE RKID = ?)"),
                             {layer.id, layer.id});
        if (q.next()) {
            left -= Decimal::fromVariant(q.value(0));
            left -= Decimal::fromVariant(q.value(1));
        }
    }
    left = m_formats.roundQuantity(left);
    return left.isNegative() ? Decimal() : left;
}

// Draws up to `available` from `layer` for line `lldId`: writes the piece and adds its cost
// to `c`. Returns true once `q` is fully allocated.
bool CostEngine::takeFrom(const QString &clbh, const Layer &layer, Decimal available, qint64 lldId,
                          Decimal &q, Decimal &c)
{
    if (available <= Decimal() || layer.size <= Decimal())
        return false;
    const Decimal take = std::min(available, q);
    const Decimal left = m_formats.roundQuantity(available - take);
    const Query inserted =
        m_db.query(QStringLiteral("INSERT INTO XJXCSJB (CLBH, CSHID, RKID, CKID, CKSL, SYSL) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"),
                   {clbh, idOrNull(layer.opening, layer.id), idOrNull(!layer.opening, layer.id),
                    lldId, take.toVariant(), left.toVariant()});
    m_lastPiece = inserted.lastInsertId().toLongLong();
    c = m_formats.roundAmount(c + Decimal::mulDiv(take, layer.amount, layer.size));
    q = m_formats.roundQuantity(q - take);
    return !(q > Decimal());
}

bool CostEngine::walkOpeningLayers(const QString &clbh, qint64 afterId, qint64 lldId, Decimal &q,
                                   Decimal &c)
{
    // A range of the material's index, already in ID order: no earlier layer is read. What
    // was drawn from a layer is summed when the walk reaches it, after the pieces written
    // for the layers before it.
    Query lq = m_db.query(QStringLiteral("SELECT Z.ID, Z.KCSL, Z.KCJE, "
                                         "(SELECT SUM(P.CKSL) FROM XJXCSJB P "
                                         "WHERE P.CSHID = Z.ID) FROM ZWCSH Z "
                                         "WHERE Z.CLBH = ? AND Z.ID > ? ORDER BY Z.ID"),
                          {clbh, afterId});
    while (lq.next()) {
        Layer layer;
        layer.opening = true;
        layer.id = lq.value(0).toLongLong();
        layer.size = Decimal::fromVariant(lq.value(1));
        layer.amount = Decimal::fromVariant(lq.value(2));
        layer.counted = true;
        layer.used = Decimal::fromVariant(lq.value(3));
        if (takeFrom(clbh, layer, remainingInLayer(layer), lldId, q, c))
            return true;
    }
    return false;
}

bool CostEngine::walkReceiptLayers(const QString &clbh, qint64 afterId, qint64 lldId, Decimal &q,
                                   Decimal &c)
{
    // On the material's (CLBH, ID) index: the walk starts right after `afterId`, however many
    // layers lie before it.
    Query lq = m_db.query(QStringLiteral("SELECT R.ID, R.SJSL, R.SJJE, "
                                         "(SELECT SUM(T.THSL) FROM THD T WHERE T.RKID = R.ID), "
                                         "(SELECT SUM(P.CKSL) FROM XJXCSJB P "
                                         "WHERE P.RKID = R.ID) FROM RKD R "
                                         "WHERE R.CLBH = ? AND R.ID > ? AND R.CZBZ = 0 "
                                         "AND R.JZBZ <> 0 AND (R.CKID IS NULL OR R.CKID = 0) "
                                         "ORDER BY R.ID"),
                          {clbh, afterId});
    while (lq.next()) {
        Layer layer;
        layer.opening = false;
        layer.id = lq.value(0).toLongLong();
        layer.size = Decimal::fromVariant(lq.value(1));
        layer.amount = Decimal::fromVariant(lq.value(2));
        layer.counted = true;
        layer.used = Decimal::fromVariant(lq.value(3)) + Decimal::fromVariant(lq.value(4));
        if (takeFrom(clbh, layer, remainingInLayer(layer), lldId, q, c))
            return true;
    }
    return false;
}

Decimal CostEngine::allocateIssueLine(qint64 lldId, const QString &code, Decimal quantity)
{
    const QString clbh = code.trimmed();
    Transaction tx(m_db);
    qint64 newestPiece = stock(clbh).newestPiece;
    const Decimal cost = allocate(lldId, clbh, quantity, material(clbh), newestPiece);
    m_db.query(QStringLiteral("UPDATE KC SET SJID = ? WHERE CLBH = ?"), {newestPiece, clbh});
    tx.commit();
    return cost;
}

// The allocation itself, inside the caller's savepoint.
Decimal CostEngine::allocate(qint64 lldId, const QString &clbh, Decimal quantity, const Material &m,
                             qint64 &newestPiece)
{
    const Decimal total = m_formats.roundQuantity(quantity);
    Decimal q = total;
    Decimal c;
    if (q > Decimal()) {
        bool done = false;
        // The newest piece of the material, where its last issue stopped, read together with
        // its layer.
        m_lastPiece = 0;
        Query newest = m_db.query(
            QStringLiteral("SELECT X.CSHID, X.RKID, X.SYSL, Z.ID, Z.KCSL, Z.KCJE, "
                           "R.ID, R.SJSL, R.SJJE, R.CZBZ, R.JZBZ, R.CKID, "
                           "CASE WHEN Z.ID IS NOT NULL THEN "
                           "(SELECT SUM(P.CKSL) FROM XJXCSJB P WHERE P.CSHID = Z.ID) END, "
                           "CASE WHEN R.ID IS NOT NULL THEN "
                           "(SELECT SUM(T.THSL) FROM THD T WHERE T.RKID = R.ID) END, "
                           "CASE WHEN R.ID IS NOT NULL THEN "
                           "(SELECT SUM(P.CKSL) FROM XJXCSJB P WHERE P.RKID = R.ID) END "
                           "FROM XJXCSJB X "
                           "LEFT JOIN RKD R ON R.ID = X.RKID LEFT JOIN ZWCSH Z ON Z.ID = X.CSHID "
                           "WHERE X.ID = ?"),
            {newestPiece});
        if (newest.next()) {
            Layer layer;
            layer.opening = newest.value(1).isNull() || newest.value(1).toLongLong() == 0;
            layer.id = layer.opening ? newest.value(0).toLongLong() : newest.value(1).toLongLong();
            const Decimal sysl = m_formats.roundQuantity(Decimal::fromVariant(newest.value(2)));
            layer.active = false;
            if (layer.opening && !newest.value(3).isNull()) {
                layer.size = Decimal::fromVariant(newest.value(4));
                layer.amount = Decimal::fromVariant(newest.value(5));
                layer.active = true;
                layer.counted = true;
                layer.used = Decimal::fromVariant(newest.value(12));
            } else if (!layer.opening && !newest.value(6).isNull()) {
                layer.size = Decimal::fromVariant(newest.value(7));
                layer.amount = Decimal::fromVariant(newest.value(8));
                layer.active = newest.value(9).toInt() == 0 && newest.value(10).toInt() != 0 &&
                               newest.value(11).toLongLong() == 0;
                layer.counted = true;
                layer.used =
                    Decimal::fromVariant(newest.value(13)) + Decimal::fromVariant(newest.value(14));
            }
            newest.finish();
            // A stock-in return may have taken goods from the layer since the piece was
            // written; never draw more than the layer still holds.
            done = takeFrom(clbh, layer, std::min(sysl, remainingInLayer(layer)), lldId, q, c);
            if (!done && layer.opening)
                done = walkOpeningLayers(clbh, layer.id, lldId, q, c) ||
                       walkReceiptLayers(clbh, 0, lldId, q, c);
            else if (!done)
                done = walkReceiptLayers(clbh, layer.id, lldId, q, c);
        } else {
            newest.finish();
            done =
                walkOpeningLayers(clbh, 0, lldId, q, c) || walkReceiptLayers(clbh, 0, lldId, q, c);
        }
        // Quantity given back by a reversed issue lies behind the newest piece; it is drawn,
        // oldest first, only once the layers ahead are used up.
        if (!done)
            done =
                walkOpeningLayers(clbh, 0, lldId, q, c) || walkReceiptLayers(clbh, 0, lldId, q, c);
        if (!done)
            refuseIssue();
        newestPiece = m_lastPiece;
    }
    // A planned-price material leaves stock at planned value; the pieces still record which
    // layers were drawn.
    const Decimal cost = m.planned ? m_formats.amountAt(total, m.plannedPrice) : c;
    m_db.query(QStringLiteral("UPDATE LLD SET SJJE = ? WHERE ID = ?"), {cost.toVariant(), lldId});
    return cost;
}

void CostEngine::restoreIssueLinePieces(qint64 reversedLineId, qint64 mirrorLineId)
{
    Transaction tx(m_db);
    m_db.query(QStringLiteral("INSERT INTO XJXCSJB (CKSL, SYSL, CLBH, CKID, CSHID, RKID) "
                              "SELECT -CKSL, SYSL + CKSL, CLBH, ?, CSHID, RKID FROM XJXCSJB "
                              "WHERE CKID = ? AND CKSL >= 0 ORDER BY ID"),
               {mirrorLineId, reversedLineId});
    tx.commit();
}

void CostEngine::bookIssueReversal(qint64 reversedLineId, qint64 mirrorLineId)
{
    QSqlQuery q =
        m_db.exec(QStringLiteral("SELECT CLBH, SJSL, SJJE FROM LLD WHERE ID = ?"), {mirrorLineId});
    if (!q.next())
        return;
    const QString clbh = q.value(0).toString().trimmed();
    const Decimal quantity = Decimal::fromVariant(q.value(1));
    const Decimal amount = Decimal::fromVariant(q.value(2));
    q.finish();
    Transaction tx(m_db);
    const Material m = material(clbh);
    addToStock(clbh, m, -quantity, valueOf(m, -quantity, -amount));
    if (m_fifo)
        restoreIssueLinePieces(reversedLineId, mirrorLineId);
    tx.commit();
}

// ---- issue returns ------------------------------------------------------------------------

void CostEngine::addIssueReturnToStock(qint64 xtbh)
{
    struct Line
    {
        QString clbh;
        Decimal price;
        Decimal quantity;
        Decimal amount;
    };
    Transaction tx(m_db);
    QList<Line> lines;
    Query q = m_db.query(QStringLiteral("SELECT CLBH, THDJ, THSL, THJE FROM TKD "
                                        "WHERE XTBH = ? ORDER BY ID"),
                         {xtbh});
    while (q.next()) {
        lines.append({q.value(0).toString().trimmed(), Decimal::fromVariant(q.value(1)),
                      Decimal::fromVariant(q.value(2)), Decimal::fromVariant(q.value(3))});
    }
    const QString today = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    for (const Line &line : std::as_const(lines)) {
        const Material m = material(line.clbh);
        const Decimal value = valueOf(m, line.quantity, line.amount);
        addToStock(line.clbh, m, line.quantity, value);
        // The returned goods become the newest receipt layer, consumed after every older one.
        if (m_fifo && line.quantity > Decimal()) {
            m_db.query(QStringLiteral("INSERT INTO RKD (SJDJ, SJSL, SJJE, CLBH, CZRQ, JZBZ) "
                                      "VALUES (?, ?, ?, ?, ?, 1)"),
                       {line.price.toVariant(), line.quantity.toVariant(), value.toVariant(),
                        line.clbh, today});
        }
    }
    tx.commit();
}

} // namespace varnock
