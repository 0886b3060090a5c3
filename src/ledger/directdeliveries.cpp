#include "ledger/directdeliveries.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/decimal.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");
const QString PostTitle = QStringLiteral("提示窗口");
// A mirror's document numbers: the reversed voucher's with this appended.
const QString MirrorSuffix = QStringLiteral(" 冲帐");

// The pairs of a voucher: its receipt rows joined to their issue rows.
const char *const Pairs = "FROM RKD R JOIN LLD L ON L.ID = R.CKID AND L.ZJZC <> 0 "
                          "LEFT JOIN GYS G ON G.BH = R.GYSBH "
                          "LEFT JOIN LLDW W ON W.BH = L.LLDWBH ";

PostingGrid voucherColumns()
{
    PostingGrid grid;
    grid.columns = {
        QStringLiteral("系统编号"),   QStringLiteral("操作日期"),   QStringLiteral("入库单据号"),
        QStringLiteral("供应商名称"), QStringLiteral("出库单据号"), QStringLiteral("耗料单位名称"),
        QStringLiteral("发票号"),     QStringLiteral("施工部位"),   QStringLiteral("栋号")};
    return grid;
}

// One row per voucher even when its lines disagree on a header field.
QString voucherSelect()
{
    return QStringLiteral("SELECT R.XTBH, R.XTBH, MIN(R.CZRQ), MIN(R.YSDJH), MIN(G.MC), "
                          "MIN(L.YSDJH), MIN(W.MC), MIN(R.FPBH), MIN(L.SGBW), MIN(L.DH) ") +
           QLatin1String(Pairs);
}

} // namespace

DirectDeliveries::DirectDeliveries(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

PostingGrid DirectDeliveries::unpostedVouchers() const
{
    PostingGrid grid = voucherColumns();
    QSqlQuery q = m_db.exec(voucherSelect() + QStringLiteral("WHERE R.JZBZ = 0 AND L.JZBZ = 0 "
                                                             "GROUP BY R.XTBH ORDER BY R.XTBH"));
    grid.fill(q, m_formats, "TTTTTTTTT");
    return grid;
}

PostingGrid DirectDeliveries::lines(qint64 xtbh) const
{
    PostingGrid grid;
    grid.columns = {
        QStringLiteral(" id"),       QStringLiteral(" 材料编号"), QStringLiteral(" 材料名称"),
        QStringLiteral(" 材料规格"), QStringLiteral(" 记账单位"), QStringLiteral(" 计划单价"),
        QStringLiteral(" 实际单价"), QStringLiteral("  数  量"),  QStringLiteral(" 计划金额"),
        QStringLiteral("实际金额"),  QStringLiteral("已付金额"),  QStringLiteral(" 材质证明")};
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.ID, R.ID, R.CLBH, C.CLMC, C.CLGG, C.JZDW, "
                                           "C.JHDJ, R.SJDJ, R.SJSL, SMUL(C.JHDJ, R.SJSL, ?), "
                                           "R.SJJE, R.YFJE, R.CZZM FROM RKD R "
                                           "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                                           "WHERE R.XTBH = ? AND COALESCE(R.CKID, 0) <> 0 "
                                           "AND R.CZBZ = 0 ORDER BY R.ID"),
                            {m_formats.amountDecimals(), xtbh});
    grid.fill(q, m_formats, "TTTTTAAQAAAT");
    return grid;
}

OperationStep DirectDeliveries::postQuestion()
{
    return OperationStep::question(
        PostTitle, QStringLiteral("一旦记帐，将不可修改数据只可查看，您确定要记帐吗？"),
        Refusal::Icon::Exclamation);
}

void DirectDeliveries::post(qint64 xtbh)
{
    Transaction tx(m_db);
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT COUNT(*), SUM(CASE WHEN R.JZBZ <> 0 OR "
                                           "L.JZBZ <> 0 THEN 1 ELSE 0 END) ") +
                                QLatin1String(Pairs) + QStringLiteral("WHERE R.XTBH = ?"),
                            {xtbh});
    q.next();
    if (q.value(0).toInt() == 0)
        throw Refusal(PostTitle, QStringLiteral("该单据不存在，可能已被删除！"));
    if (q.value(1).toInt() != 0)
        throw Refusal(PostTitle, QStringLiteral("该单据已经记帐，不能重复记帐！"));
    q.finish();
    m_db.exec(QStringLiteral("UPDATE LLD SET JZBZ = 1 WHERE ZJZC <> 0 AND ID IN "
                             "(SELECT CKID FROM RKD WHERE XTBH = ?)"),
              {xtbh});
    m_db.exec(QStringLiteral("UPDATE RKD SET JZBZ = 1 WHERE XTBH = ? AND COALESCE(CKID, 0) <> 0"),
              {xtbh});
    // The material never rests in the store: stock stays as it is.
    writePieces(QStringLiteral("R.XTBH = ?"), {xtbh});
    tx.commit();
}

void DirectDeliveries::writePieces(const QString &condition, const QVariantList &values)
{
    // Under first in first out each receipt goes wholly to its own issue, leaving nothing in a
    // layer; a mirror pair's piece is negative, so that the pair and its mirror net to nothing
    // for whatever reads the issues piece by piece.
    if (m_mode != CostEngine::FirstInFirstOut)
        return;
    m_db.exec(QStringLiteral("INSERT INTO XJXCSJB (RKID, CKID, CKSL, CLBH, SYSL) "
                             "SELECT R.ID, L.ID, L.SJSL, R.CLBH, 0 FROM RKD R "
                             "JOIN LLD L ON L.ID = R.CKID AND L.XTBH = R.CKBH "
                             "AND L.CLBH = R.CLBH WHERE %1 AND L.ZJZC <> 0 ORDER BY R.ID")
                  .arg(condition),
              values);
}

int DirectDeliveries::restoreMirrorPieces()
{
    if (m_mode != CostEngine::FirstInFirstOut)
        return 0;
    Transaction tx(m_db);
    const qint64 before = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB")).toLongLong();
    writePieces(QStringLiteral("R.CKID <> 0 AND R.JZBZ <> 0 AND L.SJSL < 0 AND NOT EXISTS "
                               "(SELECT 1 FROM XJXCSJB X WHERE X.CKID = L.ID)"),
                {});
    const qint64 after = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB")).toLongLong();
    tx.commit();
    return int(after - before);
}

QList<Posting::Outcome> DirectDeliveries::postAll()
{
    QList<Posting::Outcome> outcomes;
    for (qint64 xtbh : unpostedVouchers().keys) {
        Posting::Outcome outcome;
        outcome.xtbh = xtbh;
        try {
            post(xtbh);
            outcome.posted = true;
        } catch (const Refusal &r) {
            outcome.title = r.title;
            outcome.text = r.text;
            outcome.icon = r.icon;
        }
        outcomes.append(outcome);
    }
    return outcomes;
}

OperationStep DirectDeliveries::deleteLineQuestion()
{
    return OperationStep::question(QStringLiteral("删除窗口"),
                                   QStringLiteral("您确定要删除该记录吗？"));
}

void DirectDeliveries::deleteLine(qint64 rkdId)
{
    Transaction tx(m_db);
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.JZBZ, L.JZBZ, L.ID ") + QLatin1String(Pairs) +
                                QStringLiteral("WHERE R.ID = ?"),
                            {rkdId});
    if (!q.next())
        throw Refusal(Title, QStringLiteral("该记录不存在，可能已被删除！"));
    if (q.value(0).toInt() != 0 || q.value(1).toInt() != 0)
        throw Refusal(Title, QStringLiteral("该记录已经记帐，不能删除！"));
    const qint64 issueId = q.value(2).toLongLong();
    q.finish();
    m_db.exec(QStringLiteral("DELETE FROM RKD WHERE ID = ?"), {rkdId});
    m_db.exec(QStringLiteral("DELETE FROM LLD WHERE ID = ?"), {issueId});
    tx.commit();
}

PostingGrid DirectDeliveries::postedVouchers(const QDate &from, const QDate &to) const
{
    if (from > to)
        throw Refusal(Title, QStringLiteral("起始日期不允许大于终止日期"));
    PostingGrid grid;
    grid.columns = {QStringLiteral("系统编号"),   QStringLiteral("操作日期"),
                    QStringLiteral("入库单句号"), QStringLiteral("供应商名称"),
                    QStringLiteral("出库单句号"), QStringLiteral("领料单位名称"),
                    QStringLiteral("支票号"),     QStringLiteral("房栋号"),
                    QStringLiteral(" rid"),       QStringLiteral(" cid")};
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.XTBH, R.XTBH, MIN(R.CZRQ), MIN(R.YSDJH), "
                                           "MIN(G.MC), MIN(L.YSDJH), MIN(W.MC), MIN(R.ZPH), "
                                           "MIN(L.DH), R.XTBH, MIN(R.CKBH) ") +
                                QLatin1String(Pairs) +
                                QStringLiteral("WHERE R.JZBZ <> 0 AND R.CZBZ = 0 "
                                               "AND R.CZRQ BETWEEN ? AND ? "
                                               "GROUP BY R.XTBH ORDER BY R.XTBH"),
                            {VoucherBook::dateText(from), VoucherBook::dateText(to)});
    grid.fill(q, m_formats, "TTTTTTTTTT");
    return grid;
}

QList<OperationStep> DirectDeliveries::reversalSteps(qint64 xtbh, const QDate &date) const
{
    const auto refusal = [](const QString &text) {
        return QList<OperationStep>{OperationStep::refusal(Title, text)};
    };
    if (const std::optional<QString> problem = VoucherBook::dateProblem(date))
        return refusal(*problem);
    // A sealed month stays as it was closed.
    const std::optional<QDate> closing = VoucherBook(m_db).latestClosing();
    if (closing && *closing >= date)
        return refusal(QStringLiteral("冲帐时间应大于月结时间"));

    QSqlQuery q = m_db.exec(QStringLiteral("SELECT COUNT(*), "
                                           "SUM(CASE WHEN R.CZBZ = 0 THEN 1 ELSE 0 END), "
                                           "MAX(R.JZBZ), MAX(R.CZRQ) ") +
                                QLatin1String(Pairs) + QStringLiteral("WHERE R.XTBH = ?"),
                            {xtbh});
    q.next();
    if (q.value(0).toInt() == 0)
        return refusal(QStringLiteral("该单据不存在，可能已被删除！"));
    if (q.value(2).toInt() == 0)
        return refusal(QStringLiteral("该单据未记账，不能冲帐！"));
    if (q.value(1).toInt() == 0)
        return refusal(QStringLiteral("此单据已冲帐,或退货，请另选单据"));
    // A mirror dated before its voucher would show the delivery undone before it happened.
    const QDate dated = VoucherBook::dateOf(q.value(3));
    if (dated.isValid() && date < dated)
        return refusal(
            QStringLiteral("冲帐日期不能早于原单据日期（%1）！").arg(VoucherBook::dateText(dated)));

    QList<OperationStep> steps;
    if (const std::optional<QString> later = VoucherBook::laterDateQuestion(date))
        steps.append(OperationStep::question(Title, *later));
    steps.append(
        OperationStep::question(Title, QStringLiteral("该帐目将被冲掉！您确定要进行吗？")));
    return steps;
}

DirectDeliveries::Mirror DirectDeliveries::reverse(qint64 xtbh, const QDate &date)
{
    Transaction tx(m_db);
    OperationStep::throwRefusal(reversalSteps(xtbh, date));
    Mirror mirror;
    const VoucherBook book(m_db);
    mirror.xtbh = book.nextSystemNumber(QStringLiteral("RKD"));
    mirror.issueXtbh = book.nextSystemNumber(QStringLiteral("LLD"));
    const QString day = VoucherBook::dateText(date);

    QList<std::pair<qint64, qint64>> pairs;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT R.ID, L.ID ") + QLatin1String(Pairs) +
                                QStringLiteral("WHERE R.XTBH = ? AND R.CZBZ = 0 AND R.JZBZ <> 0 "
                                               "ORDER BY R.ID"),
                            {xtbh});
    while (q.next())
        pairs.append({q.value(0).toLongLong(), q.value(1).toLongLong()});
    q.finish();

    for (const auto &[receipt, issue] : std::as_const(pairs)) {
        m_db.exec(QStringLiteral("UPDATE LLD SET CZBZ = 1 WHERE ID = ?"), {issue});
        const QSqlQuery issueMirror = m_db.exec(
            QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, SGBW, DH, CLBH, SJDJ, "
                           "SJSL, SJJE, THBZ, JZBZ, CZBZ, ZL, HSBZ, BZBZ, ZJZC, BZ) "
                           "SELECT ?, COALESCE(YSDJH, '') || ?, LLDWBH, ?, SGBW, DH, CLBH, "
                           "SJDJ, -SJSL, -SJJE, THBZ, 1, 1, ZL, HSBZ, BZBZ, ZJZC, BZ "
                           "FROM LLD WHERE ID = ?"),
            {mirror.issueXtbh, MirrorSuffix, day, issue});
        const qint64 issueMirrorId = issueMirror.lastInsertId().toLongLong();
        m_db.exec(QStringLiteral("UPDATE RKD SET CZBZ = 1 WHERE ID = ?"), {receipt});
        // The mirror pair is joined as every pair is: CKBH names the mirror issue's number.
        // The paid amount is negated with the rest, so that what the supplier was paid for
        // the line and its mirror nets to nothing.
        m_db.exec(QStringLiteral("INSERT INTO RKD (XTBH, YSDJH, GYSBH, CZRQ, FPBH, ZPH, CLBH, "
                                 "CZZM, SJDJ, SJSL, SJJE, YFJE, JZBZ, THBZ, CZBZ, ZJBZ, ZL, CKBH, "
                                 "BZBZ, CKID) "
                                 "SELECT ?, COALESCE(YSDJH, '') || ?, GYSBH, ?, FPBH, ZPH, CLBH, "
                                 "CZZM, SJDJ, -SJSL, -SJJE, -YFJE, 1, THBZ, 1, ZJBZ, ZL, ?, BZBZ, "
                                 "? FROM RKD WHERE ID = ?"),
                  {mirror.xtbh, MirrorSuffix, day, mirror.issueXtbh, issueMirrorId, receipt});
        ++mirror.lines;
    }
    writePieces(QStringLiteral("R.XTBH = ?"), {mirror.xtbh});
    tx.commit();
    return mirror;
}

OperationStep DirectDeliveries::replacementQuestion()
{
    return OperationStep::question(Title, QStringLiteral("该帐目已经冲掉!您是否要进行补账处理?"));
}

} // namespace varnock
