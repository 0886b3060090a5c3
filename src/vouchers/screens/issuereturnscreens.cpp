#include "vouchers/screens/issuereturnscreens.h"

#include "shell/screens/screenregistry.h"
#include "vouchers/screens/formllthdtx.h"

namespace varnock {

void registerIssueReturnScreens(ScreenRegistry &registry)
{
    VoucherEntryScreen::addTo(registry, QStringLiteral("FormLLTHDTX"), [](const ScreenRequest &r) {
        const QString zl = r.issueKind == 2 ? QStringLiteral("2") : QStringLiteral("1");
        return new FormLLTHDTX(*r.database, zl, r.mode, r.formats);
    });
}

} // namespace varnock
