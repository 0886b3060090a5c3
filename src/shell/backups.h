#pragma once

#include <QDateTime>
#include <QString>

namespace varnock {

class Database;

// Where copies of an account set go.
class Backups
{
public:
    // The backup folder of the open account set: the folder its firm details name (YHZL.DIR),
    // else BackUp in the data folder that holds the set.
    static QString folder(const Database &accountSet);
    // A copy taken at `when` in that folder: "KVMT", the set's number, the date and the time
    // ("KVMT1-2026-03-10-153045.db"), so that neither another set's copy nor an earlier one
    // is overwritten.
    static QString timestampedPath(const Database &accountSet, const QDateTime &when);
};

} // namespace varnock
