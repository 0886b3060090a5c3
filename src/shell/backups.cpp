#include "shell/backups.h"

#include "shell/datafolder.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/snapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>

namespace varnock {
namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// An account set's file lies in the folder named after its number.
QString setNumber(const Database &accountSet)
{
    return QFileInfo(accountSet.filePath()).absoluteDir().dirName();
}

QString copyName(const Database &accountSet, const QString &rest)
{
    return QStringLiteral("KVMT%1-%2.db").arg(setNumber(accountSet), rest);
}

} // namespace

const QString Backups::InvalidFolderText = QStringLiteral("请选择有效的备份目录");
const QString Backups::CannotWriteText = QStringLiteral("文件不能被写入!请更换存放位置!");
const QString Backups::DiskFullText = QStringLiteral("磁盘满，空间不够!");
const QString Backups::WriteProtectedText = QStringLiteral("磁盘被写保护 或 文件被保护!");
const QString Backups::InputOutputText = QStringLiteral("磁盘I/0错误，操作被终止!");
const QString Backups::NotReadyText = QStringLiteral("磁盘没准备好!");
const QString Backups::DamagedText = QStringLiteral("磁盘已损坏,不能还原数据");
const QString Backups::MediumMissingText =
    QStringLiteral("指定的磁盘驱动器不可用!\n可能不存在此驱动器或驱动器内无磁盘!");

QString Backups::folder(const Database &accountSet)
{
    const QString chosen =
        accountSet.scalar(QStringLiteral("SELECT DIR FROM YHZL")).toString().trimmed();
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    return defaultFolder(accountSet);
}

QString Backups::defaultFolder(const Database &accountSet)
{
    QDir setFolder = QFileInfo(accountSet.filePath()).absoluteDir();
    setFolder.cdUp();
    return DataFolder(setFolder.absolutePath()).backupFolder();
}

QString Backups::timestampedPath(const Database &accountSet, const QDateTime &when)
{
    return QDir(folder(accountSet))
        .filePath(copyName(accountSet, when.toString(QStringLiteral("yyyy-MM-dd-hhmmss"))));
}

QString Backups::backupPath(const Database &accountSet, const QString &folder, const QDate &day)
{
    return QDir(folder).filePath(copyName(accountSet, day.toString(DateFormat)));
}

QString Backups::automaticPath(const Database &accountSet, const QDate &day)
{
    return QDir(folder(accountSet))
        .filePath(copyName(accountSet, QStringLiteral("auto-") + day.toString(DateFormat)));
}

QString Backups::targetFolder(const Database &accountSet, const QString &chosenFolder)
{
    const QString target =
        chosenFolder.trimmed().isEmpty() ? folder(accountSet) : QDir::cleanPath(chosenFolder);
    // The default folder is ours to make; a chosen one that is missing is probably a removable
    // disk that is not there, and making it would write the copy somewhere else.
    const bool isDefault = QDir(target) == QDir(defaultFolder(accountSet));
    if (!isDefault && !QFileInfo(target).isDir())
        throw Refusal(QStringLiteral("提示"), InvalidFolderText);
    return target;
}

QString Backups::backUp(const Database &accountSet, const QString &chosenFolder, const QDate &day)
{
    const QString path = backupPath(accountSet, targetFolder(accountSet, chosenFolder), day);
    try {
        writeSnapshot(accountSet, path);
    } catch (const StoreError &error) {
        throw copyRefused(QStringLiteral("提示"), error, QFileInfo(path).absolutePath());
    }
    return path;
}

Refusal Backups::copyRefused(const QString &title, const StoreError &error, const QString &folder)
{
    QString text = CannotWriteText;
    switch (error.cause) {
    case StoreError::Cause::DiskFull:
        text = DiskFullText;
        break;
    case StoreError::Cause::WriteProtected:
        text = WriteProtectedText;
        break;
    case StoreError::Cause::InputOutput:
        text = InputOutputText;
        break;
    case StoreError::Cause::Damaged:
        // The set's own file could not be read: another place for the copy would not help,
        // and the failure's text says what to do.
        return Refusal(title, error.text, Refusal::Icon::Critical);
    case StoreError::Cause::Other:
        // A folder that was there when the copy began and is gone now: the medium was taken
        // out; one that takes no new file is protected.
        if (!QFileInfo(folder).isDir())
            text = NotReadyText;
        else if (!QTemporaryFile(QDir(folder).filePath(QStringLiteral(".kvmt-XXXXXX"))).open())
            text = WriteProtectedText;
        break;
    }
    return Refusal(title, text + QLatin1Char('\n') + error.text, Refusal::Icon::Critical);
}

QString Backups::takeAutomatic(const Database &accountSet, const QDate &day)
{
    const QString path = automaticPath(accountSet, day);
    writeSnapshot(accountSet, path);
    QList<Copy> automatic;
    for (const Copy &copy : list(accountSet)) {
        if (copy.kind == Kind::Automatic)
            automatic << copy;
    }
    for (qsizetype i = KeptAutomatic; i < automatic.size(); ++i)
        QFile::remove(automatic.at(i).path);
    return path;
}

QList<Backups::Copy> Backups::list(const Database &accountSet)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^KVMT(\d+)-(auto-)?(\d{4}-\d{2}-\d{2})(?:-(\d{6}))?\.db$)"));
    const QString number = setNumber(accountSet);
    QList<Copy> copies;
    const QFileInfoList files =
        QDir(folder(accountSet)).entryInfoList({QStringLiteral("KVMT*.db")}, QDir::Files);
    for (const QFileInfo &file : files) {
        const QRegularExpressionMatch match = pattern.match(file.fileName());
        if (!match.hasMatch() || match.captured(1) != number)
            continue;
        const bool automatic = match.capturedLength(2) > 0;
        const bool timed = match.capturedLength(4) > 0;
        if (automatic && timed)
            continue;
        Copy copy;
        copy.path = file.absoluteFilePath();
        copy.kind = automatic ? Kind::Automatic : timed ? Kind::BeforeChange : Kind::Backup;
        const QDate date = QDate::fromString(match.captured(3), DateFormat);
        const QTime time =
            timed ? QTime::fromString(match.captured(4), QStringLiteral("hhmmss")) : QTime(0, 0);
        if (!date.isValid() || !time.isValid())
            continue;
        copy.taken = QDateTime(date, time);
        copy.size = file.size();
        copies << copy;
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) {
        if (a.taken != b.taken)
            return a.taken > b.taken;
        return a.path > b.path;
    });
    return copies;
}

QString Backups::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Backup:
        return QStringLiteral("数据备份");
    case Kind::Automatic:
        return QStringLiteral("自动备份");
    case Kind::BeforeChange:
        return QStringLiteral("修改前备份");
    }
    return QString();
}

} // namespace varnock
