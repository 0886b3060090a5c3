#include "leasing/screens/leasingscreens.h"

#include "leasing/screens/forhz.h"
#include "leasing/screens/forzl.h"
#include "leasing/screens/fzlbb.h"
#include "leasing/screens/fzlhk.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

// Leasing stands apart from the stock ledger: its screens open without a month-end.
void registerLeasingScreens(ScreenRegistry &registry)
{
    using O = ScreenRegistry::Opening;
    registry.add(QStringLiteral("Forzl"), O::InMainWindow, [](const ScreenRequest &r) -> QWidget * {
        return r.database ? new Forzl(*r.database, r.formats) : nullptr;
    });
    registry.add(QStringLiteral("Forhz"), O::InMainWindow, [](const ScreenRequest &r) -> QWidget * {
        return r.database ? new Forhz(*r.database, r.formats) : nullptr;
    });
    registry.add(QStringLiteral("Fzlhk"), O::InMainWindow, [](const ScreenRequest &r) -> QWidget * {
        return r.database ? new Fzlhk(*r.database, r.formats, r.operatorNumber) : nullptr;
    });
    registry.add(QStringLiteral("Fzlbb"), O::InMainWindow, [](const ScreenRequest &r) -> QWidget * {
        return r.database ? new Fzlbb(*r.database, r.formats) : nullptr;
    });
}

} // namespace varnock
