#pragma once

#include <QString>

#include <functional>

namespace varnock {

// How long work reports its progress: `done` of `total` steps (total 0 = unknown) and the
// step it is on. The progress window FrmJdt provides one; core code only calls it.
using ProgressCallback = std::function<void(int done, int total, const QString &step)>;

} // namespace varnock
