#pragma once

#include "store/database.h"
#include "store/decimal.h"
#include "store/formats.h"

#include <QString>

#include <ostream>

namespace varnock {

// Readable figures in test failures.
void PrintTo(const Decimal &value, std::ostream *out);

} // namespace varnock

namespace varnock::test {

// Decimal from plain text in tests: dec("12.34").
Decimal dec(const char *text);

// Writes ledger rows the way the voucher screens and the posting leave them, so that ledger
// tests can start from a known state. Figures are bound as Decimal; dates default to
// 2026-01-15.
class LedgerSeed
{
public:
    struct Stock
    {
        bool exists = false;
        Decimal quantity;
        Decimal amount;
    };

    explicit LedgerSeed(Database &db);

    // An opening balance (ZWCSH, unit price amount ÷ quantity) added to KC; a planned-price
    // material's KC at its quantity × JHDJ.
    qint64 opening(const QString &clbh, Decimal quantity, Decimal amount);
    // An unposted purchase line of stock-in voucher `xtbh`; SJDJ = amount ÷ quantity.
    qint64 receipt(qint64 xtbh, const QString &clbh, Decimal quantity, Decimal amount);
    // An unposted return line of voucher `xtbh` against stock-in line `rkid`.
    qint64 stockReturn(qint64 xtbh, qint64 rkid, const QString &clbh, Decimal quantity,
                       Decimal amount);
    // An unposted requisition line of issue voucher `xtbh`.
    qint64 issue(qint64 xtbh, const QString &clbh, Decimal quantity, Decimal price = {},
                 Decimal amount = {});
    // An unposted issue-return line of voucher `xtbh` against issue line `llid`.
    qint64 issueReturn(qint64 xtbh, qint64 llid, const QString &clbh, Decimal quantity,
                       Decimal price, Decimal amount);
    // Sets JZBZ on every line of voucher `xtbh` of RKD, THD, LLD or TKD.
    void post(const QString &table, qint64 xtbh);
    // An amount adjustment (CLKVMT) added to KC.KCJE.
    void adjustment(const QString &clbh, Decimal amount);
    // What an issue reversal does: marks the line, writes its posted mirror line, puts the
    // line's quantity and amount back into KC and, under first in first out, mirrors its
    // pieces. Returns the mirror line's ID.
    qint64 reverseIssueLine(qint64 lldId, int mode);

    Stock kc(const QString &clbh) const;
    Decimal issueAmount(qint64 lldId) const; // LLD.SJJE
    int pieceCount() const;                  // rows of XJXCSJB

private:
    Database &m_db;
};

// Runs the invariant checker and fails the current test on every breach. Materials left with
// quantity 0 and an amount fail too unless `allowZeroQuantityAmount`.
void expectBooksBalance(Database &db, int mode, const Formats &formats,
                        bool allowZeroQuantityAmount = false);

} // namespace varnock::test
