#include "shell/screens/allscreens.h"

#include "leasing/screens/leasingscreens.h"
#include "ledger/screens/bookscreens.h"
#include "ledger/screens/ledgerscreens.h"
#include "master/screens/cataloguescreens.h"
#include "master/screens/counterpartyscreens.h"
#include "plans/screens/planscreens.h"
#include "print/screens/printing.h"
#include "reports/screens/reportscreens.h"
#include "reports/screens/statisticscreens.h"
#include "shell/screens/frmczrz.h"
#include "shell/screens/frmczyqx.h"
#include "shell/screens/frmxtcssz.h"
#include "shell/screens/fxbf.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "vouchers/screens/issuereturnscreens.h"
#include "vouchers/screens/issuescreens.h"
#include "vouchers/screens/stockinreturnscreens.h"
#include "vouchers/screens/stockinscreens.h"

namespace varnock {

void registerAllScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;

    registry.add(QStringLiteral("FrmCzyQx"), Opening::Modal,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmCzyQx(*r.database, r.operatorNumber, r.main);
                 });

    registry.add(QStringLiteral("FrmCzrz"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmCzrz(*r.database, r.operatorNumber);
                 });

    registry.add(
        QStringLiteral("FrmXtcssz"), Opening::Modal, [](const ScreenRequest &r) -> QWidget * {
            if (!r.database)
                return nullptr;
            auto *screen = new FrmXtcssz(*r.database, Printing::dataFolder(), r.formats, r.main);
            if (MDIFrmMain *main = r.main) {
                QObject::connect(screen, &FrmXtcssz::windowTitleChanged, main,
                                 &QWidget::setWindowTitle);
                QObject::connect(screen, &FrmXtcssz::restartRequested, main,
                                 &MDIFrmMain::quitRequested);
            }
            return screen;
        });

    registry.add(QStringLiteral("FXBF"), Opening::Modal, [](const ScreenRequest &r) -> QWidget * {
        if (!r.database)
            return nullptr;
        auto *screen = new FXBF(*r.database, r.operatorNumber, r.main);
        if (r.main) {
            QObject::connect(screen, &FXBF::restoreRequested, r.main,
                             &MDIFrmMain::accountSetRestoreRequested);
        }
        return screen;
    });

    registerCatalogueScreens(registry);
    registerCounterpartyScreens(registry);
    registerStockInScreens(registry);
    registerStockInReturnScreens(registry);
    registerIssueScreens(registry);
    registerIssueReturnScreens(registry);
    registerLedgerScreens(registry);
    registerBookScreens(registry);
    registerReportScreens(registry);
    registerStatisticScreens(registry);
    registerLeasingScreens(registry);
    registerPlanScreens(registry);
}

} // namespace varnock
