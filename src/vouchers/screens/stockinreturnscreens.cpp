#include "vouchers/screens/stockinreturnscreens.h"

#include "shell/screens/screenregistry.h"
#include "vouchers/screens/stockinreturnscreen.h"

namespace varnock {

void registerStockInReturnScreens(ScreenRegistry &registry)
{
    VoucherEntryScreen::addKinds<StockInReturnScreen>(registry, StockInReturnKind::all());
}

} // namespace varnock
