#pragma once

#include <QStringList>

namespace varnock {

class Database;

// Creates the tables of a database file. Both functions are idempotent on an empty file and
// set PRAGMA user_version to Schema::Version.
namespace Schema {

// Version 2 added the indexes the ledger relies on; version 3 those a closing reads by, and
// indexes of the unposted lines only instead of indexes of the posted flag; version 4 the
// running number of a stock-in or issue line's document number (YSXH) and its index;
// version 5 the project of an amount adjustment (CLKVMT.GCXM); version 6 the date index of the
// amount adjustments the period reports read by; version 7 the specification, unit and unit
// price of the statistics' work table (RKCX_TEMP); version 9 the running number of a return's
// document number (THXH) and its index; version 10 the movement sums of each closed period
// (YJFSB) and the mark of the closings that have them (YJSJB.FSBZ); version 11 the date
// indexes of the direct deliveries' lines; version 12 keeps a closing's stock by unit price
// (XJXCYJKCB) and its movement sums in the order of their key (closing, material, row number
// XH) instead of beside an index; version 13 the running totals of the issues up to each
// closing's day (LJXHB) and the mark of the closings that have them (YJSJB.LJBZ); version 14
// each material's newest allocation piece under first in first out (KC.SJID) in place of the
// pieces' material index.
constexpr int Version = 14;

// Every permanent table of an account set, the three material libraries CLJBXXB0–CLJBXXB2,
// every _TEMP work table, the accounting-mode table ZTMS, and the indexes.
void createAccountSet(Database &db);
// Meant for every account set and master when it is opened. A file written by a newer
// version of the program is refused (Refusal naming the file and both versions), a file
// without a version is no database of this program (StoreError); an older file is brought
// up to Version in one transaction, unless it is opened read-only: it is then read as it is.
void upgrade(Database &db);
// The master database: the account-set tables above (it is the template new sets are copied
// from) plus ZTXX, which lives in the master only.
void createMaster(Database &db);
// The tables of an account set of Version that `db` lacks, in the order they are created.
QStringList missingAccountSetTables(const Database &db);

} // namespace Schema
} // namespace varnock
