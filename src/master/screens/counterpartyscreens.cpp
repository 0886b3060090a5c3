#include "master/screens/counterpartyscreens.h"

#include "master/screens/formgyssz.h"
#include "master/screens/frmlldw.h"
#include "master/screens/frmzwcsh.h"
#include "shell/datafolder.h"
#include "shell/displaysettings.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"

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
                     return new FrmZwcsh(*r.database, r.mode, formatsOf(*r.database));
                 });
}

} // namespace varnock
