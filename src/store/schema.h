#pragma once

namespace varnock {

class Database;

// Creates the tables of a database file. Both functions are idempotent on an empty file and
// set PRAGMA user_version to Schema::Version.
namespace Schema {

constexpr int Version = 1;

// Every permanent table of an account set, the three material libraries CLJBXXB0–CLJBXXB2,
// every _TEMP work table, the accounting-mode table ZTMS, and the indexes.
void createAccountSet(Database &db);
// Adds the indexes an older file lacks (CREATE INDEX IF NOT EXISTS); the tables and their
// rows stay as they are. Meant for every account set when it is opened.
void addMissingIndexes(Database &db);
// The master database: the account-set tables above (it is the template new sets are copied
// from) plus ZTXX, which lives in the master only.
void createMaster(Database &db);

} // namespace Schema
} // namespace varnock
