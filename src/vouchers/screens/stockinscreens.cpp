#include "vouchers/screens/stockinscreens.h"

#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"
#include "vouchers/screens/stockinscreen.h"

namespace varnock {

void registerStockInScreens(ScreenRegistry &registry)
{
    for (const StockInKind &kind : StockInKind::all()) {
        const StockInKind::Kind k = kind.kind;
        registry.add(kind.screen, ScreenRegistry::Opening::InMainWindow,
                     [k](const ScreenRequest &r) -> QWidget * {
                         if (!r.database || !StockInScreen::mayOpen(r.main, *r.database, k))
                             return nullptr;
                         return new StockInScreen(*r.database, k, r.mode, r.formats);
                     });
    }
}

} // namespace varnock
