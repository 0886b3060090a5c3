#include "store/snapshot.h"

#include "store/database.h"
#include "store/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

#include <filesystem>
#include <system_error>

namespace varnock {

namespace {

StoreError::Cause causeOf(const std::error_code &error)
{
    if (error == std::errc::no_space_on_device)
        return StoreError::Cause::DiskFull;
    if (error == std::errc::read_only_file_system || error == std::errc::permission_denied)
        return StoreError::Cause::WriteProtected;
    if (error == std::errc::io_error)
        return StoreError::Cause::InputOutput;
    return StoreError::Cause::Other;
}

} // namespace

void writeSnapshot(const Database &db, const QString &filePath)
{
    const QFileInfo target(filePath);
    if (!QDir().mkpath(target.absolutePath())) {
        throw StoreError(QStringLiteral("无法创建文件夹：%1\n请检查该文件夹的写入权限。")
                             .arg(QDir::toNativeSeparators(target.absolutePath())),
                         StoreError::Cause::WriteProtected);
    }
    // Written beside the target under another name, then renamed over it: a failure halfway
    // leaves no file that looks like a finished copy.
    const QString partial = target.absoluteFilePath() + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        db.exec(QStringLiteral("VACUUM INTO ?"), {partial});
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(partial.toStdU16String()),
                            std::filesystem::path(target.absoluteFilePath().toStdU16String()),
                            error);
    if (error) {
        QFile::remove(partial);
        throw StoreError(QStringLiteral("无法写入文件：%1\n%2")
                             .arg(QDir::toNativeSeparators(target.absoluteFilePath()),
                                  QString::fromLocal8Bit(error.message())),
                         causeOf(error));
    }
}

QString integrityFaults(const Database &db)
{
    QSqlQuery check = db.exec(QStringLiteral("PRAGMA integrity_check"));
    QStringList faults;
    while (check.next()) {
        const QString line = check.value(0).toString();
        if (line != QLatin1String("ok"))
            faults << line;
    }
    return faults.join(QLatin1Char('\n'));
}

} // namespace varnock
