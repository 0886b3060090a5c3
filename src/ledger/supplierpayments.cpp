#include "ledger/supplierpayments.h"

#include "shell/operators.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

namespace varnock {

const QString SupplierPayments::SettledText = QStringLiteral("该供应商欠款已付清！");
const QString SupplierPayments::WrongAmountText =
    QStringLiteral("对不起,您所输入的金额有误,请认真核对!");

namespace {

QString table(SupplierPayments::Kind kind)
{
    return kind == SupplierPayments::Kind::Payment ? QStringLiteral("FQFSAVE")
                                                   : QStringLiteral("HZCL");
}

} // namespace

SupplierPayments::SupplierPayments(Database &db)
    : m_db(db)
{}

SupplierPayments::Balance SupplierPayments::balance(const QString &gysbh) const
{
    // Reversed receipts and their mirror lines (CZBZ) leave the balance together.
    Query q =
        m_db.query(QStringLiteral("SELECT "
                                  "(SELECT COALESCE(SUM(CSQK), 0) FROM GYS WHERE BH = ?), "
                                  "(SELECT COALESCE(SUM(SJJE), 0) FROM RKD WHERE GYSBH = ? "
                                  "AND ZL IN ('采购入库', '暂估入库') AND JZBZ <> 0 AND CZBZ = 0), "
                                  "(SELECT COALESCE(SUM(THJE), 0) FROM THD WHERE GYSBH = ? "
                                  "AND ZL IN ('采购退货', '暂估退货') AND JZBZ <> 0), "
                                  "(SELECT COALESCE(SUM(JE), 0) FROM HZCL WHERE GYSBH = ?), "
                                  "(SELECT COALESCE(SUM(JE), 0) FROM FQFSAVE WHERE GYSBH = ?), "
                                  "(SELECT COALESCE(SUM(YFJE), 0) FROM RKD WHERE GYSBH = ? "
                                  "AND ZL IN ('采购入库', '暂估入库') AND JZBZ <> 0 AND CZBZ = 0)"),
                   {gysbh, gysbh, gysbh, gysbh, gysbh, gysbh});
    Balance b;
    if (q.next()) {
        const auto at = [&q](int i) { return Decimal::fromVariant(q.value(i)); };
        b.owed = at(0) + at(1) - at(2) - at(3);
        b.paid = at(4) + at(5);
    }
    return b;
}

qint64 SupplierPayments::record(Kind kind, const QString &gysbh, const QDate &day, Decimal amount,
                                const QString &zph, const QString &bz)
{
    Transaction tx(m_db);
    const QString bh = gysbh.trimmed();
    if (!m_db.scalar(QStringLiteral("SELECT 1 FROM GYS WHERE BH = ?"), {bh}).isValid())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("请选择供应商！"));
    if (!day.isValid())
        throw Refusal(QStringLiteral("提示"), QStringLiteral("请输入付款日期！"));
    if (amount <= Decimal() || amount > balance(bh).remaining())
        throw Refusal(QStringLiteral("提示"), WrongAmountText);
    if (kind == Kind::Payment) {
        m_db.query(QStringLiteral("INSERT INTO FQFSAVE (GYSBH, JE, ZPH, BZ, RQ) "
                                  "VALUES (?, ?, ?, ?, ?)"),
                   {bh, amount.toVariant(), zph, bz, VoucherBook::dateText(day)});
    } else {
        m_db.query(QStringLiteral("INSERT INTO HZCL (GYSBH, JE, BZ, RQ) VALUES (?, ?, ?, ?)"),
                   {bh, amount.toVariant(), bz, VoucherBook::dateText(day)});
    }
    const qint64 id =
        m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM %1").arg(table(kind))).toLongLong();
    tx.commit();
    return id;
}

QList<SupplierPayments::Row> SupplierPayments::rows(Kind kind, const Filter &filter) const
{
    QString sql = QStringLiteral("SELECT P.ID, P.GYSBH, G.MC, P.RQ, P.JE, P.ZPH, P.BZ "
                                 "FROM %1 P JOIN GYS G ON G.BH = P.GYSBH WHERE 1 = 1")
                      .arg(table(kind));
    QVariantList values;
    const auto restrict = [&](const QString &condition, const QVariant &value) {
        sql += QStringLiteral(" AND ") + condition;
        values << value;
    };
    if (filter.from.isValid())
        restrict(QStringLiteral("P.RQ >= ?"), VoucherBook::dateText(filter.from));
    if (filter.to.isValid())
        restrict(QStringLiteral("P.RQ <= ?"), VoucherBook::dateText(filter.to));
    if (!filter.gysbh.trimmed().isEmpty())
        restrict(QStringLiteral("P.GYSBH = ?"), filter.gysbh.trimmed());
    if (!filter.zph.isEmpty())
        restrict(QStringLiteral("P.ZPH = ?"), filter.zph);
    if (!filter.bz.isEmpty())
        restrict(QStringLiteral("P.BZ = ?"), filter.bz);
    QList<Row> rows;
    Query q = m_db.query(sql + QStringLiteral(" ORDER BY P.RQ, P.ID"), values);
    while (q.next()) {
        rows.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                     VoucherBook::dateOf(q.value(3)), Decimal::fromVariant(q.value(4)),
                     q.value(5).toString(), q.value(6).toString()});
    }
    return rows;
}

OperationStep SupplierPayments::deleteQuestion()
{
    return OperationStep::question(QStringLiteral("删除窗口"),
                                   QStringLiteral("您确定要删除该笔还款吗？"));
}

void SupplierPayments::remove(Kind kind, qint64 id, int operatorNumber, const QString &typed)
{
    if (!Operators(m_db).passwordMatches(operatorNumber, typed))
        throw Refusal(QStringLiteral("提示"), QStringLiteral("密码错误！不允许删除！"));
    Transaction tx(m_db);
    const QSqlQuery deleted =
        m_db.exec(QStringLiteral("DELETE FROM %1 WHERE ID = ?").arg(table(kind)), {id});
    if (deleted.numRowsAffected() == 0)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该记录已不存在！"));
    tx.commit();
}

} // namespace varnock
