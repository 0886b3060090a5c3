#include "leasing/leasepayments.h"

#include "leasing/rentcharge.h"
#include "shell/operators.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>
#include <QStringList>

namespace varnock {

const QString LeasePayments::WrongAmountText = QStringLiteral("您输入的金额错误,请认真核对");

LeasePayments::LeasePayments(Database &db, const Formats &formats)
    : m_db(db)
    , m_formats(formats)
{}

LeasePayments::Balance LeasePayments::balance(const QString &gysbh, const QDate &upTo) const
{
    Balance b;
    const QString code = gysbh.trimmed();
    if (code.isEmpty())
        return b;
    const QDate first = VoucherBook::dateOf(
        m_db.scalar(QStringLiteral("SELECT MIN(ZLRQ) FROM ZLBIAO WHERE GYSBH = ?"), {code}));
    if (first.isValid() && first <= upTo) {
        for (const RentCharge::Period &p : RentCharge(m_db).periods(first, upTo, code))
            b.owed += p.je;
    }
    // Owed as it is shown and paid: in the amount format.
    b.owed = m_formats.roundAmount(b.owed);
    b.paid = Decimal::fromVariant(
        m_db.scalar(QStringLiteral("SELECT SUM(HZJE) FROM ZLHK WHERE GYSBH = ? AND HZRQ <= ?"),
                    {code, VoucherBook::dateText(upTo)}));
    return b;
}

qint64 LeasePayments::pay(const QString &gysbh, const QDate &date, Decimal amount,
                          const QString &bz) const
{
    Transaction tx(m_db);
    const QString code = gysbh.trimmed();
    if (code.isEmpty() ||
        m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM GYS WHERE BH = ?"), {code}).toLongLong() ==
            0)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("请正确选择供应商"));
    if (const std::optional<QString> problem = VoucherBook::dateProblem(date))
        throw Refusal(QStringLiteral("提示"), *problem);
    const Decimal paid = m_formats.roundAmount(amount);
    if (paid <= Decimal() || paid > balance(code, date).remaining())
        throw Refusal(QStringLiteral("提示"), WrongAmountText, Refusal::Icon::Critical);
    m_db.exec(QStringLiteral("INSERT INTO ZLHK (GYSBH, HZRQ, HZJE, BZ) VALUES (?, ?, ?, ?)"),
              {code, VoucherBook::dateText(date), paid.toVariant(), bz});
    const qint64 id = m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM ZLHK")).toLongLong();
    tx.commit();
    return id;
}

QList<LeasePayments::Payment> LeasePayments::list(const Conditions &c) const
{
    QStringList where;
    QVariantList values;
    if (!c.gysbh.trimmed().isEmpty()) {
        where << QStringLiteral("P.GYSBH = ?");
        values << c.gysbh.trimmed();
    }
    if (!c.gysmc.trimmed().isEmpty()) {
        where << QStringLiteral("G.MC = ?");
        values << c.gysmc.trimmed();
    }
    if (!c.bz.trimmed().isEmpty()) {
        where << QStringLiteral("P.BZ = ?");
        values << c.bz.trimmed();
    }
    if (c.from.isValid() && c.to.isValid()) {
        where << QStringLiteral("P.HZRQ BETWEEN ? AND ?");
        values << VoucherBook::dateText(c.from) << VoucherBook::dateText(c.to);
    }
    const QString condition = where.isEmpty()
                                  ? QString()
                                  : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return readRows<Payment>(
        m_db.exec(QStringLiteral("SELECT P.ID, P.GYSBH, G.MC, P.HZRQ, P.HZJE, P.BZ FROM ZLHK P "
                                 "LEFT JOIN GYS G ON G.BH = P.GYSBH") +
                      condition + QStringLiteral(" ORDER BY P.GYSBH, P.HZRQ, P.ID"),
                  values),
        &Payment::id, &Payment::gysbh, &Payment::gysmc, &Payment::hzrq, &Payment::hzje,
        &Payment::bz);
}

void LeasePayments::remove(qint64 id, int operatorNumber, const QString &password) const
{
    if (!Operators(m_db).passwordMatches(operatorNumber, password))
        throw Refusal(QStringLiteral("提示"), QStringLiteral("密码错误！不允许删除！"));
    Transaction tx(m_db);
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ZLHK WHERE ID = ?"), {id}).toLongLong() ==
        0)
        throw Refusal(QStringLiteral("提示"), QStringLiteral("该笔还款不存在！"));
    m_db.exec(QStringLiteral("DELETE FROM ZLHK WHERE ID = ?"), {id});
    tx.commit();
}

} // namespace varnock
