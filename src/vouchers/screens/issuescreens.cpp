#include "vouchers/screens/issuescreens.h"

#include "shell/screens/screenregistry.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/formlldtx.h"

namespace varnock {

void registerIssueScreens(ScreenRegistry &registry)
{
    VoucherEntryScreen::addTo(registry, QStringLiteral("FormLLDTX"), [](const ScreenRequest &r) {
        const QString zl =
            r.issueKind == 2 ? IssueVouchers::TransferOut : IssueVouchers::Requisition;
        return new FormLLDTX(*r.database, zl, r.mode, r.formats);
    });
}

} // namespace varnock
