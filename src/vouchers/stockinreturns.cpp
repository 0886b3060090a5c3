#include "vouchers/stockinreturns.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/stockinvouchers.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

namespace varnock {

namespace {

[[noreturn]] void refuse(const QString &title, const QString &text)
{
    throw Refusal(title, text);
}

void appendOnce(QStringList &messages, const QString &text)
{
    if (!messages.contains(text))
        messages.append(text);
}

QString issuedMessage()
{
    return QStringLiteral("材料已做过出库,不能做退货,请先做退库");
}

// The columns every stock-in line query of this file reads, in this order.
const QString LineColumns =
    QStringLiteral("R.ID, R.CLBH, C.CLMC, C.CLGG, C.JZDW, C.JHDJ, R.SJDJ, R.SJSL, R.SJJE, "
                   "(SELECT SUM(T.THSL) FROM THD T WHERE T.RKID = R.ID AND T.XTBH <> ?) ");

StockInReturnLine lineFrom(const QSqlQuery &q)
{
    StockInReturnLine line;
    line.rkid = q.value(0).toLongLong();
    line.clbh = q.value(1).toString();
    line.clmc = q.value(2).toString();
    line.clgg = q.value(3).toString();
    line.jzdw = q.value(4).toString();
    line.jhdj = Decimal::fromVariant(q.value(5));
    line.price = Decimal::fromVariant(q.value(6));
    line.receivedQuantity = Decimal::fromVariant(q.value(7));
    line.receivedAmount = Decimal::fromVariant(q.value(8));
    line.returnedBefore = Decimal::fromVariant(q.value(9));
    return line;
}

} // namespace

// The stock-in line a return line takes its header, material and price from.
struct StockInReturns::Source
{
    qint64 rkid = 0;
    qint64 xtbh = 0;
    QString ysdjh;
    QString gysbh;
    QString fpbh;
    QString clbh;
    QString zl;
    Decimal sjdj;
    Decimal sjsl;
    bool posted = false;
    bool reversed = false;
    bool directDelivery = false;
};

StockInReturns::StockInReturns(Database &db, const StockInKind &stockInKind, int accountingMode,
                               const Formats &formats)
    : m_db(db)
    , m_kind(StockInReturnKind::of(stockInKind.kind))
    , m_mode(accountingMode)
    , m_formats(formats)
{}

void StockInReturns::checkCanOpen() const
{
    VoucherBook(m_db).checkCanOpen();
}

std::optional<QDate> StockInReturns::latestClosing() const
{
    return VoucherBook(m_db).latestClosing();
}

qint64 StockInReturns::nextSystemNumber() const
{
    return VoucherBook(m_db).nextSystemNumber(QStringLiteral("THD"));
}

QString StockInReturns::proposeDocumentNumber() const
{
    const std::optional<qint64> greatest =
        VoucherBook(m_db).greatestRunningNumber(QStringLiteral("THD"), QStringLiteral("THDJH"));
    const qint64 running = greatest ? *greatest + 1 : 1001;
    return VoucherBook::dateText(Clock::today()) + QStringLiteral(" - ") + QString::number(running);
}

QList<StockInListRow> StockInReturns::offerableStockIns() const
{
    FinderConditions f;
    f.require(QStringLiteral("R.JZBZ <> 0 AND R.CZBZ = 0 AND R.XTBH <> 0 AND R.SJSL > 0"));
    if (!m_kind.offersEarlierMonths())
        f.currentMonth(QStringLiteral("R.CZRQ"));
    return StockInVouchers(m_db, m_kind.stockIn(), m_mode, m_formats).find(f);
}

bool StockInReturns::isOfferable(qint64 stockInXtbh) const
{
    const QList<StockInListRow> rows = offerableStockIns();
    return std::any_of(rows.begin(), rows.end(),
                       [&](const StockInListRow &r) { return r.xtbh == stockInXtbh; });
}

QList<StockInReturnLine> StockInReturns::stockInLines(qint64 stockInXtbh, qint64 exceptReturn) const
{
    QString sql = QStringLiteral("SELECT ") + LineColumns +
                  QStringLiteral("FROM RKD R LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                                 "WHERE R.XTBH = ? AND R.ZL = ? AND R.CZBZ = 0 AND R.SJSL > 0");
    if (!m_kind.offersEarlierMonths())
        sql += QStringLiteral(" AND (R.CKID IS NULL OR R.CKID = 0)");
    sql += QStringLiteral(" ORDER BY R.ID");
    QSqlQuery q = m_db.exec(sql, {exceptReturn, stockInXtbh, m_kind.stockIn().zl});
    QList<StockInReturnLine> lines;
    while (q.next())
        lines.append(lineFrom(q));
    return lines;
}

void StockInReturns::checkNotIssued(const QList<StockInReturnLine> &lines) const
{
    for (const StockInReturnLine &line : lines) {
        // Pieces drawn by an issue that was reversed again are back in the layer.
        const Decimal drawn = Decimal::fromVariant(m_db.scalar(
            QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE RKID = ?"), {line.rkid}));
        if (drawn > Decimal())
            refuse(QStringLiteral("提示"), issuedMessage());
    }
}

QList<StockInReturnLine> StockInReturns::linesForReturn(qint64 stockInXtbh) const
{
    const QList<StockInReturnLine> lines = stockInLines(stockInXtbh, 0);
    checkNotIssued(lines);
    return lines;
}

StockInReturnVoucher StockInReturns::draft(qint64 stockInXtbh, const QDate &date) const
{
    if (!isOfferable(stockInXtbh))
        refuse(QStringLiteral("提示"), QStringLiteral("该入库单不能做退货，请另选单据！"));
    StockInReturnVoucher v;
    v.stockInXtbh = stockInXtbh;
    v.czrq = date;
    v.thdjh = proposeDocumentNumber();
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.YSDJH, R.GYSBH, G.MC, R.FPBH, R.ZPH "
                                           "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                           "WHERE R.XTBH = ? AND R.CZBZ = 0 ORDER BY R.ID"),
                            {stockInXtbh});
    if (q.next()) {
        v.ysbh = q.value(0).toString();
        v.gysbh = q.value(1).toString();
        v.gysmc = q.value(2).toString();
        v.fpbh = q.value(3).toString();
        v.zph = q.value(4).toString();
    }
    q.finish();
    v.lines = linesForReturn(stockInXtbh);
    return v;
}

Decimal StockInReturns::amountOf(Decimal quantity, Decimal price) const
{
    return m_formats.roundAmount(m_formats.roundQuantity(quantity) * price);
}

std::optional<StockInReturns::Source> StockInReturns::sourceOf(qint64 rkid) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT XTBH, YSDJH, GYSBH, FPBH, CLBH, ZL, SJDJ, "
                                           "SJSL, JZBZ, CZBZ, CKID FROM RKD WHERE ID = ?"),
                            {rkid});
    if (rkid == 0 || !q.next())
        return std::nullopt;
    Source s;
    s.rkid = rkid;
    s.xtbh = q.value(0).toLongLong();
    s.ysdjh = q.value(1).toString();
    s.gysbh = q.value(2).toString();
    s.fpbh = q.value(3).toString();
    s.clbh = q.value(4).toString().trimmed();
    s.zl = q.value(5).toString();
    s.sjdj = Decimal::fromVariant(q.value(6));
    s.sjsl = Decimal::fromVariant(q.value(7));
    s.posted = q.value(8).toInt() != 0;
    s.reversed = q.value(9).toInt() != 0;
    s.directDelivery = q.value(10).toLongLong() != 0;
    return s;
}

QStringList StockInReturns::validate(const StockInReturnVoucher &v) const
{
    QStringList messages;
    if (const auto problem = VoucherBook::dateProblem(v.czrq))
        messages.append(*problem);
    const std::optional<QDate> closing = latestClosing();
    if (!v.czrq.isValid() || (closing && v.czrq <= *closing))
        messages.append(QStringLiteral("操作时间不允许小于月结时间！"));

    // What this voucher returns of each stock-in line, over all of its lines.
    QHash<qint64, Decimal> ownReturns;
    for (const StockInReturnLine &line : v.lines)
        ownReturns[line.rkid] += m_formats.roundQuantity(line.quantity);

    qint64 stockInXtbh = v.stockInXtbh;
    bool anyReturned = false;
    for (int row = 0; row < v.lines.size(); ++row) {
        const StockInReturnLine &line = v.lines.at(row);
        const Decimal quantity = m_formats.roundQuantity(line.quantity);
        if (quantity.isZero())
            continue;
        anyReturned = true;
        if (quantity.isNegative()) {
            appendOnce(messages,
                       QString::number(row + 1) + QStringLiteral("行退货数量不能小于零!"));
            continue;
        }
        // A return goes back against one posted, unreversed line of one stock-in voucher of
        // this kind.
        const std::optional<Source> s = sourceOf(line.rkid);
        if (s && stockInXtbh == 0)
            stockInXtbh = s->xtbh;
        if (!s || s->zl != m_kind.stockIn().zl || !s->posted || s->reversed ||
            s->sjsl <= Decimal() || s->xtbh != stockInXtbh ||
            (!m_kind.offersEarlierMonths() && s->directDelivery)) {
            appendOnce(messages, QString::number(row + 1) + QStringLiteral("行入库记录不能退货!"));
            continue;
        }
        const Decimal drawn = Decimal::fromVariant(m_db.scalar(
            QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE RKID = ?"), {line.rkid}));
        if (drawn > Decimal())
            appendOnce(messages, issuedMessage());
        // Every other return of the line counts, posted or not; this voucher's stored lines
        // are counted through the lines given, not twice.
        const Decimal others = Decimal::fromVariant(
            m_db.scalar(QStringLiteral("SELECT SUM(THSL) FROM THD WHERE RKID = ? AND XTBH <> ?"),
                        {line.rkid, v.xtbh}));
        if (others + ownReturns.value(line.rkid) > s->sjsl)
            appendOnce(messages, QStringLiteral("退货数量不允许大于入库数量！"));
    }
    if (!anyReturned)
        messages.append(QStringLiteral("请输入数据!"));
    return messages;
}

void StockInReturns::insertLine(qint64 xtbh, const QString &thdjh, const QDate &czrq,
                                const Source &source, Decimal quantity)
{
    m_db.exec(QStringLiteral("INSERT INTO THD (XTBH, YSBH, THDJH, GYSBH, CZRQ, ZL, FPBH, CLBH, "
                             "THSL, RKID, THJE, THDJ, JZBZ) "
                             "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"),
              {xtbh, source.ysdjh, thdjh, source.gysbh.trimmed(), VoucherBook::dateText(czrq),
               m_kind.zl, source.fpbh, source.clbh, quantity.toVariant(), source.rkid,
               amountOf(quantity, source.sjdj).toVariant(), source.sjdj.toVariant()});
    m_db.exec(QStringLiteral("UPDATE RKD SET THBZ = 1 WHERE ID = ?"), {source.rkid});
}

qint64 StockInReturns::saveNew(const StockInReturnVoucher &voucher)
{
    Transaction tx(m_db);
    const QStringList messages = validate(voucher);
    if (!messages.isEmpty())
        refuse(QStringLiteral("警告"), messages.join(QLatin1Char('\n')));
    // Drawn now, not when the voucher was begun, so two vouchers never share a number.
    const qint64 xtbh = nextSystemNumber();
    const QString thdjh =
        voucher.thdjh.trimmed().isEmpty() ? proposeDocumentNumber() : voucher.thdjh;
    for (const StockInReturnLine &line : voucher.lines) {
        const Decimal quantity = m_formats.roundQuantity(line.quantity);
        if (!quantity.isZero())
            insertLine(xtbh, thdjh, voucher.czrq, *sourceOf(line.rkid), quantity);
    }
    tx.commit();
    return xtbh;
}

bool StockInReturns::isPosted(qint64 xtbh) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM THD WHERE XTBH = ? AND JZBZ <> 0"),
                       {xtbh})
               .toLongLong() > 0;
}

// A stock-in line stays marked as returned only while some return line still names it;
// otherwise a later reversal of the line would be refused for a return that is gone.
void StockInReturns::clearStaleReturnMarks(const QList<qint64> &rkids)
{
    for (qint64 rkid : rkids) {
        m_db.exec(QStringLiteral("UPDATE RKD SET THBZ = 0 WHERE ID = ? AND THBZ <> 0 "
                                 "AND NOT EXISTS (SELECT 1 FROM THD WHERE RKID = ?)"),
                  {rkid, rkid});
    }
}

void StockInReturns::saveEdit(const StockInReturnVoucher &voucher)
{
    Transaction tx(m_db);
    QHash<qint64, qint64> stored; // THD.ID → RKID
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, RKID, JZBZ FROM THD WHERE XTBH = ? "
                                           "AND ZL = ?"),
                            {voucher.xtbh, m_kind.zl});
    bool posted = false;
    while (q.next()) {
        stored.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
        posted = posted || q.value(2).toInt() != 0;
    }
    q.finish();
    if (stored.isEmpty())
        refuse(QStringLiteral("提示"), QStringLiteral("该票据不存在，可能已被删除！"));
    if (posted)
        refuse(QStringLiteral("提示"), QStringLiteral("该单据已经记账，不允许修改！"));
    const QStringList messages = validate(voucher);
    if (!messages.isEmpty())
        refuse(QStringLiteral("警告"), messages.join(QLatin1Char('\n')));

    QString thdjh = voucher.thdjh;
    if (thdjh.trimmed().isEmpty()) {
        thdjh =
            m_db.scalar(QStringLiteral("SELECT MIN(THDJH) FROM THD WHERE XTBH = ?"), {voucher.xtbh})
                .toString();
    }
    QSet<qint64> kept;
    QList<qint64> touched;
    for (const StockInReturnLine &line : voucher.lines) {
        const Decimal quantity = m_formats.roundQuantity(line.quantity);
        if (line.id == 0) {
            if (!quantity.isZero())
                insertLine(voucher.xtbh, thdjh, voucher.czrq, *sourceOf(line.rkid), quantity);
            continue;
        }
        if (stored.value(line.id, -1) != line.rkid)
            throw StoreError(QStringLiteral("THD line %1 is not part of return voucher %2")
                                 .arg(line.id)
                                 .arg(voucher.xtbh));
        if (quantity.isZero())
            continue; // emptied: deleted below
        kept.insert(line.id);
        const Source s = *sourceOf(line.rkid);
        m_db.exec(QStringLiteral("UPDATE THD SET THDJH = ?, CZRQ = ?, CLBH = ?, THDJ = ?, "
                                 "THSL = ?, THJE = ? WHERE ID = ?"),
                  {thdjh, VoucherBook::dateText(voucher.czrq), s.clbh, s.sjdj.toVariant(),
                   quantity.toVariant(), amountOf(quantity, s.sjdj).toVariant(), line.id});
    }
    // Lines whose quantity was cleared or that left the grid go: the voucher is what the grid
    // shows.
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (kept.contains(it.key()))
            continue;
        m_db.exec(QStringLiteral("DELETE FROM THD WHERE ID = ?"), {it.key()});
        touched.append(it.value());
    }
    clearStaleReturnMarks(touched);
    tx.commit();
}

void StockInReturns::remove(qint64 xtbh)
{
    Transaction tx(m_db);
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT RKID, JZBZ FROM THD WHERE XTBH = ?"), {xtbh});
    QList<qint64> rkids;
    bool posted = false;
    while (q.next()) {
        rkids.append(q.value(0).toLongLong());
        posted = posted || q.value(1).toInt() != 0;
    }
    q.finish();
    if (rkids.isEmpty())
        refuse(QStringLiteral("提示"), QStringLiteral("该票据不存在，可能已被删除！"));
    if (posted)
        refuse(QStringLiteral("提示"), QStringLiteral("该票据已经记账，请做冲帐处理！"));
    m_db.exec(QStringLiteral("DELETE FROM THD WHERE XTBH = ?"), {xtbh});
    clearStaleReturnMarks(rkids);
    tx.commit();
}

std::optional<StockInReturnVoucher> StockInReturns::load(qint64 xtbh) const
{
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT T.ID, T.RKID, T.THDJH, T.YSBH, T.GYSBH, G.MC, T.FPBH, T.CZRQ, "
                       "T.JZBZ, T.THSL, T.THJE, R.XTBH, R.ZPH FROM THD T "
                       "LEFT JOIN GYS G ON G.BH = T.GYSBH "
                       "LEFT JOIN RKD R ON R.ID = T.RKID "
                       "WHERE T.XTBH = ? AND T.ZL = ? ORDER BY T.ID"),
        {xtbh, m_kind.zl});
    struct Stored
    {
        qint64 id;
        qint64 rkid;
        Decimal quantity;
        Decimal amount;
    };
    QList<Stored> stored;
    StockInReturnVoucher v;
    v.xtbh = xtbh;
    while (q.next()) {
        if (stored.isEmpty()) {
            v.thdjh = q.value(2).toString();
            v.ysbh = q.value(3).toString();
            v.gysbh = q.value(4).toString();
            v.gysmc = q.value(5).toString();
            v.fpbh = q.value(6).toString();
            v.czrq = VoucherBook::dateOf(q.value(7));
            v.stockInXtbh = q.value(11).toLongLong();
            v.zph = q.value(12).toString();
        }
        if (q.value(8).toInt() != 0)
            v.posted = true;
        stored.append({q.value(0).toLongLong(), q.value(1).toLongLong(),
                       Decimal::fromVariant(q.value(9)), Decimal::fromVariant(q.value(10))});
    }
    q.finish();
    if (stored.isEmpty())
        return std::nullopt;

    // The whole stock-in voucher is shown, so that an edit may return another of its lines.
    v.lines = stockInLines(v.stockInXtbh, xtbh);
    for (const Stored &s : std::as_const(stored)) {
        auto line = std::find_if(v.lines.begin(), v.lines.end(), [&](const StockInReturnLine &l) {
            return l.rkid == s.rkid && l.id == 0;
        });
        if (line == v.lines.end()) {
            // A stock-in line no longer listed (reversed since): the return line still shows.
            QSqlQuery one = m_db.exec(QStringLiteral("SELECT ") + LineColumns +
                                          QStringLiteral("FROM RKD R LEFT JOIN CLJBXXB C "
                                                         "ON C.CLBH = R.CLBH WHERE R.ID = ?"),
                                      {xtbh, s.rkid});
            StockInReturnLine extra;
            if (one.next())
                extra = lineFrom(one);
            extra.rkid = s.rkid;
            v.lines.append(extra);
            line = v.lines.end() - 1;
        }
        line->id = s.id;
        line->quantity = s.quantity;
        line->amount = s.amount;
    }
    return v;
}

QList<StockInReturnListRow> StockInReturns::list(const QString &where,
                                                 const QVariantList &values) const
{
    QString sql = QStringLiteral("SELECT T.XTBH, MAX(T.JZBZ), MIN(T.CZRQ), MIN(T.THDJH), "
                                 "MIN(T.YSBH), MIN(T.GYSBH), MIN(G.MC), MIN(T.FPBH), MIN(R.ZPH), "
                                 "MIN(T.ZL) FROM THD T LEFT JOIN GYS G ON G.BH = T.GYSBH "
                                 "LEFT JOIN RKD R ON R.ID = T.RKID WHERE T.ZL = ?");
    if (!where.isEmpty())
        sql += QStringLiteral(" AND ") + where;
    sql += QStringLiteral(" GROUP BY T.XTBH ORDER BY T.XTBH");
    QVariantList all{m_kind.zl};
    all.append(values);
    QSqlQuery q = m_db.exec(sql, all);
    QList<StockInReturnListRow> rows;
    while (q.next()) {
        StockInReturnListRow row;
        row.xtbh = q.value(0).toLongLong();
        row.posted = q.value(1).toInt() != 0;
        row.czrq = VoucherBook::dateOf(q.value(2));
        row.thdjh = q.value(3).toString();
        row.ysbh = q.value(4).toString();
        row.gysbh = q.value(5).toString();
        row.gysmc = q.value(6).toString();
        row.fpbh = q.value(7).toString();
        row.zph = q.value(8).toString();
        row.zl = q.value(9).toString();
        rows.append(row);
    }
    return rows;
}

QList<StockInReturnListRow> StockInReturns::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("T.CZRQ"));
    return list(c.where(), c.values());
}

QList<StockInReturnListRow> StockInReturns::find(const StockInReturnConditions &c) const
{
    FinderConditions f;
    f.equal(QStringLiteral("T.GYSBH"), c.gysbh);
    f.equal(QStringLiteral("T.FPBH"), c.fpbh);
    f.equal(QStringLiteral("T.THDJH"), c.thdjh);
    f.equal(QStringLiteral("T.CLBH"), c.clbh);
    f.between(QStringLiteral("T.CZRQ"), c.from, c.to);
    return list(f.where(), f.values());
}

QDate StockInReturns::finderStart() const
{
    return VoucherBook(m_db).finderStart();
}

} // namespace varnock
