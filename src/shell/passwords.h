#pragma once

#include <QString>

namespace varnock::Passwords {

constexpr int Iterations = 100000;

// Salted PBKDF2-SHA256 of the password with its leading and trailing spaces removed, as text:
// "pbkdf2-sha256$<iterations>$<salt base64>$<hash base64>". An empty password hashes too.
// Every password the program stores takes the default rounds; fewer serve measurements only.
QString hash(const QString &plain, int iterations = Iterations);

// True when the typed password (spaces around it ignored) is the one stored. A stored value
// that is not a hash is a password written by an older version in plain text; it is compared
// as text, spaces around both ignored. The comparison takes the same time wherever the
// values differ.
bool matches(const QString &stored, const QString &typed);

// True when the stored value is a hash of this kind (false for old plain-text values).
bool isHash(const QString &stored);

} // namespace varnock::Passwords
