#include "support/templatemaster.h"

#include "shell/masterdatabase.h"
#include "store/database.h"

#include <QFile>
#include <QTemporaryDir>

namespace varnock::test {

void copyTemplateMaster(const DataFolder &folder)
{
    static QTemporaryDir templateDir;
    static const bool built = [] {
        MasterDatabase::ensure(DataFolder(templateDir.path()));
        return true;
    }();
    (void)built;
    QFile::copy(DataFolder(templateDir.path()).masterDatabasePath(), folder.masterDatabasePath());
}

} // namespace varnock::test
