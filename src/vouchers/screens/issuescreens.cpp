#include "vouchers/screens/issuescreens.h"

#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/formlldtx.h"

namespace varnock {

void registerIssueScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("FormLLDTX"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database || !FormLLDTX::mayOpen(r.main, *r.database))
                         return nullptr;
                     const QString zl =
                         r.issueKind == 2 ? IssueVouchers::TransferOut : IssueVouchers::Requisition;
                     return new FormLLDTX(*r.database, zl, r.mode, r.formats);
                 });
}

} // namespace varnock
