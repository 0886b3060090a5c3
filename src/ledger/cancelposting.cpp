#include "ledger/cancelposting.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/decimal.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");

} // namespace

CancelPosting::CancelPosting(Database &db, int accountingMode)
    : m_db(db)
    , m_mode(accountingMode)
{}

PostingGrid CancelPosting::closings() const
{
    PostingGrid grid;
    grid.columns = {QStringLiteral("  序 号"), QStringLiteral("起始时间"),
                    QStringLiteral("终止时间")};
    grid.numeric = {false, false, false};
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT YJID, YJSJ FROM YJSJB ORDER BY YJID"));
    QDate previous;
    while (q.next()) {
        const QDate day = VoucherBook::dateOf(q.value(1));
        grid.keys.append(q.value(0).toLongLong());
        grid.rows.append(
            {q.value(0).toString(),
             previous.isValid() ? VoucherBook::dateText(previous.addDays(1)) : QString(),
             VoucherBook::dateText(day)});
        previous = day;
    }
    return grid;
}

QList<OperationStep> CancelPosting::steps() const
{
    if (m_mode == CostEngine::FirstInFirstOut)
        return {OperationStep::refusal(Title, QStringLiteral("先进先出核算方式不能取消记账！"))};
    if (!VoucherBook(m_db).latestClosing())
        return {OperationStep::refusal(Title, QStringLiteral("尚未做过月结，不能取消记账！"))};
    return {OperationStep::question(Title, QStringLiteral("账务将恢复到月初状态！您确定要进行吗？"),
                                    Refusal::Icon::Exclamation)};
}

int CancelPosting::cancel()
{
    Transaction tx(m_db);
    OperationStep::throwRefusal(steps());
    QSqlQuery latest = m_db.exec(
        QStringLiteral("SELECT YJID, YJSJ FROM YJSJB WHERE YJID = (SELECT MAX(YJID) FROM YJSJB)"));
    latest.next();
    const int yjid = latest.value(0).toInt();
    const QString day = latest.value(1).toString();
    latest.finish();

    for (const char *table : {"RKD", "LLD", "THD", "TKD"}) {
        m_db.exec(QStringLiteral("UPDATE %1 SET JZBZ = 0 WHERE CZRQ >= ? AND JZBZ <> 0")
                      .arg(QLatin1String(table)),
                  {day});
    }
    m_db.exec(QStringLiteral("DELETE FROM PYK WHERE RQ >= ?"), {day});
    m_db.exec(QStringLiteral("DELETE FROM KC"));
    m_db.exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) "
                             "SELECT CLBH, COALESCE(SUM(JCSL), 0), COALESCE(SUM(JCJE), 0) "
                             "FROM YJKCB WHERE YJID = ? GROUP BY CLBH"),
              {yjid});

    // Adjustments are booked when they are saved, not posted: those after the closing belong
    // to the books as they are now.
    QSqlQuery adjustments = m_db.exec(QStringLiteral("SELECT CLBH, SUM(JE) FROM CLKVMT "
                                                     "WHERE CZRQ > ? GROUP BY CLBH"),
                                      {day});
    QList<std::pair<QString, Decimal>> reapplied;
    while (adjustments.next()) {
        reapplied.append(
            {adjustments.value(0).toString(), Decimal::fromVariant(adjustments.value(1))});
    }
    for (const auto &[clbh, amount] : std::as_const(reapplied)) {
        const QSqlQuery updated =
            m_db.exec(QStringLiteral("UPDATE KC SET KCJE = KCJE + ? WHERE CLBH = ?"),
                      {amount.toVariant(), clbh});
        if (updated.numRowsAffected() == 0) {
            m_db.exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, 0, ?)"),
                      {clbh, amount.toVariant()});
        }
    }
    tx.commit();
    return yjid;
}

} // namespace varnock
