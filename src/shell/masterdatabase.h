#pragma once

#include <memory>

namespace varnock {

class Database;
class DataFolder;

// The master database: the list of account sets and the template every new set is copied
// from.
class MasterDatabase
{
public:
    // Opens the folder's master database, creating the folder and the database first when
    // they are missing. A new master is built in a temporary file and renamed into place, so
    // a crash never leaves a half-made master behind. An existing master is never rewritten:
    // a damaged one is refused as it is. Opening finishes interrupted set creations. Throws
    // StoreError, or Refusal for a master of a newer version.
    static std::unique_ptr<Database> ensure(const DataFolder &folder);

    // The template's first operator, with every right; what a new account set logs in with
    // until its own operator is given in the wizard.
    static constexpr char DefaultOperator[] = "admin";
    static constexpr char DefaultPassword[] = "admin";

private:
    static std::unique_ptr<Database> open(const DataFolder &folder);
    static void populate(Database &db);
};

} // namespace varnock
