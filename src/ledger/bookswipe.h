#pragma once

#include "ledger/operationstep.h"

#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// Wiping the books (销账): every row of the stock, the closings, the vouchers, the costing
// records, the counts, adjustments, payments, leases, project plans and the operation log is
// deleted, in one transaction; the catalogue, suppliers, consuming units, operators and the
// firm's details stay. A consistent copy of the whole account set is written first, so that
// the wipe can always be undone from it.
class BooksWipe
{
public:
    explicit BooksWipe(Database &db);

    // The tables emptied, in the order they are emptied.
    static QStringList tables();

    // Refuses ("密码错误！，不允许销账！！！") unless `typed` is operator `operatorNumber`'s
    // password.
    void checkPassword(int operatorNumber, const QString &typed) const;
    // Asked once the password is right.
    static OperationStep question();

    // Checks the password, writes the copy to `snapshotPath` and empties the tables. Throws
    // Refusal (wrong password) or StoreError (the copy could not be written); nothing is
    // deleted then.
    void wipe(int operatorNumber, const QString &typed, const QString &snapshotPath);

    // What is shown once the books are wiped: the system's message and where the copy is.
    static QString finishedText(const QString &snapshotPath);

private:
    Database &m_db;
};

} // namespace varnock
