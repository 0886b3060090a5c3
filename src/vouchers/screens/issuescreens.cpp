#include "vouchers/screens/issuescreens.h"

#include "shell/screens/screenregistry.h"

namespace varnock {

void registerIssueScreens(ScreenRegistry &registry)
{
    Q_UNUSED(registry);
}

} // namespace varnock
