#pragma once

#include "store/formats.h"

#include <QList>
#include <QString>

namespace varnock {

class Database;

struct InvariantBreach
{
    enum class Kind {
        // KC differs from the signed sum of the material's posted movements (for a
        // planned-price material its quantity does; its amount is checked as OffPlan).
        Stock,
        // First in first out: a layer holds less than nothing or more than its size, the
        // layers of a material do not add up to its stock quantity, or the newest piece kept
        // for a material (KC.SJID) is not its newest piece drawn from a layer.
        Layer,
        // Stock quantity 0 with an amount left. Not a broken ledger by itself: first in first
        // out leaves such rests when a layer is drawn in several rounded pieces, or when a
        // supplier credits a return at another price than the receipt's.
        ZeroQuantityAmount,
        // A planned-price material whose KCJE is not KCSL × JHDJ rounded to the amount
        // format, in either mode.
        OffPlan,
        // First in first out: the latest closing's stock per unit price (XJXCYJKCB) differs
        // from the history regrouped at its day.
        Snapshot,
        // The latest closing's movement sums (YJFSB) differ from the movements of its period.
        Sums,
        // The latest closing's running totals of the issues (LJXHB) differ from every issue up
        // to its day regrouped from the lines.
        Totals,
    };

    QString clbh;
    QString what;
    Kind kind = Kind::Stock;
};

// Checks the books of an account set against their own history.
//
// KC per material must equal its opening balances (ZWCSH) plus posted receipts (RKD), less
// posted returns to suppliers (THD), less posted issues (LLD), plus posted issue returns
// (TKD), plus count differences (PYK) and amount adjustments (CLKVMT). Receipts, returns and
// issue returns of planned-price materials count at quantity × JHDJ. Reversals are included
// through their posted mirror lines. Lines without a voucher number (count rows, returned
// goods under first in first out) and direct deliveries carry no movement of their own.
// A planned-price material's stock amount is its quantity at plan, never the sum of its
// single rounded movements: its quantity must balance and its amount must be on plan.
class InvariantChecker
{
public:
    static QList<InvariantBreach> check(Database &db, int mode, const Formats &formats);
};

} // namespace varnock
