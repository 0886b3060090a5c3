#pragma once

#include <QStringList>
#include <QTextStream>

namespace varnock::cli {

// The page cache of "batch --atomic", whose one transaction holds all its lines' changes.
constexpr int AtomicBatchCacheMegabytes = 32;

// Exit codes of the command line.
enum ExitCode { Done = 0, Refused = 1, UsageFailure = 2, StoreFailure = 3 };

// Runs one command line (the arguments without the program name) and returns its exit code.
// Output goes to `out`, messages to `err`; "batch -" reads `in` (standard input when null).
int run(const QStringList &args, QTextStream &out, QTextStream &err, QTextStream *in = nullptr);

} // namespace varnock::cli
