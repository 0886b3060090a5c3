#include "ledger/plannedstock.h"

#include "shell/operationlog.h"
#include "store/database.h"

#include <QSqlQuery>

namespace varnock {

const QString PlannedStock::RepairLogText = QStringLiteral("计划价材料库存金额重算");
const QString PlannedStock::RepairCommand = QStringLiteral("YJCL");

PlannedStock::PlannedStock(Database &db, const Formats &formats)
    : m_db(db)
    , m_formats(formats)
{}

QList<PlannedStock::OffPlan> PlannedStock::offPlan() const
{
    // SMUL rounds exactly as Formats::amountAt does, so the engine's planned value and this
    // one agree to the last digit.
    const int d = m_formats.amountDecimals();
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT K.CLBH, C.CLMC, K.KCSL, K.KCJE, "
                                           "SMUL(K.KCSL, COALESCE(C.JHDJ, 0), ?) FROM KC K "
                                           "JOIN CLJBXXB C ON C.CLBH = K.CLBH WHERE C.JJFS <> 0 "
                                           "AND K.KCJE <> SMUL(K.KCSL, COALESCE(C.JHDJ, 0), ?) "
                                           "ORDER BY K.CLBH"),
                            {d, d});
    QList<OffPlan> found;
    while (q.next()) {
        found.append({q.value(0).toString(), q.value(1).toString(),
                      Decimal::fromVariant(q.value(2)), Decimal::fromVariant(q.value(3)),
                      Decimal::fromVariant(q.value(4))});
    }
    return found;
}

QList<PlannedStock::OffPlan> PlannedStock::repair(const QString &operatorNumber)
{
    Transaction tx(m_db);
    const QList<OffPlan> found = offPlan();
    for (const OffPlan &row : found) {
        m_db.exec(QStringLiteral("UPDATE KC SET KCJE = ? WHERE CLBH = ?"),
                  {row.planned.toVariant(), row.clbh});
    }
    if (!found.isEmpty())
        OperationLog(m_db).record(operatorNumber, RepairLogText);
    tx.commit();
    return found;
}

QString PlannedStock::message(const QList<OffPlan> &found, const Formats &formats, Remedy remedy)
{
    if (found.isEmpty())
        return QString();
    constexpr int Listed = 10;
    QString text = QStringLiteral("以下计划价材料的库存金额不等于库存数量×计划单价：\n");
    for (int i = 0; i < found.size() && i < Listed; ++i) {
        const OffPlan &row = found.at(i);
        text += QStringLiteral("%1 %2  库存金额 %3，应为 %4\n")
                    .arg(row.clbh, row.clmc, formats.amountText(row.amount),
                         formats.amountText(row.planned));
    }
    if (found.size() > Listed)
        text += QStringLiteral("…… 共 %1 种材料\n").arg(found.size());
    switch (remedy) {
    case Remedy::Repair:
        text += QStringLiteral("\n是否现在按计划单价重算这些材料的库存金额？");
        break;
    case Remedy::AskOperator:
        text += QStringLiteral("\n请由有月结处理权限的操作员登录后重算。");
        break;
    case Remedy::ReadOnly:
        text +=
            QStringLiteral("\n账套数据文件只读，不能重算；请在可写入的数据文件夹中打开后重算。");
        break;
    }
    return text;
}

} // namespace varnock
