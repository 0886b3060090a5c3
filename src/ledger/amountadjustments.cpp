#include "ledger/amountadjustments.h"

#include "store/database.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

namespace varnock {

const QString AmountAdjustments::ClosedText = QStringLiteral("操作时间不允许小于月结时间！");

namespace {

const QString Title = QStringLiteral("提示");

const char *const Select =
    "SELECT A.ID, A.CLBH, C.CLMC, C.CLGG, C.JZDW, A.CZRQ, K.KCJE, A.JE, A.BZ, A.GCXM "
    "FROM CLKVMT A LEFT JOIN CLJBXXB C ON C.CLBH = A.CLBH LEFT JOIN KC K ON K.CLBH = A.CLBH";

QList<AmountAdjustments::Line> linesOf(Query &q)
{
    QList<AmountAdjustments::Line> lines;
    while (q.next()) {
        lines.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                      q.value(3).toString(), q.value(4).toString(), VoucherBook::dateOf(q.value(5)),
                      Decimal::fromVariant(q.value(6)), Decimal::fromVariant(q.value(7)),
                      q.value(8).toString(), q.value(9).toString()});
    }
    return lines;
}

[[noreturn]] void refuseRow(int row)
{
    throw Refusal(Title, QStringLiteral("第 %1 数据输入错误").arg(row));
}

} // namespace

AmountAdjustments::AmountAdjustments(Database &db)
    : m_db(db)
{}

QList<AmountAdjustments::Line> AmountAdjustments::onDay(const QDate &day) const
{
    Query q = m_db.query(QLatin1String(Select) +
                             QStringLiteral(" WHERE A.CZRQ = ? ORDER BY A.CLBH, A.ID"),
                         {VoucherBook::dateText(day)});
    return linesOf(q);
}

QList<AmountAdjustments::Line> AmountAdjustments::find(const Filter &filter) const
{
    QString sql = QLatin1String(Select) + QStringLiteral(" WHERE 1 = 1");
    QVariantList values;
    if (filter.from.isValid()) {
        sql += QStringLiteral(" AND A.CZRQ >= ?");
        values << VoucherBook::dateText(filter.from);
    }
    if (filter.to.isValid()) {
        sql += QStringLiteral(" AND A.CZRQ <= ?");
        values << VoucherBook::dateText(filter.to);
    }
    if (!filter.clbh.trimmed().isEmpty()) {
        sql += QStringLiteral(" AND A.CLBH = ?");
        values << filter.clbh.trimmed();
    } else if (!filter.group.trimmed().isEmpty()) {
        // The group's materials through the tree, at any depth below it.
        sql = QStringLiteral("WITH RECURSIVE T (CLBH) AS (SELECT CLBH FROM CLJBXXB WHERE SJBH = ? "
                             "UNION ALL SELECT C.CLBH FROM CLJBXXB C JOIN T ON C.SJBH = T.CLBH) ") +
              sql + QStringLiteral(" AND A.CLBH IN (SELECT CLBH FROM T)");
        values.prepend(filter.group.trimmed());
    }
    if (!filter.bz.isEmpty()) {
        sql += QStringLiteral(" AND A.BZ = ?");
        values << filter.bz;
    }
    Query q = m_db.query(sql + QStringLiteral(" ORDER BY A.CLBH, A.CZRQ, A.ID"), values);
    return linesOf(q);
}

std::optional<AmountAdjustments::Line> AmountAdjustments::line(qint64 id) const
{
    Query q = m_db.query(QLatin1String(Select) + QStringLiteral(" WHERE A.ID = ?"), {id});
    const QList<Line> lines = linesOf(q);
    if (lines.isEmpty())
        return std::nullopt;
    return lines.first();
}

void AmountAdjustments::checkDay(const QDate &day) const
{
    const std::optional<QDate> latest = VoucherBook(m_db).latestClosing();
    if (!day.isValid() || (latest && day <= *latest))
        throw Refusal(Title, ClosedText);
}

void AmountAdjustments::checkMaterial(const QString &clbh, int row) const
{
    Query q = m_db.query(QStringLiteral("SELECT C.JJFS FROM KC K JOIN CLJBXXB C "
                                        "ON C.CLBH = K.CLBH WHERE K.CLBH = ?"),
                         {clbh});
    if (!q.next())
        refuseRow(row);
    if (q.value(0).toInt() != 0) {
        throw Refusal(Title,
                      QStringLiteral("第 %1 行的材料按计划价核算，库存金额始终是数量乘计划价，"
                                     "不能做金额调整！")
                          .arg(row));
    }
}

void AmountAdjustments::addToStock(const QString &clbh, Decimal amount)
{
    m_db.query(QStringLiteral("UPDATE KC SET KCJE = KCJE + ? WHERE CLBH = ?"),
               {amount.toVariant(), clbh});
}

QList<qint64> AmountAdjustments::add(const QDate &day, const QString &project,
                                     const QList<Entry> &entries)
{
    Transaction tx(m_db);
    checkDay(day);
    QList<qint64> ids;
    int row = 0;
    for (const Entry &entry : entries) {
        ++row;
        const QString clbh = entry.clbh.trimmed();
        if (clbh.isEmpty() || entry.je.isZero())
            refuseRow(row);
        checkMaterial(clbh, row);
        m_db.query(QStringLiteral("INSERT INTO CLKVMT (CLBH, CZRQ, JE, BZ, GCXM) "
                                  "VALUES (?, ?, ?, ?, ?)"),
                   {clbh, VoucherBook::dateText(day), entry.je.toVariant(), entry.bz, project});
        ids.append(m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM CLKVMT")).toLongLong());
        addToStock(clbh, entry.je);
    }
    tx.commit();
    return ids;
}

void AmountAdjustments::change(const QDate &day, const QString &project,
                               const QList<std::pair<qint64, Entry>> &lines)
{
    Transaction tx(m_db);
    checkDay(day);
    int row = 0;
    for (const auto &[id, entry] : lines) {
        ++row;
        const std::optional<Line> old = line(id);
        if (!old)
            throw Refusal(Title, QStringLiteral("该记录已不存在！"));
        checkDay(old->czrq);
        const QString clbh = entry.clbh.trimmed();
        if (clbh.isEmpty() || entry.je.isZero())
            refuseRow(row);
        checkMaterial(clbh, row);
        addToStock(old->clbh, -old->je);
        m_db.query(QStringLiteral("UPDATE CLKVMT SET CLBH = ?, CZRQ = ?, JE = ?, BZ = ?, "
                                  "GCXM = ? WHERE ID = ?"),
                   {clbh, VoucherBook::dateText(day), entry.je.toVariant(), entry.bz, project, id});
        addToStock(clbh, entry.je);
    }
    tx.commit();
}

void AmountAdjustments::remove(qint64 id)
{
    Transaction tx(m_db);
    const std::optional<Line> old = line(id);
    if (!old)
        throw Refusal(Title, QStringLiteral("该记录已不存在！"));
    checkDay(old->czrq);
    m_db.query(QStringLiteral("DELETE FROM CLKVMT WHERE ID = ?"), {id});
    addToStock(old->clbh, -old->je);
    tx.commit();
}

} // namespace varnock
