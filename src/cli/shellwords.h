#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace varnock::cli {

// Splits one line of a batch file into words the way a shell does: blanks separate words,
// '...' keeps everything literally, "..." keeps blanks and lets \" and \\ through, a
// backslash outside quotes escapes the next character, and an unquoted # starts a comment.
// nullopt for an unterminated quote.
std::optional<QStringList> splitShellWords(const QString &line);

} // namespace varnock::cli
