#pragma once

#include "store/database.h"
#include "store/formats.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QString>

namespace varnock::test {

// The catalogue the hand-worked report books share: 螺纹钢 1001001, 圆钢 1001002 and 盘条
// 1001003 (planned price 3.30) under 钢材 / 钢筋, cement 10001001 under 水泥 / 散装水泥 (category
// 10, which a code-prefix test would count under 1), suppliers G1 and G2, units U1 and U2.
void addReportCatalogue(TestAccountSet &set);

// Vouchers written and posted the way the screens leave them, each dated by hand: the books a
// report test works out on paper. Each voucher has one line; dates are "yyyy-MM-dd".
class PostedBooks
{
public:
    // Its vouchers are numbered on from `lastVoucher`.
    PostedBooks(Database &db, int mode, qint64 lastVoucher = 0);

    int mode() const { return m_mode; }
    const Formats &formats() const { return m_formats; }

    void close(const char *date);
    // A stock-in line of `kind` from `supplier`; returns its ID.
    qint64 receive(const char *date, const QString &clbh, const char *quantity, const char *amount,
                   const QString &supplier = QStringLiteral("G1"),
                   const QString &kind = QStringLiteral("采购入库"));
    // A purchase return against stock-in line `rkid`, to the receipt's supplier.
    void giveBack(const char *date, qint64 rkid, const QString &clbh, const char *quantity,
                  const char *amount);
    // An issue line of `kind` to `unit` (priced at the moving average, or left to the layers
    // when posted); "today" becomes its date. Returns its ID.
    qint64 issue(const char *date, const QString &clbh, const char *quantity, const char *unit,
                 const char *kind = "1");
    // An issue return of issue line `llid` at what the line cost.
    void takeBack(const char *date, qint64 llid, const char *quantity);

    void redate(const QString &table, qint64 id, const char *date);
    qint64 lastId(const QString &table) const;

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    LedgerSeed m_seed;
    qint64 m_xtbh = 0;
};

} // namespace varnock::test
