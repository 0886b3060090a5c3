#include "master/screens/counterpartyscreens.h"

#include "master/screens/formgyssz.h"
#include "master/screens/frmlldw.h"
#include "master/screens/frmzwcsh.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"

namespace varnock {

void registerCounterpartyScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;

    registry.add(QStringLiteral("FormGYSSZ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FormGYSSZ(*r.database);
                 });

    registry.add(QStringLiteral("FrmLldw"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmLldw(*r.database);
                 });

    registry.add(QStringLiteral("FrmZwcsh"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmZwcsh(*r.database, r.mode, r.formats);
                 });
}

} // namespace varnock
