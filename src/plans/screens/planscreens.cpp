#include "plans/screens/planscreens.h"

#include "plans/screens/fgccx.h"
#include "plans/screens/fjhtxd.h"
#include "plans/screens/fxjhsl.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

// Plans carry quantities only: their screens open without a month-end.
void registerPlanScreens(ScreenRegistry &registry)
{
    using O = ScreenRegistry::Opening;
    registry.add(QStringLiteral("FJHTXD"), O::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FJHTXD(*r.database, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("Fgccx"), O::Modal, [](const ScreenRequest &r) -> QWidget * {
        return r.database ? new Fgccx(*r.database, r.formats, r.main) : nullptr;
    });
    registry.add(QStringLiteral("FXJHSL"), O::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FXJHSL(*r.database, r.formats) : nullptr;
                 });
}

} // namespace varnock
