#include "store/wholefile.h"

#include "store/errors.h"

#include <QDir>
#include <QSaveFile>

namespace varnock {

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw StoreError(QStringLiteral("无法写入文件 %1：%2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
}

} // namespace varnock
