#include "ledger/bookswipe.h"

#include "shell/operators.h"
#include "store/database.h"
#include "store/snapshot.h"

#include <QDir>

namespace varnock {

BooksWipe::BooksWipe(Database &db)
    : m_db(db)
{}

QStringList BooksWipe::tables()
{
    // Amount adjustments and lease repayments go too: left behind, they would move the new
    // books' stock amounts and lease balances by business that no longer exists.
    return {QStringLiteral("KC"),        QStringLiteral("YJKCB"),   QStringLiteral("YJSJB"),
            QStringLiteral("RKD"),       QStringLiteral("LLD"),     QStringLiteral("THD"),
            QStringLiteral("TKD"),       QStringLiteral("PYK"),     QStringLiteral("HZCL"),
            QStringLiteral("ZWCSH"),     QStringLiteral("ZLHZ"),    QStringLiteral("ZLBIAO"),
            QStringLiteral("XJXCYJKCB"), QStringLiteral("XJXCSJB"), QStringLiteral("CZRZ"),
            QStringLiteral("CLJH"),      QStringLiteral("FQFSAVE"), QStringLiteral("CLKVMT"),
            QStringLiteral("ZLHK"),      QStringLiteral("YJFSB"),   QStringLiteral("LJXHB")};
}

void BooksWipe::checkPassword(int operatorNumber, const QString &typed) const
{
    if (!Operators(m_db).passwordMatches(operatorNumber, typed))
        throw Refusal(QStringLiteral("提示"), QStringLiteral("密码错误！，不允许销账！！！"));
}

OperationStep BooksWipe::question()
{
    return OperationStep::question(QStringLiteral("提示"),
                                   QStringLiteral("账务一旦被清除，以前所有数据信息将丢失！"),
                                   Refusal::Icon::Exclamation);
}

void BooksWipe::wipe(int operatorNumber, const QString &typed, const QString &snapshotPath)
{
    checkPassword(operatorNumber, typed);
    writeSnapshot(m_db, snapshotPath);
    Transaction tx(m_db);
    for (const QString &table : tables())
        m_db.exec(QStringLiteral("DELETE FROM %1").arg(table));
    tx.commit();
}

QString BooksWipe::finishedText(const QString &snapshotPath)
{
    return QStringLiteral("所有账务已经销掉，请您重新启动系统开始新的业务！！！\n"
                          "销账前的账套已保存在：%1")
        .arg(QDir::toNativeSeparators(snapshotPath));
}

} // namespace varnock
