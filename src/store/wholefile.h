#pragma once

#include "store/errors.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace varnock {

// Writes `bytes` as the whole content of the file at `path`: written under another name and
// renamed over the file, so that a crash or a full disk never leaves half a file behind.
// Throws StoreError naming the file.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// The failure of writing or reading `file` at `path`, naming it, with what the file system said
// of the disk where it says something (a full disk, a refused permission).
StoreError fileWriteError(const QString &path, const QFileDevice &file);
StoreError fileReadError(const QString &path, const QFileDevice &file);

} // namespace varnock
