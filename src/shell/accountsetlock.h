#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace varnock {

// The lock file that keeps an account set to one program at a time. Held for hours, so age
// never makes it stale: a lock file counts as stale when it names no live process of this
// program, or cannot be read at all (a power cut between creating and writing it leaves it
// empty). A stale lock is taken over.
namespace AccountSetLock {

// Takes the lock at `path`. Throws Refusal(inUseText) while a live program holds it, the
// holder (program, process id, computer) on a second line where the lock names it. Returns
// nullptr when the folder cannot be written: nothing can change the set there, so nothing
// needs the lock. Throws StoreError for any other failure.
std::unique_ptr<QLockFile> acquire(const QString &path, const QString &inUseText);

} // namespace AccountSetLock
} // namespace varnock
