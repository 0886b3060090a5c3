#include "store/wholefile.h"

#include <QDir>
#include <QSaveFile>

namespace varnock {
namespace {

StoreError::Cause causeOf(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::ResourceError:
        // Out of room once the file is open; a file that could not be opened for want of a
        // resource met too many open files, not a full disk.
        return file.isOpen() ? StoreError::Cause::DiskFull : StoreError::Cause::Other;
    case QFileDevice::PermissionsError:
        return StoreError::Cause::WriteProtected;
    default:
        // A read or write error stands for anything from a failing disk to a folder where the
        // file should be: it says nothing of the disk.
        return StoreError::Cause::Other;
    }
}

} // namespace

StoreError fileWriteError(const QString &path, const QFileDevice &file)
{
    return StoreError(QStringLiteral("无法写入文件 %1：%2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()),
                      causeOf(file));
}

StoreError fileReadError(const QString &path, const QFileDevice &file)
{
    return StoreError(QStringLiteral("无法读取文件 %1：%2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()),
                      causeOf(file));
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw fileWriteError(path, file);
}

} // namespace varnock
