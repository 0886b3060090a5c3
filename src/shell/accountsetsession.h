#pragma once

#include "shell/accountsets.h"
#include "shell/datafolder.h"
#include "store/formats.h"

#include <QString>

#include <memory>

class QLockFile;

namespace varnock {

class Database;

// One open account set. While it lives the set is locked against a second program (or a
// second session of this one), and its connection is open. Destroying it closes both.
class AccountSetSession
{
public:
    enum class Access {
        // Locked against every other program; upgraded to the current schema when older.
        Work,
        // Only read: no lock, so it works while another program works in the set.
        Read,
    };

    // Opens the listed account set. Throws Refusal when the set is unknown, missing, open
    // elsewhere (for work) or of a newer version, StoreError when its database cannot be
    // read; nothing stays locked then. A set whose folder cannot be written opens read-only.
    AccountSetSession(const DataFolder &folder, Database &master, qint64 number,
                      Access access = Access::Work);
    ~AccountSetSession();
    AccountSetSession(const AccountSetSession &) = delete;
    AccountSetSession &operator=(const AccountSetSession &) = delete;

    qint64 number() const { return m_info.number; }
    QString name() const { return m_info.name; }
    QDate created() const { return m_info.created; }
    Database &database() { return *m_db; }
    // False only after a replacement whose file and the old one both failed to open.
    bool isOpen() const { return m_db != nullptr; }
    // True when nothing can be written: opened to read, or its folder cannot be written.
    bool isReadOnly() const;
    const DataFolder &folder() const { return m_folder; }

    // 1 = first in first out, 2 = moving weighted average; the set's own, fixed at creation.
    int mode() const { return m_mode; }
    bool isFirstInFirstOut() const { return m_mode == 1; }
    Formats formats() const { return m_formats; }

    // The firm's name from YHZL, or DefaultFirmName while none is given.
    QString firmName() const { return m_firmName; }
    // "Varnock系统 - [ " + firm name + " ]"
    QString windowTitle() const;
    // The title for a firm's name; DefaultFirmName while none is given.
    static QString windowTitleFor(const QString &firmName);
    // True once a month-end closing exists (opening balances are then closed).
    bool hasClosing() const;

    // Replaces the set's file with `stagedFile` (a checked copy in the set's folder) and opens
    // it, keeping the set locked throughout. The old file stays beside it until the new one
    // has opened; when it cannot be opened the old file is put back and opened again, and the
    // failure is thrown. The database object is a new one: references to the old are void.
    void replaceDatabase(const QString &stagedFile);

    static const QString DefaultFirmName;
    static const QString InUseText;

private:
    void open();

    DataFolder m_folder;
    AccountSetInfo m_info;
    Access m_access = Access::Work;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Database> m_db;
    int m_mode = 2;
    Formats m_formats;
    QString m_firmName;
};

} // namespace varnock
