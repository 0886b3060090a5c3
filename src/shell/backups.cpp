#include "shell/backups.h"

#include "shell/datafolder.h"
#include "store/database.h"

#include <QDir>
#include <QFileInfo>

namespace varnock {

QString Backups::folder(const Database &accountSet)
{
    const QString chosen =
        accountSet.scalar(QStringLiteral("SELECT DIR FROM YHZL")).toString().trimmed();
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    // An account set's file lies in its numbered folder of the data folder.
    QDir setFolder = QFileInfo(accountSet.filePath()).absoluteDir();
    setFolder.cdUp();
    return DataFolder(setFolder.absolutePath()).backupFolder();
}

QString Backups::timestampedPath(const Database &accountSet, const QDateTime &when)
{
    const QString number = QFileInfo(accountSet.filePath()).absoluteDir().dirName();
    return QDir(folder(accountSet))
        .filePath(QStringLiteral("KVMT%1-%2.db")
                      .arg(number, when.toString(QStringLiteral("yyyy-MM-dd-hhmmss"))));
}

} // namespace varnock
