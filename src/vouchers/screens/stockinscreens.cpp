#include "vouchers/screens/stockinscreens.h"

#include "shell/screens/screenregistry.h"
#include "vouchers/screens/stockinscreen.h"

namespace varnock {

void registerStockInScreens(ScreenRegistry &registry)
{
    VoucherEntryScreen::addKinds<StockInScreen>(registry, StockInKind::all());
}

} // namespace varnock
