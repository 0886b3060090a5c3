#include "shell/datafolder.h"

#include <QDir>
#include <QStandardPaths>

namespace varnock {

const QString DataFolder::DatabaseFileName = QStringLiteral("kvmt.db");

DataFolder DataFolder::resolve(const QString &commandLineDir)
{
    if (!commandLineDir.trimmed().isEmpty())
        return DataFolder(commandLineDir.trimmed());
    const QString fromEnv = qEnvironmentVariable("VARNOCK_DATA_DIR").trimmed();
    if (!fromEnv.isEmpty())
        return DataFolder(fromEnv);
    QString location = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (location.isEmpty())
        location = QDir::home().filePath(QStringLiteral(".varnock"));
    return DataFolder(location);
}

DataFolder::DataFolder(const QString &path)
    : m_path(QDir::cleanPath(QDir(path).absolutePath()))
{}

QString DataFolder::filePath(const QString &name) const
{
    return QDir::cleanPath(QDir(m_path).filePath(name));
}

bool DataFolder::ensureExists() const
{
    return QDir().mkpath(m_path);
}

QString DataFolder::masterDatabasePath() const
{
    return filePath(DatabaseFileName);
}

QString DataFolder::accountSetFolder(qint64 number) const
{
    return filePath(QString::number(number));
}

QString DataFolder::accountSetDatabasePath(qint64 number) const
{
    return QDir::cleanPath(QDir(accountSetFolder(number)).filePath(DatabaseFileName));
}

QString DataFolder::accountSetLockPath(qint64 number) const
{
    return QDir::cleanPath(QDir(accountSetFolder(number)).filePath(QStringLiteral("kvmt.lock")));
}

QString DataFolder::quantityFormatFile() const
{
    return filePath(QStringLiteral("LSWS"));
}

QString DataFolder::amountFormatFile() const
{
    return filePath(QStringLiteral("JEXSW"));
}

QString DataFolder::modeFile() const
{
    return filePath(QStringLiteral("YZMS"));
}

QString DataFolder::slipCaptionsFile() const
{
    return filePath(QStringLiteral("xiaopiao"));
}

QString DataFolder::reportsFolder() const
{
    return filePath(QStringLiteral("Reports"));
}

QString DataFolder::backupFolder() const
{
    return filePath(QStringLiteral("BackUp"));
}

} // namespace varnock
