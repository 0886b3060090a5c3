#include "master/screens/counterpartyscreens.h"

#include "master/screens/formgyssz.h"
#include "master/screens/frmlldw.h"
#include "master/screens/frmzwcsh.h"
#include "print/screens/reportwindow.h"
#include "shell/screens/screenregistry.h"
#include "store/database.h"

namespace varnock {

namespace {

// The list screen prints its list ("GYS", "LLDW") in a report window.
QWidget *printingList(CodedListScreen *screen, const ScreenRequest &r, const QString &key)
{
    screen->setPrinter([screen, db = r.database, formats = r.formats, key] {
        ReportWindow::open(screen, *db, formats, key);
    });
    return screen;
}

} // namespace

void registerCounterpartyScreens(ScreenRegistry &registry)
{
    using Opening = ScreenRegistry::Opening;

    registry.add(QStringLiteral("FormGYSSZ"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return printingList(new FormGYSSZ(*r.database), r, QStringLiteral("GYS"));
                 });

    registry.add(QStringLiteral("FrmLldw"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return printingList(new FrmLldw(*r.database), r, QStringLiteral("LLDW"));
                 });

    registry.add(QStringLiteral("FrmZwcsh"), Opening::InMainWindow,
                 [](const ScreenRequest &r) -> QWidget * {
                     if (!r.database)
                         return nullptr;
                     return new FrmZwcsh(*r.database, r.mode, r.formats);
                 });
}

} // namespace varnock
