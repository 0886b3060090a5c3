#pragma once

#include "print/reporttable.h"
#include "shell/datafolder.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace varnock {

class Database;

// What every report across account sets shares. Each chosen set's file is opened on a
// connection of its own, only to read, and its own report is built there without writing into
// it (another clerk may have that set open); the rows are combined into the report table of
// the set that is open. A set whose file cannot be opened or read is named, and the others are
// reported all the same.
class AcrossSets
{
public:
    struct Set
    {
        qint64 number = 0; // ZTXX.BH
        QString name;      // ZTXX.ZTMC: what the reports show in ZT
    };

    struct Result
    {
        ReportTable table;
        QStringList unreadable; // "BH ZTMC：why", one per set that could not be read
    };

    // `db` is the open account set, whose report tables are written.
    AcrossSets(Database &db, const DataFolder &folder);

    // Runs `read` on each set in list order, with the set's file open read-only and its
    // accounting mode. A set that cannot be opened or read is noted in unreadable(); what
    // `read` took from it before it failed is its own to drop.
    void read(const QList<Set> &sets,
              const std::function<void(Database &set, int mode, const Set &which)> &read);
    const QStringList &unreadable() const { return m_unreadable; }

    // Empties the open set's report table `temp` and writes the combined rows into it, in one
    // transaction.
    void fill(const QString &temp, const ReportTable &table);

    // What the program says about the sets it could not read.
    static QString unreadableText(const QStringList &unreadable);

private:
    Database &m_db;
    DataFolder m_folder;
    QStringList m_unreadable;
};

} // namespace varnock
