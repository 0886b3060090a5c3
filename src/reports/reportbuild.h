#pragma once

#include "print/reporttable.h"
#include "store/database.h"

#include <QString>

#include <optional>

namespace varnock {

// The one transaction of a report build: its reads see one state of the books and, unless the
// set is open only to read, its report table is written in the same transaction.
class ReportBuild
{
public:
    explicit ReportBuild(Database &db);

    // Empties the report table `temp` and writes `report`'s rows into it, each column into the
    // field of its name; nothing when the set is open only to read.
    void fill(const QString &temp, const ReportTable &report);
    // The same on `db`, inside the caller's own transaction.
    static void write(Database &db, const QString &temp, const ReportTable &report);
    void commit();

private:
    Database &m_db;
    std::optional<ReadSnapshot> m_snapshot;
    std::optional<Transaction> m_tx;
};

} // namespace varnock
