#include "vouchers/stockinreturns.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/rowreader.h"
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
    readRow(q, line.rkid, line.clbh, line.clmc, line.clgg, line.jzdw, line.jhdj, line.price,
            line.receivedQuantity, line.receivedAmount, line.returnedBefore);
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

namespace {

VoucherService::Table familyTable()
{
    return {QStringLiteral("THD"),
            QStringLiteral("THDJH"),
            {VoucherService::Numbering::Rule::Running},
            QStringLiteral("RKD"),
            QStringLiteral("RKID")};
}

VoucherService::Rules familyRules()
{
    const QString title = QStringLiteral("提示");
    return {Refusal(title, QStringLiteral("该单据已经记账，不允许修改！")),
            Refusal(title, QStringLiteral("该票据已经记账，请做冲帐处理！")),
            QStringLiteral("该票据不存在，可能已被删除！"), false};
}

} // namespace

StockInReturns::StockInReturns(Database &db, const StockInKind &stockInKind, int accountingMode,
                               const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), StockInReturnKind::of(stockInKind.kind).zl,
                    accountingMode, formats)
    , m_kind(StockInReturnKind::of(stockInKind.kind))
{}

QList<StockInListRow> StockInReturns::offerableStockIns() const
{
    FinderConditions f;
    f.require(QStringLiteral("R.JZBZ <> 0 AND R.CZBZ = 0 AND R.XTBH <> 0 AND R.SJSL > 0"));
    if (!m_kind.offersEarlierMonths())
        f.currentMonth(QStringLiteral("R.CZRQ"));
    return StockInVouchers(database(), m_kind.stockIn(), accountingMode(), formats()).find(f);
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
    QSqlQuery q = database().exec(sql, {exceptReturn, stockInXtbh, m_kind.stockIn().zl});
    QList<StockInReturnLine> lines;
    while (q.next())
        lines.append(lineFrom(q));
    return lines;
}

void StockInReturns::checkNotIssued(const QList<StockInReturnLine> &lines) const
{
    for (const StockInReturnLine &line : lines) {
        // Pieces drawn by an issue that was reversed again are back in the layer.
        const Decimal drawn = Decimal::fromVariant(database().scalar(
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
    QSqlQuery q = database().exec(QStringLiteral("SELECT R.YSDJH, R.GYSBH, G.MC, R.FPBH, R.ZPH "
                                                 "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                                 "WHERE R.XTBH = ? AND R.CZBZ = 0 ORDER BY R.ID"),
                                  {stockInXtbh});
    if (q.next())
        readRow(q, v.ysbh, v.gysbh, v.gysmc, v.fpbh, v.zph);
    q.finish();
    v.lines = linesForReturn(stockInXtbh);
    return v;
}

Decimal StockInReturns::amountOf(Decimal quantity, Decimal price) const
{
    return formats().roundAmount(formats().roundQuantity(quantity) * price);
}

std::optional<StockInReturns::Source> StockInReturns::sourceOf(qint64 rkid) const
{
    QSqlQuery q = database().exec(QStringLiteral("SELECT XTBH, YSDJH, GYSBH, FPBH, CLBH, ZL, SJDJ, "
                                                 "SJSL, JZBZ, CZBZ, CKID FROM RKD WHERE ID = ?"),
                                  {rkid});
    if (rkid == 0 || !q.next())
        return std::nullopt;
    Source s;
    s.rkid = rkid;
    readRow(q, s.xtbh, s.ysdjh, s.gysbh, s.fpbh, s.clbh, s.zl, s.sjdj, s.sjsl, s.posted, s.reversed,
            s.directDelivery);
    s.clbh = s.clbh.trimmed();
    return s;
}

QList<Refusal> StockInReturns::refusals(const StockInReturnVoucher &v) const
{
    QStringList messages = dateProblems(v.czrq, QStringLiteral("操作时间不允许小于月结时间！"));

    // What this voucher returns of each stock-in line, over all of its lines.
    QHash<qint64, Decimal> ownReturns;
    for (const StockInReturnLine &line : v.lines)
        ownReturns[line.rkid] += formats().roundQuantity(line.quantity);

    qint64 stockInXtbh = v.stockInXtbh;
    bool anyReturned = false;
    for (int row = 0; row < v.lines.size(); ++row) {
        const StockInReturnLine &line = v.lines.at(row);
        const Decimal quantity = formats().roundQuantity(line.quantity);
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
        const Decimal drawn = Decimal::fromVariant(database().scalar(
            QStringLiteral("SELECT SUM(CKSL) FROM XJXCSJB WHERE RKID = ?"), {line.rkid}));
        if (drawn > Decimal())
            appendOnce(messages, issuedMessage());
        // Every other return of the line counts, posted or not; this voucher's stored lines
        // are counted through the lines given, not twice.
        const Decimal others = Decimal::fromVariant(database().scalar(
            QStringLiteral("SELECT SUM(THSL) FROM THD WHERE RKID = ? AND XTBH <> ?"),
            {line.rkid, v.xtbh}));
        if (others + ownReturns.value(line.rkid) > s->sjsl)
            appendOnce(messages, QStringLiteral("退货数量不允许大于入库数量！"));
    }
    if (!anyReturned)
        messages.append(QStringLiteral("请输入数据!"));
    return refusalsOf(QStringLiteral("警告"), messages);
}

QList<VoucherService::Row> StockInReturns::rows(const StockInReturnVoucher &v, qint64) const
{
    QList<Row> rows;
    for (const StockInReturnLine &line : v.lines) {
        const Decimal quantity = formats().roundQuantity(line.quantity);
        if (quantity.isZero())
            continue;
        const Source s = *sourceOf(line.rkid);
        rows.append(Row(line.id, s.rkid)
                        .setOnInsert("YSBH", s.ysdjh)
                        .set("THDJH", v.thdjh)
                        .setOnInsert("GYSBH", s.gysbh.trimmed())
                        .set("CZRQ", VoucherBook::dateText(v.czrq))
                        .setOnInsert("ZL", m_kind.zl)
                        .setOnInsert("FPBH", s.fpbh)
                        .set("CLBH", s.clbh)
                        .set("THSL", quantity.toVariant())
                        .setOnInsert("RKID", s.rkid)
                        .set("THJE", amountOf(quantity, s.sjdj).toVariant())
                        .set("THDJ", s.sjdj.toVariant())
                        .setOnInsert("JZBZ", 0));
    }
    return rows;
}

void StockInReturns::complete(StockInReturnVoucher &v) const
{
    if (!v.thdjh.trimmed().isEmpty())
        return;
    v.thdjh = v.xtbh == 0 ? proposeDocumentNumber()
                          : database()
                                .scalar(QStringLiteral("SELECT MIN(THDJH) FROM THD WHERE XTBH = ?"),
                                        {v.xtbh})
                                .toString();
}

std::optional<StockInReturnVoucher> StockInReturns::load(qint64 xtbh) const
{
    QSqlQuery q = database().exec(
        QStringLiteral("SELECT T.ID, T.RKID, T.THSL, T.THJE, T.JZBZ, T.THDJH, T.YSBH, T.GYSBH, "
                       "G.MC, T.FPBH, T.CZRQ, R.XTBH, R.ZPH FROM THD T "
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
        if (stored.isEmpty())
            readRowAt(q, 5, v.thdjh, v.ysbh, v.gysbh, v.gysmc, v.fpbh, v.czrq, v.stockInXtbh,
                      v.zph);
        Stored line{};
        bool posted = false;
        readRow(q, line.id, line.rkid, line.quantity, line.amount, posted);
        v.posted = v.posted || posted;
        stored.append(line);
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
            QSqlQuery one = database().exec(QStringLiteral("SELECT ") + LineColumns +
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

QList<StockInReturnListRow> StockInReturns::list(const FinderConditions &conditions) const
{
    using R = StockInReturnListRow;
    return readRows<R>(
        findVouchers(QStringLiteral("SELECT T.XTBH, MAX(T.JZBZ), MIN(T.CZRQ), MIN(T.THDJH), "
                                    "MIN(T.YSBH), MIN(T.GYSBH), MIN(G.MC), MIN(T.FPBH), "
                                    "MIN(R.ZPH), MIN(T.ZL) FROM THD T "
                                    "LEFT JOIN GYS G ON G.BH = T.GYSBH "
                                    "LEFT JOIN RKD R ON R.ID = T.RKID WHERE T.ZL = ?"),
                     conditions, QStringLiteral("GROUP BY T.XTBH ORDER BY T.XTBH")),
        &R::xtbh, &R::posted, &R::czrq, &R::thdjh, &R::ysbh, &R::gysbh, &R::gysmc, &R::fpbh,
        &R::zph, &R::zl);
}

QList<StockInReturnListRow> StockInReturns::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("T.CZRQ"));
    return list(c);
}

QList<StockInReturnListRow> StockInReturns::find(const StockInReturnConditions &c) const
{
    return list(FinderConditions(
        {{"T.GYSBH", c.gysbh}, {"T.FPBH", c.fpbh}, {"T.THDJH", c.thdjh}, {"T.CLBH", c.clbh}},
        "T.CZRQ", c.from, c.to));
}

} // namespace varnock
