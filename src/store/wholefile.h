#pragma once

#include <QByteArray>
#include <QString>

namespace varnock {

// Writes `bytes` as the whole content of the file at `path`: written under another name and
// renamed over the file, so that a crash or a full disk never leaves half a file behind.
// Throws StoreError naming the file.
void writeWholeFile(const QString &path, const QByteArray &bytes);

} // namespace varnock
