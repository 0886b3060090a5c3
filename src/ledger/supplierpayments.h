#pragma once

#include "ledger/operationstep.h"
#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// What the store owes its suppliers and pays them. Payments (FQFSAVE) and write-offs of bad
// debt (HZCL) are plain rows; every balance is computed from them, the supplier's opening debt
// (GYS.CSQK) and the posted purchase and provisional receipts and their returns. Transfers in
// and client-supplied goods never create debt.
class SupplierPayments
{
public:
    enum class Kind {
        Payment,  // FQFSAVE: raises what was paid
        WriteOff, // HZCL: lowers what is owed
    };

    static const QString SettledText;     // "该供应商欠款已付清！"
    static const QString WrongAmountText; // "对不起,您所输入的金额有误,请认真核对!"

    struct Balance
    {
        Decimal owed; // opening debt + receipts − returns − write-offs
        Decimal paid; // payments + what was paid with the receipts (RKD.YFJE)
        Decimal remaining() const { return owed - paid; }
        bool settled() const { return remaining().isZero(); }
    };

    // One payment or write-off as the list shows it.
    struct Row
    {
        qint64 id = 0;
        QString gysbh;
        QString mc; // the supplier's name
        QDate rq;
        Decimal je;
        QString zph;
        QString bz;
    };

    // The finder's conditions; empty ones do not restrict.
    struct Filter
    {
        QDate from;
        QDate to;
        QString gysbh;
        QString zph;
        QString bz;
    };

    explicit SupplierPayments(Database &db);

    Balance balance(const QString &gysbh) const;

    // Pays or writes off `amount` for supplier `gysbh` and returns the row's ID. Refused
    // (WrongAmountText) unless 0 < amount <= what remains owed. One transaction.
    qint64 record(Kind kind, const QString &gysbh, const QDate &day, Decimal amount,
                  const QString &zph, const QString &bz);

    // The payments or write-offs, by date.
    QList<Row> rows(Kind kind, const Filter &filter = {}) const;

    // The question before a row is deleted.
    static OperationStep deleteQuestion();
    // Deletes a payment or write-off once the logged-in operator's own password was typed;
    // a wrong one is refused ("密码错误！不允许删除！") and nothing is deleted.
    void remove(Kind kind, qint64 id, int operatorNumber, const QString &typed);

private:
    Database &m_db;
};

} // namespace varnock
