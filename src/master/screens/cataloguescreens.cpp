#include "master/screens/cataloguescreens.h"

#include "master/screens/frmclsz.h"
#include "shell/screens/screenregistry.h"

namespace varnock {

void registerCatalogueScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("FrmClsz"), ScreenRegistry::Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmClsz(*r.database, r.formats);
                 });
}

} // namespace varnock
