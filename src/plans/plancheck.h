#pragma once

#include "store/decimal.h"
#include "store/formats.h"

#include <QList>
#include <QString>

namespace varnock {

class Database;

// Whether an issue voucher takes a material past its plan: its issues up to the voucher's
// date (every kind, posted or not, this voucher included, net of issue returns) against the
// plans dated up to that day. A material without a plan is never over it.
namespace PlanCheck {

struct OverPlan
{
    QString clbh;
    QString clmc;
    Decimal planned;
    Decimal issued;

    // The warning shown and printed: names the material, the planned and issued quantities.
    QString text(const Formats &formats) const;
};

// The materials of stored issue voucher `xtbh` that are over their plan, by code.
QList<OverPlan> overPlans(Database &db, qint64 xtbh);
// The warnings of overPlans() as one text; empty when there is none.
QString warning(Database &db, qint64 xtbh, const Formats &formats);

} // namespace PlanCheck

} // namespace varnock
