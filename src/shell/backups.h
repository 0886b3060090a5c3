#pragma once

#include "store/errors.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace varnock {

class Database;

// Where copies of an account set go, and what copies it has. Every copy is a consistent
// snapshot of the open set, and its name starts with "KVMT" and the set's number, so that
// sets sharing one backup folder never overwrite each other's copies:
//   KVMT7-2026-03-10.db          the day's backup (a second one the same day replaces it)
//   KVMT7-auto-2026-03-10.db     the day's automatic copy, taken when the set is closed
//   KVMT7-2026-03-10-153045.db   the copy taken before the books were wiped or restored
class Backups
{
public:
    enum class Kind { Backup, Automatic, BeforeChange };

    struct Copy
    {
        QString path;
        Kind kind = Kind::Backup;
        QDateTime taken; // the date and time in its name; 00:00 when its name has none
        qint64 size = 0;
    };

    // The backup folder of the open account set: the folder its firm details name (YHZL.DIR),
    // else BackUp in the data folder that holds the set.
    static QString folder(const Database &accountSet);
    // BackUp in the data folder that holds the set.
    static QString defaultFolder(const Database &accountSet);
    // A copy taken at `when` in that folder: "KVMT", the set's number, the date and the time
    // ("KVMT1-2026-03-10-153045.db"), so that neither another set's copy nor an earlier one
    // is overwritten.
    static QString timestampedPath(const Database &accountSet, const QDateTime &when);
    static QString backupPath(const Database &accountSet, const QString &folder, const QDate &day);
    static QString automaticPath(const Database &accountSet, const QDate &day);

    // The folder a backup goes to: `chosenFolder`, or the set's backup folder when none is
    // chosen. Refuses ("请选择有效的备份目录") a chosen folder that does not exist; the
    // default folder is made when the backup is written.
    static QString targetFolder(const Database &accountSet, const QString &chosenFolder);
    // Writes the day's backup into `chosenFolder`, or into the set's backup folder when none is
    // chosen, and returns its path. Refuses ("请选择有效的备份目录") a chosen folder that does not
    // exist; the default folder is made when missing. Refuses (CannotWriteText, critical) when
    // the copy cannot be written there.
    static QString backUp(const Database &accountSet, const QString &chosenFolder,
                          const QDate &day);
    // Writes (or refreshes) the day's automatic copy and removes the automatic copies beyond
    // the newest KeptAutomatic. Returns its path. Throws StoreError.
    static QString takeAutomatic(const Database &accountSet, const QDate &day);

    // The set's copies in its backup folder, newest first.
    static QList<Copy> list(const Database &accountSet);
    static QString kindName(Kind kind);

    static constexpr int KeptAutomatic = 30;
    static const QString InvalidFolderText;
    // The copy's place: not writable, or a removable medium that is not there.
    static const QString CannotWriteText;   // "文件不能被写入!请更换存放位置!"
    static const QString MediumMissingText; // "指定的磁盘驱动器不可用!" and a second line
    // What a failed copy says of the disk: full, write-protected, an input or output error, not
    // ready (the medium was taken out meanwhile); a piece that cannot be read back is damaged.
    static const QString DiskFullText;
    static const QString WriteProtectedText;
    static const QString InputOutputText;
    static const QString NotReadyText;
    static const QString DamagedText;

    // The refusal of a copy into `folder` that failed with `error`: the text for what the
    // failure says of the disk (CannotWriteText when it says nothing), then the failure's own;
    // a set's file that could not be read gives the failure's own text alone.
    static Refusal copyRefused(const QString &title, const StoreError &error,
                               const QString &folder);
};

} // namespace varnock
