#include "ledger/screens/ledgerscreens.h"

#include "ledger/screens/monthendscreen.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

void registerLedgerScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("MonthEnd"), ScreenRegistry::Opening::Run,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     if (MonthEndScreen::run(r.main, *r.database, r.mode, r.formats) && r.main)
                         r.main->setHasClosing(true);
                     return nullptr;
                 });
}

} // namespace varnock
