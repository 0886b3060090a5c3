#pragma once

#include <QString>

namespace varnock {

class Database;

// Writes a consistent copy of the whole database to `filePath` while the database stays open
// and in use: the copy holds one state of the file, never a half-written one. The copy
// appears complete or not at all, and replaces a file of the same name. It cannot be taken
// inside a transaction. Throws StoreError.
void writeSnapshot(const Database &db, const QString &filePath);

// What the database's own consistency check finds wrong with every page and index of the
// file, a line each; empty when the file is sound.
QString integrityFaults(const Database &db);

} // namespace varnock
