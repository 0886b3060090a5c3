#pragma once

#include <QString>

namespace varnock {

// The program's data folder: the master database, one folder per account set, the settings
// files and the report templates and backups. Every path is built with exactly one separator
// between folder and name, also when the folder is a root.
class DataFolder
{
public:
    // The folder given on the command line (--data-dir), else $VARNOCK_DATA_DIR, else the
    // per-user application data location.
    static DataFolder resolve(const QString &commandLineDir = QString());

    explicit DataFolder(const QString &path);

    QString path() const { return m_path; }
    // A file or folder directly in the data folder.
    QString filePath(const QString &name) const;
    // Creates the folder when it is missing; false when that failed.
    bool ensureExists() const;

    QString masterDatabasePath() const;
    QString accountSetFolder(qint64 number) const;
    QString accountSetDatabasePath(qint64 number) const;
    // Held while the account set is open, so that a second program cannot open it too.
    QString accountSetLockPath(qint64 number) const;

    QString quantityFormatFile() const; // LSWS
    QString amountFormatFile() const;   // JEXSW
    QString modeFile() const;           // YZMS
    QString slipCaptionsFile() const;   // xiaopiao
    QString reportsFolder() const;
    QString backupFolder() const;

    static const QString DatabaseFileName; // "kvmt.db"

private:
    QString m_path;
};

} // namespace varnock
