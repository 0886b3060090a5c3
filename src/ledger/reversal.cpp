#include "ledger/reversal.h"

#include "ledger/costengine.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/decimal.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");
const QString StockIn = QStringLiteral("RKD");
const QString Issue = QStringLiteral("LLD");

} // namespace

struct Reversal::Line
{
    qint64 xtbh = 0;
    bool posted = false;
    bool reversed = false;
    bool returned = false;
    bool direct = false; // a direct delivery: reversed with its delivery
    QDate date;
    QString clbh;
    Decimal quantity;
    Decimal drawn; // first in first out: what issues have taken from a receipt layer
};

Reversal::Reversal(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

OperationStep Reversal::replacementQuestion()
{
    return OperationStep::question(Title, QStringLiteral("冲帐结束，你要补帐吗？"));
}

PostingGrid Reversal::stockInVouchers(const QString &zl, std::optional<QDate> from,
                                      std::optional<QDate> to) const
{
    QString range;
    QVariantList values{zl};
    if (from && to) {
        if (*from > *to)
            throw Refusal(Title, QStringLiteral("起始日期不允许大于终止日期"));
        range = QStringLiteral(" AND R.CZRQ BETWEEN ? AND ?");
        values << *from << *to;
    }
    PostingGrid grid;
    grid.columns = {QStringLiteral("系统编号"),   QStringLiteral("原始单据号"),
                    QStringLiteral("供应商名称"), QStringLiteral("操作日期"),
                    QStringLiteral("发票号"),     QStringLiteral("支票号"),
                    QStringLiteral("账类")};
    // One row per voucher even when its lines disagree on a header field.
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.XTBH, R.XTBH, MIN(R.YSDJH), MIN(G.MC), "
                                           "MIN(R.CZRQ), MIN(R.FPBH), MIN(R.ZPH), MIN(R.ZL) "
                                           "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                           "WHERE R.ZL = ? AND R.JZBZ <> 0 AND R.CZBZ = 0 "
                                           "AND R.XTBH <> 0 AND (R.CKID IS NULL OR R.CKID = 0)") +
                                range + QStringLiteral(" GROUP BY R.XTBH ORDER BY R.XTBH"),
                            values);
    grid.fill(q, m_formats, "TTTTTTT");
    return grid;
}

PostingGrid Reversal::issueVouchers(const QString &zl, const QDate &from, const QDate &to) const
{
    if (from > to)
        throw Refusal(Title, QStringLiteral("起始日期不允许大于终止日期"));
    PostingGrid grid;
    grid.columns = {QStringLiteral("单据编号"), QStringLiteral("单位名称"),
                    QStringLiteral("操作日期"), QStringLiteral("施工部位"),
                    QStringLiteral("栋/楼号"),  QStringLiteral("系统编号")};
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT L.XTBH, MIN(L.YSDJH), MIN(W.MC), MIN(L.CZRQ), "
                                           "MIN(L.SGBW), MIN(L.DH), L.XTBH "
                                           "FROM LLD L LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                           "WHERE L.ZL = ? AND L.JZBZ <> 0 AND L.ZJZC = 0 "
                                           "AND L.XTBH <> 0 AND L.CZBZ = 0 AND L.THBZ = 0 "
                                           "AND L.CZRQ BETWEEN ? AND ? "
                                           "GROUP BY L.XTBH ORDER BY L.XTBH"),
                            {zl, from, to});
    grid.fill(q, m_formats, "TTTTTT");
    return grid;
}

PostingGrid Reversal::stockInLines(qint64 xtbh) const
{
    return Posting(m_db, m_mode, m_formats).lineGrid(Posting::Family::StockIn, xtbh, true);
}

PostingGrid Reversal::issueLines(qint64 xtbh) const
{
    return Posting(m_db, m_mode, m_formats).lineGrid(Posting::Family::Issue, xtbh, true);
}

int Reversal::issueRow(qint64 lineId) const
{
    const qint64 xtbh =
        m_db.scalar(QStringLiteral("SELECT XTBH FROM LLD WHERE ID = ?"), {lineId}).toLongLong();
    return int(issueLines(xtbh).keys.indexOf(lineId)) + 1;
}

std::optional<Reversal::Line> Reversal::line(const QString &table, qint64 lineId) const
{
    const bool receipt = table == StockIn;
    // Table names are fixed, never input.
    const QString sql =
        receipt ? QStringLiteral("SELECT L.XTBH, L.JZBZ, L.CZBZ, L.THBZ, "
                                 "COALESCE(L.CKID, 0) <> 0, L.CZRQ, L.CLBH, L.SJSL, "
                                 "EXISTS (SELECT 1 FROM THD T WHERE T.RKID = L.ID), "
                                 "(SELECT SUM(X.CKSL) FROM XJXCSJB X WHERE X.RKID = L.ID) "
                                 "FROM RKD L WHERE L.ID = ?")
                : QStringLiteral("SELECT L.XTBH, L.JZBZ, L.CZBZ, L.THBZ, L.ZJZC <> 0, L.CZRQ, "
                                 "L.CLBH, L.SJSL, "
                                 "EXISTS (SELECT 1 FROM TKD T WHERE T.LLID = L.ID), 0 "
                                 "FROM LLD L WHERE L.ID = ?");
    QSqlQuery q = m_db.exec(sql, {lineId});
    if (!q.next())
        return std::nullopt;
    Line l;
    l.xtbh = q.value(0).toLongLong();
    l.posted = q.value(1).toInt() != 0;
    l.reversed = q.value(2).toInt() != 0;
    l.returned = q.value(3).toInt() != 0 || q.value(8).toInt() != 0;
    l.direct = q.value(4).toInt() != 0;
    l.date = VoucherBook::dateOf(q.value(5));
    l.clbh = q.value(6).toString().trimmed();
    l.quantity = Decimal::fromVariant(q.value(7));
    l.drawn = Decimal::fromVariant(q.value(9));
    return l;
}

QList<OperationStep> Reversal::stockInSteps(qint64 lineId, const QDate &date) const
{
    return steps(StockIn, lineId, date, 0);
}

QList<OperationStep> Reversal::issueSteps(qint64 lineId, const QDate &date, int row) const
{
    return steps(Issue, lineId, date, row);
}

QList<OperationStep> Reversal::steps(const QString &table, qint64 lineId, const QDate &date,
                                     int row) const
{
    const bool receipt = table == StockIn;
    QList<OperationStep> steps;
    const auto refuse = [&steps](const QString &title, const QString &text) {
        steps.append(OperationStep::refusal(title, text));
        return steps;
    };

    if (const std::optional<QString> problem = VoucherBook::dateProblem(date))
        return refuse(Title, *problem);
    const std::optional<QDate> closing = VoucherBook(m_db).latestClosing();
    // A sealed month stays as it was closed.
    if (closing && *closing >= date)
        return refuse(Title, QStringLiteral("冲帐时间应大于月结时间"));

    const std::optional<Line> l = line(table, lineId);
    if (!l)
        return refuse(Title, QStringLiteral("该记录不存在，可能已被删除！"));
    if (l->direct)
        return refuse(Title, QStringLiteral("该记录属于直进直出单据，请在直进直出冲帐中处理！"));
    // Count rows and the layers of returned goods have no voucher of their own.
    if (l->xtbh == 0 || l->reversed || l->returned)
        return refuse(Title, QStringLiteral("此单据已冲帐,或退货，请另选单据"));
    if (!l->posted)
        return refuse(Title, QStringLiteral("该记录未记账，不能冲帐！"));
    // A mirror dated before its line would show the stock gone before it came (or back before
    // it left) in every report between the two dates.
    if (l->date.isValid() && date < l->date)
        return refuse(Title, QStringLiteral("冲帐日期不能早于原单据日期（%1）！")
                                 .arg(VoucherBook::dateText(l->date)));

    if (receipt) {
        // Goods already issued cannot leave the store a second time.
        const Decimal stock = Decimal::fromVariant(
            m_db.scalar(QStringLiteral("SELECT KCSL FROM KC WHERE CLBH = ?"), {l->clbh}));
        if ((stock - l->quantity).isNegative())
            return refuse(Title, QStringLiteral("库存不允许出负！"));
        if (m_mode == CostEngine::FirstInFirstOut && l->drawn > Decimal())
            return refuse(Title, QStringLiteral("该入库材料已经出库，不能冲帐！"));
    } else if (closing && Clock::today() <= *closing) {
        return refuse(QStringLiteral("提示窗口"),
                      QStringLiteral("系统日期至少大于月结日期！请修改系统日期！"));
    }

    if (const std::optional<QString> later = VoucherBook::laterDateQuestion(date))
        steps.append(OperationStep::question(Title, *later));
    steps.append(OperationStep::question(
        Title, receipt ? QStringLiteral("该帐目将被冲掉！您确定要进行吗？")
                       : QStringLiteral("你确实要冲掉第 %1 笔单据吗？").arg(row)));
    return steps;
}

Reversal::Mirror Reversal::reverseStockInLine(qint64 lineId, const QDate &date)
{
    Transaction tx(m_db);
    OperationStep::throwRefusal(steps(StockIn, lineId, date, 0));
    Mirror mirror;
    mirror.xtbh = VoucherBook(m_db).nextSystemNumber(StockIn);
    m_db.exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE ID = ?"), {lineId});
    // The paid amount is negated as well, so that what the supplier was paid for the line
    // and its mirror nets to nothing.
    const QSqlQuery inserted =
        m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, ZL, CLBH, "
                                 "SJDJ, SJSL, SJJE, YFJE, CZZM, JZBZ, CZBZ) "
                                 "SELECT ?, ?, GYSBH, ?, FPBH, ZPH, ZL, CLBH, SJDJ, -SJSL, "
                                 "-SJJE, -YFJE, CZZM, 1, 1 FROM RKD WHERE ID = ?"),
                  {mirror.xtbh, reference(), date, lineId});
    mirror.id = inserted.lastInsertId().toLongLong();
    CostEngine(m_db, m_mode, m_formats).addReceiptLineToStock(mirror.id);
    tx.commit();
    return mirror;
}

Reversal::Mirror Reversal::reverseIssueLine(qint64 lineId, const QDate &date)
{
    Transaction tx(m_db);
    OperationStep::throwRefusal(steps(Issue, lineId, date, 0));
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT L.SJSL, L.SJJE, L.CLBH, L.ZL, L.LLDWBH, "
                                           "C.JJFS, C.JHDJ FROM LLD L "
                                           "LEFT JOIN CLJBXXB C ON C.CLBH = TRIM(L.CLBH) "
                                           "WHERE L.ID = ?"),
                            {lineId});
    q.next();
    const Decimal quantity = Decimal::fromVariant(q.value(0));
    // What the line took out of stock comes back: its own amount, or quantity × JHDJ for a
    // material carried at its planned price.
    const Decimal amount = q.value(5).toInt() != 0
                               ? m_formats.amountAt(quantity, Decimal::fromVariant(q.value(6)))
                               : Decimal::fromVariant(q.value(1));
    const QVariantList values{q.value(2), q.value(3), q.value(4)};
    q.finish();

    Mirror mirror;
    mirror.xtbh = VoucherBook(m_db).nextSystemNumber(Issue);
    m_db.exec(QStringLiteral("UPDATE LLD SET CZBZ = 1 WHERE ID = ?"), {lineId});
    const QSqlQuery inserted = m_db.exec(
        QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, SJSL, SJJE, CLBH, CZRQ, JZBZ, ZL, LLDWBH, "
                       "CZBZ) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?, 1)"),
        {mirror.xtbh, reference(), (-quantity).toVariant(), (-amount).toVariant(), values.at(0),
         date, values.at(1), values.at(2)});
    mirror.id = inserted.lastInsertId().toLongLong();
    CostEngine(m_db, m_mode, m_formats).bookIssueReversal(lineId, mirror.id);
    tx.commit();
    return mirror;
}

} // namespace varnock
