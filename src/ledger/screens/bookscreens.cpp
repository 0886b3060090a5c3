#include "ledger/screens/bookscreens.h"

#include "ledger/screens/fdz.h"
#include "ledger/screens/formkcpd.h"
#include "ledger/screens/frmbbkcqd.h"
#include "ledger/screens/frmgysqk.h"
#include "ledger/screens/reportdatedialog.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

void registerBookScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;
    registry.add(QStringLiteral("FormKCPD"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FormKCPD(*r.database, r.mode, r.formats);
                 });
    registry.add(QStringLiteral("FrmBBkcqd"), Opening::Modal,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmBBkcqd(*r.database, r.formats, r.main);
                 });
    registry.add(QStringLiteral("PD"), Opening::Modal, [](const ScreenRequest &r) -> QWidget * {
        if (!r.database)
            return nullptr;
        return ReportDateDialog::countResult(*r.database, r.formats, r.main);
    });
    registry.add(QStringLiteral("FrmRq"), Opening::Modal, [](const ScreenRequest &r) -> QWidget * {
        if (!r.database)
            return nullptr;
        return ReportDateDialog::arrears(*r.database, r.formats, r.main);
    });
    registry.add(QStringLiteral("FrmGYSQK"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmGYSQK(*r.database, r.formats, r.operatorNumber);
                 });
    registry.add(QStringLiteral("FDZ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FDZ(*r.database, r.formats);
                 });
}

} // namespace varnock
