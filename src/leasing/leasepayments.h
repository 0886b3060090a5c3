#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QDate>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// Payments of the accrued rent to the lessors (ZLHK).
class LeasePayments
{
public:
    static const QString WrongAmountText; // "您输入的金额错误,请认真核对"

    // What a supplier owes up to a date: the rent of all its leases from the earliest lease
    // on, what was paid up to that date, and what is left.
    struct Balance
    {
        Decimal owed;
        Decimal paid;
        Decimal remaining() const { return owed - paid; }
    };

    struct Payment
    {
        qint64 id = 0;
        QString gysbh;
        QString gysmc;
        QDate hzrq;
        Decimal hzje;
        QString bz;
    };

    // The payment list's conditions; empty texts and invalid dates add none.
    struct Conditions
    {
        QString gysbh;
        QString gysmc;
        QString bz;
        QDate from;
        QDate to;
    };

    LeasePayments(Database &db, const Formats &formats);

    Balance balance(const QString &gysbh, const QDate &upTo) const;

    // Records a payment in one transaction. Refuses an unknown supplier ("请正确选择供应商"),
    // and an amount that is not positive or more than is left on that date
    // (WrongAmountText). Returns its ID.
    qint64 pay(const QString &gysbh, const QDate &date, Decimal amount, const QString &bz) const;

    // By supplier code, then date.
    QList<Payment> list(const Conditions &conditions = {}) const;
    // Deletes a payment once operator `operatorNumber` gave the password ("密码错误！不允许删除！"
    // otherwise); refuses one that is gone.
    void remove(qint64 id, int operatorNumber, const QString &password) const;

private:
    Database &m_db;
    Formats m_formats;
};

} // namespace varnock
