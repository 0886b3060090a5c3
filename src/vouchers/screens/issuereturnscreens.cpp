#include "vouchers/screens/issuereturnscreens.h"

#include "shell/screens/screenregistry.h"

namespace varnock {

void registerIssueReturnScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}

} // namespace varnock
