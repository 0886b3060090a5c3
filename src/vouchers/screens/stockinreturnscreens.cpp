#include "vouchers/screens/stockinreturnscreens.h"

#include "shell/screens/screenregistry.h"

namespace varnock {

void registerStockInReturnScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}

} // namespace varnock
