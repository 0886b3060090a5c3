#pragma once

#include "ledger/operationstep.h"
#include "shell/backuppieces.h"

#include <QDateTime>
#include <QString>

namespace varnock {

class AccountSetSession;
class Database;

// Puts a backup back in place of the open account set's books. The candidate is copied (or
// joined from its pieces) beside the set's file and checked there: a sound database file, an
// account set of this program with every table. Only then is a copy of the current books
// written to the backup folder and the set's file replaced and opened again; a candidate that
// fails its check replaces nothing and says why.
class AccountSetRestore
{
public:
    // Stages beside the file of `accountSet`, the open set's database.
    explicit AccountSetRestore(const Database &accountSet);
    ~AccountSetRestore();
    AccountSetRestore(const AccountSetRestore &) = delete;
    AccountSetRestore &operator=(const AccountSetRestore &) = delete;

    // Copies `file` beside the set's file and checks the copy. Throws Refusal saying why the
    // file cannot be restored, StoreError when it cannot be copied.
    void stageFile(const QString &file);
    // Joins the pieces in `folder` beside the set's file and checks the result; `ask` as for
    // BackupPieces::join.
    void stageJoined(const QString &folder, const BackupPieces::Ask &ask,
                     qint64 pieceSize = BackupPieces::PieceSize);

    // Asked once the candidate has passed its check.
    static OperationStep question();

    // Writes a copy of the current books to the backup folder, then replaces the file of the
    // set `session` holds open (the one staged beside) with the staged candidate and opens it.
    // Returns the path of that copy. Throws StoreError (nothing replaced) or whatever the
    // reopening throws (the old books are back then).
    QString replace(AccountSetSession &session, const QDateTime &now);

    // What is shown once the books are restored.
    static QString finishedText(const QString &before);

    // Throws Refusal (critical) saying why the file at `path` is no account set that can be
    // restored. The file may be upgraded to the current version on the way.
    static void check(const QString &path);

    QString stagingPath() const;

private:
    QString m_setFile;
    bool m_staged = false;
};

} // namespace varnock
