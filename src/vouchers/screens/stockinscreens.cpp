#include "vouchers/screens/stockinscreens.h"

#include "shell/datafolder.h"
#include "shell/displaysettings.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"
#include "vouchers/screens/stockinscreen.h"

#include <QDir>
#include <QFileInfo>

namespace varnock {

namespace {

// The display formats live in the data folder that holds the account set's folder.
Formats formatsOf(const Database &db)
{
    QDir folder = QFileInfo(db.filePath()).absoluteDir();
    folder.cdUp();
    return DisplaySettings(DataFolder(folder.path())).readFormats();
}

} // namespace

void registerStockInScreens(ScreenRegistry &registry)
{
    for (const StockInKind &kind : StockInKind::all()) {
        const StockInKind::Kind k = kind.kind;
        registry.add(kind.screen, ScreenRegistry::Opening::InMainWindow,
                     [k](const ScreenRequest &r) -> QWidget * {
                         if (!r.database || !StockInScreen::mayOpen(r.main, *r.database, k))
                             return nullptr;
                         auto *screen =
                             new StockInScreen(*r.database, k, r.mode, formatsOf(*r.database));
                         Help::install(screen, StockInScreen::helpTopic());
                         return screen;
                     });
    }
}

} // namespace varnock
