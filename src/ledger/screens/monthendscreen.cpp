#include "ledger/screens/monthendscreen.h"

#include "ledger/monthend.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/frmjdt.h"
#include "store/clock.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

namespace varnock {

bool MonthEndScreen::run(QWidget *parent, Database &db, int mode, const Formats &formats)
{
    MonthEnd monthEnd(db, mode, formats);
    // One day for the checks and the closing, even when the clock passes midnight between.
    const QDate today = Clock::today();

    QList<MonthEnd::Step> steps;
    if (!runOperation(parent, [&] { steps = monthEnd.checks(today); }))
        return false;
    if (!LedgerScreenParts::confirm(parent, steps))
        return false;

    const bool closed = runOperation(parent, [&] {
        FrmJdt::run(parent, QStringLiteral("系统正在进行月结处理……"),
                    [&](const ProgressCallback &progress) { monthEnd.close(today, progress); });
    });
    if (!closed)
        return false;
    const MonthEnd::Step done = MonthEnd::finished();
    Messages::show(parent, done.toRefusal());
    return true;
}

} // namespace varnock
