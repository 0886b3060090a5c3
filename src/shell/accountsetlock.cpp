#include "shell/accountsetlock.h"

#include "store/errors.h"

#include <QDir>
#include <QLockFile>

namespace varnock::AccountSetLock {

std::unique_ptr<QLockFile> acquire(const QString &path, const QString &inUseText)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return lock;
    if (lock->error() == QLockFile::PermissionError)
        return nullptr;
    if (lock->error() != QLockFile::LockFailedError) {
        throw StoreError(QStringLiteral("无法锁定账套：%1\n请检查账套文件夹能否访问。")
                             .arg(QDir::toNativeSeparators(path)));
    }
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock->getLockInfo(&pid, &host, &program)) {
        // Removing fails while a live program holds the file, whatever it has written yet.
        if (lock->removeStaleLockFile() && lock->tryLock(0))
            return lock;
        if (!lock->getLockInfo(&pid, &host, &program))
            throw Refusal(QStringLiteral("提示"), inUseText);
    }
    throw Refusal(QStringLiteral("提示"),
                  inUseText + QStringLiteral("\n（%1，进程号%2，计算机%3）")
                                  .arg(program.isEmpty() ? QStringLiteral("未知程序") : program)
                                  .arg(pid)
                                  .arg(host));
}

} // namespace varnock::AccountSetLock
