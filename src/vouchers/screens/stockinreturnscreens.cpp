#include "vouchers/screens/stockinreturnscreens.h"

#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"
#include "vouchers/screens/stockinreturnscreen.h"

namespace varnock {

void registerStockInReturnScreens(ScreenRegistry &registry)
{
    for (const StockInReturnKind &kind : StockInReturnKind::all()) {
        const StockInKind::Kind k = kind.kind;
        registry.add(kind.screen, ScreenRegistry::Opening::InMainWindow,
                     [k](const ScreenRequest &r) -> QWidget * {
                         if (!r.database || !StockInReturnScreen::mayOpen(r.main, *r.database, k))
                             return nullptr;
                         return new StockInReturnScreen(*r.database, k, r.mode, r.formats);
                     });
    }
}

} // namespace varnock
