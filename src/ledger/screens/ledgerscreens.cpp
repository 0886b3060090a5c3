#include "ledger/screens/ledgerscreens.h"

#include "ledger/screens/formlldcz.h"
#include "ledger/screens/frmqxjz.h"
#include "ledger/screens/frmrkcz.h"
#include "ledger/screens/frmzjzcdz.h"
#include "ledger/screens/fzjzccz.h"
#include "ledger/screens/monthendscreen.h"
#include "ledger/screens/postingscreen.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "vouchers/screens/frmzjzc.h"

namespace varnock {

void registerLedgerScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("MonthEnd"), ScreenRegistry::Opening::Run,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     if (MonthEndScreen::run(r.main, *r.database, r.mode, r.formats) && r.main)
                         r.main->setHasClosing(true);
                     return nullptr;
                 });

    for (Posting::Family family : {Posting::Family::StockIn, Posting::Family::StockInReturn,
                                   Posting::Family::Issue, Posting::Family::IssueReturn}) {
        registry.add(PostingScreen::screenName(family), ScreenRegistry::Opening::InMainWindow,
                     [family](const ScreenRequest &r) -> QWidget * {
                         if (!r.database)
                             return nullptr;
                         return new PostingScreen(*r.database, family, r.issueKind, r.mode,
                                                  r.formats, r.title());
                     });
    }

    registry.add(QStringLiteral("FrmRkcz"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmRkcz(*r.database, r.mode, r.formats);
                 });
    registry.add(QStringLiteral("FormLLDCZ"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FormLLDCZ(*r.database, r.issueKind, r.mode, r.formats, r.title());
                 });
    registry.add(QStringLiteral("FrmQxjz"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     auto *screen = new FrmQxjz(*r.database, r.mode, r.operatorNumber);
                     if (MDIFrmMain *main = r.main) {
                         QObject::connect(screen, &FrmQxjz::closingsRemoved, main,
                                          [main] { main->setHasClosing(false); });
                     }
                     return screen;
                 });
    // Direct deliveries: entered, posted and reversed in windows of their own.
    registry.add(QStringLiteral("FrmZjzc"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database || !FrmZjzc::mayOpen(r.main, *r.database))
                         return nullptr;
                     return new FrmZjzc(*r.database, r.mode, r.formats);
                 });
    registry.add(QStringLiteral("FrmZjzcdz"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmZjzcdz(*r.database, r.mode, r.formats);
                 });
    registry.add(QStringLiteral("Fzjzccz"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new Fzjzccz(*r.database, r.mode, r.formats);
                 });
}

} // namespace varnock
