#include "ledger/posting.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/decimal.h"

#include <QSqlQuery>

namespace varnock {

namespace {

const QString DeleteTitle = QStringLiteral("删除窗口");
const QString PostTitle = QStringLiteral("提示窗口");
// The document number of a reversal's mirror line.
const QString ReversalReference = QStringLiteral("冲帐");

struct FamilyTables
{
    QString table;
    // Lines that belong to a direct delivery are posted with it, never on these screens.
    QString scope;
};

FamilyTables tablesOf(Posting::Family family)
{
    switch (family) {
    case Posting::Family::StockIn:
        return {QStringLiteral("RKD"), QStringLiteral(" AND (CKID IS NULL OR CKID = 0)")};
    case Posting::Family::StockInReturn:
        return {QStringLiteral("THD"), QString()};
    case Posting::Family::Issue:
        return {QStringLiteral("LLD"), QStringLiteral(" AND ZJZC = 0")};
    case Posting::Family::IssueReturn:
        return {QStringLiteral("TKD"), QString()};
    }
    return {};
}

} // namespace

Posting::Posting(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

Posting::Question Posting::confirmation()
{
    return {QStringLiteral("提示窗口"),
            QStringLiteral("一旦记帐，将不可修改数据只可查看，您确定要记帐吗？"),
            Refusal::Icon::Exclamation};
}

Posting::Question Posting::deleteQuestion(Family family, int row)
{
    if (family == Family::StockIn || family == Family::StockInReturn)
        return {DeleteTitle, QStringLiteral("您确定要删除%1记录吗？").arg(row)};
    return {DeleteTitle, QStringLiteral("警告！你确实要删除%1记录吗？").arg(row)};
}

QList<qint64> Posting::unpostedVouchers(Family family, const QString &kind) const
{
    const FamilyTables t = tablesOf(family);
    Query q = m_db.query(QStringLiteral("SELECT DISTINCT XTBH FROM %1 WHERE ZL = ? AND "
                                        "JZBZ = 0 AND XTBH <> 0%2 ORDER BY XTBH")
                             .arg(t.table, t.scope),
                         {kind});
    QList<qint64> vouchers;
    while (q.next())
        vouchers.append(q.value(0).toLongLong());
    return vouchers;
}

QStringList Posting::unpostedKinds(Family family, qint64 xtbh) const
{
    const FamilyTables t = tablesOf(family);
    Query q = m_db.query(QStringLiteral("SELECT ZL FROM %1 WHERE XTBH = ? AND JZBZ = 0 AND "
                                        "XTBH <> 0%2")
                             .arg(t.table, t.scope),
                         {xtbh});
    QStringList kinds;
    while (q.next()) {
        const QString kind = q.value(0).toString();
        if (!kinds.contains(kind))
            kinds.append(kind);
    }
    return kinds;
}

PostingGrid Posting::voucherGrid(Family family, const QString &kind) const
{
    PostingGrid grid;
    QSqlQuery q;
    // One row per voucher even when its lines disagree on a header field.
    switch (family) {
    case Family::StockIn:
        grid.columns = {QStringLiteral("系统编号"),   QStringLiteral("操作日期"),
                        QStringLiteral("原始单据号"), QStringLiteral("供应商名称"),
                        QStringLiteral("发票号"),     QStringLiteral("支票号"),
                        QStringLiteral("账类")};
        q = m_db.exec(QStringLiteral("SELECT R.XTBH, R.XTBH, MIN(R.CZRQ), MIN(R.YSDJH), "
                                     "MIN(G.MC), MIN(R.FPBH), MIN(R.ZPH), MIN(R.ZL) "
                                     "FROM RKD R LEFT JOIN GYS G ON G.BH = R.GYSBH "
                                     "WHERE R.ZL = ? AND R.JZBZ = 0 AND R.XTBH <> 0 "
                                     "AND (R.CKID IS NULL OR R.CKID = 0) "
                                     "GROUP BY R.XTBH ORDER BY R.XTBH"),
                      {kind});
        grid.fill(q, m_formats, "TTTTTTT");
        break;
    case Family::StockInReturn:
        grid.columns = {QStringLiteral("系统编号"),   QStringLiteral("操作日期"),
                        QStringLiteral("退货单据号"), QStringLiteral("供应商名称"),
                        QStringLiteral("发票号"),     QStringLiteral("账类")};
        q = m_db.exec(QStringLiteral("SELECT T.XTBH, T.XTBH, MIN(T.CZRQ), MIN(T.THDJH), "
                                     "MIN(G.MC), MIN(T.FPBH), MIN(T.ZL) "
                                     "FROM THD T LEFT JOIN GYS G ON G.BH = T.GYSBH "
                                     "WHERE T.ZL = ? AND T.JZBZ = 0 AND T.XTBH <> 0 "
                                     "GROUP BY T.XTBH ORDER BY T.XTBH"),
                      {kind});
        grid.fill(q, m_formats, "TTTTTT");
        break;
    case Family::Issue:
        grid.columns = {QStringLiteral("单据编号"), QStringLiteral("单位名称"),
                        QStringLiteral("操作日期"), QStringLiteral("施工部位"),
                        QStringLiteral("栋/楼号"),  QStringLiteral("系统编号")};
        q = m_db.exec(QStringLiteral("SELECT L.XTBH, MIN(L.YSDJH), MIN(W.MC), MIN(L.CZRQ), "
                                     "MIN(L.SGBW), MIN(L.DH), L.XTBH "
                                     "FROM LLD L LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                     "WHERE L.ZL = ? AND L.JZBZ = 0 AND L.XTBH <> 0 "
                                     "AND L.ZJZC = 0 GROUP BY L.XTBH ORDER BY L.XTBH"),
                      {kind});
        grid.fill(q, m_formats, "TTTTTT");
        break;
    case Family::IssueReturn:
        grid.columns = {QStringLiteral("对应单据"), QStringLiteral("单位名称"),
                        QStringLiteral("操作日期"), QStringLiteral("系统编号")};
        q = m_db.exec(QStringLiteral("SELECT K.XTBH, MIN(K.YSBH), MIN(W.MC), MIN(K.CZRQ), "
                                     "K.XTBH FROM TKD K LEFT JOIN LLDW W ON W.BH = K.LLDWBH "
                                     "WHERE K.ZL = ? AND K.JZBZ = 0 AND K.XTBH <> 0 "
                                     "GROUP BY K.XTBH ORDER BY K.XTBH"),
                      {kind});
        grid.fill(q, m_formats, "TTTT");
        break;
    }
    return grid;
}

PostingGrid Posting::lineGrid(Family family, qint64 xtbh, bool unreversedOnly) const
{
    PostingGrid grid;
    QSqlQuery q;
    const int amountDecimals = m_formats.amountDecimals();
    switch (family) {
    case Family::StockIn:
        grid.columns = {
            QStringLiteral(" 材料编号"), QStringLiteral(" 材料名称"), QStringLiteral(" 材料规格"),
            QStringLiteral(" 记账单位"), QStringLiteral(" 计划单价"), QStringLiteral(" 实际单价"),
            QStringLiteral("  数  量"),  QStringLiteral(" 计划金额"), QStringLiteral("实际金额"),
            QStringLiteral("已付金额"),  QStringLiteral(" 材质证明")};
        q = m_db.exec(QStringLiteral("SELECT R.ID, R.CLBH, C.CLMC, C.CLGG, C.JZDW, C.JHDJ, "
                                     "R.SJDJ, R.SJSL, SMUL(C.JHDJ, R.SJSL, ?), R.SJJE, R.YFJE, "
                                     "R.CZZM FROM RKD R LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                                     "WHERE R.XTBH = ? AND (R.CKID IS NULL OR R.CKID = 0)") +
                          (unreversedOnly ? QStringLiteral(" AND R.CZBZ = 0") : QString()) +
                          QStringLiteral(" ORDER BY R.ID"),
                      {amountDecimals, xtbh});
        grid.fill(q, m_formats, "TTTTAAQAAAT");
        break;
    case Family::StockInReturn:
        grid.columns = {
            QStringLiteral(" 材料编号"), QStringLiteral(" 材料名称"), QStringLiteral(" 材料规格"),
            QStringLiteral(" 单位"),     QStringLiteral(" 入库单价"), QStringLiteral(" 入库数量"),
            QStringLiteral(" 入库金额"), QStringLiteral(" 已退数量"), QStringLiteral(" 已退金额"),
            QStringLiteral(" 退货数量"), QStringLiteral(" 退货金额")};
        q = m_db.exec(QStringLiteral("SELECT T.ID, T.CLBH, C.CLMC, C.CLGG, C.JZDW, R.SJDJ, "
                                     "R.SJSL, R.SJJE, "
                                     "(SELECT SUM(X.THSL) FROM THD X WHERE X.RKID = T.RKID), "
                                     "(SELECT SUM(X.THJE) FROM THD X WHERE X.RKID = T.RKID), "
                                     "T.THSL, T.THJE FROM THD T "
                                     "LEFT JOIN RKD R ON R.ID = T.RKID "
                                     "LEFT JOIN CLJBXXB C ON C.CLBH = T.CLBH "
                                     "WHERE T.XTBH = ? ORDER BY T.ID"),
                      {xtbh});
        grid.fill(q, m_formats, "TTTTAQAQAQA");
        break;
    case Family::Issue:
        grid.columns = {QStringLiteral("材料名称"), QStringLiteral("材料规格"),
                        QStringLiteral("记账单位"), QStringLiteral("换算单位"),
                        QStringLiteral("实际单价"), QStringLiteral("出库数量"),
                        QStringLiteral("出库金额")};
        // Lines are stored in the accounting unit; the conversion unit shows only on a line
        // marked as entered in it. What a reversal offers (neither reversed nor returned)
        // shows planned-price materials at their planned price, as the reversal books them.
        if (unreversedOnly) {
            q = m_db.exec(QStringLiteral("SELECT L.ID, C.CLMC, C.CLGG, C.JZDW, "
                                         "CASE WHEN L.HSBZ <> 0 THEN C.HSDW ELSE '' END, "
                                         "CASE WHEN C.JJFS <> 0 THEN C.JHDJ ELSE L.SJDJ END, "
                                         "L.SJSL, CASE WHEN C.JJFS <> 0 "
                                         "THEN SMUL(L.SJSL, C.JHDJ, ?) ELSE L.SJJE END "
                                         "FROM LLD L LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                                         "WHERE L.XTBH = ? AND L.ZJZC = 0 AND L.CZBZ = 0 "
                                         "AND L.THBZ = 0 ORDER BY L.ID"),
                          {amountDecimals, xtbh});
        } else {
            q = m_db.exec(QStringLiteral("SELECT L.ID, C.CLMC, C.CLGG, C.JZDW, "
                                         "CASE WHEN L.HSBZ <> 0 THEN C.HSDW ELSE '' END, L.SJDJ, "
                                         "L.SJSL, L.SJJE FROM LLD L "
                                         "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                                         "WHERE L.XTBH = ? AND L.ZJZC = 0 ORDER BY L.ID"),
                          {xtbh});
        }
        grid.fill(q, m_formats, "TTTTAQA");
        break;
    case Family::IssueReturn:
        grid.columns = {QStringLiteral("材料名称"), QStringLiteral("材料规格"),
                        QStringLiteral("计量单位"), QStringLiteral("退货数量"),
                        QStringLiteral("退货金额")};
        q = m_db.exec(QStringLiteral("SELECT K.ID, C.CLMC, C.CLGG, C.JZDW, K.THSL, K.THJE "
                                     "FROM TKD K LEFT JOIN CLJBXXB C ON C.CLBH = K.CLBH "
                                     "WHERE K.XTBH = ? ORDER BY K.ID"),
                      {xtbh});
        grid.fill(q, m_formats, "TTTQA");
        break;
    }
    return grid;
}

// Read inside the posting transaction, so that a voucher posted meanwhile (another screen,
// a button pressed twice) is refused instead of moving stock a second time.
void Posting::checkUnposted(Family family, const QString &kind, qint64 xtbh) const
{
    const FamilyTables t = tablesOf(family);
    Query q = m_db.query(QStringLiteral("SELECT COUNT(*), "
                                        "SUM(CASE WHEN JZBZ <> 0 THEN 1 ELSE 0 END), "
                                        "SUM(CASE WHEN ZL = ? THEN 0 ELSE 1 END) "
                                        "FROM %1 WHERE XTBH = ?%2")
                             .arg(t.table, t.scope),
                         {kind, xtbh});
    q.next();
    const int lines = q.value(0).toInt();
    if (lines == 0 || xtbh == 0)
        throw Refusal(PostTitle, QStringLiteral("该单据不存在，可能已被删除！"));
    if (q.value(1).toInt() != 0)
        throw Refusal(PostTitle, QStringLiteral("该单据已经记帐，不能重复记帐！"));
    if (q.value(2).toInt() != 0)
        throw Refusal(PostTitle, QStringLiteral("该单据不属于所选账类，不能记帐！"));
}

void Posting::post(Family family, const QString &kind, qint64 xtbh)
{
    // Nothing inside a posting catches a failure and goes on: when it is the outermost
    // transaction, its steps need no savepoints of their own.
    Transaction tx(m_db, Transaction::Kind::AllOrNothing);
    checkUnposted(family, kind, xtbh);
    CostEngine engine(m_db, m_mode, m_formats);
    switch (family) {
    case Family::StockIn:
        engine.addReceiptToStock(xtbh);
        m_db.query(QStringLiteral("UPDATE RKD SET JZBZ = 1 WHERE XTBH = ? "
                                  "AND (CKID IS NULL OR CKID = 0)"),
                   {xtbh});
        break;
    case Family::StockInReturn:
        // The engine refuses "库存不允许出负！" when a material, summed over the voucher's
        // lines, would go below nothing.
        m_db.query(QStringLiteral("UPDATE THD SET JZBZ = 1 WHERE XTBH = ?"), {xtbh});
        engine.removeReturnFromStock(xtbh);
        break;
    case Family::Issue:
        // Checked per material against the sum of the voucher's lines; a material without
        // stock counts as stock 0.
        m_db.query(QStringLiteral("UPDATE LLD SET JZBZ = 1 WHERE XTBH = ? AND ZJZC = 0"), {xtbh});
        engine.removeIssueVoucherFromStock(xtbh);
        break;
    case Family::IssueReturn:
        m_db.query(QStringLiteral("UPDATE TKD SET JZBZ = 1 WHERE XTBH = ?"), {xtbh});
        engine.addIssueReturnToStock(xtbh);
        break;
    }
    tx.commit();
}

QList<Posting::Outcome> Posting::postAll(Family family, const QString &kind)
{
    QList<Outcome> outcomes;
    const QList<qint64> vouchers = unpostedVouchers(family, kind);
    for (qint64 xtbh : vouchers) {
        Outcome outcome;
        outcome.xtbh = xtbh;
        try {
            post(family, kind, xtbh);
            outcome.posted = true;
        } catch (const Refusal &r) {
            outcome.title = r.title;
            outcome.text = r.text;
            outcome.icon = r.icon;
        } catch (const StoreError &e) {
            outcome.title = QStringLiteral("错误");
            outcome.text = e.text;
            outcome.icon = Refusal::Icon::Critical;
        }
        outcomes.append(outcome);
    }
    return outcomes;
}

// A reversed line keeps its mark while a reversal line of its material remains; once the last
// one is deleted the mark goes. Replaced provisional lines (ZJBZ) and direct deliveries are
// marked for other reasons and keep it.
void Posting::clearReversalMarks(const QString &table, const QString &clbh)
{
    const bool receipts = table == QLatin1String("RKD");
    const QVariant mirror = m_db.scalar(QStringLiteral("SELECT 1 FROM %1 WHERE CLBH = ? "
                                                       "AND TRIM(YSDJH) = ? LIMIT 1")
                                            .arg(table),
                                        {clbh, ReversalReference});
    if (mirror.isValid() && !mirror.isNull())
        return;
    const QString own = receipts ? QStringLiteral(" AND ZJBZ = 0 AND (CKID IS NULL OR CKID = 0)")
                                 : QStringLiteral(" AND ZJZC = 0");
    m_db.exec(QStringLiteral("UPDATE %1 SET CZBZ = 0 WHERE CLBH = ? AND CZBZ <> 0 AND SJSL > 0%2")
                  .arg(table, own),
              {clbh});
}

void Posting::deleteLine(Family family, qint64 lineId)
{
    const FamilyTables t = tablesOf(family);
    Transaction tx(m_db);

    QString select;
    switch (family) {
    case Family::StockIn:
        select = QStringLiteral("SELECT JZBZ, CLBH, CKID FROM RKD WHERE ID = ?");
        break;
    case Family::StockInReturn:
        select = QStringLiteral("SELECT JZBZ, CLBH, RKID FROM THD WHERE ID = ?");
        break;
    case Family::Issue:
        select = QStringLiteral("SELECT JZBZ, CLBH, ZJZC FROM LLD WHERE ID = ?");
        break;
    case Family::IssueReturn:
        select = QStringLiteral("SELECT JZBZ, CLBH, LLID FROM TKD WHERE ID = ?");
        break;
    }
    QSqlQuery line = m_db.exec(select, {lineId});
    if (!line.next())
        throw Refusal(DeleteTitle, QStringLiteral("该记录不存在，可能已被删除！"));
    const bool posted = line.value(0).toInt() != 0;
    const QString clbh = line.value(1).toString().trimmed();
    const qint64 other = line.value(2).toLongLong();
    line.finish();
    if (posted)
        throw Refusal(DeleteTitle, QStringLiteral("该记录已经记帐，不能删除！"));
    if ((family == Family::StockIn || family == Family::Issue) && other != 0)
        throw Refusal(DeleteTitle, QStringLiteral("该记录属于直进直出单据，不能在此删除！"));

    // Return lines must not be left pointing at a line that no longer exists: posting them
    // would move stock that never came in or went out.
    if (family == Family::StockIn || family == Family::Issue) {
        const QString returns = family == Family::StockIn
                                    ? QStringLiteral("SELECT DISTINCT XTBH, THDJH FROM THD "
                                                     "WHERE RKID = ? ORDER BY XTBH")
                                    : QStringLiteral("SELECT DISTINCT XTBH, THDJH FROM TKD "
                                                     "WHERE LLID = ? ORDER BY XTBH");
        QSqlQuery q = m_db.exec(returns, {lineId});
        QStringList names;
        while (q.next()) {
            const QString number = q.value(1).toString().trimmed();
            const QString xtbh = q.value(0).toString();
            names.append(number.isEmpty() ? QStringLiteral("系统编号 %1").arg(xtbh)
                                          : QStringLiteral("%1（系统编号 %2）").arg(number, xtbh));
        }
        if (!names.isEmpty()) {
            throw Refusal(DeleteTitle,
                          QStringLiteral("该记录已有退货单引用，请先删除以下退货单：\n") +
                              names.join(QStringLiteral("\n")));
        }
    }

    m_db.exec(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(t.table), {lineId});

    switch (family) {
    case Family::StockIn:
        clearReversalMarks(QStringLiteral("RKD"), clbh);
        break;
    case Family::Issue:
        clearReversalMarks(QStringLiteral("LLD"), clbh);
        break;
    case Family::StockInReturn:
        if (other != 0) {
            m_db.exec(QStringLiteral("UPDATE RKD SET THBZ = 0 WHERE ID = ? AND THBZ <> 0 "
                                     "AND NOT EXISTS (SELECT 1 FROM THD WHERE RKID = ?)"),
                      {other, other});
        }
        break;
    case Family::IssueReturn:
        if (other != 0) {
            m_db.exec(QStringLiteral("UPDATE LLD SET THBZ = 0 WHERE ID = ? AND THBZ <> 0 "
                                     "AND NOT EXISTS (SELECT 1 FROM TKD WHERE LLID = ?)"),
                      {other, other});
        }
        break;
    }
    tx.commit();
}

} // namespace varnock
