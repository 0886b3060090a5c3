#include "vouchers/screens/issuereturnscreens.h"

#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "vouchers/screens/formllthdtx.h"

namespace varnock {

void registerIssueReturnScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("FormLLTHDTX"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database || !FormLLTHDTX::mayOpen(r.main, *r.database))
                         return nullptr;
                     const QString zl =
                         r.issueKind == 2 ? QStringLiteral("2") : QStringLiteral("1");
                     return new FormLLTHDTX(*r.database, zl, r.mode, r.formats);
                 });
}

} // namespace varnock
