#include "reports/screens/statisticscreens.h"

#include "reports/screens/frmbbdbb.h"
#include "reports/screens/frmrkcxbb.h"
#include "reports/screens/frmrkgysbb.h"
#include "reports/screens/frmxhtj.h"
#include "reports/screens/fxjdcl.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

namespace {

bool openedBy(const ScreenRequest &r, const char *command)
{
    return r.command && r.command->name == QLatin1String(command);
}

} // namespace

void registerStatisticScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;
    // "材料出库查询报表" opens the issues, every other command the receipts.
    registry.add(QStringLiteral("FrmRKCXBB"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmRKCXBB(*r.database, r.mode, r.formats,
                                          openedBy(r, "CLCKCXBB") ? Movement::Issues
                                                                  : Movement::Receipts);
                 });
    registry.add(QStringLiteral("FrmBBdbb"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmBBdbb(*r.database, r.mode, r.formats) : nullptr;
                 });
    registry.add(QStringLiteral("FrmRkgysbb"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmRkgysbb(*r.database, r.mode, r.formats,
                                           openedBy(r, "LLDWLLQK") ? StatisticParty::Units
                                                                   : StatisticParty::Suppliers);
                 });
    registry.add(QStringLiteral("FrmXHTJ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     return r.database ? new FrmXHTJ(*r.database, r.mode, r.formats) : nullptr;
                 });
    // Report kind 1 is the balance of funds, 2 the quarterly statistic.
    registry.add(QStringLiteral("FxJDCL"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FxJDCL(*r.database, r.mode, r.formats,
                                       r.reportKind() == 1 ? FxJDCL::Report::FundsBalance
                                                           : FxJDCL::Report::Quarterly);
                 });
}

} // namespace varnock
