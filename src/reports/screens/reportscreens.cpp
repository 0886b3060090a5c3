#include "reports/screens/reportscreens.h"

#include "print/screens/printing.h"
#include "reports/screens/formpmcxct.h"
#include "reports/screens/formtjcxct.h"
#include "reports/screens/frmcllsz.h"
#include "reports/screens/frmjxchz.h"
#include "reports/screens/frmjxcmx.h"
#include "reports/screens/frmtb.h"
#include "reports/screens/fxjxcz.h"
#include "reports/screens/setsummaryscreen.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

void registerReportScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;
    registry.add(QStringLiteral("FrmJxcmx"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmJxcmx(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FrmJxchz"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmJxchz(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FXJXCZ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FXJXCZ(*r.database, Printing::dataFolder(), r.formats)
                                       : nullptr;
                 });
    registry.add(QStringLiteral("FrmZtGysqk"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? SetSummaryScreen::arrears(
                                             *r.database, Printing::dataFolder(), r.formats)
                                       : nullptr;
                 });
    registry.add(QStringLiteral("FrmZtjxcmx"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? SetSummaryScreen::summary(
                                             *r.database, Printing::dataFolder(), r.formats)
                                       : nullptr;
                 });
    registry.add(QStringLiteral("FrmZtKcpd"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? SetSummaryScreen::count(*r.database,
                                                                 Printing::dataFolder(), r.formats)
                                       : nullptr;
                 });
    // The same screen for the receipts (ZTCLRKCX) and the issues (ZTCLCKCX).
    registry.add(QStringLiteral("FXRKHZ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     const bool issues = r.command && r.command->name == QLatin1String("ZTCLCKCX");
                     return SetSummaryScreen::movements(*r.database, Printing::dataFolder(),
                                                        r.formats, issues, r.title());
                 });
    registry.add(QStringLiteral("FrmTb"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmTb(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FrmCllsz"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmCllsz(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FormTJCXCT"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FormTJCXCT(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FormPMCXCT"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FormPMCXCT(*r.database, r.mode, r.formats) : nullptr;
                 });
}

} // namespace varnock
